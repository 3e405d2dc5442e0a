#include "engine/HalfWorker.h"

#include <algorithm>
#include <iterator>
#include <new>

namespace readpass {

namespace {

void CountHalf(LineCounter& counter, HalfCount& half) {
  half.Counts = RunCounts{};
  half.Blanks.clear();
  half.Lines.clear();
  half.Routes.clear();
  if (half.KeepRoutes) std::fill(std::begin(half.RouteBytes), std::end(half.RouteBytes), 0ull);
  half.Stopped = half.End;
  half.Code = counter.Count(half.Begin, half.End, half.Counts, [&](const DataLine& line, int kind) -> int {
    if (half.KeepLines) {
      // Lines was reserved for MAX_HALF_LINES, so this does not allocate.
      half.Lines.push_back({static_cast<uint32_t>(line.Text - half.Begin),
                            static_cast<uint32_t>(line.Length), static_cast<int16_t>(kind),
                            line.Cr});
      if (half.Lines.size() < MAX_HALF_LINES) return 0;
      char* after = line.Text + line.Length + (line.Cr ? 1 : 0) + 1;
      half.Stopped = after < half.End ? after : half.End;
      return LINES_FULL;
    }
    if (kind != LineCounter::BLANK) {
      if (!half.KeepRoutes) return 0;
      const int bucket = kind == LineCounter::INVALID ? static_cast<int>(TEMP_UNROUTED) : kind;
      half.RouteBytes[bucket] += line.Length + (line.Cr ? 2 : 1);
      try {
        half.Routes.push_back(static_cast<unsigned char>(bucket));
      } catch (const std::bad_alloc&) {
        return ERR_VASKREPORT_OUTOFMEMORY;
      }
      return 0;
    }
    const unsigned long read = half.Counts.Read;
    if (!half.Blanks.empty() && half.Blanks.back().first == read) {
      ++half.Blanks.back().second;
      return 0;
    }
    try {
      half.Blanks.emplace_back(read, 1);
    } catch (const std::bad_alloc&) {
      // The lines may be cut in place already, so they cannot be counted again.
      return ERR_VASKREPORT_OUTOFMEMORY;
    }
    return 0;
  });
  if (half.Code == LINES_FULL) half.Code = 0;
}

// Adds everything but Read, which the caller advances line by line.
void AddCounts(RunCounts& total, const RunCounts& part) {
  for (int i = 0; i <= BSP_COUNT; ++i) total.BspVolumes[i] += part.BspVolumes[i];
  for (int i = 0; i < STATE_COUNT; ++i) total.UnbarcodedVolumes[i] += part.UnbarcodedVolumes[i];
  total.NotMatched += part.NotMatched;
  total.Matched += part.Matched;
  total.Amended += part.Amended;
  total.PreCleaned += part.PreCleaned;
  total.ManuallyAmended += part.ManuallyAmended;
}

}  // namespace

bool HalfWorker::Start(const BucketFiles* buckets) {
  if (!SecondThreadWanted() || m_Spec.RecordLength > MAX_RECORD) return false;
  m_Half.KeepRoutes = buckets && buckets->RoutesOnly();
  m_Half.KeepLines = buckets && !m_Half.KeepRoutes;
  try {
    if (m_Half.KeepLines) m_Half.Lines.reserve(MAX_HALF_LINES);
    if (m_Half.KeepRoutes) m_Half.Routes.reserve(MAX_HALF_LINES);
  } catch (const std::bad_alloc&) {
    return false;
  }
  m_Record.reset(new (std::nothrow) char[static_cast<size_t>(m_Spec.RecordLength) + 1]);
  if (!m_Record) return false;
  m_Counter.reset(new (std::nothrow) LineCounter(m_Spec, m_Record.get()));
  if (!m_Counter) return false;
  return m_Thread.Start();
}

void HalfWorker::Post(char* begin, char* end) {
  m_Half.Begin = begin;
  m_Half.End = end;
  m_Thread.Post([this] { CountHalf(*m_Counter, m_Half); });
}

int AddHalf(const HalfCount& half, RunCounts& counts, int (*progress)(int)) {
  const unsigned long before = counts.Read;
  auto advance = [&](unsigned long records) {
    const unsigned long to = before + records;
    if (progress)
      for (unsigned long at = (counts.Read / PROGRESS_INTERVAL + 1) * PROGRESS_INTERVAL; at <= to;
           at += PROGRESS_INTERVAL) {
        counts.Read = at;
        if (progress(static_cast<int>(at))) return false;
      }
    counts.Read = to;
    return true;
  };
  for (const auto& blanks : half.Blanks) {
    if (!advance(blanks.first)) return ERR_VASKREPORT_USER_CANCELLED;
    for (unsigned long k = 0; k < blanks.second; ++k)
      if (ProgressDue(counts, progress)) return ERR_VASKREPORT_USER_CANCELLED;
  }
  if (!advance(half.Counts.Read)) return ERR_VASKREPORT_USER_CANCELLED;
  AddCounts(counts, half.Counts);
  return half.Code;
}

int AddHalfWithLines(const HalfCount& half, LineCounter& counter, BucketFiles& buckets,
                     RunCounts& counts, int (*progress)(int)) {
  for (const HalfLine& entry : half.Lines) {
    const DataLine line = {half.Begin + entry.Offset, entry.Length, entry.Cr};
    if (entry.Kind == LineCounter::INVALID) {
      if (!buckets.Write(TEMP_UNROUTED, line)) return ERR_VASKREPORT_WRITE_FILE;
      continue;
    }
    if (entry.Kind != LineCounter::BLANK) {
      ++counts.Read;
      if (!buckets.Write(entry.Kind, line)) return ERR_VASKREPORT_WRITE_FILE;
    }
    if (ProgressDue(counts, progress)) return ERR_VASKREPORT_USER_CANCELLED;
  }
  AddCounts(counts, half.Counts);
  if (half.Code) return half.Code;
  return CountLines(half.Stopped, half.End, counter, &buckets, counts, progress);
}

int AddHalfWithRoutes(const HalfCount& half, BucketFiles& buckets, RunCounts& counts,
                      int (*progress)(int)) {
  if (int rc = AddHalf(half, counts, progress)) return rc;
  return buckets.AddRoutes(half.Routes.data(), half.Routes.size(), half.RouteBytes)
             ? 0
             : ERR_VASKREPORT_WRITE_FILE;
}

char* SplitPoint(char* begin, char* end, int share) {
  char* middle = begin + (end - begin) / SHARE_UNITS * share;
  char* feed = static_cast<char*>(std::memchr(middle, '\n', static_cast<size_t>(end - middle)));
  return feed && feed + 1 < end ? feed + 1 : nullptr;
}

}  // namespace readpass
