#ifndef VASKREPORT_ENGINE_LINECOUNTER_H
#define VASKREPORT_ENGINE_LINECOUNTER_H

// How one record is classified and counted: barcoded under its BSP and its
// amendment class, unbarcoded under its state. Inline, as the read pass
// passes every line through it.

#include <cstdint>
#include <cstring>

#include "base/States.h"
#include "engine/BucketFiles.h"
#include "engine/LineReader.h"
#include "engine/ReadPass.h"
#include "engine/RoleScanner.h"
#include "engine/TempFiles.h"
#include "include/vaskreport.h"
#include "spec/VaskReportSpec.h"

namespace readpass {

enum { PROGRESS_INTERVAL = 1000 };

// The C locale's white space.
inline bool IsSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

inline bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Sort plans and flags are mostly one or two digits, read here at once.
inline long FieldNumber(const FieldValue& value, bool& digits) {
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

inline void CountAmendment(const FieldValue& value, RunCounts& counts) {
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
__attribute__((always_inline)) inline int CountBarcoded(const LineRoles& roles,
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
inline int StateOf(const FieldValue& value) {
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
inline int CountUnbarcoded(const LineRoles& roles, int lodgementState, RunCounts& counts) {
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

inline bool ProgressDue(const RunCounts& counts, int (*progress)(int)) {
  return progress && counts.Read % PROGRESS_INTERVAL == 0 &&
         progress(static_cast<int>(counts.Read)) != 0;
}

// Counts the lines of [p, end) in order, writing each to its bucket and
// calling progress as it goes.
inline int CountLines(char* p, char* end, LineCounter& counter, BucketFiles* buckets,
                      RunCounts& counts, int (*progress)(int)) {
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

}  // namespace readpass

#endif
