#include "engine/ReadPass.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "engine/BucketFiles.h"
#include "engine/JobThread.h"
#include "engine/LineReader.h"
#include "engine/ReportErrors.h"
#include "engine/Resort.h"
#include "engine/RoleScanner.h"
#include "spec/VaskReportSpec.h"

namespace {

enum { PROGRESS_INTERVAL = 1000 };

bool IsSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }  // the C locale's

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Sort plans and flags are mostly one or two digits, read here at once.
long FieldNumber(const FieldValue& value, bool& digits) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(value.Text);
  if (value.Length == 1 && IsDigit(p[0])) {
    digits = true;
    return p[0] - '0';
  }
  if (value.Length == 2 && IsDigit(p[0]) && IsDigit(p[1])) {
    digits = true;
    return (p[0] - '0') * 10 + (p[1] - '0');
  }
  return ReadNumber(value.Text, value.Length, digits);
}

void CountAmendment(const FieldValue& value, RunCounts& counts) {
  bool digits = false;
  long flag = FieldNumber(value, digits);
  if (flag < 0)
    ++counts.ManuallyAmended;
  else if (flag & 8)
    ++counts.PreCleaned;
  else if (flag & 4)
    ++counts.Amended;
  else if (digits)
    ++counts.Matched;
}

// Counts one barcoded record; returns its bucket. Kept inline: every
// barcoded line of the pass comes through here.
inline __attribute__((always_inline)) int CountBarcoded(const LineRoles& roles,
                                                        RunCounts& counts) {
  const FieldValue& amended = roles.Value[ROLE_AMENDED];
  const FieldValue& bspValue = roles.Value[ROLE_BSP];
  if (amended.Text) CountAmendment(amended, counts);
  if (!bspValue.Text) return TEMP_UNROUTED;
  bool digits = false;
  long bsp = FieldNumber(bspValue, digits);
  if (bsp < 1 || bsp > BSP_COUNT) return TEMP_UNROUTED;
  ++counts.BspVolumes[bsp];
  return static_cast<int>(bsp - 1);
}

// State codes are two or three letters, so a longer value names none. A code
// written exactly as listed is found without the case-blind comparison.
int StateOf(const FieldValue& value) {
  if (value.Length > 3) return -1;
  char code[4] = {};
  std::memcpy(code, value.Text, value.Length);
  static const struct Listed {
    uint32_t Code[STATE_COUNT];
    Listed() {
      for (int state = 0; state < STATE_COUNT; ++state) {
        char listed[4] = {};
        std::strncpy(listed, s_States[state], 3);
        std::memcpy(&Code[state], listed, 4);
      }
    }
  } listed;
  uint32_t packed;
  std::memcpy(&packed, code, 4);
  for (int state = 0; state < STATE_COUNT; ++state)
    if (packed == listed.Code[state]) return state;
  return StateToNumber(code);
}

// Counts one unbarcoded record; returns its bucket.
int CountUnbarcoded(const LineRoles& roles, int lodgementState, RunCounts& counts) {
  ++counts.NotMatched;
  const FieldValue& stateValue = roles.Value[ROLE_STATE];
  int state = stateValue.Text ? StateOf(stateValue) : lodgementState;
  if (state < 0) {
    ++counts.UnbarcodedVolumes[lodgementState];
    return TEMP_UNKNOWN_STATE;
  }
  ++counts.UnbarcodedVolumes[state];
  return TEMP_FIRST_UNBARCODED + state;
}

int ReaderFailure(int got) {
  return got == LineReader::NO_MEMORY ? ERR_VASKREPORT_OUTOFMEMORY : ERR_VASKREPORT_READ_FILE;
}

}  // namespace

long ReadNumber(const char* text, size_t length, bool& digits) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  const unsigned char* end = p + length;
  while (p < end && IsSpace(*p)) ++p;
  bool negative = p < end && *p == '-';
  if (p < end && (*p == '-' || *p == '+')) ++p;
  unsigned long magnitude = 0;
  const unsigned long limit = negative ? 0ul - static_cast<unsigned long>(LONG_MIN) : LONG_MAX;
  digits = false;
  for (; p < end && *p >= '0' && *p <= '9'; ++p) {
    digits = true;
    unsigned digit = *p - '0';
    magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
  }
  if (!negative) return static_cast<long>(magnitude);
  return magnitude == limit ? LONG_MIN : -static_cast<long>(magnitude);
}

