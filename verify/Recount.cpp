#include "verify/Recount.h"

#include <cstdlib>
#include <cstring>

#include "base/States.h"
#include "include/vaskreport.h"
#include "spec/VaskReportSpec.h"

namespace {

enum { kLineBufferSize = 1 << 20 };

// State of each BSP, kept here so the recount does not lean on the run's tables.
struct BspRange {
  int First;
  int Last;
  int State;
};
const BspRange kBspRanges[] = {
    {1, 1, STATE_NT},    {2, 2, STATE_QLD},   {3, 18, STATE_NSW},  {19, 19, STATE_ACT},
    {20, 21, STATE_NSW}, {22, 34, STATE_VIC}, {35, 44, STATE_QLD}, {45, 48, STATE_SA},
    {49, 53, STATE_WA},  {54, 54, STATE_TAS},
};

const char* FieldValue(const VaskReportSpec& spec, const char* record, int field) {
  return field >= 0 && field < spec.FieldCount ? record + spec.Fields[field].Offset : nullptr;
}

// strtol's reading, noting whether any digit was read.
long Number(const char* text, bool& digits) {
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  digits = end != text;
  return value;
}

void CountAmendment(const char* value, Recount& recount) {
  bool digits = false;
  long flag = Number(value, digits);
  if (flag < 0)
    ++recount.ManuallyAmended;
  else if (flag & 8)
    ++recount.PreCleaned;
  else if (flag & 4)
    ++recount.Amended;
  else if (digits)
    ++recount.Matched;
}

int CountBarcoded(const VaskReportSpec& spec, const char* record, Recount& recount) {
  if (const char* flag = FieldValue(spec, record, spec.AmendedField)) CountAmendment(flag, recount);
  const char* bspText = FieldValue(spec, record, spec.BspField);
  if (!bspText) return ROUTE_UNROUTED;
  bool digits = false;
  long bsp = Number(bspText, digits);
  if (bsp < 1 || bsp > RECOUNT_BSPS) return ROUTE_UNROUTED;
  ++recount.BspVolumes[bsp];
  return static_cast<int>(bsp - 1);
}

int CountUnbarcoded(const VaskReportSpec& spec, const char* record, Recount& recount) {
  ++recount.NotMatched;
  const int lodgement = spec.State >= 0 && spec.State < RECOUNT_STATES ? spec.State : STATE_NT;
  const char* stateText = FieldValue(spec, record, spec.StateField);
  int state = stateText ? StateToNumber(stateText) : lodgement;
  if (state < 0) {
    ++recount.UnbarcodedVolumes[lodgement];
    return ROUTE_UNKNOWN_STATE;
  }
  ++recount.UnbarcodedVolumes[state];
  return ROUTE_FIRST_UNBARCODED + state;
}

void NoteRoute(int route, Recount& recount) {
  if (!recount.Runs.empty() && recount.Runs.back() == route) return;
  if (recount.Runs.size() >= ROUTE_RUNS_KEPT) {
    recount.RunsOverflow = true;
    return;
  }
  recount.Runs.push_back(route);
}

}  // namespace

int BspState(int bsp) {
  for (const BspRange& range : kBspRanges)
    if (bsp >= range.First && bsp <= range.Last) return range.State;
  return -1;
}

LineFile::~LineFile() {
  if (m_File) std::fclose(m_File);
}

bool LineFile::Open(const std::string& path) {
  if (m_File) std::fclose(m_File);
  m_File = std::fopen(path.c_str(), "rb");
  m_Buffer.resize(kLineBufferSize + 1);
  m_Begin = m_Scanned = m_End = 0;
  m_Eof = false;
  return m_File != nullptr;
}

