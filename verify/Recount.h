#ifndef VASKREPORT_VERIFY_RECOUNT_H
#define VASKREPORT_VERIFY_RECOUNT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "verify/Digest.h"

class VaskReportSpec;

enum {
  RECOUNT_BSPS = 54,
  RECOUNT_STATES = 8,
  // Where a line belongs, numbered like the run's temporary files.
  ROUTE_FIRST_UNBARCODED = 54,  // + state number
  ROUTE_UNKNOWN_STATE = 62,
  ROUTE_UNROUTED = 64,          // rejected by the record reader, or barcoded without a BSP 1..54
  ROUTE_COUNT = 65,
  // More runs than routes means the lines are not grouped by route.
  ROUTE_RUNS_KEPT = 2 * ROUTE_COUNT,
};

// Reads a file line by line through one buffer that grows only for a longer
// line. A line is its bytes before the line feed, carriage return included,
// terminated; it stays valid until the next call.
class LineFile {
 public:
  LineFile() = default;
  ~LineFile();
  LineFile(const LineFile&) = delete;
  LineFile& operator=(const LineFile&) = delete;

  bool Open(const std::string& path);
  // 1 with a line, 0 at end of file, -1 on a read failure.
  int Next(char*& text, size_t& length);

 private:
  bool Fill();

  FILE* m_File = nullptr;
  std::vector<char> m_Buffer;
  size_t m_Begin = 0;
  size_t m_Scanned = 0;
  size_t m_End = 0;
  bool m_Eof = false;
};

// Every figure one pass over the data file gives, counted the way the run
// classifies records, without the run's own tallies or temporary files.
struct Recount {
  uint64_t Read = 0;  // records the run counts
  uint64_t Matched = 0;
  uint64_t Amended = 0;
  uint64_t PreCleaned = 0;
  uint64_t ManuallyAmended = 0;
  uint64_t NotMatched = 0;
  uint64_t Invalid = 0;  // lines the record reader rejects
  unsigned long BspVolumes[RECOUNT_BSPS + 1] = {};
  unsigned long UnbarcodedVolumes[RECOUNT_STATES] = {};
  LineDigest Lines;                // every record line, as the run carries it
  LineDigest Routes[ROUTE_COUNT];  // the same lines by route
  std::vector<int> Runs;           // routes of successive lines, repeats folded
  bool RunsOverflow = false;
};

// State number of a BSP 1..54, or -1.
int BspState(int bsp);

// Route of one record line; counts it into recount. record holds
// spec.RecordLength + 1 characters. Returns -1 when the reader fails otherwise.
int ClassifyLine(const VaskReportSpec& spec, const char* line, char* record, Recount& recount);

// One pass over the data file of a validated spec. Returns 0, or -1 with
// problem set when the file cannot be read.
int RecountDataFile(const VaskReportSpec& spec, Recount& recount, std::string& problem);

// The digest of every line of a file after its header line (when asked),
// blank lines too unless skipBlank. Returns false when it cannot be read.
bool DigestFile(const std::string& path, bool skipHeader, bool skipBlank, LineDigest& digest);
// The same over the rest of an open file.
bool DigestLines(LineFile& file, bool skipHeader, bool skipBlank, LineDigest& digest);

#endif
