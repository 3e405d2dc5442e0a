#include "engine/ReadPass.h"

#include <climits>

#include "engine/BucketFiles.h"
#include "engine/LineReader.h"
#include "engine/ReportErrors.h"
#include "engine/Resort.h"
#include "spec/RecordFields.h"
#include "spec/VaskReportSpec.h"

namespace {

enum { PROGRESS_INTERVAL = 1000 };

// Where the role values lie in the record buffer; null for an unset role.
struct RoleValues {
  const char* Dpid;
  const char* Amended;
  const char* Bsp;
  const char* State;
  int LodgementState;

  RoleValues(const VaskReportSpec& spec, const char* record)
      : Dpid(Value(spec, record, spec.DpidField)),
        Amended(Value(spec, record, spec.AmendedField)),
        Bsp(Value(spec, record, spec.BspField)),
        State(Value(spec, record, spec.StateField)),
        LodgementState(spec.State >= 0 && spec.State < STATE_COUNT ? spec.State : STATE_NT) {}

  static const char* Value(const VaskReportSpec& spec, const char* record, int field) {
    return field >= 0 && field < spec.FieldCount ? record + spec.Fields[field].Offset : nullptr;
  }
};

void CountAmendment(const char* value, RunCounts& counts) {
  bool digits = false;
  long flag = ReadNumber(value, digits);
  if (flag < 0)
    ++counts.ManuallyAmended;
  else if (flag & 8)
    ++counts.PreCleaned;
  else if (flag & 4)
    ++counts.Amended;
  else if (digits)
    ++counts.Matched;
}

// Counts one barcoded record; returns its bucket.
int CountBarcoded(const RoleValues& roles, RunCounts& counts) {
  if (roles.Amended) CountAmendment(roles.Amended, counts);
  if (!roles.Bsp) return TEMP_UNROUTED;
  bool digits = false;
  long bsp = ReadNumber(roles.Bsp, digits);
  if (bsp < 1 || bsp > BSP_COUNT) return TEMP_UNROUTED;
  ++counts.BspVolumes[bsp];
  return static_cast<int>(bsp - 1);
}

// Counts one unbarcoded record; returns its bucket.
int CountUnbarcoded(const RoleValues& roles, RunCounts& counts) {
  ++counts.NotMatched;
  int state = roles.State ? StateToNumber(roles.State) : roles.LodgementState;
  if (state < 0) {
    ++counts.UnbarcodedVolumes[roles.LodgementState];
    return TEMP_UNKNOWN_STATE;
  }
  ++counts.UnbarcodedVolumes[state];
  return TEMP_FIRST_UNBARCODED + state;
}

// The distinct fields the pass looks at, ascending.
struct RoleFields {
  int Index[4];
  int Count = 0;

  explicit RoleFields(const VaskReportSpec& spec) {
    for (int field : {spec.DpidField, spec.AmendedField, spec.BspField, spec.StateField}) {
      if (field < 0 || field >= spec.FieldCount) continue;
      int at = Count;
      while (at > 0 && Index[at - 1] > field) --at;
      if (at > 0 && Index[at - 1] == field) continue;
      for (int k = Count; k > at; --k) Index[k] = Index[k - 1];
      Index[at] = field;
      ++Count;
    }
  }
};

int ReaderFailure(int got) {
  return got == LineReader::NO_MEMORY ? ERR_VASKREPORT_OUTOFMEMORY : ERR_VASKREPORT_READ_FILE;
}

}  // namespace

long ReadNumber(const char* text, bool& digits) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;  // isspace in the C locale
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  unsigned long magnitude = 0;
  const unsigned long limit = negative ? 0ul - static_cast<unsigned long>(LONG_MIN) : LONG_MAX;
  digits = false;
  for (; *p >= '0' && *p <= '9'; ++p) {
    digits = true;
    unsigned digit = *p - '0';
    magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
  }
  if (!negative) return static_cast<long>(magnitude);
  return magnitude == limit ? LONG_MIN : -static_cast<long>(magnitude);
}

int ReadDataFile(const VaskReportSpec& spec, LineReader& reader, char* record,
                 BucketFiles* buckets, RunCounts& counts, int (*progress)(int)) {
  const RoleValues roles(spec, record);
  const RoleFields fields(spec);
  DataLine line;
  for (;;) {
    int got = reader.Next(line);
    if (got == LineReader::END) return 0;
    if (got != LineReader::LINE) return ReaderFailure(got);
    if (line.Length > 0) {
      int rc = ReadRecordFields(spec, record, line.Text, fields.Index, fields.Count);
      if (rc == ERR_READRECORD_INVALID_RECORD) {
        if (buckets && !buckets->Write(TEMP_UNROUTED, line)) return ERR_VASKREPORT_WRITE_FILE;
        continue;
      }
      if (rc) return rc;
      ++counts.Read;
      int bucket = *roles.Dpid ? CountBarcoded(roles, counts) : CountUnbarcoded(roles, counts);
      if (buckets && !buckets->Write(bucket, line)) return ERR_VASKREPORT_WRITE_FILE;
    }
    if (progress && counts.Read % PROGRESS_INTERVAL == 0 &&
        progress(static_cast<int>(counts.Read)))
      return ERR_VASKREPORT_USER_CANCELLED;
  }
}