bool LineFile::Fill() {
  if (m_Begin > 0) {
    std::memmove(m_Buffer.data(), m_Buffer.data() + m_Begin, m_End - m_Begin);
    m_End -= m_Begin;
    m_Scanned -= m_Begin;
    m_Begin = 0;
  }
  if (m_End + 1 >= m_Buffer.size()) m_Buffer.resize(m_Buffer.size() * 2);
  size_t got = std::fread(m_Buffer.data() + m_End, 1, m_Buffer.size() - 1 - m_End, m_File);
  if (got == 0) {
    if (std::ferror(m_File)) return false;
    m_Eof = true;
  }
  m_End += got;
  return true;
}

int LineFile::Next(char*& text, size_t& length) {
  for (;;) {
    char* data = m_Buffer.data();
    const void* found = std::memchr(data + m_Scanned, '\n', m_End - m_Scanned);
    if (found || (m_Eof && m_Begin < m_End)) {
      size_t end = found ? static_cast<const char*>(found) - data : m_End;
      text = data + m_Begin;
      length = end - m_Begin;
      data[end] = '\0';  // over the line feed, or the spare character
      m_Begin = m_Scanned = found ? end + 1 : m_End;
      return 1;
    }
    if (m_Eof) return 0;
    m_Scanned = m_End;
    if (!Fill()) return -1;
  }
}

int ClassifyLine(const VaskReportSpec& spec, const char* line, char* record, Recount& recount) {
  int rc = spec.ReadRecord(record, line);
  if (rc == ERR_READRECORD_INVALID_RECORD) {
    ++recount.Invalid;
    return ROUTE_UNROUTED;
  }
  if (rc) return -1;
  ++recount.Read;
  const char* dpid = FieldValue(spec, record, spec.DpidField);
  if (dpid && *dpid) return CountBarcoded(spec, record, recount);
  return CountUnbarcoded(spec, record, recount);
}

// The record reader sees the line without its carriage return; digests see
// the bytes the run carries, carriage return included.
static int RecountLine(const VaskReportSpec& spec, char* text, size_t length, char* record,
                Recount& recount) {
  const bool cr = length > 0 && text[length - 1] == '\r';
  if (length == (cr ? 1u : 0u)) return 0;  // blank lines are no records and are not carried
  if (cr) text[length - 1] = '\0';
  int route = ClassifyLine(spec, text, record, recount);
  if (cr) text[length - 1] = '\r';
  if (route < 0) return -1;
  recount.Lines.Add(text, length);
  recount.Routes[route].Add(text, length);
  NoteRoute(route, recount);
  return 0;
}

int RecountDataFile(const VaskReportSpec& spec, Recount& recount, std::string& problem) {
  LineFile file;
  if (!file.Open(spec.ExpandedPath)) {
    problem = std::string("cannot open ") + spec.ExpandedPath;
    return -1;
  }
  std::vector<char> record(static_cast<size_t>(spec.RecordLength) + 1);
  char* text;
  size_t length;
  int got = 1;
  if (spec.FieldNamesOnFirstLine) got = file.Next(text, length);
  while (got > 0 && (got = file.Next(text, length)) > 0) {
    if (RecountLine(spec, text, length, record.data(), recount)) {
      problem = std::string("cannot read the records of ") + spec.ExpandedPath;
      return -1;
    }
  }
  if (got < 0) {
    problem = std::string("read error in ") + spec.ExpandedPath;
    return -1;
  }
  return 0;
}

bool DigestFile(const std::string& path, bool skipHeader, bool skipBlank, LineDigest& digest) {
  LineFile file;
  if (!file.Open(path)) return false;
  return DigestLines(file, skipHeader, skipBlank, digest);
}

bool DigestLines(LineFile& file, bool skipHeader, bool skipBlank, LineDigest& digest) {
  char* text;
  size_t length;
  int got = 1;
  if (skipHeader) got = file.Next(text, length);
  while (got > 0 && (got = file.Next(text, length)) > 0) {
    const bool blank = length == 0 || (length == 1 && text[0] == '\r');
    if (!(blank && skipBlank)) digest.Add(text, length);
  }
  return got == 0;
}
