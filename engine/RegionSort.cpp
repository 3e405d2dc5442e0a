#include "engine/RegionSort.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "engine/BucketFiles.h"
#include "engine/JobThread.h"
#include "engine/LineReader.h"
#include "engine/OutputFile.h"
#include "engine/SortPlan.h"
#include "engine/TempFiles.h"
#include "include/vaskreport.h"
#include "spec/VaskReportSpec.h"
#include "util/StrUtil.h"

namespace {

enum {
  REGION_BUFFER = 65536,
  ROUTE_BUFFER = 65536,
  // Buffers on their way to the second thread, beyond one a bucket.
  SPARE_BUFFERS = 32,
  BATCH = SPARE_BUFFERS / 2,
  // Bytes of the resort copy handed over between two starts of its write-out.
  WRITE_OUT_STEP = 4 << 20,
  // The files of a run: the slots, SortPlan::UNKNOWN_FILE, then these.
  RESORT_FILE = SortPlan::UNKNOWN_FILE + 1,
  UNROUTED_FILE,
  FILES,
  // A line the read pass did not see as the sweep sees it.
  MISMATCH = ERR_VASKREPORT_READ_FILE,
};

void SetDetail(char* message, const std::string& text) {
  if (message) strncpyz(message, text.c_str(), MAX_TEXT);
}

bool PutAll(int fd, const char* bytes, size_t length, unsigned long long at) {
  while (length > 0) {
    const ssize_t wrote = pwrite(fd, bytes, length, static_cast<off_t>(at));
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    bytes += wrote;
    length -= static_cast<size_t>(wrote);
    at += static_cast<unsigned long long>(wrote);
  }
  return true;
}

// A filled buffer and the two places (file, offset) its bytes go to.
struct Piece {
  char* Buffer;
  size_t Length;
  int File[2];  // -1 for none
  unsigned long long At[2];
};

// Writes pieces, on the second thread when there is one: the caller hands
// over a batch and gathers the next while the one before is written, and
// writes pieces itself when it is ahead.
class PieceWriter {
 public:
  // A step of work for the thread beside the writes, or empty when none is due.
  typedef std::function<void()> Chore;

  // fds: the files that Piece::File numbers; chores, asked on the caller's
  // thread for the next chore whenever the thread would otherwise idle.
  bool Allocate(int buckets, const int* fds, std::function<Chore()> chores) {
    m_Fds = fds;
    m_Chores = std::move(chores);
    m_Threaded = SecondThreadWanted();
    const size_t count = static_cast<size_t>(buckets) + (m_Threaded ? SPARE_BUFFERS : 0);
    m_Block.reset(new (std::nothrow) char[count * REGION_BUFFER]);
    if (!m_Block) return false;
    try {
      m_Free.reserve(count);
      m_Batch.reserve(count);
      m_Posted.reserve(count);
    } catch (const std::bad_alloc&) {
      return false;
    }
    for (size_t i = 0; i < count; ++i) m_Free.push_back(m_Block.get() + i * REGION_BUFFER);
    if (m_Threaded) m_Threaded = m_Thread.Start();
    return true;
  }

  // A buffer to fill, free once Put has handed it on. While the thread is
  // busy, the caller writes a piece itself rather than wait, so the writing
  // is shared as the two keep up.
  char* Take() {
    while (m_Free.empty()) {
      if (!m_Threaded || !m_Thread.Busy()) {
        Post();
      } else if (!m_Batch.empty()) {
        Write(m_Batch.back());
        m_Free.push_back(m_Batch.back().Buffer);
        m_Batch.pop_back();
      } else {
        Reclaim();
      }
    }
    char* buffer = m_Free.back();
    m_Free.pop_back();
    return buffer;
  }

  // False once a write has failed.
  bool Put(const Piece& piece) {
    if (m_FailedFile >= 0) return false;
    m_Batch.push_back(piece);
    if (!m_Threaded)
      Post();
    else if (!m_Thread.Busy())
      m_Batch.size() >= BATCH ? Post() : PostChore();
    return m_FailedFile < 0;
  }

  // Whether a second thread writes; only then does the caller ever wait.
  bool Threaded() const { return m_Threaded; }

  // Writes what is left; the file that failed first, or -1.
  int Finish() {
    Post();
    Reclaim();
    return m_FailedFile;
  }

