#include <gtest/gtest.h>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "driver/ReportDriver.h"
#include "engine/BucketFiles.h"
#include "engine/LineReader.h"
#include "engine/ReadPass.h"
#include "engine/TempFiles.h"
#include "spec/VaskReportSpec.h"

using namespace vrtest;

// A large file is read in blocks shared between two threads when no bucket
// is written, and through the plain scanner when the layout allows it; every
// way must count alike, call progress alike and fill the buckets alike.
namespace {

struct WayResult {
  int Code;
  RunCounts Counts;
  std::vector<int> Calls;
  std::string Buckets;  // every bucket, in order, with its number
};

// capacity is the line reader's: blocks smaller than 64 KiB are never shared,
// and none is unless the environment asks for a second thread.
WayResult ReadWay(const VaskReportSpec& spec, const std::string& path, bool withBuckets,
                  size_t capacity, bool secondThread = true) {
  ScopedEnv threads("VASKREPORT_THREADS", secondThread ? "2" : nullptr);
  TempDir dir;
  LineReader reader;
  EXPECT_TRUE(reader.Allocate(capacity));
  EXPECT_TRUE(reader.Open(path.c_str()));
  BucketFiles buckets;
  if (withBuckets) {
    EXPECT_EQ(0, buckets.Create((dir.path() + "/").c_str(), nullptr));
  }
  std::vector<char> record(spec.RecordLength + 1);
  WayResult result = {};
  g_ProgressCalls.clear();
  result.Code = ReadDataFile(spec, reader, record.data(), withBuckets ? &buckets : nullptr,
                             result.Counts, RecordProgress);
  result.Calls = g_ProgressCalls;
  if (withBuckets) {
    EXPECT_EQ(0, buckets.Close());
    for (int i = 0; i <= TEMP_UNROUTED; ++i)
      if (i != TEMP_RESORT_COPY)
        result.Buckets += std::to_string(i) + ":" + ReadFile(TempName(dir.path(), i));
  }
  return result;
}

bool SameCounts(const RunCounts& a, const RunCounts& b) { return !memcmp(&a, &b, sizeof a); }

}  // namespace

TEST(ReadPass, EveryWayOfReadingALargeFileCountsAlike) {
  std::mt19937 random(20261209);
  const char* const states[] = {"VIC", "nsw", "QLD", "XX", "", " SA ", "ACT"};
  const char* const flags[] = {"0", "4", "8", "-1", "", "12", "x"};
  std::string data;
  std::vector<std::string> lines;
  while (data.size() < 3 * 1048576) {
    std::string line;
    const unsigned kind = random() % 100;
    if (kind < 3) {
      line = kind == 0 ? "" : kind == 1 ? "\r" : "   ";  // blank, blank, a record of blanks
    } else {
      line = (random() % 5 ? std::to_string(40000000 + random() % 999) : std::string()) + "," +
             std::to_string(random() % 60) + "," + states[random() % 7] + "," +
             flags[random() % 7] + ",name " + std::to_string(random());
      if (random() % 50 == 0) line[random() % line.size()] = '\0';
      if (random() % 10 == 0) line += "\r";
    }
    lines.push_back(line);
    data += line + "\n";
    // A stretch of tiny lines: more lines in half a block than the worker
    // keeps at once.
    for (int tiny = data.size() > 1048576 && data.size() < 1048700 ? 300000 : 0; tiny > 0; --tiny) {
      lines.push_back(tiny % 3 ? ",,," : "");
      data += lines.back() + "\n";
    }
  }
  TempDir dir;
  WriteFile(dir / "data.txt", data);

  // What progress must see: a call after each line at a thousand records,
  // blank lines included, lines of nothing but a carriage return being blank.
  std::vector<int> expected;
  int read = 0;
  for (const std::string& line : lines) {
    if (!line.empty() && line != "\r") ++read;
    if (read % 1000 == 0) expected.push_back(read);
  }

  VaskReportSpec plain, qualified;
  UseLayout(plain, dir / "data.txt");
  UseLayout(qualified, dir / "data.txt", '"');  // no qualifier in the data: read alike
  for (int cancelAt : {-1, 0, 1000, 17000, read / 1000 * 1000}) {
    g_CancelAtValue = cancelAt;
    const WayResult shared = ReadWay(plain, dir / "data.txt", false, 4194304);
    const WayResult sharedGeneric = ReadWay(qualified, dir / "data.txt", false, 4194304);
    const WayResult sharedBuckets = ReadWay(plain, dir / "data.txt", true, 4194304);
    const WayResult sharedBucketsGeneric = ReadWay(qualified, dir / "data.txt", true, 1048576);
    const WayResult alone = ReadWay(plain, dir / "data.txt", true, 32768);
    const WayResult aloneGeneric = ReadWay(qualified, dir / "data.txt", true, 32768);
    const WayResult single = ReadWay(plain, dir / "data.txt", false, 4194304, false);
    const WayResult singleBuckets = ReadWay(plain, dir / "data.txt", true, 4194304, false);
    std::vector<int> calls = expected;
    const auto cancel = std::find(calls.begin(), calls.end(), cancelAt);
    const int code = cancel != calls.end() ? ERR_VASKREPORT_USER_CANCELLED : 0;
    if (code) calls.erase(cancel + 1, calls.end());
    const WayResult* ways[] = {&shared, &sharedGeneric, &sharedBuckets, &sharedBucketsGeneric,
                               &alone, &aloneGeneric, &single, &singleBuckets};
    for (const WayResult* way : ways) {
      EXPECT_EQ(code, way->Code) << cancelAt;
      EXPECT_TRUE(calls == way->Calls) << cancelAt << ": " << way->Calls.size() << " calls";
      if (!code) {
        EXPECT_TRUE(SameCounts(shared.Counts, way->Counts));
      }
    }
    if (code) continue;
    EXPECT_EQ(static_cast<unsigned long>(read), shared.Counts.Read);
    // Megabytes each: compared without printing them.
    EXPECT_TRUE(alone.Buckets == aloneGeneric.Buckets);
    EXPECT_TRUE(alone.Buckets == sharedBuckets.Buckets);
    EXPECT_TRUE(alone.Buckets == sharedBucketsGeneric.Buckets);
    EXPECT_TRUE(alone.Buckets == singleBuckets.Buckets);
    EXPECT_GT(shared.Counts.NotMatched, 0u);
    EXPECT_GT(shared.Counts.ManuallyAmended, 0u);
  }
  g_CancelAtValue = INT_MIN;
}

