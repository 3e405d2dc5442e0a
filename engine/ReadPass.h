#ifndef VASKREPORT_ENGINE_READPASS_H
#define VASKREPORT_ENGINE_READPASS_H

#include <cstddef>

#include "base/States.h"

class BucketFiles;
class LineReader;
class VaskReportSpec;

// What the read pass counts: the two arrays the tallies are calculated from
// and the six figures of the summary report.
struct RunCounts {
  unsigned long BspVolumes[BSP_COUNT + 1];
  unsigned long UnbarcodedVolumes[STATE_COUNT];
  unsigned long Read;
  unsigned long NotMatched;
  unsigned long Matched;
  unsigned long Amended;
  unsigned long PreCleaned;
  unsigned long ManuallyAmended;
};

// Reads every remaining line, counting each record and, when buckets is not
// null, copying each non-blank line to its bucket. record holds RecordLength
// + 1 characters. 0 at end of file, else the code that ended the pass.
int ReadDataFile(const VaskReportSpec& spec, LineReader& reader, char* record,
                 BucketFiles* buckets, RunCounts& counts, int (*progress)(int));

// Reads a decimal integer from the length characters at text as strtol does;
// digits tells whether one was read.
long ReadNumber(const char* text, size_t length, bool& digits);

#endif
