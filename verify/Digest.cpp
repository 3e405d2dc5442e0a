#include "verify/Digest.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

const char* const RUN_DIGEST_NAME = "RunDigest.txt";

namespace {

const char* const kDigestTitle = "vaskreport run digest";

uint64_t Finish64(uint64_t x) {
  x ^= x >> 30;
  x *= 0xbf58476d1ce4e5b9ull;
  x ^= x >> 27;
  x *= 0x94d049bb133111ebull;
  x ^= x >> 31;
  return x;
}

uint64_t Rotate(uint64_t x, int bits) { return (x << bits) | (x >> (64 - bits)); }

// Two independent 64-bit lanes over 8-byte words, each finished separately.
void Hash128(const char* bytes, size_t length, uint64_t& high, uint64_t& low) {
  uint64_t a = 0x9e3779b97f4a7c15ull ^ length;
  uint64_t b = 0xc2b2ae3d27d4eb4full + length;
  size_t i = 0;
  for (; i + 8 <= length; i += 8) {
    uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    a = Rotate((a ^ word) * 0x87c37b91114253d5ull, 31);
    b = Rotate(b + word, 27) * 0x4cf5ad432745937full;
  }
  uint64_t tail = 0;
  for (size_t k = 0; i + k < length; ++k)
    tail |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[i + k])) << (8 * k);
  a = Rotate((a ^ tail) * 0x87c37b91114253d5ull, 31);
  b = Rotate(b + tail, 27) * 0x4cf5ad432745937full;
  high = Finish64(a ^ Rotate(b, 17));
  low = Finish64(b + 0x165667b19e3779f9ull);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The text after "key: " on a line that starts with it.
bool ValueOf(const std::string& line, const char* key, std::string& value) {
  size_t n = std::strlen(key);
  if (line.compare(0, n, key) != 0 || line.compare(n, 2, ": ") != 0) return false;
  value = line.substr(n + 2);
  return true;
}

}  // namespace

void LineDigest::Add(const char* bytes, size_t length) {
  uint64_t high, low;
  Hash128(bytes, length, high, low);
  ++Count;
  Low += low;
  High += high + (Low < low ? 1 : 0);
}

LineDigest& LineDigest::operator+=(const LineDigest& other) {
  Count += other.Count;
  Low += other.Low;
  High += other.High + (Low < other.Low ? 1 : 0);
  return *this;
}

bool LineDigest::operator==(const LineDigest& other) const {
  return Count == other.Count && High == other.High && Low == other.Low;
}

std::string LineDigest::HashText() const {
  char text[33];
  std::snprintf(text, sizeof text, "%016llx%016llx", static_cast<unsigned long long>(High),
                static_cast<unsigned long long>(Low));
  return text;
}

std::string LineDigest::Describe() const {
  return std::to_string(Count) + " records, hash " + HashText();
}

bool LineDigest::ParseHash(const std::string& text) {
  if (text.size() != 32) return false;
  uint64_t parts[2] = {0, 0};
  for (size_t i = 0; i < 32; ++i) {
    int digit = HexValue(text[i]);
    if (digit < 0) return false;
    parts[i / 16] = parts[i / 16] << 4 | static_cast<uint64_t>(digit);
  }
  High = parts[0];
  Low = parts[1];
  return true;
}

bool WriteRunDigestFile(const std::string& path, const RunDigestFile& digest) {
  // Written beside, then renamed, so a reader never sees half a digest.
  const std::string temporary = path + ".new";
  // A leftover of that name is replaced, never written through: it may be
  // a link to some other file.
  std::remove(temporary.c_str());
  std::ostringstream text;
  text << kDigestTitle << "\n"
       << "data file: " << digest.DataFile << "\n"
       << "records: " << digest.Records.Count << "\n"
       << "hash: " << digest.Records.HashText() << "\n";
  const std::string bytes = text.str();
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  const bool written = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  if (close(fd) != 0 || !written) {
    std::remove(temporary.c_str());
    return false;
  }
  if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  std::remove(temporary.c_str());
  return false;
}

bool ReadRunDigestFile(const std::string& path, RunDigestFile& digest) {
  std::ifstream in(path, std::ios::binary);
  std::string line, value;
  if (!std::getline(in, line) || line != kDigestTitle) return false;
  bool haveFile = false, haveCount = false, haveHash = false;
  while (std::getline(in, line)) {
    if (ValueOf(line, "data file", value)) {
      digest.DataFile = value;
      haveFile = true;
    } else if (ValueOf(line, "records", value)) {
      char* end = nullptr;
      digest.Records.Count = std::strtoull(value.c_str(), &end, 10);
      haveCount = !value.empty() && *end == '\0';
    } else if (ValueOf(line, "hash", value)) {
      haveHash = digest.Records.ParseHash(value);
    }
  }
  return haveFile && haveCount && haveHash;
}