 private:
  // Pieces go to places of their own, so the two threads write in any order.
  void Write(const Piece& piece) {
    for (int j = 0; j < 2 && m_FailedFile < 0; ++j)
      if (piece.File[j] >= 0 &&
          !PutAll(m_Fds[piece.File[j]], piece.Buffer, piece.Length, piece.At[j])) {
        int none = -1;
        m_FailedFile.compare_exchange_strong(none, piece.File[j]);
      }
  }

  // Waits for the batch on the thread and frees its buffers.
  void Reclaim() {
    m_Thread.Wait();
    for (const Piece& piece : m_Posted) m_Free.push_back(piece.Buffer);
    m_Posted.clear();
  }

  // A chore goes alone, holding no buffer, so that however long it takes
  // the caller can go on writing its own pieces.
  void PostChore() {
    Chore chore = m_Chores ? m_Chores() : Chore();
    if (!chore) return;
    Reclaim();
    m_Thread.Post(std::move(chore));
  }

  void Post() {
    Reclaim();
    if (m_Batch.empty()) return;
    m_Posted.swap(m_Batch);
    auto writeAll = [this] {
      for (const Piece& piece : m_Posted) Write(piece);
    };
    if (m_Threaded)
      m_Thread.Post(writeAll);
    else
      writeAll();
  }

  const int* m_Fds = nullptr;
  std::function<Chore()> m_Chores;
  bool m_Threaded = false;
  std::unique_ptr<char[]> m_Block;
  std::vector<char*> m_Free;
  std::vector<Piece> m_Batch;
  std::vector<Piece> m_Posted;  // the thread's while it writes them
  std::atomic<int> m_FailedFile{-1};
  // Last, so that it is stopped before what its jobs use goes.
  JobThread m_Thread;
};

// The files of an earlier run that this run's outputs replace. Removing a
// large file frees its blocks and pages, which takes about as long as
// writing it; held by a descriptor that only names it, its name goes at once
// and the freeing waits for the last close, made on the second thread
// between its writes while the caller writes on. Without that thread they
// are let go before any record is written, so their room is free again
// before the new files take any.
class OldFiles {
 public:
  OldFiles() {
    // A file is held only while the descriptors the run still opens after
    // it, and some for the caller, stay within the process's limit.
    struct rlimit limit;
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < static_cast<rlim_t>(INT_MAX))
      m_Ceiling = static_cast<int>(limit.rlim_cur) - FD_RESERVE;
  }
  ~OldFiles() { CloseAll(); }

