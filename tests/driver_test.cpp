#include <gtest/gtest.h>
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "driver/ReportDriver.h"
#include "engine/BucketFiles.h"
#include "engine/LineReader.h"
#include "engine/ReadPass.h"
#include "spec/VaskReportSpec.h"

using namespace vrtest;

namespace {

struct PassResult {
  int Code;
  RunCounts Counts;
  std::map<int, std::string> Buckets;  // the non-empty ones
};

PassResult ReadPass(const VaskReportSpec& spec, const std::string& data,
                    size_t capacity = 1048576) {
  TempDir dir;
  WriteFile(dir / "data.txt", data);
  LineReader reader;
  EXPECT_TRUE(reader.Allocate(capacity));
  EXPECT_TRUE(reader.Open((dir / "data.txt").c_str()));
  BucketFiles buckets;
  EXPECT_EQ(0, buckets.Create((dir.path() + "/").c_str(), nullptr));
  std::vector<char> record(spec.RecordLength + 1);
  PassResult result = {};
  result.Code = ReadDataFile(spec, reader, record.data(), &buckets, result.Counts, nullptr);
  EXPECT_EQ(0, buckets.Close());
  for (int i = 0; i <= TEMP_UNROUTED; ++i) {
    std::string content = ReadFile(TempName(dir.path(), i));
    if (!content.empty()) result.Buckets[i] = content;
  }
  return result;
}

unsigned long TotalBsp(const RunCounts& counts) {
  unsigned long sum = 0;
  for (unsigned long v : counts.BspVolumes) sum += v;
  return sum;
}

}  // namespace

TEST(LookupReportError, NamesEveryReportCodeAndNothingElse) {
  const std::map<int, std::string> expected = {
      {11101, "ERR_VASKREPORT_OUTOFMEMORY"},      {11102, "ERR_VASKREPORT_NO_FILE"},
      {11103, "ERR_VASKREPORT_OPEN_FILE"},        {11104, "ERR_VASKREPORT_OPEN_SORT_FILE"},
      {11105, "ERR_VASKREPORT_OPEN_OUTPUT_FILE"}, {11106, "ERR_VASKREPORT_DELETE_FILE"},
      {11107, "ERR_VASKREPORT_NO_RECORD_LENGTH"}, {11108, "ERR_VASKREPORT_NO_DPIDFIELD"},
      {11109, "ERR_VASKREPORT_READ_FILE"},        {11110, "ERR_VASKREPORT_WRITE_FILE"},
      {11111, "ERR_VASKREPORT_RENAME_FILE"},      {11112, "ERR_VASKREPORT_USER_CANCELLED"},
      {11113, "ERR_VASKREPORT_CREATE_DIRECTORY"},
  };
  char name[256];
  for (int code : {0, 11023, 11100, 11114}) {
    strncpyz(name, "junk", 255);
    LookupReportError(code, name);
    EXPECT_STREQ("", name) << code;
  }
  for (const auto& entry : expected) {
    LookupReportError(entry.first, name);
    EXPECT_EQ(entry.second, name);
  }
}

TEST(ReadPass, AmendmentFlagCountsIntoOneClass) {
  struct Case {
    const char* Flag;
    unsigned long RunCounts::*Class;
  };
  const Case cases[] = {
      {"0", &RunCounts::Matched},     {"3", &RunCounts::Matched},
      {"4", &RunCounts::Amended},     {"5", &RunCounts::Amended},
      {"8", &RunCounts::PreCleaned},  {"12", &RunCounts::PreCleaned},
      {"9", &RunCounts::PreCleaned},  {"-1", &RunCounts::ManuallyAmended},
      {" 2", &RunCounts::Matched},    {"", nullptr},
      {"x", nullptr},                 {"-", nullptr},
  };
  VaskReportSpec spec;
  UseLayout(spec, "unused");
  for (const Case& c : cases) {
    PassResult pass = ReadPass(spec, std::string("12345678,3,VIC,") + c.Flag + ",n\n");
    ASSERT_EQ(0, pass.Code);
    unsigned long RunCounts::*classes[] = {&RunCounts::Matched, &RunCounts::Amended,
                                           &RunCounts::PreCleaned, &RunCounts::ManuallyAmended};
    for (auto member : classes)
      EXPECT_EQ(member == c.Class ? 1u : 0u, pass.Counts.*member) << "flag '" << c.Flag << "'";
    EXPECT_EQ(1u, pass.Counts.Read);
    EXPECT_EQ(0u, pass.Counts.NotMatched);
  }
}