namespace {

// Reads the lines of a stretch of whole lines into role values, with a
// record buffer of its own, so that two stretches can be read at once.
class LineCounter {
 public:
  // What a line is, besides a counted record's bucket.
  enum { BLANK = -1, INVALID = -2 };

  LineCounter(const VaskReportSpec& spec, char* record)
      : m_Spec(spec), m_Record(record),
        m_LodgementState(spec.State >= 0 && spec.State < STATE_COUNT ? spec.State : STATE_NT),
        m_Plain(RoleScanner::Handles(spec)), m_Scanner(spec) {}

  // Calls onLine(const DataLine&, int kind) for every line of [p, end): kind
  // is BLANK, INVALID (a line the layout cannot read: not a record) or the
  // bucket of a record, which is counted into counts first. Returns the
  // first non-zero result of onLine or the code that ended the reading.
  template <class OnLine>
  int Count(char* p, char* end, RunCounts& counts, OnLine&& onLine) {
    if (m_Plain)
      return m_Scanner.Scan(p, end, [&](const DataLine& line, const LineRoles& roles) {
        return onLine(line, line.Length ? CountRecord(roles, counts) : BLANK);
      });
    DataLine line;
    while (p < end) {
      NextLine(p, end, line);
      int kind = BLANK;
      if (line.Length > 0) {
        int rc = m_Spec.ReadRecord(m_Record, line.Text);
        if (rc && rc != ERR_READRECORD_INVALID_RECORD) return rc;
        kind = rc ? INVALID : CountRecord(RecordRoles(), counts);
      }
      if (int rc = onLine(static_cast<const DataLine&>(line), kind)) return rc;
    }
    return 0;
  }

 private:
  int CountRecord(const LineRoles& roles, RunCounts& counts) const {
    ++counts.Read;
    const FieldValue& dpid = roles.Value[ROLE_DPID];
    return dpid.Text && dpid.Length ? CountBarcoded(roles, counts)
                                    : CountUnbarcoded(roles, m_LodgementState, counts);
  }

  FieldValue RecordValue(int field) const {
    if (field < 0 || field >= m_Spec.FieldCount) return {nullptr, 0};
    const char* text = m_Record + m_Spec.Fields[field].Offset;
    return {text, std::strlen(text)};
  }

  LineRoles RecordRoles() const {
    return {{RecordValue(m_Spec.DpidField), RecordValue(m_Spec.AmendedField),
             RecordValue(m_Spec.BspField), RecordValue(m_Spec.StateField)}};
  }

  // Cuts the next line off the stretch [p, end), in place.
  static void NextLine(char*& p, char* end, DataLine& line) {
    char* feed = static_cast<char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    char* stop = feed ? feed : end;
    MakeLine(p, static_cast<size_t>(stop - p), line);
    p = feed ? feed + 1 : end;
  }

