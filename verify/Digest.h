#ifndef VASKREPORT_VERIFY_DIGEST_H
#define VASKREPORT_VERIFY_DIGEST_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class VaskReportSpec;

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

// Before a run that rewrites the data file: keeps a digest of its record lines
// in the output directory (empty: the specification's), made if missing.
// Returns 0, or ERR_VASKREPORT_CREATE_DIRECTORY, ERR_VASKREPORT_OPEN_FILE,
// ERR_VASKREPORT_READ_FILE or ERR_VASKREPORT_WRITE_FILE.
int WriteRunDigest(const VaskReportSpec& spec, const std::string& outputDirectory);

// WriteRunDigest beside a run: the data file is opened by Start, so the
// digest is of the original even when the run replaces it, and read by a
// thread of its own while the run reads it too. Finish waits and writes the
// digest file, with WriteRunDigest's results.
class RunDigestTask {
 public:
  RunDigestTask();
  ~RunDigestTask();
  RunDigestTask(const RunDigestTask&) = delete;
  RunDigestTask& operator=(const RunDigestTask&) = delete;

  int Start(const VaskReportSpec& spec, const std::string& outputDirectory);
  int Finish();

 private:
  struct State;
  std::unique_ptr<State> m_State;
};

#endif