TEST(ReadPass, BarcodedRecordGoesToItsSortPlanOrToTheUnroutedBucket) {
  struct Case {
    const char* Bsp;
    int Plan;  // 0: none
  };
  const Case cases[] = {{"1", 1},  {"54", 54}, {" 7", 7}, {"+19", 19}, {"2x", 2},
                        {"0", 0},  {"55", 0},  {"", 0},   {"x", 0},    {"-3", 0}};
  VaskReportSpec spec;
  UseLayout(spec, "unused");
  for (const Case& c : cases) {
    const std::string line = std::string("0,") + c.Bsp + ",VIC,0,n";
    PassResult pass = ReadPass(spec, line + "\n");
    ASSERT_EQ(0, pass.Code);
    EXPECT_EQ(1u, pass.Counts.Read);
    EXPECT_EQ(1u, pass.Counts.Matched) << "a DPID of 0 is still a DPID";
    EXPECT_EQ(c.Plan ? 1u : 0u, TotalBsp(pass.Counts));
    EXPECT_EQ(c.Plan ? 1u : 0u, pass.Counts.BspVolumes[c.Plan]) << c.Bsp;
    const int bucket = c.Plan ? c.Plan - 1 : TEMP_UNROUTED;
    EXPECT_EQ((std::map<int, std::string>{{bucket, line + "\n"}}), pass.Buckets) << c.Bsp;
  }
}

TEST(ReadPass, BarcodedRecordWithoutBspFieldIsUnrouted) {
  VaskReportSpec spec;
  UseLayout(spec, "unused");
  spec.BspField = -1;
  PassResult pass = ReadPass(spec, "1,3,VIC,0,n\n");
  EXPECT_EQ(1u, pass.Counts.Read);
  EXPECT_EQ(0u, TotalBsp(pass.Counts));
  EXPECT_EQ((std::map<int, std::string>{{TEMP_UNROUTED, "1,3,VIC,0,n\n"}}), pass.Buckets);
}

TEST(ReadPass, UnbarcodedRecordCountsUnderItsStateOrTheLodgementState) {
  struct Case {
    const char* Line;
    bool StateField;
    int State;
    int Bucket;
  };
  // Lodged in NSW (1) so that the lodgement state is told from VIC.
  const Case cases[] = {
      {",3,vic,0,n", true, 2, 56},    {",,ACT,,n", true, 7, 61},
      {",,Victoria,,n", true, 1, 62}, {",,,,n", true, 1, 62},
      {"   ,,QLD,,n", true, 3, 57},   {",,QLD,,n", false, 1, 55},
  };
  VaskReportSpec spec;
  for (const Case& c : cases) {
    UseLayout(spec, "unused");
    spec.State = 1;
    if (!c.StateField) spec.StateField = -1;
    PassResult pass = ReadPass(spec, std::string(c.Line) + "\n");
    ASSERT_EQ(0, pass.Code);
    EXPECT_EQ(1u, pass.Counts.Read) << c.Line;
    EXPECT_EQ(1u, pass.Counts.NotMatched) << c.Line;
    EXPECT_EQ(1u, pass.Counts.UnbarcodedVolumes[c.State]) << c.Line;
    EXPECT_EQ(0u, pass.Counts.Matched + TotalBsp(pass.Counts)) << c.Line;
    EXPECT_EQ((std::map<int, std::string>{{c.Bucket, std::string(c.Line) + "\n"}}), pass.Buckets)
        << c.Line;
  }
}

TEST(ReadPass, MalformedLineIsNotCountedButKeptInTheUnroutedBucket) {
  VaskReportSpec spec;
  UseLayout(spec, "unused", '"');
  PassResult pass = ReadPass(spec, "1,\"3,VIC,0,n\n1,3,VIC,0,n\n");
  ASSERT_EQ(0, pass.Code);
  EXPECT_EQ(1u, pass.Counts.Read);
  EXPECT_EQ(1u, pass.Counts.BspVolumes[3]);
  EXPECT_EQ((std::map<int, std::string>{{2, "1,3,VIC,0,n\n"}, {TEMP_UNROUTED, "1,\"3,VIC,0,n\n"}}),
            pass.Buckets);
}

