#ifndef VASKREPORT_ENGINE_ROLESCANNER_H
#define VASKREPORT_ENGINE_ROLESCANNER_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/LineReader.h"
#include "spec/VaskReportSpec.h"

// A value as the record buffer would hold it: the Length characters at Text.
// Text is null for a role that is not set.
struct FieldValue {
  const char* Text;
  size_t Length;
};

enum { ROLE_DPID, ROLE_AMENDED, ROLE_BSP, ROLE_STATE, ROLE_COUNT };

struct LineRoles {
  FieldValue Value[ROLE_COUNT];
};

// Reads the four role values of plain delimited lines straight from the
// data, without a record buffer: each value is what ReadRecord would leave
// in that field (spaces trimmed, cut to the field's room, the line ending at
// a carriage return before its line feed or at its first NUL).
//
// The line feeds, delimiters and NULs of a whole stretch of lines are found
// 64 bytes at a time, so the cost per line is a few instructions per field.
class RoleScanner {
 public:
  enum { MAX_ROLE_FIELD = 254 };

  // Plain layouts only: no qualifier, and a delimiter that is no space, line
  // feed or carriage return (those take part in reading lines).
  static bool Handles(const VaskReportSpec& spec) {
    if (spec.Qualifier != 0 || spec.Delimiter == 0 || spec.Delimiter == ' ' ||
        spec.Delimiter == '\n' || spec.Delimiter == '\r' || spec.FieldCount <= 0 || !spec.Fields)
      return false;
    for (int field : RoleFieldsOf(spec))
      if (field > MAX_ROLE_FIELD && field < spec.FieldCount) return false;
    return true;
  }

  explicit RoleScanner(const VaskReportSpec& spec)
      : m_Delimiter(static_cast<unsigned char>(spec.Delimiter)) {
    const RoleFieldList fields = RoleFieldsOf(spec);
    for (int role = 0; role < ROLE_COUNT; ++role) {
      const int field = fields.Field[role];
      const bool set = field >= 0 && field < spec.FieldCount && field <= MAX_ROLE_FIELD;
      m_RoleField[role] = set ? field : -1;
      m_RoleRoom[role] = set ? Room(spec, spec.Fields[field]) : 0;
    }
  }

  // Calls onLine(const DataLine&, const LineRoles&) for every line of
  // [p, end) in order (the line's text is not NUL-terminated; a blank line
  // has Length 0 and no meaningful roles). Stops at, and returns, the first
  // non-zero result of onLine.
  template <class OnLine>
  int Scan(char* p, char* end, OnLine&& onLine) const {
    // Where each field of the current line begins, less one, from the line's
    // start: entry 0 is -1, entry n + 1 the n-th delimiter. A line of more
    // delimiters than the table holds is read again slowly.
    int32_t before[POSITIONS + 1];
    before[0] = -1;
    char* line = p;
    uint32_t count = 0;         // delimiters of the line so far
    const char* cut = nullptr;  // the line's first NUL, where it reads as ending
    for (char* block = p; block < end; block += BLOCK) {
      const size_t n = static_cast<size_t>(end - block) < BLOCK ? static_cast<size_t>(end - block)
                                                                 : BLOCK;
      uint64_t delimiters, feeds, nuls;
      Masks(block, n, delimiters, feeds, nuls);
      if (!nuls && !cut) {
        // The usual block: no NUL to look out for.
        for (uint64_t bits = delimiters | feeds; bits; bits &= bits - 1) {
          const int k = __builtin_ctzll(bits);
          if ((feeds >> k) & 1) {
            if (int rc = EndLine(line, block + k, count, before, nullptr, onLine)) return rc;
            line = block + k + 1;
            count = 0;
            continue;
          }
          before[1 + (count & (POSITIONS - 1))] = static_cast<int32_t>(block + k - line);
          ++count;
        }
        continue;
      }
      for (uint64_t bits = delimiters | feeds | nuls; bits; bits &= bits - 1) {
        const int k = __builtin_ctzll(bits);
        char* at = block + k;
        if ((feeds >> k) & 1) {
          if (int rc = EndLine(line, at, count, before, cut, onLine)) return rc;
          line = at + 1;
          count = 0;
          cut = nullptr;
          continue;
        }
        if (cut) continue;
        if ((nuls >> k) & 1) {
          cut = at;
          continue;
        }
        before[1 + (count & (POSITIONS - 1))] = static_cast<int32_t>(at - line);
        ++count;
      }
    }
    return line < end ? EndLine(line, end, count, before, cut, onLine) : 0;
  }