  const VaskReportSpec& m_Spec;
  char* m_Record;
  const int m_LodgementState;
  const bool m_Plain;
  const RoleScanner m_Scanner;
};

bool ProgressDue(const RunCounts& counts, int (*progress)(int)) {
  return progress && counts.Read % PROGRESS_INTERVAL == 0 &&
         progress(static_cast<int>(counts.Read)) != 0;
}

// Counts the lines of [p, end) in order, writing each to its bucket and
// calling progress as it goes.
int CountLines(char* p, char* end, LineCounter& counter, BucketFiles* buckets, RunCounts& counts,
               int (*progress)(int)) {
  return counter.Count(p, end, counts, [&](const DataLine& line, int kind) -> int {
    if (kind == LineCounter::INVALID) {
      if (buckets && !buckets->Write(TEMP_UNROUTED, line)) return ERR_VASKREPORT_WRITE_FILE;
      return 0;  // not a record, so no progress either
    }
    if (kind != LineCounter::BLANK && buckets && !buckets->Write(kind, line))
      return ERR_VASKREPORT_WRITE_FILE;
    return ProgressDue(counts, progress) ? ERR_VASKREPORT_USER_CANCELLED : 0;
  });
}

// One line of a half counted on the worker, for the caller to write to its
// bucket in file order.
struct HalfLine {
  uint32_t Offset;  // from the half's beginning
  uint32_t Length;
  int16_t Kind;     // as LineCounter gives it
  bool Cr;
};

// The second half of a block, counted on the worker thread without calling
// progress or writing: what the caller needs to do both afterwards as
// CountLines would have.
struct HalfCount {
  char* Begin;
  char* End;
  bool KeepLines;  // buckets are written: every line goes to Lines
  RunCounts Counts;
  // Without KeepLines, runs of blank lines: records of the half before them,
  // and how many.
  std::vector<std::pair<unsigned long, unsigned long>> Blanks;
  std::vector<HalfLine> Lines;
  char* Stopped;  // where counting stopped because Lines was full, else End
  int Code;       // the code that ended the half, or 0
};

enum { MAX_HALF_LINES = 65536, LINES_FULL = 1 };

void CountHalf(LineCounter& counter, HalfCount& half) {
  half.Counts = RunCounts{};
  half.Blanks.clear();
  half.Lines.clear();
  half.Stopped = half.End;
  half.Code = counter.Count(half.Begin, half.End, half.Counts, [&](const DataLine& line, int kind) -> int {
    if (half.KeepLines) {
      // Lines was reserved for MAX_HALF_LINES, so this does not allocate.
      half.Lines.push_back({static_cast<uint32_t>(line.Text - half.Begin),
                            static_cast<uint32_t>(line.Length), static_cast<int16_t>(kind),
                            line.Cr});
      if (half.Lines.size() < MAX_HALF_LINES) return 0;
      char* after = line.Text + line.Length + (line.Cr ? 1 : 0) + 1;
      half.Stopped = after < half.End ? after : half.End;
      return LINES_FULL;
    }
    if (kind != LineCounter::BLANK) return 0;
    const unsigned long read = half.Counts.Read;
    if (!half.Blanks.empty() && half.Blanks.back().first == read) {
      ++half.Blanks.back().second;
      return 0;
    }
    try {
      half.Blanks.emplace_back(read, 1);
    } catch (const std::bad_alloc&) {
      // The lines may be cut in place already, so they cannot be counted again.
      return ERR_VASKREPORT_OUTOFMEMORY;
    }
    return 0;
  });
  if (half.Code == LINES_FULL) half.Code = 0;
}

// Adds everything but Read, which the caller advances line by line.
void AddCounts(RunCounts& total, const RunCounts& part) {
  for (int i = 0; i <= BSP_COUNT; ++i) total.BspVolumes[i] += part.BspVolumes[i];
  for (int i = 0; i < STATE_COUNT; ++i) total.UnbarcodedVolumes[i] += part.UnbarcodedVolumes[i];
  total.NotMatched += part.NotMatched;
  total.Matched += part.Matched;
  total.Amended += part.Amended;
  total.PreCleaned += part.PreCleaned;
  total.ManuallyAmended += part.ManuallyAmended;
}

// Adds a half counted on the worker, making the progress calls its lines
// would have made one by one.
int AddHalf(const HalfCount& half, RunCounts& counts, int (*progress)(int)) {
  const unsigned long before = counts.Read;
  auto advance = [&](unsigned long records) {
    const unsigned long to = before + records;
    if (progress)
      for (unsigned long at = (counts.Read / PROGRESS_INTERVAL + 1) * PROGRESS_INTERVAL; at <= to;
           at += PROGRESS_INTERVAL) {
        counts.Read = at;
        if (progress(static_cast<int>(at))) return false;
      }
    counts.Read = to;
    return true;
  };
  for (const auto& blanks : half.Blanks) {
    if (!advance(blanks.first)) return ERR_VASKREPORT_USER_CANCELLED;
    for (unsigned long k = 0; k < blanks.second; ++k)
      if (ProgressDue(counts, progress)) return ERR_VASKREPORT_USER_CANCELLED;
  }
  if (!advance(half.Counts.Read)) return ERR_VASKREPORT_USER_CANCELLED;
  AddCounts(counts, half.Counts);
  return half.Code;
}

// Adds a half counted on the worker with its lines kept: writes each to its
// bucket and calls progress as CountLines would have, then counts the rest
// of the half, if the worker stopped short of it.
int AddHalfWithLines(const HalfCount& half, LineCounter& counter, BucketFiles& buckets,
                     RunCounts& counts, int (*progress)(int)) {
  for (const HalfLine& entry : half.Lines) {
    const DataLine line = {half.Begin + entry.Offset, entry.Length, entry.Cr};
    if (entry.Kind == LineCounter::INVALID) {
      if (!buckets.Write(TEMP_UNROUTED, line)) return ERR_VASKREPORT_WRITE_FILE;
      continue;
    }
    if (entry.Kind != LineCounter::BLANK) {
      ++counts.Read;
      if (!buckets.Write(entry.Kind, line)) return ERR_VASKREPORT_WRITE_FILE;
    }
    if (ProgressDue(counts, progress)) return ERR_VASKREPORT_USER_CANCELLED;
  }
  AddCounts(counts, half.Counts);
  if (half.Code) return half.Code;
  return CountLines(half.Stopped, half.End, counter, &buckets, counts, progress);
}

// A thread that counts one half of a block while the caller counts the other.
class HalfWorker {
 public:
  enum { MAX_RECORD = 1048576 };

