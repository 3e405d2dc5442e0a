#include <cstring>

#include "spec/VaskReportSpec.h"

namespace {

// Where one field goes in the record buffer and how many characters it keeps.
// The room is clamped to the buffer, so no layout or line can write outside it.
struct FieldOut {
  char* text;
  int room;
  int length;
};

FieldOut FieldPlace(char* record, const VaskReportSpec::FieldSpec& field, int recordLength) {
  FieldOut out{record, 0, 0};
  if (field.Offset < 0 || field.Offset >= recordLength) return out;
  out.text = record + field.Offset;
  int room = recordLength - field.Offset - 1;
  out.room = field.Size < room ? (field.Size > 0 ? field.Size : 0) : room;
  return out;
}

inline void Keep(FieldOut& out, char c) {
  if (out.length < out.room) out.text[out.length++] = c;
}

inline void TrimSpaces(FieldOut& out) {
  while (out.length > 0 && out.text[out.length - 1] == ' ') out.text[--out.length] = '\0';
}

inline const unsigned char* SkipSpaces(const unsigned char* p) {
  while (*p == ' ') ++p;
  return p;
}

void ReadFixed(char* record, const VaskReportSpec& spec, const char* line) {
  const char* p = line;
  for (int i = 0; i < spec.FieldCount; ++i) {
    const VaskReportSpec::FieldSpec& field = spec.Fields[i];
    FieldOut out = FieldPlace(record, field, spec.RecordLength);
    int size = field.Size > 0 ? field.Size : 0;
    const char* end = static_cast<const char*>(std::memchr(p, '\0', size));
    int available = end ? static_cast<int>(end - p) : size;
    out.length = available < out.room ? available : out.room;
    std::memcpy(out.text, p, out.length);
    TrimSpaces(out);
    if (end) return;  // the line ends inside this field; the rest stay empty
    p += size;
  }
}

// Reads a qualified field starting at its opening qualifier; returns the
// position after its delimiter (or the line's end), or null when malformed.
const unsigned char* ReadQualified(const unsigned char* p, unsigned char delimiter,
                                   unsigned char qualifier, FieldOut& out) {
  for (++p;; ++p) {
    if (*p == '\0') return nullptr;
    if (*p == qualifier) {
      if (p[1] != qualifier) break;
      ++p;
    }
    Keep(out, static_cast<char>(*p));
  }
  p = SkipSpaces(p + 1);
  if (*p == '\0') return p;
  return *p == delimiter ? p + 1 : nullptr;
}

// Reads a plain field; returns the position after its delimiter (or the
// line's end), or null when a qualifier stands among the characters kept.
const unsigned char* ReadPlain(const unsigned char* p, unsigned char delimiter,
                               unsigned char qualifier, FieldOut& out) {
  bool qualifierKept = false;
  for (; *p != '\0' && *p != delimiter; ++p) {
    if (out.length < out.room) {
      qualifierKept |= qualifier != 0 && *p == qualifier;
      out.text[out.length++] = static_cast<char>(*p);
    }
  }
  if (qualifierKept) return nullptr;
  return *p == '\0' ? p : p + 1;
}

int ReadDelimited(char* record, const VaskReportSpec& spec, const char* line) {
  const unsigned char delimiter = static_cast<unsigned char>(spec.Delimiter);
  const unsigned char qualifier = static_cast<unsigned char>(spec.Qualifier);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(line);
  for (int i = 0; *p != '\0' && i < spec.FieldCount; ++i) {
    FieldOut out = FieldPlace(record, spec.Fields[i], spec.RecordLength);
    p = SkipSpaces(p);
    if (qualifier != 0 && *p == qualifier)
      p = ReadQualified(p, delimiter, qualifier, out);
    else
      p = ReadPlain(p, delimiter, qualifier, out);
    if (!p) return ERR_READRECORD_INVALID_RECORD;
    TrimSpaces(out);
  }
  return 0;
}

}  // namespace

int VaskReportSpec::ReadRecord(char* record, const char* line) const {
  if (FieldCount <= 0 || !Fields) return ERR_READRECORD_NO_FIELDS;
  if (RecordLength > 0) std::memset(record, 0, static_cast<size_t>(RecordLength));
  if (Delimiter == 0) {
    ReadFixed(record, *this, line);
    return 0;
  }
  return ReadDelimited(record, *this, line);
}