  // Before path is replaced: holds what is there, if it is a regular file.
  void Hold(const char* path) {
    if (m_Count == MAX_HELD) return;
    struct stat st;
    if (lstat(path, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size == 0) return;
    const int fd = open(path, O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return;
    if (fd < m_Ceiling)
      m_Fds[m_Count++] = fd;
    else
      close(fd);
  }

  // Hands over the descriptor of one held file, for the taker to close;
  // -1 when none is left.
  int Release() { return m_Count ? m_Fds[--m_Count] : -1; }

  void CloseAll() {
    for (int fd; (fd = Release()) >= 0;) close(fd);
  }

 private:
  enum { MAX_HELD = FILES, FD_RESERVE = FILES + 16 };
  int m_Ceiling = INT_MAX;
  int m_Fds[MAX_HELD];
  int m_Count = 0;
};

// Where a bucket's next bytes go and how many are still to come.
struct Region {
  char* Buffer;
  size_t Used;
  int File[2];
  unsigned long long At[2];
  unsigned long long Left;
};

// Each line's bucket, as the read pass wrote them.
class RouteReader {
 public:
  explicit RouteReader(int fd) : m_Fd(fd) {}

  // The next bucket, -1 at the end, -2 on a read error.
  int Next() {
    if (m_Used == m_Got) {
      const ssize_t got = pread(m_Fd, m_Buffer, ROUTE_BUFFER, static_cast<off_t>(m_At));
      if (got <= 0) return got == 0 ? -1 : -2;
      m_At += static_cast<unsigned long long>(got);
      m_Got = static_cast<size_t>(got);
      m_Used = 0;
    }
    return static_cast<unsigned char>(m_Buffer[m_Used++]);
  }

 private:
  const int m_Fd;
  unsigned long long m_At = 0;
  size_t m_Used = 0, m_Got = 0;
  char m_Buffer[ROUTE_BUFFER];
};

class RegionSort {
 public:
  RegionSort(const SortPlan& plan, const VaskReportSpec& spec, const char* tempDirectory)
      : m_Plan(plan), m_Spec(spec), m_TempDirectory(tempDirectory) {
    std::fill(std::begin(m_Fds), std::end(m_Fds), -1);
  }
  ~RegionSort() {
    for (int fd : m_Fds)
      if (fd >= 0) close(fd);
  }

  int Open(const BucketFiles& buckets, char* message);
  int Lay(const BucketFiles& buckets);
  int Sweep(LineReader& reader, unsigned long long dataBytes, int routes, int (*progress)(int),
            char* message);
  int Close(int rc, char* message);

 private:
  std::string NameOf(int file) const {
    if (file == SortPlan::UNKNOWN_FILE) return m_Plan.UnknownName();
    if (file == UNROUTED_FILE) return m_Plan.UnroutedName();
    if (file == RESORT_FILE) return TempName(TEMP_RESORT_COPY);
    return m_Plan.SlotName(file);
  }
  std::string TempName(int index) const {
    char name[TEMP_NAME_SIZE];
    return MakeTempFileName(name, index, m_TempDirectory);
  }
  int Make(int file, char* message);
  // A join step: the progress call, then its bucket must still be there.
  int Step(int bucket, int (*progress)(int), char* message);
  bool Append(int bucket, const char* bytes, size_t length);
  bool Flush(Region& region);
  PieceWriter::Chore NextChore();
  int Failed(int file, char* message) {
    SetDetail(message, NameOf(file));
    return ERR_VASKREPORT_WRITE_FILE;
  }

  const SortPlan& m_Plan;
  const VaskReportSpec& m_Spec;
  const char* m_TempDirectory;
  int m_Fds[FILES];
  unsigned long long m_Size[FILES] = {};  // what is laid out so far
  Region m_Regions[BucketFiles::SLOTS] = {};
  int m_Steps = 0;
  PieceWriter m_Writer;
  OldFiles m_Old;
  unsigned long long m_ResortNotWrittenOut = 0;  // bytes handed over since the last write-out
};

int RegionSort::Make(int file, char* message) {
  const std::string name = NameOf(file);
  m_Old.Hold(name.c_str());
  // Its mode is narrowed before any record is in it.
  m_Fds[file] = CreateNewFile(name.c_str(), m_Spec.ExpandedPath, MODE_NARROWED);
  if (m_Fds[file] < 0) {
    SetDetail(message, name);
    return ERR_VASKREPORT_OPEN_OUTPUT_FILE;
  }
  const std::string header = HeaderLine(m_Spec);
  if (!PutAll(m_Fds[file], header.data(), header.size(), 0)) return Failed(file, message);
  m_Size[file] = header.size();
  return 0;
}

// In the order, and with the codes, of the join through buckets.
int RegionSort::Open(const BucketFiles& buckets, char* message) {
  for (int slot = 0; slot < m_Plan.Slots(); ++slot)
    if (int rc = Make(slot, message)) return rc;
  if (m_Spec.SortByBsp)
    if (int rc = Make(RESORT_FILE, message)) return rc;
  if (m_Spec.SortIntoStates)
    if (int rc = Make(SortPlan::UNKNOWN_FILE, message)) return rc;
  if (!m_Plan.Split()) return 0;
  // An unrouted file of an earlier run goes with the other old files.
  if (!buckets.Bytes(TEMP_UNROUTED)) m_Old.Hold(m_Plan.UnroutedName().c_str());
  const std::string unrouted = TempName(TEMP_UNROUTED);
  if (access(unrouted.c_str(), F_OK) != 0) {
    SetDetail(message, unrouted);
    return ERR_VASKREPORT_OPEN_SORT_FILE;
  }
  if (buckets.Bytes(TEMP_UNROUTED)) return Make(UNROUTED_FILE, message);
  std::remove(m_Plan.UnroutedName().c_str());  // an older file of that name describes another run
  return 0;
}

// Every bucket's place in the resort copy and in its split file, in the
// order of the join.
int RegionSort::Lay(const BucketFiles& buckets) {
  auto place = [&](int bucket, int file) {
    Region& region = m_Regions[bucket];
    region.Left = buckets.Bytes(bucket);
    region.File[0] = m_Fds[RESORT_FILE] >= 0 ? RESORT_FILE : -1;
    region.File[1] = file >= 0 && m_Fds[file] >= 0 ? file : -1;
    for (int j = 0; j < 2; ++j) {
      if (region.File[j] < 0) continue;
      region.At[j] = m_Size[region.File[j]];
      m_Size[region.File[j]] += region.Left;
    }
  };
  for (int step = 0; step < SortPlan::STEPS; ++step)
    place(m_Plan.StepBucket(step), m_Plan.StepFile(step));
  place(TEMP_UNROUTED, UNROUTED_FILE);
  if (!m_Writer.Allocate(BucketFiles::SLOTS, m_Fds, [this] { return NextChore(); }))
    return ERR_VASKREPORT_OUTOFMEMORY;
  // Without the thread there is none to let the old files go on.
  if (!m_Writer.Threaded()) m_Old.CloseAll();
  for (int bucket = 0; bucket < BucketFiles::SLOTS; ++bucket)
    if (BucketFiles::IsBucket(bucket)) m_Regions[bucket].Buffer = m_Writer.Take();
  return 0;
}

int RegionSort::Step(int bucket, int (*progress)(int), char* message) {
  ++m_Steps;
  if (progress && progress(-m_Steps) != 0) return ERR_VASKREPORT_USER_CANCELLED;
  const std::string name = TempName(bucket);
  const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    SetDetail(message, name);
    return ERR_VASKREPORT_OPEN_SORT_FILE;
  }
  close(fd);
  return 0;
}

// Work for the thread that need not wait for the writes: letting an old
// file go, or starting to write out what the resort copy has been given so
// far. The rename that replaces the data file makes the file system write
// the copy out first; begun during the sweep, little of that is left by
// then. The copy's descriptor stays open until the thread is done: Close
// waits for it first.
PieceWriter::Chore RegionSort::NextChore() {
  const int old = m_Old.Release();
  if (old >= 0) return [old] { close(old); };
  if (m_Fds[RESORT_FILE] < 0 || m_ResortNotWrittenOut < WRITE_OUT_STEP) return nullptr;
  m_ResortNotWrittenOut = 0;
  const int copy = m_Fds[RESORT_FILE];
  return [copy] { sync_file_range(copy, 0, 0, SYNC_FILE_RANGE_WRITE); };
}

bool RegionSort::Flush(Region& region) {
  if (region.File[0] == RESORT_FILE) m_ResortNotWrittenOut += region.Used;
  const Piece piece = {region.Buffer, region.Used, {region.File[0], region.File[1]},
                       {region.At[0], region.At[1]}};
  for (int j = 0; j < 2; ++j) region.At[j] += region.Used;
  region.Used = 0;
  region.Buffer = m_Writer.Take();
  return m_Writer.Put(piece);
}

// False when the bucket would outgrow what the read pass counted for it,
// or a write has failed.
inline bool RegionSort::Append(int bucket, const char* bytes, size_t length) {
  Region& region = m_Regions[bucket];
  if (length > region.Left) return false;
  region.Left -= length;
  while (length > REGION_BUFFER - region.Used) {
    const size_t room = REGION_BUFFER - region.Used;
    std::memcpy(region.Buffer + region.Used, bytes, room);
    region.Used = REGION_BUFFER;
    bytes += room;
    length -= room;
    if (!Flush(region)) return false;
  }
  std::memcpy(region.Buffer + region.Used, bytes, length);
  region.Used += length;
  return true;
}

// Reads the data file again, as far as the read pass read it, and hands each
// line to its bucket's region; the join's steps are spread over the lines.
int RegionSort::Sweep(LineReader& reader, unsigned long long dataBytes, int routesFd,
                      int (*progress)(int), char* message) {
  if (!reader.Restart(dataBytes)) return ERR_VASKREPORT_READ_FILE;
  DataLine header;
  // An empty file has no header line to pass over.
  const int gotHeader = m_Spec.FieldNamesOnFirstLine ? reader.Next(header) : LineReader::LINE;
  if (gotHeader == LineReader::NO_MEMORY) return ERR_VASKREPORT_OUTOFMEMORY;
  if (gotHeader == LineReader::READ_ERROR) return ERR_VASKREPORT_READ_FILE;
  struct stat st;
  if (fstat(routesFd, &st) != 0) return ERR_VASKREPORT_READ_FILE;
  const unsigned long long lines = static_cast<unsigned long long>(st.st_size);
  std::unique_ptr<RouteReader> routes(new (std::nothrow) RouteReader(routesFd));
  if (!routes) return ERR_VASKREPORT_OUTOFMEMORY;
  unsigned long long done = 0;
  auto stepsDue = [&](unsigned long long upTo) -> int {
    while (m_Steps < SortPlan::STEPS &&
           (m_Steps + 1ull) * lines / SortPlan::STEPS <= upTo)
      if (int rc = Step(m_Plan.StepBucket(m_Steps), progress, message)) return rc;
    return 0;
  };
  DataBlock block;
  int got;
  while ((got = reader.NextBlock(block)) == LineReader::LINE) {
    const char* p = block.Text;
    const char* const end = p + block.Length;
    while (p < end) {
      const char* feed = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
      const char* stop = feed ? feed : end;
      const size_t length = static_cast<size_t>(stop - p);
      const char* line = p;
      p = feed ? feed + 1 : end;
      // A blank line (nothing but a carriage return, at most) has no route.
      if (length == 0 || (length == 1 && *line == '\r')) continue;
      const int bucket = routes->Next();
      if (bucket < 0 || bucket >= BucketFiles::SLOTS || !BucketFiles::IsBucket(bucket))
        return bucket == -2 ? static_cast<int>(ERR_VASKREPORT_READ_FILE) : MISMATCH;
      // The line as read and its line feed, which a last line may lack.
      if (!Append(bucket, line, feed ? length + 1 : length) ||
          (!feed && !Append(bucket, "\n", 1))) {
        if (int failed = m_Writer.Finish(); failed >= 0) return Failed(failed, message);
        return MISMATCH;
      }
      ++done;
    }
    if (int rc = stepsDue(done)) return rc;
  }
  if (got != LineReader::END)
    return got == LineReader::NO_MEMORY ? ERR_VASKREPORT_OUTOFMEMORY : ERR_VASKREPORT_READ_FILE;
  if (int rc = stepsDue(~0ull)) return rc;
  if (routes->Next() != -1) return MISMATCH;
  for (int bucket = 0; bucket < BucketFiles::SLOTS; ++bucket) {
    Region& region = m_Regions[bucket];
    if (!BucketFiles::IsBucket(bucket)) continue;
    if (region.Left) return MISMATCH;
    if (region.Used && !Flush(region)) break;
  }
  if (int failed = m_Writer.Finish(); failed >= 0) return Failed(failed, message);
  if (m_Fds[RESORT_FILE] >= 0 || m_Fds[UNROUTED_FILE] >= 0) {
    const std::string unrouted = TempName(TEMP_UNROUTED);
    if (access(unrouted.c_str(), F_OK) != 0) {
      SetDetail(message, unrouted);
      return ERR_VASKREPORT_OPEN_SORT_FILE;
    }
  }
  return 0;
}

// Closes every file; a failure to close counts only when nothing failed before.
int RegionSort::Close(int rc, char* message) {
  m_Writer.Finish();
  int failed = -1;
  static const int order[] = {RESORT_FILE, SortPlan::UNKNOWN_FILE, UNROUTED_FILE};
  auto close_ = [&](int file) {
    if (m_Fds[file] < 0) return;
    if (close(m_Fds[file]) != 0 && failed < 0) failed = file;
    m_Fds[file] = -1;
  };
  for (int slot = 0; slot < m_Plan.Slots(); ++slot) close_(slot);
  for (int file : order) close_(file);
  if (rc || failed < 0) return rc;
  return Failed(failed, message);
}

}  // namespace

int SortIntoRegions(const ManifestInfo& info, const VaskReportSpec& spec, char* message,
                    int (*progress)(int), const char* tempDirectory, LineReader& reader,
                    unsigned long long dataBytes, const BucketFiles& buckets) {
  const SortPlan plan(info, spec);
  std::unique_ptr<RegionSort> sort(new (std::nothrow) RegionSort(plan, spec, tempDirectory));
  if (!sort) return ERR_VASKREPORT_OUTOFMEMORY;
  int rc = sort->Open(buckets, message);
  if (!rc) rc = sort->Lay(buckets);
  if (!rc) rc = sort->Sweep(reader, dataBytes, buckets.Routes(), progress, message);
  return sort->Close(rc, message);
}