namespace {

size_t g_MostThreads = 0;

// The entries of a directory of /proc/self: threads, descriptors.
size_t EntriesOf(const char* path) {
  size_t entries = 0;
  if (DIR* listing = opendir(path)) {
    while (const dirent* entry = readdir(listing))
      if (entry->d_name[0] != '.') ++entries;
    closedir(listing);
  }
  return entries;
}

// Progress callback noting how many threads the process has at the time.
int CountThreads(int) {
  g_MostThreads = std::max(g_MostThreads, EntriesOf("/proc/self/task"));
  return 0;
}

}  // namespace

// Callers may rely on a run staying on their thread; only the environment
// can ask for a second one, while the file is read and while it is resorted.
TEST(CreateReports, UsesASecondThreadOnlyWhenTheEnvironmentAsks) {
  TempDir dir;
  const std::string data = Records(40000, "1,7,NSW,0,n\n") + Records(40000);
  const struct {
    const char* Value;
    size_t Threads;
  } cases[] = {{nullptr, 1}, {"", 1}, {"1", 1}, {"0", 1}, {"2x", 1}, {"two", 1},
               {"2", 2},     {"16", 2}};
  // A sanitizer may keep a thread of its own in the process.
  g_MostThreads = 0;
  CountThreads(0);
  const size_t before = g_MostThreads;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Value ? c.Value : "(unset)");
    ScopedEnv threads("VASKREPORT_THREADS", c.Value);
    VaskReportSpec spec;
    UseLayout(spec, dir / "data.txt");
    spec.SortByBsp = true;
    WriteFile(dir / "data.txt", data);
    g_MostThreads = 0;
    char message[256];
    ASSERT_EQ(0, CreateReports(spec, (dir / "out").c_str(), message, CountThreads)) << message;
    EXPECT_EQ(before + c.Threads - 1, g_MostThreads);
    EXPECT_TRUE(Records(40000) + Records(40000, "1,7,NSW,0,n\n") == ReadFile(dir / "data.txt"));
  }
}

