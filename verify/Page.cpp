#include "verify/Page.h"

#include <algorithm>
#include <fstream>
#include <iomanip>
#include <locale>
#include <sstream>
#include <utility>

namespace verify {

namespace {

// Layout differences of one document shown before the rest are only counted.
const int kLayoutShown = 5;

std::ostringstream ClassicStream() {
  std::ostringstream s;
  s.imbue(std::locale::classic());
  return s;
}

bool ReadLines(const std::string& path, std::vector<std::string>& lines) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return true;
}

std::string Shown(const Piece& piece) {
  return piece.Width ? Padded(piece.Text, piece.Width) : piece.Text;
}

// The line as the page wants it; a value that may be anything as read.
std::string Wanted(const PageLine& pieces, const std::vector<std::string>* values) {
  std::string text;
  size_t value = 0;
  for (const Piece& piece : pieces) {
    if (piece.Name.empty()) {
      text += piece.Text;
      continue;
    }
    text += values && !piece.Against ? (*values)[value] : Shown(piece);
    ++value;
  }
  return text;
}

// Reads line by the pieces: fixed text must be there; a right-aligned value
// is the word after its padding, any other value runs to the fixed text
// after it or to the end of the line.
bool Read(const PageLine& pieces, const std::string& line, std::vector<std::string>& values) {
  values.clear();
  size_t at = 0;
  for (size_t i = 0; i < pieces.size(); ++i) {
    const Piece& piece = pieces[i];
    size_t end;
    if (piece.Name.empty()) {
      if (line.compare(at, piece.Text.size(), piece.Text) != 0) return false;
      at += piece.Text.size();
      continue;
    }
    if (piece.Width) {
      at = line.find_first_not_of(' ', at);
      if (at == std::string::npos) return false;
      end = std::min(line.find(' ', at), line.size());
    } else if (i + 1 < pieces.size()) {
      end = line.find(pieces[i + 1].Text, at);
      if (end == std::string::npos) return false;
    } else {
      end = line.size();
    }
    values.push_back(line.substr(at, end - at));
    at = end;
  }
  return at == line.size();
}

Piece FixedText(const std::string& text) {
  Piece piece;
  piece.Text = text;
  return piece;
}

class PageCheck {
 public:
  PageCheck(const std::string& name, CheckLog& log) : m_Name(name), m_Log(log) {}

  void Line(const PageLine& pieces, const std::vector<std::string>& values, size_t index,
            const std::string& line, Found* found) {
    bool agree = true;
    size_t value = 0;
    for (const Piece& piece : pieces) {
      if (piece.Name.empty()) continue;
      const std::string& text = values[value++];
      if (found) (*found)[piece.Name] = text;
      if (!piece.Against) continue;
      ++m_Compared[{piece.Against, piece.Kind}];
      if (text == piece.Text) continue;
      m_Log.Difference(m_Name + " vs " + piece.Against + ", " + piece.Name + ": " + text + " vs " +
                       piece.Text);
      agree = false;
    }
    // Values that agree in a line that does not: padding, or an added space.
    const std::string wanted = Wanted(pieces, &values);
    if (agree && line != wanted) Layout(index, "\"" + line + "\" vs \"" + wanted + "\"");
  }
  void Layout(size_t index, const std::string& what) {
    if (m_LayoutCount++ < kLayoutShown)
      m_Log.Difference(m_Name + " layout: line " + std::to_string(index + 1) + " " + what);
  }
  void End() {
    if (m_LayoutCount > kLayoutShown)
      m_Log.Difference(m_Name + " layout: " + std::to_string(m_LayoutCount - kLayoutShown) +
                       " more lines differ");
    std::string compared;
    for (const auto& [what, count] : m_Compared)
      compared += (compared.empty() ? ": " : ", ") + std::to_string(count) + " " + what.second +
                  (count == 1 ? "" : "s") + " vs " + what.first;
    m_Log.End(m_Name + compared);
  }

 private:
  const std::string m_Name;
  CheckLog& m_Log;
  std::map<std::pair<std::string, std::string>, int> m_Compared;  // by against and kind
  int m_LayoutCount = 0;
};

}  // namespace

Page& Page::Add(Piece piece) {
  if (piece.Name.empty() && !m_Line.empty() && m_Line.back().Name.empty())
    m_Line.back().Text += piece.Text;
  else
    m_Line.push_back(std::move(piece));
  return *this;
}

Page& Page::operator<<(const std::string& text) {
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    if (end > start) Add(FixedText(text.substr(start, end - start)));
    m_Lines.push_back(std::move(m_Line));
    m_Line.clear();
  }
  if (start < text.size()) Add(FixedText(text.substr(start)));
  return *this;
}

Page& Page::Figure(const std::string& name, const std::string& value, int width) {
  return Add({value, name, "recount", "figure", width});
}

Page& Page::Setting(const std::string& name, const std::string& value) {
  return Add({value, name, "specification", "setting", 0});
}

Page& Page::Text(const std::string& name, const std::string& value, const char* against) {
  return Add({value, name, against, "text", 0});
}

bool CheckPage(const std::string& name, const std::string& path, const Page& page, CheckLog& log,
               Found* found) {
  std::vector<std::string> lines;
  if (!ReadLines(path, lines)) {
    log.Diff(name + " vs recount", "missing", "wanted by the specification");
    return false;
  }
  log.Begin();
  PageCheck check(name, log);
  const std::vector<PageLine>& wanted = page.Lines();
  std::vector<std::string> values;
  size_t i = 0, j = 0;
  // A line added or left out costs one difference, not one for every line after it.
  while (i < lines.size() || j < wanted.size()) {
    if (j == wanted.size()) {
      check.Layout(i, "\"" + lines[i] + "\" vs no such line");
      ++i;
    } else if (i == lines.size()) {
      check.Layout(i, "missing vs \"" + Wanted(wanted[j], nullptr) + "\"");
      ++j;
    } else if (Read(wanted[j], lines[i], values)) {
      check.Line(wanted[j], values, i, lines[i], found);
      ++i, ++j;
    } else if (i + 1 < lines.size() && Read(wanted[j], lines[i + 1], values)) {
      check.Layout(i, "\"" + lines[i] + "\" vs no such line");
      ++i;
    } else if (j + 1 < wanted.size() && Read(wanted[j + 1], lines[i], values)) {
      check.Layout(i, "missing vs \"" + Wanted(wanted[j], nullptr) + "\"");
      ++j;
    } else {
      check.Layout(i, "\"" + lines[i] + "\" vs \"" + Wanted(wanted[j], nullptr) + "\"");
      ++i, ++j;
    }
  }
  check.End();
  return true;
}

Figures CountsOf(const Found& found) {
  Figures counts;
  for (const auto& [name, text] : found)
    if (!text.empty() && text.size() <= 19 && text.find_first_not_of("0123456789") == std::string::npos)
      counts[name] = std::stoull(text);
  return counts;
}

std::string Decimal(uint64_t value) { return std::to_string(value); }

std::string Fixed(double value, int decimals) {
  std::ostringstream s = ClassicStream();
  s << std::fixed << std::setprecision(decimals) << value;
  return s.str();
}

std::string General(double value) {
  std::ostringstream s = ClassicStream();
  s << value;
  return s.str();
}

std::string Padded(const std::string& text, int width, bool left) {
  const size_t pad = text.size() < static_cast<size_t>(width) ? width - text.size() : 0;
  return left ? text + std::string(pad, ' ') : std::string(pad, ' ') + text;
}

std::string Escaped(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

}  // namespace verify
