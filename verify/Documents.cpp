#include "verify/Documents.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "base/States.h"

namespace verify {

namespace {

bool ReadLines(const std::string& path, std::vector<std::string>& lines) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return true;
}

// Digits only, no sign, no blanks.
bool ParseCount(const std::string& text, uint64_t& value) {
  if (text.empty() || text.size() > 19) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  return true;
}

std::vector<std::string> SplitFields(const std::string& line, char separator) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    size_t end = line.find(separator, start);
    fields.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return fields;
    start = end + 1;
  }
}

void Problem(Document& document, size_t lineIndex, const std::string& line,
             const std::string& expected) {
  document.Problems.push_back("line " + std::to_string(lineIndex + 1) + " \"" + line + "\" vs " +
                              expected);
}

// Stores a figure once; a repeat is a problem of the line that repeats it.
void Put(Document& document, const std::string& key, uint64_t value, size_t lineIndex,
         const std::string& line) {
  if (!document.Values.emplace(key, value).second) Problem(document, lineIndex, line, "no repeat of " + key);
}

bool ReadCsvLine(Document& document, size_t index, const std::string& line) {
  std::vector<std::string> f = SplitFields(line, ',');
  uint64_t volume, trays, bsp = 0;
  if (f.size() != 6 || !ParseCount(f[3], volume) || !ParseCount(f[4], trays)) return false;
  const int state = StateToNumber(f[1].c_str());
  if (state < 0) return false;
  if (f[0] == "BDT") {
    if (!ParseCount(f[2], bsp) || bsp < 1 || bsp > RECOUNT_BSPS) return false;
    const int number = static_cast<int>(bsp);
    Put(document, BspKey(number, "state"), static_cast<uint64_t>(state), index, line);
    Put(document, BspKey(number, "volume"), volume, index, line);
    Put(document, BspKey(number, "trays"), trays, index, line);
    return true;
  }
  if ((f[0] != "BR" && f[0] != "UR") || !f[2].empty()) return false;
  const std::string prefix = f[0] + " " + StateName(state) + " ";
  Put(document, prefix + "volume", volume, index, line);
  Put(document, prefix + "trays", trays, index, line);
  return true;
}

struct LodgementLabel {
  const char* Text;  // with its padding to the label column
  const char* Row;
};
const LodgementLabel kLodgementRows[] = {
    {"Barcode Direct  ", "BDT"},
    {"Barcode Residue ", "BR"},
    {"Unbarcoded      ", "UR"},
    {"Total           ", "Total"},
};
const char* const kLodgementColumns[] = {"same state volume", "other states volume",
                                         "total volume", "mix", "trays"};

bool ReadLodgementRow(Document& document, size_t index, const std::string& line) {
  for (const LodgementLabel& label : kLodgementRows) {
    if (line.compare(0, 16, label.Text) != 0) continue;
    std::istringstream rest(line.substr(16));
    std::string token, extra;
    for (const char* column : kLodgementColumns) {
      uint64_t value;
      if (!(rest >> token) || !ParseCount(token, value)) return false;
      Put(document, std::string(label.Row) + " " + column, value, index, line);
    }
    return !(rest >> extra);
  }
  return false;
}

int StateOfLabelCode(const std::string& text) {
  uint64_t code;
  if (!ParseCount(text, code)) return -1;
  for (int state = 0; state < RECOUNT_STATES; ++state)
    if (static_cast<uint64_t>(NumberToLabelState(state)) == code) return state;
  return -1;
}

// "A05" with a prefix, "005" without.
int BspOfSortPlan(const std::string& text, char prefix) {
  std::string digits = text;
  if (prefix) {
    if (text.size() != 3 || text[0] != prefix) return -1;
    digits = text.substr(1);
  } else if (text.size() != 3) {
    return -1;
  }
  uint64_t bsp;
  if (!ParseCount(digits, bsp) || bsp < 1 || bsp > RECOUNT_BSPS) return -1;
  return static_cast<int>(bsp);
}

bool ReadLabelLine(Document& document, size_t index, const std::string& line, char prefix) {
  std::vector<std::string> f = SplitFields(line, ',');
  uint64_t trays;
  if (f.size() != 6 || !f[5].empty() || !ParseCount(f[4], trays)) return false;
  if (f[1] == "1") {
    const int bsp = BspOfSortPlan(f[2], prefix);
    if (bsp < 0) return false;
    Put(document, BspKey(bsp, "trays"), trays, index, line);
    return true;
  }
  const int state = StateOfLabelCode(f[2]);
  if (state < 0 || (f[1] != "2" && f[1] != "5")) return false;
  Put(document, std::string(f[1] == "2" ? "BR " : "UR ") + StateName(state) + " trays", trays,
      index, line);
  return true;
}

