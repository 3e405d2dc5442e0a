// Outputs that cannot be written, a file size limit, a data file that goes
// away: each run fails with its code, the data file stays as it was, and no
// bucket is left behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "driver_fixture.h"
#include "engine/ReportDriver.h"
#include "engine/ReportErrors.h"
#include "spec/VaskReportSpec.h"
#include "util/StrUtil.h"

using namespace vrtest;

namespace {

const char* const kStates[] = {"NT", "NSW", "VIC", "QLD", "SA", "WA", "TAS", "ACT"};
const char* const kReports[] = {"AddressMatchingSummaryReport.txt",
                                "AddressMatchingSummaryReport.htm",
                                "ManifestReport.txt",
                                "ManifestReport.htm",
                                "ManifestReport.csv",
                                "LodgementInfo.txt",
                                "LodgementInfo.htm",
                                "LabelPlanFile.lpf"};

// Direct-tray, residue, unbarcoded and unknown-state letters and a line that
// reaches no bucket, so every kind of output has something in it.
std::string Data() {
  std::string data;
  for (int i = 0; i < 700; ++i) data += "1,30,,0,direct" + std::to_string(i) + "\n";
  for (int i = 0; i < 40; ++i) data += "1,5,,0,residue" + std::to_string(i) + "\n";
  for (const char* state : kStates) data += std::string(",,") + state + ",,plain\n";
  return data + ",,??,,unknown\n1,99,,0,nobsp\n";
}

// Every output asked for: the three documents and all three sort settings.
void UseFullRun(VaskReportSpec& spec, const std::string& dataPath) {
  UseLayout(spec, dataPath);
  spec.ManifestReport = spec.MatchingReport = spec.LabelPlanFile = true;
  spec.SortByBsp = spec.SortIntoBdt = spec.SortIntoStates = true;
  strncpyz(spec.LabelPlanName, "Plan", sizeof spec.LabelPlanName - 1);
}

std::vector<std::string> SplitNames() {
  std::vector<std::string> names;
  for (const char* level : {"BDT_", "BR_", "UR_"})
    for (const char* state : kStates) names.push_back(std::string(level) + state + "_job.txt");
  names.push_back("ERR_UR_job.txt");
  names.push_back("ERR_job.txt");
  return names;
}

// What a run must leave when it fails: the data file as it was, no bucket.
void ExpectCleanFailure(const TempDir& dir, const std::string& what) {
  EXPECT_EQ(Data(), ReadFile(dir / "job.txt")) << what;
  EXPECT_FALSE(AnyTempFileLeft(dir / "out", false)) << what;
}

TEST(FaultInjection, EachUnwritableOutputFailsWithItsCodeAndKeepsTheDataFile) {
  struct Case {
    std::string Path;  // made a directory, so it cannot be opened for writing
    int Code;
  };
  std::vector<Case> cases;
  for (const char* report : kReports) cases.push_back({std::string("out/") + report, ERR_VASKREPORT_OPEN_FILE});
  for (const std::string& split : SplitNames()) cases.push_back({split, ERR_VASKREPORT_OPEN_OUTPUT_FILE});
  for (const Case& c : cases) {
    TempDir dir;
    VaskReportSpec spec;
    UseFullRun(spec, dir / "job.txt");
    WriteFile(dir / "job.txt", Data());
    ASSERT_EQ(0, mkdir((dir / "out").c_str(), 0755));
    ASSERT_EQ(0, mkdir((dir / c.Path).c_str(), 0755));
    char message[256] = "";
    EXPECT_EQ(c.Code, CreateReports(spec, (dir / "out").c_str(), message, nullptr)) << c.Path;
    EXPECT_NE(std::string::npos, std::string(message).find(dir / c.Path)) << c.Path << ": " << message;
    ExpectCleanFailure(dir, c.Path);
  }
}

TEST(FaultInjection, ReadOnlyOutputDirectoryFailsBeforeAnyBucket) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  TempDir dir;
  VaskReportSpec spec;
  UseFullRun(spec, dir / "job.txt");
  WriteFile(dir / "job.txt", Data());
  ASSERT_EQ(0, mkdir((dir / "out").c_str(), 0555));
  char message[256] = "";
  EXPECT_EQ(ERR_VASKREPORT_OPEN_SORT_FILE, CreateReports(spec, (dir / "out").c_str(), message, nullptr));
  ExpectCleanFailure(dir, "read-only output directory");
  chmod((dir / "out").c_str(), 0755);
}

