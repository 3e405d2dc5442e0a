#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
// The scan only looks for the field's end; the kept part is copied at once.
const unsigned char* ReadPlain(const unsigned char* p, unsigned char delimiter,
                               unsigned char qualifier, FieldOut& out) {
  const unsigned char* start = p;
  while (*p != '\0' && *p != delimiter) ++p;
  const size_t length = static_cast<size_t>(p - start);
  out.length = length < static_cast<size_t>(out.room) ? static_cast<int>(length) : out.room;
  std::memcpy(out.text, start, static_cast<size_t>(out.length));
  if (qualifier != 0 && std::memchr(start, qualifier, static_cast<size_t>(out.length))) return nullptr;
  return *p == '\0' ? p : p + 1;
}

// Plain delimited lines (no qualifier, delimiter not a space) are the common
// case of large mailings. The delimiters of the line are found first, a block
// at a time, so the field loop does not stop at every byte.
enum { FAST_FIELDS = 256 };
constexpr size_t SCAN_BLOCK = 16;

// The delimiters among the n (at most SCAN_BLOCK) bytes at p, one bit per byte.
inline unsigned ScanBlock(const char* p, size_t n, unsigned char delimiter) {
#if defined(__SSE2__)
  if (n == SCAN_BLOCK) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(delimiter)))));
  }
#endif
  unsigned delimiters = 0;
  for (size_t k = 0; k < n; ++k)
    delimiters |= static_cast<unsigned>(static_cast<unsigned char>(p[k]) == delimiter) << k;
  return delimiters;
}

// Without a popcount instruction in the baseline, the builtin is a call.
inline int BitCount16(unsigned x) {
  x = x - ((x >> 1) & 0x5555u);
  x = (x & 0x3333u) + ((x >> 2) & 0x3333u);
  x = (x + (x >> 4)) & 0x0f0fu;
  return static_cast<int>((x + (x >> 8)) & 0x1fu);
}

// Positions of the first delimiters of the length characters of line, up to
// want of them (and up to SCAN_BLOCK more, unused); returns how many are valid.
int FindDelimiters(const char* line, size_t length, unsigned char delimiter, int want,
                   uint32_t* positions) {
  int found = 0;
  for (size_t at = 0; at < length && found < want; at += SCAN_BLOCK) {
    const size_t rest = length - at;
    // The last short block is read as the block ending at the line's end,
    // when the line is long enough, with the bytes before at shifted out.
    const size_t base = rest >= SCAN_BLOCK || length < SCAN_BLOCK ? at : length - SCAN_BLOCK;
    const size_t n = rest >= SCAN_BLOCK ? SCAN_BLOCK : length - base;
    unsigned delimiters = ScanBlock(line + base, n, delimiter) >> (at - base);
    // Four stores whatever the count, so the usual block takes no branch.
    const int count = BitCount16(delimiters);
    const unsigned guard = 1u << 31;
    for (int k = 0; k < 4; ++k) {
      positions[found + k] = static_cast<uint32_t>(at + __builtin_ctz(delimiters | guard));
      delimiters &= delimiters - 1;
    }
    for (int k = 4; k < count; ++k) {
      positions[found + k] = static_cast<uint32_t>(at + __builtin_ctz(delimiters));
      delimiters &= delimiters - 1;
    }
    found += count;
  }
  return found < want ? found : want;
}

bool FastPlainLayout(const VaskReportSpec& spec) {
  return spec.Qualifier == 0 && spec.Delimiter != 0 && spec.Delimiter != ' ' &&
         spec.FieldCount <= FAST_FIELDS;
}

// Reads field i of a plain line, which spans [start, end) with its spaces.
void ReadPlainField(char* record, const VaskReportSpec& spec, int i, const char* line,
                    size_t start, size_t end) {
  while (start < end && line[start] == ' ') ++start;
  FieldOut out = FieldPlace(record, spec.Fields[i], spec.RecordLength);
  const size_t kept = end - start;
  out.length = kept < static_cast<size_t>(out.room) ? static_cast<int>(kept) : out.room;
  // Trailing spaces of the kept part are dropped from the line, not from the
  // copy: reading back a byte just copied stalls the load.
  while (out.length > 0 && line[start + out.length - 1] == ' ') --out.length;
  std::memcpy(out.text, line + start, static_cast<size_t>(out.length));
  if (out.room > 0) out.text[out.length] = '\0';
}

// Reads every field of a plain line of length characters. False, having read
// nothing, for a line too long for the position table.
bool ReadPlainLine(char* record, const VaskReportSpec& spec, const char* line, size_t length) {
  if (length >= UINT32_MAX) return false;
  uint32_t positions[FAST_FIELDS + SCAN_BLOCK];
  const int found = FindDelimiters(line, length, static_cast<unsigned char>(spec.Delimiter),
                                   spec.FieldCount, positions);
  for (int i = 0; i < spec.FieldCount; ++i) {
    // A field the line does not reach is read as empty.
    const size_t start = i == 0 ? 0 : i <= found ? positions[i - 1] + 1 : length;
    ReadPlainField(record, spec, i, line, start, i < found ? positions[i] : length);
  }
  return true;
}

int ReadDelimited(char* record, const VaskReportSpec& spec, const char* line) {
  const unsigned char delimiter = static_cast<unsigned char>(spec.Delimiter);
  const unsigned char qualifier = static_cast<unsigned char>(spec.Qualifier);
  if (FastPlainLayout(spec) && ReadPlainLine(record, spec, line, std::strlen(line))) return 0;
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