struct SummaryLabel {
  const char* Text;
  const char* Key;
};
const SummaryLabel kSummaryRows[] = {
    {"Records Matched & DPID Appended         : ", "matched"},
    {"Records Amended & DPID Appended         : ", "amended"},
    {"Records Pre-Cleaned & DPID Appended     : ", "pre-cleaned"},
    {"Records Manually Amended & DPID Appended: ", "manually amended"},
    {"Records Not Matched - No DPIDs          : ", "not matched"},
    {"Total Records                           : ", "records read"},
};

// A row's share as the report prints it, one decimal, in parentheses.
struct Share {
  size_t Index;
  std::string Line;
  std::string Printed;
};

void ReadSummaryLine(Document& document, size_t index, const std::string& line,
                     std::map<std::string, Share>& shares) {
  if (line == "Zero Records") {
    Put(document, "records read", 0, index, line);
    return;
  }
  for (const SummaryLabel& label : kSummaryRows) {
    const size_t n = std::strlen(label.Text);
    if (line.compare(0, n, label.Text) != 0) continue;
    std::istringstream rest(line.substr(n));
    std::string token, share, more;
    uint64_t value;
    if (rest >> token >> share && ParseCount(token, value) && !(rest >> more)) {
      Put(document, label.Key, value, index, line);
      shares[label.Key] = {index, line, share};
    } else {
      Problem(document, index, line, "a count and its share after the label");
    }
    return;
  }
}

// Each share must be what the counts give.
void CheckShares(Document& document, const std::map<std::string, Share>& shares) {
  const auto total = document.Values.find("records read");
  if (total == document.Values.end() || total->second == 0) return;
  for (const auto& entry : shares) {
    const auto count = document.Values.find(entry.first);
    if (count == document.Values.end()) continue;
    char expected[64];
    snprintf(expected, sizeof expected, "(%.1f%%)",
             100.0 * static_cast<double>(count->second) / static_cast<double>(total->second));
    if (entry.second.Printed != expected)
      Problem(document, entry.second.Index, entry.second.Line, std::string("share ") + expected);
  }
}

}  // namespace

Document ReadManifestCsv(const std::string& path) {
  Document document;
  std::vector<std::string> lines;
  if (!(document.Found = ReadLines(path, lines))) return document;
  static const char kHeading[] = "Sort Level,State,BSP,Volume,Trays,Weight";
  if (lines.empty() || lines[0] != kHeading)
    Problem(document, 0, lines.empty() ? "" : lines[0], std::string("\"") + kHeading + "\"");
  for (size_t i = 1; i < lines.size(); ++i)
    if (!ReadCsvLine(document, i, lines[i])) Problem(document, i, lines[i], "a detail line");
  return document;
}

Document ReadLodgementInfo(const std::string& path) {
  Document document;
  std::vector<std::string> lines;
  if (!(document.Found = ReadLines(path, lines))) return document;
  // Two heading lines, then the four rows.
  static const char* const kHeadings[] = {
      "                           Number of Letters           % Mix    Trays",
      "                 Same State  Other States     Total                  "};
  for (size_t i = 0; i < 2; ++i)
    if (i >= lines.size() || lines[i] != kHeadings[i])
      Problem(document, i, i < lines.size() ? lines[i] : "", std::string("\"") + kHeadings[i] + "\"");
  for (size_t i = 2; i < lines.size(); ++i)
    if (!ReadLodgementRow(document, i, lines[i])) Problem(document, i, lines[i], "a table row");
  return document;
}

Document ReadLabelPlan(const std::string& path, char prefix) {
  Document document;
  std::vector<std::string> lines;
  if (!(document.Found = ReadLines(path, lines))) return document;
  bool details = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line == "#Label Details") details = true;
    if (line.empty() || line[0] == '#') continue;
    if (!details) {
      // Above the details only the version and the plan header are data.
      if (i == 0 || (lines[i - 1] != "#Australia Post Visa Tray Label System - Ver:" &&
                     lines[i - 1] != "#Label Plan Header"))
        Problem(document, i, line, "a comment or blank line above \"#Label Details\"");
      continue;
    }
    if (!ReadLabelLine(document, i, line, prefix)) Problem(document, i, line, "a label detail line");
  }
  if (!details) document.Problems.push_back("no \"#Label Details\" line vs one");
  if (lines.empty() || lines.back() != "#End Of File")
    document.Problems.push_back("last line \"" + (lines.empty() ? std::string() : lines.back()) +
                                "\" vs \"#End Of File\"");
  return document;
}

Document ReadMatchingSummary(const std::string& path) {
  Document document;
  std::vector<std::string> lines;
  if (!(document.Found = ReadLines(path, lines))) return document;
  std::map<std::string, Share> shares;
  for (size_t i = 0; i < lines.size(); ++i) ReadSummaryLine(document, i, lines[i], shares);
  CheckShares(document, shares);
  if (!document.Values.count("records read"))
    document.Problems.push_back("no \"Total Records\" or \"Zero Records\" line vs one");
  return document;
}

}  // namespace verify