// The outputs of a run without limits, for what a limited run must match
// when it reports success.
std::vector<std::string> OutputsOf(const TempDir& dir) {
  std::vector<std::string> outputs{ReadFile(dir / "job.txt")};
  for (const std::string& split : SplitNames())
    outputs.push_back(FileExists(dir / split) ? ReadFile(dir / split) : "(none)");
  for (const char* report : kReports)
    outputs.push_back(std::to_string(ReadFile(dir / "out/" + std::string(report)).size()));
  return outputs;
}

// Runs in a child with the given largest file size; writes beyond it fail with
// EFBIG instead of killing the child. Returns the run's code.
int RunWithFileSizeLimit(const TempDir& dir, rlim_t limit) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return -1;
  pid_t child = fork();
  if (child == 0) {
    close(pipeFds[0]);
    signal(SIGXFSZ, SIG_IGN);
    rlimit rl{limit, limit};
    setrlimit(RLIMIT_FSIZE, &rl);
    VaskReportSpec spec;
    UseFullRun(spec, dir / "job.txt");
    char message[256];
    int rc = CreateReports(spec, (dir / "out").c_str(), message, nullptr);
    ssize_t written = write(pipeFds[1], &rc, sizeof rc);
    _exit(written == static_cast<ssize_t>(sizeof rc) ? 0 : 1);
  }
  close(pipeFds[1]);
  int rc = -1;
  if (read(pipeFds[0], &rc, sizeof rc) != static_cast<ssize_t>(sizeof rc)) rc = -1;
  close(pipeFds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return rc;
}

TEST(FaultInjection, FileSizeLimitIsNeverReportedAsSuccess) {
  TempDir reference;
  {
    VaskReportSpec spec;
    UseFullRun(spec, reference / "job.txt");
    WriteFile(reference / "job.txt", Data());
    char message[256];
    ASSERT_EQ(0, CreateReports(spec, (reference / "out").c_str(), message, nullptr)) << message;
  }
  const std::vector<std::string> expected = OutputsOf(reference);
  const size_t dataSize = Data().size();
  // Limits that land the failure in a bucket, a split file, the resort copy
  // and the larger reports in turn; the last is no limit at all in effect.
  const rlim_t limits[] = {0, 100, 1000, 5000, 9000, 12000, dataSize - 1, dataSize + 100,
                           dataSize * 4};
  int failures = 0;
  for (rlim_t limit : limits) {
    TempDir dir;
    WriteFile(dir / "job.txt", Data());
    const int rc = RunWithFileSizeLimit(dir, limit);
    const std::string what = "limit " + std::to_string(limit);
    if (rc == 0) {
      EXPECT_EQ(expected, OutputsOf(dir)) << what << ": success with outputs cut short";
      continue;
    }
    ++failures;
    EXPECT_TRUE(rc == ERR_VASKREPORT_WRITE_FILE || rc == ERR_VASKREPORT_OPEN_FILE) << what << ": " << rc;
    ExpectCleanFailure(dir, what);
  }
  EXPECT_GE(failures, 6) << "the limits below the data file's size must fail";
}