// A resort large enough that its buffers go round many times, so that the
// caller writes some while the second thread writes others, run again over
// the files the first run left: the same files as on one thread, and none
// of the old files still held open once the run is over.
TEST(CreateReports, LargeResortWritesTheSameFilesOnOneThreadOrTwo) {
  Random random(11);
  static const char* const states[] = {"NSW", "vic", "QLD", "XX", "WA"};
  std::string data;
  while (data.size() < 12 * 1048576)
    data += (random.Below(5) ? std::to_string(10000000 + random.Below(8999999)) : "") + "," +
            std::to_string(random.Below(58)) + "," + states[random.Below(5)] + "," +
            std::to_string(random.Below(16)) + ",name " + std::to_string(random.Below(1u << 30)) +
            "\n";
  auto run = [&data](const TempDir& dir, const char* threads) {
    ScopedEnv setting("VASKREPORT_THREADS", threads);
    mkdir((dir / "data").c_str(), 0755);
    WriteFile(dir / "data/job.txt", data);
    VaskReportSpec spec;
    UseLayout(spec, dir / "data/job.txt");
    spec.SortByBsp = spec.SortIntoBdt = spec.SortIntoStates = true;
    char message[256];
    const size_t descriptors = EntriesOf("/proc/self/fd");
    EXPECT_EQ(0, CreateReports(spec, (dir / "out").c_str(), message, nullptr)) << message;
    EXPECT_EQ(descriptors, EntriesOf("/proc/self/fd"));
    EXPECT_FALSE(AnyTempFileLeft(dir / "out", true));
    std::string all;
    for (const auto& file : FilesIn(dir / "data")) all += file.first + ":" + file.second;
    return all;
  };
  TempDir one, two;
  const std::string alone = run(one, nullptr);
  EXPECT_GT(alone.size(), 2 * data.size());
  EXPECT_TRUE(alone == run(one, nullptr));
  EXPECT_TRUE(alone == run(two, "2"));
  EXPECT_TRUE(alone == run(two, "2"));
}

// Progress: a call every thousand records (blank lines included, malformed
// ones too), then one a step of the resort, -1 to -63 in order.
TEST(CreateReports, ProgressIsCalledEveryThousandRecordsThenEachResortStep) {
  std::vector<int> resort;
  for (int step = -1; step >= -63; --step) resort.push_back(step);
  struct Case {
    std::string Data;
    bool Resort;
    std::vector<int> Calls;
  };
  const Case cases[] = {
      {Records(2500), false, {1000, 2000}},
      {"\n\n\n" + Records(2500), false, {0, 0, 0, 1000, 2000}},
      {Records(1000) + "\n" + Records(5), false, {1000, 1000}},
      {"1,\"x\n" + Records(999) + "bad\"q,\n" + Records(1), false, {1000}},
      {Records(999), true, resort},
  };
  TempDir dir;
  VaskReportSpec spec;
  for (const Case& c : cases) {
    UseLayout(spec, dir / "data.txt", '"');
    spec.SortByBsp = c.Resort;
    WriteFile(dir / "data.txt", c.Data);
    g_ProgressCalls.clear();
    char message[256];
    ASSERT_EQ(0, CreateReports(spec, (dir / "out").c_str(), message, RecordProgress)) << message;
    EXPECT_EQ(c.Calls, g_ProgressCalls);
  }
}

TEST(CreateReports, EachSetupErrorGivesItsMessage) {
  TempDir dir;
  WriteFile(dir / "file", "");
  WriteFile(dir / "data.txt", Records(3));
  const std::string longMissing = dir.path() + "/" + std::string(240, 'm');
  struct Case {
    const char* What;
    void (*Change)(VaskReportSpec&);
    std::string Directory;
    int Code;
    std::string Message;
  };
  const Case cases[] = {
      {"no data file", [](VaskReportSpec& s) { s.ExpandedPath[0] = 0; }, "", 11102,
       "ERR_VASKREPORT_NO_FILE"},
      {"no record length", [](VaskReportSpec& s) { s.RecordLength = 0; }, "", 11107,
       "ERR_VASKREPORT_NO_RECORD_LENGTH"},
      {"no DPID field", [](VaskReportSpec& s) { s.DpidField = -1; }, "", 11108,
       "ERR_VASKREPORT_NO_DPIDFIELD"},
      {"missing data file",
       [](VaskReportSpec& s) { strncatz(s.ExpandedPath, ".missing", 255); }, "", 11103,
       "ERR_VASKREPORT_OPEN_FILE\n" + dir.path() + "/data.txt.missing"},
      {"directory under a file", [](VaskReportSpec&) {}, dir / "file/sub", 11113,
       "ERR_VASKREPORT_CREATE_DIRECTORY\n" + dir.path() + "/file/sub/"},
  };
  VaskReportSpec spec;
  for (const Case& c : cases) {
    UseLayout(spec, dir / "data.txt");
    c.Change(spec);
    char message[256];
    EXPECT_EQ(c.Code, CreateReports(spec, c.Directory.c_str(), message, nullptr)) << c.What;
    EXPECT_EQ(c.Message, message) << c.What;
  }
  UseLayout(spec, longMissing);
  char message[256];
  EXPECT_EQ(11103, CreateReports(spec, nullptr, message, nullptr));
  EXPECT_STREQ("ERR_VASKREPORT_OPEN_FILE", message) << "a detail too long is left out";
}

