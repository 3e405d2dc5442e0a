#ifndef VASKREPORT_CLI_DIGEST_H
#define VASKREPORT_CLI_DIGEST_H

#include <cstddef>
#include <cstdint>
#include <string>

// A multiset of lines: their number and the sum, modulo 2^128, of a 128-bit
// hash of each line's bytes. Equal multisets give equal digests in any order.
struct LineDigest {
  uint64_t Count = 0;
  uint64_t High = 0;
  uint64_t Low = 0;

  void Add(const char* bytes, size_t length);
  LineDigest& operator+=(const LineDigest& other);
  bool operator==(const LineDigest& other) const;
  bool operator!=(const LineDigest& other) const { return !(*this == other); }
  // "N records, hash H" with H as 32 hexadecimal digits.
  std::string Describe() const;
  std::string HashText() const;
  // Reads 32 hexadecimal digits written by HashText.
  bool ParseHash(const std::string& text);
};

// What the run keeps of the data file before it is rewritten.
struct RunDigestFile {
  std::string DataFile;
  LineDigest Records;
};

extern const char* const RUN_DIGEST_NAME;

bool WriteRunDigestFile(const std::string& path, const RunDigestFile& digest);
bool ReadRunDigestFile(const std::string& path, RunDigestFile& digest);

#endif