TEST(FaultInjection, DataFileThatIsGoneOrNoFileFails) {
  struct Case {
    const char* Name;
    void (*Break)(const TempDir&);
    int Code;
  };
  const Case cases[] = {
      {"removed", [](const TempDir& d) { std::remove((d / "job.txt").c_str()); },
       ERR_VASKREPORT_OPEN_FILE},
      {"a directory",
       [](const TempDir& d) {
         std::remove((d / "job.txt").c_str());
         mkdir((d / "job.txt").c_str(), 0755);
       },
       ERR_VASKREPORT_READ_FILE},
  };
  for (const Case& c : cases) {
    TempDir dir;
    VaskReportSpec spec;
    UseFullRun(spec, dir / "job.txt");
    WriteFile(dir / "job.txt", Data());
    c.Break(dir);
    char message[256] = "";
    EXPECT_EQ(c.Code, CreateReports(spec, (dir / "out").c_str(), message, nullptr)) << c.Name;
    EXPECT_FALSE(AnyTempFileLeft(dir / "out", true)) << c.Name;
    for (const std::string& split : SplitNames()) EXPECT_FALSE(FileExists(dir / split)) << c.Name;
  }
}

TEST(FaultInjection, UnreadableDataFileFails) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  TempDir dir;
  VaskReportSpec spec;
  UseFullRun(spec, dir / "job.txt");
  WriteFile(dir / "job.txt", Data());
  chmod((dir / "job.txt").c_str(), 0);
  char message[256] = "";
  EXPECT_EQ(ERR_VASKREPORT_OPEN_FILE, CreateReports(spec, (dir / "out").c_str(), message, nullptr));
  chmod((dir / "job.txt").c_str(), 0644);
  ExpectCleanFailure(dir, "unreadable");
}

std::string g_BucketDirectory;

// At the end of the read pass, takes the direct-tray bucket away.
int RemoveBucketAfterReading(int value) {
  if (value == 0) return 0;
  if (value > 0 || value == -1) std::remove(TempName(g_BucketDirectory, 29).c_str());
  return 0;
}

TEST(FaultInjection, BucketRemovedBetweenThePhasesStopsTheRun) {
  TempDir dir;
  VaskReportSpec spec;
  UseFullRun(spec, dir / "job.txt");
  WriteFile(dir / "job.txt", Data());
  g_BucketDirectory = dir / "out";
  char message[256] = "";
  EXPECT_EQ(ERR_VASKREPORT_OPEN_SORT_FILE,
            CreateReports(spec, (dir / "out").c_str(), message, RemoveBucketAfterReading));
  EXPECT_EQ("ERR_VASKREPORT_OPEN_SORT_FILE\n" + TempName(dir / "out", 29), message);
  ExpectCleanFailure(dir, "bucket removed");
}

std::vector<int> g_Calls;
int g_CancelAt = 0;

int RecordAndCancel(int value) {
  g_Calls.push_back(value);
  return static_cast<int>(g_Calls.size()) == g_CancelAt;
}

TEST(FaultInjection, CancelAtEveryProgressCallOfBothPhasesKeepsTheDataFile) {
  // The calls of a whole run, then a run cancelled at each of them in turn.
  TempDir whole;
  VaskReportSpec spec;
  UseFullRun(spec, whole / "job.txt");
  WriteFile(whole / "job.txt", "\n" + Data() + Data());  // a blank line: the call at 0
  g_Calls.clear();
  g_CancelAt = -1;
  char message[256];
  ASSERT_EQ(0, CreateReports(spec, (whole / "out").c_str(), message, RecordAndCancel));
  const std::vector<int> calls = g_Calls;
  ASSERT_EQ(0, calls.front());
  ASSERT_EQ(-63, calls.back());
  for (size_t at = 1; at <= calls.size(); ++at) {
    TempDir dir;
    UseFullRun(spec, dir / "job.txt");
    const std::string data = "\n" + Data() + Data();
    WriteFile(dir / "job.txt", data);
    g_Calls.clear();
    g_CancelAt = static_cast<int>(at);
    EXPECT_EQ(ERR_VASKREPORT_USER_CANCELLED, CreateReports(spec, (dir / "out").c_str(), message, RecordAndCancel))
        << "call " << at << " (" << calls[at - 1] << ")";
    EXPECT_EQ(data, ReadFile(dir / "job.txt")) << "call " << at;
    EXPECT_FALSE(AnyTempFileLeft(dir / "out", false)) << "call " << at;
    EXPECT_FALSE(FileExists(dir / "out/ManifestReport.txt")) << "call " << at;
  }
}

}  // namespace