TEST(ReadPass, BlankLinesAreNoRecordsButLinesOfBlanksAre) {
  VaskReportSpec spec;
  UseLayout(spec, "unused");
  PassResult pass = ReadPass(spec, "\n   \n\r\n\n");
  ASSERT_EQ(0, pass.Code);
  EXPECT_EQ(1u, pass.Counts.Read);
  EXPECT_EQ(1u, pass.Counts.NotMatched);
  EXPECT_EQ(1u, pass.Counts.UnbarcodedVolumes[2]);
  EXPECT_EQ((std::map<int, std::string>{{TEMP_UNKNOWN_STATE, "   \n"}}), pass.Buckets);
}

TEST(ReadPass, CarriageReturnEndsTheRecordButStaysInTheBucket) {
  VaskReportSpec spec;
  UseLayout(spec, "unused");
  spec.StateField = F_NAME;
  spec.State = 0;
  PassResult pass = ReadPass(spec, ",,,,VIC\r\n,,,,QLD\r");
  ASSERT_EQ(0, pass.Code);
  EXPECT_EQ(2u, pass.Counts.Read);
  EXPECT_EQ(1u, pass.Counts.UnbarcodedVolumes[2]);
  EXPECT_EQ(1u, pass.Counts.UnbarcodedVolumes[3]);
  EXPECT_EQ((std::map<int, std::string>{{56, ",,,,VIC\r\n"}, {57, ",,,,QLD\r\n"}}), pass.Buckets);
}

TEST(ReadPass, LinesLongerThanTheBufferAreReadWhole) {
  VaskReportSpec spec;
  UseLayout(spec, "unused");
  const std::string huge = "1,5,VIC,0," + std::string(6 * 1048576, 'x');
  std::string data = "1,3,VIC,0,a\n" + huge + "\n1,4,VIC,0,b\n1,4,VIC,0,c";
  for (size_t capacity : {size_t(1048576), size_t(7), size_t(1)}) {
    PassResult pass = ReadPass(spec, data, capacity);
    ASSERT_EQ(0, pass.Code);
    EXPECT_EQ(4u, pass.Counts.Read) << capacity;
    EXPECT_EQ(2u, pass.Counts.BspVolumes[4]) << capacity;
    EXPECT_EQ(huge + "\n", pass.Buckets[4]) << capacity;
    EXPECT_EQ("1,4,VIC,0,b\n1,4,VIC,0,c\n", pass.Buckets[3]) << capacity;
  }
}

// The pass counts a block on the worker while the next one is read, so a
// block must stay as it was until the second call after it, whatever the
// lengths of the lines that follow (longer than the buffers included).
TEST(LineReader, BlocksCoverTheFileAndOutliveTheNextCall) {
  std::mt19937 random(20261210);
  std::string data;
  while (data.size() < 20000) {
    data += std::string(random() % (random() % 10 == 0 ? 300 : 12), 'a' + random() % 26);
    data += random() % 20 ? "\n" : "\r\n";
  }
  data += "no line feed at the end";
  TempDir dir;
  WriteFile(dir / "data.txt", data);
  for (size_t capacity : {size_t(1), size_t(7), size_t(64), size_t(1000)}) {
    LineReader reader;
    ASSERT_TRUE(reader.Allocate(capacity));
    ASSERT_TRUE(reader.Open((dir / "data.txt").c_str()));
    std::string all, previous;
    const char* previousText = nullptr;
    DataBlock block;
    int got;
    while ((got = reader.NextBlock(block)) == LineReader::LINE) {
      ASSERT_GT(block.Length, 0u);
      const std::string text(block.Text, block.Length);
      if (previousText) {
        ASSERT_EQ(previous, std::string(previousText, previous.size())) << capacity;
      }
      const bool last = all.size() + text.size() == data.size();
      ASSERT_TRUE(last || text.back() == '\n') << capacity;
      all += text;
      previous = text;
      previousText = block.Text;
    }
    EXPECT_EQ(LineReader::END, got);
    EXPECT_TRUE(all == data) << capacity;
  }
}