// What a front end's checks never let through: a resorted line longer than
// every buffer, and an empty file that should have started with a header.
TEST(CreateReports, ResortKeepsALongLineAndGivesAnEmptyFileItsHeader) {
  const std::string huge = ",,TAS,," + std::string(5 * 1048576, 'y') + "\n";
  const struct {
    std::string Data;
    bool Header;
    std::string Resorted;
  } cases[] = {
      {Records(2) + huge + Records(1, "1,4,VIC,0,n\n"), false,
       Records(2) + Records(1, "1,4,VIC,0,n\n") + huge},
      {"", true, "DPID,BSP,STATE,FLAG,NAME\n"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    VaskReportSpec spec;
    UseLayout(spec, dir / "data.txt");
    spec.SortByBsp = spec.SortIntoBdt = true;
    spec.FieldNamesOnFirstLine = c.Header;
    WriteFile(dir / "data.txt", c.Data);
    char message[256];
    ASSERT_EQ(0, CreateReports(spec, (dir / "out").c_str(), message, nullptr)) << message;
    EXPECT_TRUE(c.Resorted == ReadFile(dir / "data.txt"));
  }
}

TEST(SplitPath, CutsAfterTheLastSeparator) {
  const char* const cases[][3] = {
      {"/data/job.txt", "/data/", "job.txt"}, {"job.txt", "", "job.txt"},
      {"C:job.txt", "C:", "job.txt"},         {"a\\b/c\\d.txt", "a\\b/c\\", "d.txt"},
      {"dir/", "dir/", ""},                   {"", "", ""},
  };
  for (const auto& c : cases) {
    char directory[256], name[256];
    SplitPath(c[0], directory, name);
    EXPECT_STREQ(c[1], directory) << c[0];
    EXPECT_STREQ(c[2], name) << c[0];
  }
}

namespace {

VaskReportSpec* g_Rival;
std::string g_RivalDirectory;
int g_RivalCode;
std::string g_RivalMessage;

int RunRival(int value) {
  if (value == 1000) {
    char message[256];
    g_RivalCode = CreateReports(*g_Rival, g_RivalDirectory.c_str(), message, nullptr);
    g_RivalMessage = message;
  }
  return 0;
}

}  // namespace

TEST(CreateReports, SecondRunOnTheSameOutputDirectoryFailsAtOnce) {
  TempDir dir;
  VaskReportSpec first, second;
  UseLayout(first, dir / "first.txt");
  UseLayout(second, dir / "second.txt");
  first.SortByBsp = second.SortByBsp = true;
  const std::string firstData = Records(1500, "1,4,VIC,0,f\n") + Records(3, "1,3,VIC,0,g\n");
  const std::string secondData = Records(5, "1,3,VIC,0,s\n");
  WriteFile(dir / "first.txt", firstData);
  WriteFile(dir / "second.txt", secondData);
  g_Rival = &second;
  g_RivalDirectory = dir / "out";
  g_RivalCode = -1;
  char message[256];
  ASSERT_EQ(0, CreateReports(first, (dir / "out").c_str(), message, RunRival)) << message;
  EXPECT_EQ(ERR_VASKREPORT_OPEN_SORT_FILE, g_RivalCode);
  EXPECT_EQ("ERR_VASKREPORT_OPEN_SORT_FILE\n" + dir.path() +
                "/out/. another run is using this directory",
            g_RivalMessage);
  EXPECT_EQ(Records(1500, "1,4,VIC,0,f\n") + Records(3, "1,3,VIC,0,g\n"),
            ReadFile(dir / "first.txt"));
  EXPECT_EQ(secondData, ReadFile(dir / "second.txt"));
  ASSERT_EQ(0, CreateReports(second, (dir / "out").c_str(), message, nullptr)) << message;
  EXPECT_FALSE(AnyTempFileLeft(dir / "out", true));
}
