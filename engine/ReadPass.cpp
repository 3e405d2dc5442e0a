#include "engine/ReadPass.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "engine/HalfWorker.h"
#include "engine/LineCounter.h"
#include "engine/LineReader.h"

using namespace readpass;

namespace {

int ReaderFailure(int got) {
  return got == LineReader::NO_MEMORY ? ERR_VASKREPORT_OUTOFMEMORY : ERR_VASKREPORT_READ_FILE;
}

}  // namespace

long ReadNumber(const char* text, size_t length, bool& digits) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  const unsigned char* end = p + length;
  while (p < end && IsSpace(*p)) ++p;
  bool negative = p < end && *p == '-';
  if (p < end && (*p == '-' || *p == '+')) ++p;
  unsigned long magnitude = 0;
  const unsigned long limit = negative ? 0ul - static_cast<unsigned long>(LONG_MIN) : LONG_MAX;
  digits = false;
  for (; p < end && *p >= '0' && *p <= '9'; ++p) {
    digits = true;
    unsigned digit = *p - '0';
    magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
  }
  if (!negative) return static_cast<long>(magnitude);
  return magnitude == limit ? LONG_MIN : -static_cast<long>(magnitude);
}

int ReadDataFile(const VaskReportSpec& spec, LineReader& reader, char* record,
                 BucketFiles* buckets, RunCounts& counts, int (*progress)(int)) {
  LineCounter counter(spec, record);
  // When a second thread is wanted, large blocks are split in two and the
  // second part counted on it; what the caller does line by line (progress,
  // buckets) for that part is done afterwards, in file order.
  HalfWorker worker(spec);
  enum { UNTRIED, RUNNING, ALONE } shared = UNTRIED;
  // The caller's part of a block, in SHARE_UNITS. It also reads the blocks
  // and does the line by line work of both parts, so the parts are not
  // halves: whichever side waited for the other gets a unit more of the next.
  int share = SHARE_UNITS / 2;
  DataBlock block;
  int got = reader.NextBlock(block);
  while (got == LineReader::LINE) {
    char* end = block.Text + block.Length;
    char* split = block.Length >= SPLIT_BLOCK && block.Length < UINT32_MAX && shared != ALONE
                      ? SplitPoint(block.Text, end, share)
                      : nullptr;
    if (split && shared == UNTRIED) shared = worker.Start(buckets) ? RUNNING : ALONE;
    if (!split || shared != RUNNING) {
      if (int rc = CountLines(block.Text, end, counter, buckets, counts, progress)) return rc;
      got = reader.NextBlock(block);
      continue;
    }
    worker.Post(split, end);
    int rc = CountLines(block.Text, split, counter, buckets, counts, progress);
    // The next block is read while the worker may still count this one; a
    // failure to read it counts only after this block's lines.
    DataBlock next;
    int nextGot = rc ? LineReader::END : reader.NextBlock(next);
    if (worker.Busy())
      share = std::min(share + 1, static_cast<int>(MOST_SHARE));
    else
      share = std::max(share - 1, static_cast<int>(SHARE_UNITS - MOST_SHARE));
    const HalfCount& half = worker.Wait();
    if (rc) return rc;
    if (!buckets)
      rc = AddHalf(half, counts, progress);
    else if (buckets->RoutesOnly())
      rc = AddHalfWithRoutes(half, *buckets, counts, progress);
    else
      rc = AddHalfWithLines(half, counter, *buckets, counts, progress);
    if (rc) return rc;
    block = next;
    got = nextGot;
  }
  return got == LineReader::END ? 0 : ReaderFailure(got);
}