  explicit HalfWorker(const VaskReportSpec& spec) : m_Spec(spec) {}

  // False when the thread or its record buffer cannot be had; the caller
  // then counts alone. With keepLines, every line of a half is kept.
  bool Start(bool keepLines) {
    if (!SecondThreadWanted() || m_Spec.RecordLength > MAX_RECORD) return false;
    m_Half.KeepLines = keepLines;
    try {
      if (keepLines) m_Half.Lines.reserve(MAX_HALF_LINES);
    } catch (const std::bad_alloc&) {
      return false;
    }
    m_Record.reset(new (std::nothrow) char[static_cast<size_t>(m_Spec.RecordLength) + 1]);
    if (!m_Record) return false;
    m_Counter.reset(new (std::nothrow) LineCounter(m_Spec, m_Record.get()));
    if (!m_Counter) return false;
    return m_Thread.Start();
  }

  void Post(char* begin, char* end) {
    m_Half.Begin = begin;
    m_Half.End = end;
    m_Thread.Post([this] { CountHalf(*m_Counter, m_Half); });
  }

  const HalfCount& Wait() {
    m_Thread.Wait();
    return m_Half;
  }

 private:
  const VaskReportSpec& m_Spec;
  std::unique_ptr<char[]> m_Record;
  std::unique_ptr<LineCounter> m_Counter;
  HalfCount m_Half{};
  // Last, so that it is stopped before what its jobs use goes.
  JobThread m_Thread;
};

// Blocks smaller than this are not worth handing half of to the worker.
enum { SPLIT_BLOCK = 65536 };

// Where a block splits in two: after the first line feed at or past its
// middle, or null when its second half would be empty.
char* SplitPoint(char* begin, char* end) {
  char* middle = begin + (end - begin) / 2;
  char* feed = static_cast<char*>(std::memchr(middle, '\n', static_cast<size_t>(end - middle)));
  return feed && feed + 1 < end ? feed + 1 : nullptr;
}

}  // namespace

int ReadDataFile(const VaskReportSpec& spec, LineReader& reader, char* record,
                 BucketFiles* buckets, RunCounts& counts, int (*progress)(int)) {
  LineCounter counter(spec, record);
  // When a second thread is wanted, large blocks are split in two and the
  // second half counted on it; what the caller does line by line (progress,
  // buckets) for that half is done afterwards, in file order.
  HalfWorker worker(spec);
  enum { UNTRIED, RUNNING, ALONE } shared = UNTRIED;
  DataBlock block;
  int got = reader.NextBlock(block);
  while (got == LineReader::LINE) {
    char* end = block.Text + block.Length;
    char* split = block.Length >= SPLIT_BLOCK && block.Length < UINT32_MAX && shared != ALONE
                      ? SplitPoint(block.Text, end)
                      : nullptr;
    if (split && shared == UNTRIED) shared = worker.Start(buckets != nullptr) ? RUNNING : ALONE;
    if (!split || shared != RUNNING) {
      if (int rc = CountLines(block.Text, end, counter, buckets, counts, progress)) return rc;
      got = reader.NextBlock(block);
      continue;
    }
    worker.Post(split, end);
    int rc = CountLines(block.Text, split, counter, buckets, counts, progress);
    // The next block is read while the worker may still count this one; a
    // failure to read it counts only after this block's lines.
    DataBlock next;
    int nextGot = rc ? LineReader::END : reader.NextBlock(next);
    const HalfCount& half = worker.Wait();
    if (rc) return rc;
    rc = buckets ? AddHalfWithLines(half, counter, *buckets, counts, progress)
                 : AddHalf(half, counts, progress);
    if (rc) return rc;
    block = next;
    got = nextGot;
  }
  return got == LineReader::END ? 0 : ReaderFailure(got);
}