 private:
  enum { POSITIONS = 256 };
  static constexpr size_t BLOCK = 64;

  struct RoleFieldList {
    int Field[ROLE_COUNT];
    const int* begin() const { return Field; }
    const int* end() const { return Field + ROLE_COUNT; }
  };
  static RoleFieldList RoleFieldsOf(const VaskReportSpec& spec) {
    return {{spec.DpidField, spec.AmendedField, spec.BspField, spec.StateField}};
  }

  // The characters a field keeps, as ReadRecord clamps them to the buffer.
  static size_t Room(const VaskReportSpec& spec, const VaskReportSpec::FieldSpec& field) {
    if (field.Offset < 0 || field.Offset >= spec.RecordLength) return 0;
    const int room = spec.RecordLength - field.Offset - 1;
    return static_cast<size_t>(field.Size < room ? (field.Size > 0 ? field.Size : 0) : room);
  }

  // Finds the delimiters of a line again, one byte at a time, when the
  // table did not hold them all; only the first POSITIONS matter.
  void Rescan(const char* line, const char* stop, int32_t* before, uint32_t& count) const {
    count = 0;
    for (const char* at = line; at < stop && count < POSITIONS; ++at)
      if (static_cast<unsigned char>(*at) == m_Delimiter)
        before[1 + count++] = static_cast<int32_t>(at - line);
  }

  template <class OnLine>
  int EndLine(char* line, char* stop, uint32_t count, int32_t* before, const char* cut,
              OnLine& onLine) const {
    DataLine data;
    data.Text = line;
    data.Cr = stop > line && stop[-1] == '\r';
    if (data.Cr) --stop;
    data.Length = static_cast<size_t>(stop - line);
    const char* textEnd = cut ? cut : stop;
    if (count > POSITIONS) Rescan(line, textEnd, before, count);
    LineRoles roles;
    for (int role = 0; role < ROLE_COUNT; ++role) {
      const int field = m_RoleField[role];
      FieldValue& value = roles.Value[role];
      if (field < 0) {
        value = {nullptr, 0};
        continue;
      }
      if (static_cast<uint32_t>(field) > count) {
        value = {line, 0};  // a field the line does not reach is empty
        continue;
      }
      const char* begin = line + before[field] + 1;
      const char* end = static_cast<uint32_t>(field) < count ? line + before[field + 1] : textEnd;
      while (begin < end && *begin == ' ') ++begin;
      size_t kept = static_cast<size_t>(end - begin);
      if (kept > m_RoleRoom[role]) kept = m_RoleRoom[role];
      while (kept > 0 && begin[kept - 1] == ' ') --kept;
      value = {begin, kept};
    }
    return onLine(static_cast<const DataLine&>(data), static_cast<const LineRoles&>(roles));
  }

  // One bit per byte of the n (at most BLOCK) bytes at p.
  void Masks(const char* p, size_t n, uint64_t& delimiters, uint64_t& feeds,
             uint64_t& nuls) const {
    delimiters = feeds = nuls = 0;
#if defined(__SSE2__)
    if (n == BLOCK) {
      const __m128i delimiter = _mm_set1_epi8(static_cast<char>(m_Delimiter));
      const __m128i feed = _mm_set1_epi8('\n');
      const __m128i zero = _mm_setzero_si128();
      for (int k = 0; k < 4; ++k) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        const int shift = 16 * k;
        delimiters |= static_cast<uint64_t>(static_cast<unsigned>(
                          _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, delimiter))))
                      << shift;
        feeds |= static_cast<uint64_t>(
                     static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, feed))))
                 << shift;
        nuls |= static_cast<uint64_t>(
                    static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, zero))))
                << shift;
      }
      return;
    }
#endif
    for (size_t k = 0; k < n; ++k) {
      const unsigned char c = static_cast<unsigned char>(p[k]);
      delimiters |= static_cast<uint64_t>(c == m_Delimiter) << k;
      feeds |= static_cast<uint64_t>(c == '\n') << k;
      nuls |= static_cast<uint64_t>(c == 0) << k;
    }
  }

  unsigned char m_Delimiter;
  int m_RoleField[ROLE_COUNT];  // -1 for a role not set
  size_t m_RoleRoom[ROLE_COUNT];
};

#endif