// A large file is read in blocks shared between two threads when no bucket
// is written, and through the plain scanner when the layout allows it; every
// way must count alike, call progress alike and fill the buckets alike.
namespace {

// Progress calls of a run, and the value at which the next one cancels.
std::vector<int> g_Calls;
int g_CancelAt = -1;

int Record(int value) {
  g_Calls.push_back(value);
  return value == g_CancelAt;
}

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
  g_Calls.clear();
  result.Code = ReadDataFile(spec, reader, record.data(), withBuckets ? &buckets : nullptr,
                             result.Counts, Record);
  result.Calls = g_Calls;
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
    g_CancelAt = cancelAt;
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
  g_CancelAt = -1;
}

// Driver runs, without documents unless a test asks for one.
namespace {

std::string Records(int count, const std::string& line = "1,3,VIC,0,n\n") {
  std::string text;
  for (int i = 0; i < count; ++i) text += line;
  return text;
}

}  // namespace

namespace {

size_t g_MostThreads = 0;

// Progress callback noting how many threads the process has at the time.
int CountThreads(int) {
  size_t threads = 0;
  if (DIR* tasks = opendir("/proc/self/task")) {
    while (const dirent* entry = readdir(tasks))
      if (entry->d_name[0] != '.') ++threads;
    closedir(tasks);
  }
  g_MostThreads = std::max(g_MostThreads, threads);
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

TEST(CreateReports, ProgressIsCalledEveryThousandRecords) {
  struct Case {
    std::string Data;
    std::vector<int> Calls;
  };
  const Case cases[] = {
      {Records(2500), {1000, 2000}},
      {"\n\n\n" + Records(2500), {0, 0, 0, 1000, 2000}},
      {Records(1000) + "\n" + Records(5), {1000, 1000}},
      {"1,\"x\n" + Records(999) + "bad\"q,\n" + Records(1), {1000}},
  };
  TempDir dir;
  VaskReportSpec spec;
  for (const Case& c : cases) {
    UseLayout(spec, dir / "data.txt", '"');
    WriteFile(dir / "data.txt", c.Data);
    g_Calls.clear();
    g_CancelAt = -1;
    char message[256];
    ASSERT_EQ(0, CreateReports(spec, (dir / "out").c_str(), message, Record)) << message;
    EXPECT_EQ(c.Calls, g_Calls);
  }
}

TEST(CreateReports, CancelEndsTheRunAndRemovesTheTemporaryFiles) {
  TempDir dir;
  VaskReportSpec spec;
  UseLayout(spec, dir / "data.txt");
  spec.SortByBsp = spec.SortIntoBdt = true;
  spec.MatchingReport = true;
  const std::string data = Records(2500);
  WriteFile(dir / "data.txt", data);
  g_Calls.clear();
  g_CancelAt = 1000;
  char message[256];
  EXPECT_EQ(ERR_VASKREPORT_USER_CANCELLED, CreateReports(spec, (dir / "out").c_str(), message,
                                                         Record));
  g_CancelAt = -1;
  EXPECT_STREQ("ERR_VASKREPORT_USER_CANCELLED", message);
  EXPECT_EQ(std::vector<int>{1000}, g_Calls);
  EXPECT_FALSE(AnyTempFileLeft(dir / "out", true));
  EXPECT_FALSE(FileExists(dir / "out/AddressMatchingSummaryReport.txt"));
  EXPECT_FALSE(FileExists(dir / "BDT_data.txt"));
  EXPECT_EQ(data, ReadFile(dir / "data.txt"));
}

TEST(CreateReports, EachSetupErrorGivesItsMessage) {
  TempDir dir;
  WriteFile(dir / "file", "");
  WriteFile(dir / "data.txt", Records(3));
  const std::string longDir = dir.path() + "/" + std::string(254 - dir.path().size(), 'd');
  ASSERT_EQ(255u, longDir.size());
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
      {"directory of 255 characters", [](VaskReportSpec&) {}, longDir, 11113,
       "ERR_VASKREPORT_CREATE_DIRECTORY"},
      {"directory too long to take", [](VaskReportSpec&) {}, longDir + "/x", 11113,
       "ERR_VASKREPORT_CREATE_DIRECTORY"},
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
  EXPECT_FALSE(FileExists(longDir));
}

TEST(CreateReports, OutputDirectoryIsCreatedWithItsParents) {
  TempDir dir;
  VaskReportSpec spec;
  UseLayout(spec, dir / "data.txt");
  WriteFile(dir / "data.txt", Records(3));
  spec.MatchingReport = true;
  strncpyz(spec.OutputDirectory, (dir / "ignored").c_str(), 255);
  char message[256];
  ASSERT_EQ(0, CreateReports(spec, (dir / "a/b/c").c_str(), message, nullptr)) << message;
  EXPECT_TRUE(FileExists(dir / "a/b/c/AddressMatchingSummaryReport.txt"));
  EXPECT_FALSE(FileExists(dir / "ignored"));
  ASSERT_EQ(0, CreateReports(spec, nullptr, message, nullptr)) << message;
  EXPECT_TRUE(FileExists(dir / "ignored/AddressMatchingSummaryReport.txt"));
}

TEST(CreateReports, RequestedDocumentFailurePropagatesAndKeepsTheDataFile) {
  TempDir dir;
  VaskReportSpec spec;
  UseLayout(spec, dir / "data.txt");
  const std::string data = Records(3);
  WriteFile(dir / "data.txt", data);
  spec.MatchingReport = spec.SortByBsp = true;
  ASSERT_EQ(0, mkdir((dir / "out").c_str(), 0755));
  ASSERT_EQ(0, mkdir((dir / "out/AddressMatchingSummaryReport.txt").c_str(), 0755));
  char message[256];
  EXPECT_EQ(ERR_VASKREPORT_OPEN_FILE, CreateReports(spec, (dir / "out").c_str(), message, nullptr));
  EXPECT_EQ(0, std::string(message).find("ERR_VASKREPORT_OPEN_FILE")) << message;
  EXPECT_EQ(data, ReadFile(dir / "data.txt"));
  EXPECT_FALSE(AnyTempFileLeft(dir / "out", false));
}

TEST(CreateReports, HeaderLineIsSkippedAndOnlyHeaderGivesEmptyOutputs) {
  TempDir dir;
  VaskReportSpec spec;
  UseLayout(spec, dir / "data.txt");
  spec.FieldNamesOnFirstLine = spec.SortIntoStates = spec.SortIntoBdt = true;
  const std::string header = "DPID,BSP,STATE,FLAG,NAME\n";
  for (const std::string& records : {std::string(), Records(2) + ",,SA,,u\n"}) {
    WriteFile(dir / "data.txt", header + records);
    char message[256];
    ASSERT_EQ(0, CreateReports(spec, (dir / "out").c_str(), message, nullptr)) << message;
    EXPECT_FALSE(FileExists(dir / "ERR_data.txt")) << "the header line is no record";
    std::string all;
    for (const char* name : {"BR_NSW_data.txt", "UR_SA_data.txt", "BDT_VIC_data.txt"}) {
      std::string content = ReadFile(dir / name);
      ASSERT_EQ(0u, content.find(header)) << name;
      all += content.substr(header.size());
    }
    EXPECT_EQ(Sorted(Lines(records)), Sorted(Lines(all)));
  }
}

TEST(CreateReports, LongLineInTheMiddleIsKeptByTheResort) {
  TempDir dir;
  VaskReportSpec spec;
  UseLayout(spec, dir / "data.txt");
  spec.SortByBsp = true;
  const std::string huge = ",,TAS,," + std::string(5 * 1048576, 'y');
  const std::string data = Records(2) + huge + "\n" + Records(1, "1,4,VIC,0,n\n");
  WriteFile(dir / "data.txt", data);
  char message[256];
  ASSERT_EQ(0, CreateReports(spec, (dir / "out").c_str(), message, nullptr)) << message;
  EXPECT_EQ(Records(2) + Records(1, "1,4,VIC,0,n\n") + huge + "\n", ReadFile(dir / "data.txt"));
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
