#ifndef VASKREPORT_ENGINE_HALFWORKER_H
#define VASKREPORT_ENGINE_HALFWORKER_H

// The second thread of the read pass: the second part of a large block is
// counted there while the caller counts the first, and the caller then
// replays what that part's lines would have done one by one (progress
// calls, bucket writes) in file order.

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "engine/JobThread.h"
#include "engine/LineCounter.h"

namespace readpass {

// One line of a half counted on the worker, for the caller to write to its
// bucket in file order.
struct HalfLine {
  uint32_t Offset;  // from the half's beginning
  uint32_t Length;
  int16_t Kind;     // as LineCounter gives it
  bool Cr;
};

// The second half of a block, counted on the worker thread without calling
// progress or writing: what the caller needs to do both afterwards as
// CountLines would have.
struct HalfCount {
  char* Begin;
  char* End;
  bool KeepLines;  // buckets are written: every line goes to Lines
  bool KeepRoutes;  // only routes are written: each line's bucket goes to Routes
  std::vector<unsigned char> Routes;
  unsigned long long RouteBytes[BucketFiles::SLOTS];  // of the lines in Routes, by bucket
  RunCounts Counts;
  // Without KeepLines, runs of blank lines: records of the half before them,
  // and how many.
  std::vector<std::pair<unsigned long, unsigned long>> Blanks;
  std::vector<HalfLine> Lines;
  char* Stopped;  // where counting stopped because Lines was full, else End
  int Code;       // the code that ended the half, or 0
};

enum { MAX_HALF_LINES = 65536, LINES_FULL = 1 };

// A thread that counts one half of a block while the caller counts the other.
class HalfWorker {
 public:
  enum { MAX_RECORD = 1048576 };

  explicit HalfWorker(const VaskReportSpec& spec) : m_Spec(spec) {}

  // False when the thread or its record buffer cannot be had; the caller
  // then counts alone. Given buckets, every line of a half is kept, or, when
  // they take only routes, each line's route.
  bool Start(const BucketFiles* buckets);
  // Counts [begin, end) on the thread.
  void Post(char* begin, char* end);

  // Whether the thread is still counting the part posted last.
  bool Busy() { return m_Thread.Busy(); }

  const HalfCount& Wait() {
    m_Thread.Wait();
    return m_Half;
  }

 private:
  const VaskReportSpec& m_Spec;
  std::unique_ptr<char[]> m_Record;
  std::unique_ptr<LineCounter> m_Counter;
  HalfCount m_Half{};
  // Last, so that it is stopped before what its jobs use goes.
  JobThread m_Thread;
};

// Blocks smaller than this are not worth handing part of to the worker.
enum { SPLIT_BLOCK = 65536 };

// A block is cut share / SHARE_UNITS of the way in, share from
// SHARE_UNITS - MOST_SHARE to MOST_SHARE.
enum { SHARE_UNITS = 64, MOST_SHARE = 48 };

// Where a block splits in two: after the first line feed at or past share
// units of it, or null when its second part would be empty.
char* SplitPoint(char* begin, char* end, int share);

// Adds a half counted on the worker, making the progress calls its lines
// would have made one by one.
int AddHalf(const HalfCount& half, RunCounts& counts, int (*progress)(int));
// Adds a half counted on the worker with its lines kept: writes each to its
// bucket and calls progress as CountLines would have, then counts the rest
// of the half, if the worker stopped short of it.
int AddHalfWithLines(const HalfCount& half, LineCounter& counter, BucketFiles& buckets,
                     RunCounts& counts, int (*progress)(int));
// Adds a half counted on the worker with its routes kept: AddHalf, then the
// routes, in file order.
int AddHalfWithRoutes(const HalfCount& half, BucketFiles& buckets, RunCounts& counts,
                      int (*progress)(int));

}  // namespace readpass

#endif
