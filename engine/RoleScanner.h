#ifndef VASKREPORT_ENGINE_ROLESCANNER_H
#define VASKREPORT_ENGINE_ROLESCANNER_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/ByteMasks.h"
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
// 64 bytes at a time (with the widest vectors the processor has), so the
// cost per line is a few instructions per field.
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

  // finder: how the delimiters and line feeds are found, the fastest the
  // processor runs unless a test asks for another.
  explicit RoleScanner(const VaskReportSpec& spec, MaskFinder finder = BestMaskFinder())
      : m_FindMasks(finder), m_Delimiter(static_cast<unsigned char>(spec.Delimiter)) {
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
    ByteMasks masks[CHUNK_BLOCKS];
    for (char* block = p; block < end;) {
      // The masks of a chunk of blocks at once, so the finder is called
      // seldom; a last partial block is looked at byte by byte.
      const size_t left = static_cast<size_t>(end - block);
      const size_t most = CHUNK_BLOCKS;
      size_t blocks = left / MASK_BLOCK < most ? left / MASK_BLOCK : most;
      if (blocks)
        m_FindMasks(block, blocks, m_Delimiter, masks);
      else
        ScalarMasks(block, left, m_Delimiter, masks[blocks++]);
      for (size_t b = 0; b < blocks; ++b, block += MASK_BLOCK) {
        const uint64_t delimiters = masks[b].Delimiters, feeds = masks[b].Feeds;
        const uint64_t nuls = masks[b].Nuls;
        if (!nuls && !cut) {
          // The usual block: no NUL to look out for. Each line feed ends
          // the line whose delimiters come before it.
          uint64_t left = delimiters;
          for (uint64_t ends = feeds; ends; ends &= ends - 1) {
            const int k = __builtin_ctzll(ends);
            const uint64_t upTo = (uint64_t{1} << k) - 1;
            Positions(left & upTo, static_cast<int32_t>(block - line), count, before);
            left &= ~upTo;
            if (int rc = EndLine(line, block + k, count, before, nullptr, onLine)) return rc;
            line = block + k + 1;
            count = 0;
          }
          Positions(left, static_cast<int32_t>(block - line), count, before);
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
          Positions(uint64_t{1} << k, static_cast<int32_t>(block - line), count, before);
        }
      }
      if (left < MASK_BLOCK) break;
    }
    return line < end ? EndLine(line, end, count, before, cut, onLine) : 0;
  }

 private:
  enum { POSITIONS = 256, CHUNK_BLOCKS = 64 };

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

  // Adds the delimiters of bits, a block's mask, at offset from the line.
  static void Positions(uint64_t bits, int32_t offset, uint32_t& count, int32_t* before) {
    for (; bits; bits &= bits - 1)
      before[1 + (count++ & (POSITIONS - 1))] = offset + __builtin_ctzll(bits);
  }

  // Finds the delimiters of a line again, one byte at a time, when the
  // table did not hold them all; only the first POSITIONS matter.
  void Rescan(const char* line, const char* stop, int32_t* before, uint32_t& count) const {
    count = 0;
    for (const char* at = line; at < stop && count < POSITIONS; ++at)
      if (static_cast<unsigned char>(*at) == m_Delimiter)
        before[1 + count++] = static_cast<int32_t>(at - line);
  }

  // Inline in the loops above: a call a line costs more than the work.
  template <class OnLine>
  __attribute__((always_inline)) int EndLine(char* line, char* stop, uint32_t count,
                                             int32_t* before, const char* cut,
                                             OnLine& onLine) const {
    DataLine data;
    data.Text = line;
    data.Cr = stop > line && stop[-1] == '\r';
    if (data.Cr) --stop;
    data.Length = static_cast<size_t>(stop - line);
    const char* textEnd = cut ? cut : stop;
    if (count > POSITIONS) Rescan(line, textEnd, before, count);
    LineRoles roles;
    // Unrolled, so each role's field, room and checks are fixed per copy.
#pragma GCC unroll 4
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

  MaskFinder m_FindMasks;
  unsigned char m_Delimiter;
  int m_RoleField[ROLE_COUNT];  // -1 for a role not set
  size_t m_RoleRoom[ROLE_COUNT];
};

#endif
