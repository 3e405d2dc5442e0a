// Outputs that cannot be written, file size limits, a data file or a bucket
// that goes away, a cancel at every progress call: each run fails with its
// code, the data file stays byte for byte as it was, and no bucket is left.
#include <dirent.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "driver/ReportDriver.h"
#include "engine/TempFiles.h"
#include "include/vaskreport.h"
#include "spec/VaskReportSpec.h"
#include "util/StrUtil.h"

using namespace vrtest;

namespace {

const char* const kStates[] = {"NT", "NSW", "VIC", "QLD", "SA", "WA", "TAS", "ACT"};
// In the order the run writes them.
const char* const kReports[] = {"AddressMatchingSummaryReport.txt",
                                "AddressMatchingSummaryReport.htm",
                                "ManifestReport.txt",
                                "ManifestReport.htm",
                                "ManifestReport.csv",
                                "LodgementInfo.txt",
                                "LodgementInfo.htm",
                                "LabelPlanFile.lpf"};

// Direct-tray, residue, unbarcoded and unknown-state letters and a line that
// reaches no bucket, so that every kind of output has something in it.
std::string Data(int directLetters = 700) {
  std::string data;
  for (int i = 0; i < directLetters; ++i) data += "1,30,,0,direct" + std::to_string(i) + "\n";
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

// What every failed run must leave: the data file as it was and no bucket;
// the resort copy too when the run failed before joining the buckets.
void ExpectCleanFailure(const TempDir& dir, const std::string& data, bool beforeJoining,
                        const std::string& what) {
  EXPECT_EQ(data, ReadFile(dir / "job.txt")) << what;
  EXPECT_FALSE(AnyTempFileLeft(dir / "out", beforeJoining)) << what;
}

struct Blocked {
  std::string Path;  // made a directory, so that it cannot be opened for writing
  int Code;
  bool BeforeJoining;
};

TEST(FaultInjection, EachUnwritableOutputFailsWithItsCodeAndKeepsTheDataFile) {
  std::vector<Blocked> cases;
  for (const char* report : kReports)
    cases.push_back({std::string("out/") + report, ERR_VASKREPORT_OPEN_FILE, false});
  for (const std::string& split : SplitNames())
    cases.push_back({split, ERR_VASKREPORT_OPEN_OUTPUT_FILE, false});
  cases.push_back({"out/63.tmp", ERR_VASKREPORT_OPEN_OUTPUT_FILE, false});
  for (const char* bucket : {"out/00.tmp", "out/29.tmp", "out/62.tmp", "out/64.tmp"})
    cases.push_back({bucket, ERR_VASKREPORT_OPEN_SORT_FILE, true});
  char name[256];
  for (const Blocked& c : cases) {
    TempDir dir;
    VaskReportSpec spec;
    UseFullRun(spec, dir / "job.txt");
    WriteFile(dir / "job.txt", Data());
    ASSERT_EQ(0, mkdir((dir / "out").c_str(), 0755));
    ASSERT_EQ(0, mkdir((dir / c.Path).c_str(), 0755));
    char message[256] = "";
    EXPECT_EQ(c.Code, CreateReports(spec, (dir / "out").c_str(), message, nullptr)) << c.Path;
    LookupReportError(c.Code, name);
    EXPECT_EQ(std::string(name) + "\n" + (dir / c.Path), message) << c.Path;
    rmdir((dir / c.Path).c_str());  // the blocker itself is no bucket left behind
    ExpectCleanFailure(dir, Data(), c.BeforeJoining, c.Path);
  }
}

// A run of the whole report in a child process, so that a file size limit or
// a dropped privilege stays there.
struct ChildResult {
  int Code;
  char Message[256];
};

enum { CHILD_LOST = -1, CHILD_CANNOT_DROP_PRIVILEGE = -2, NOBODY = 65534 };

[[noreturn]] void ReportToParent(int resultFd, const ChildResult& result) {
  const ssize_t written = write(resultFd, &result, sizeof result);
  _exit(written == static_cast<ssize_t>(sizeof result) ? 0 : 1);
}

[[noreturn]] void RunAsChild(const TempDir& dir, rlim_t sizeLimit, bool unprivileged,
                             int resultFd) {
  ChildResult result = {CHILD_CANNOT_DROP_PRIVILEGE, ""};
  // Permissions do not bind root; the unprivileged user they bind is nobody.
  if (unprivileged && geteuid() == 0 &&
      (setgroups(0, nullptr) != 0 || setgid(NOBODY) != 0 || setuid(NOBODY) != 0)) {
    ReportToParent(resultFd, result);
  }
  signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit fails with EFBIG instead
  rlimit limit{sizeLimit, sizeLimit};
  setrlimit(RLIMIT_FSIZE, &limit);
  VaskReportSpec spec;
  UseFullRun(spec, dir / "job.txt");
  result.Code = CreateReports(spec, (dir / "out").c_str(), result.Message, nullptr);
  ReportToParent(resultFd, result);
}

ChildResult RunInChild(const TempDir& dir, rlim_t sizeLimit, bool unprivileged = false) {
  ChildResult result = {CHILD_LOST, ""};
  int fds[2];
  if (pipe(fds) != 0) return result;
  pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    RunAsChild(dir, sizeLimit, unprivileged, fds[1]);
  }
  close(fds[1]);
  if (child < 0 || read(fds[0], &result, sizeof result) != static_cast<ssize_t>(sizeof result))
    result.Code = CHILD_LOST;
  close(fds[0]);
  int status = 0;
  if (child > 0) waitpid(child, &status, 0);
  return result;
}

TEST(FaultInjection, PermissionsThatForbidReadingOrWritingFailWithTheirCodes) {
  struct Case {
    const char* Name;
    void (*Break)(const TempDir&);
    int Code;
    std::string Detail;  // under the test directory
  };
  const Case cases[] = {
      {"read-only output directory", [](const TempDir& d) { mkdir((d / "out").c_str(), 0555); },
       ERR_VASKREPORT_OPEN_SORT_FILE, "out/00.tmp"},
      {"unreadable data file", [](const TempDir& d) { chmod((d / "job.txt").c_str(), 0); },
       ERR_VASKREPORT_OPEN_FILE, "job.txt"},
      {"read-only data directory", [](const TempDir& d) { chmod(d.path().c_str(), 0555); },
       ERR_VASKREPORT_CREATE_DIRECTORY, "out/"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    WriteFile(dir / "job.txt", Data());
    ASSERT_EQ(0, chmod(dir.path().c_str(), 0777));
    c.Break(dir);
    const ChildResult result = RunInChild(dir, RLIM_INFINITY, true);
    chmod(dir.path().c_str(), 0755);
    chmod((dir / "job.txt").c_str(), 0644);
    if (result.Code == CHILD_CANNOT_DROP_PRIVILEGE) GTEST_SKIP() << "cannot become nobody";
    EXPECT_EQ(c.Code, result.Code) << c.Name;
    char name[256];
    LookupReportError(c.Code, name);
    EXPECT_EQ(std::string(name) + "\n" + (dir / c.Detail), result.Message) << c.Name;
    ExpectCleanFailure(dir, Data(), true, c.Name);
  }
}

// Sizes of the documents (their dates may differ between runs); contents of
// the data file and the split files.
std::map<std::string, std::string> OutputsOf(const TempDir& dir) {
  std::map<std::string, std::string> outputs = FilesIn(dir.path());
  for (const auto& report : FilesIn(dir / "out"))
    outputs["out/" + report.first] = std::to_string(report.second.size());
  return outputs;
}

// Under a file size limit the run succeeds exactly when every output fits,
// and then writes what an unlimited run writes; otherwise it fails with the
// write error, naming the file that did not fit: the first document too
// large, or, when the data file does not fit, a bucket, a split file or the
// resort copy.
void ExpectFailureWhereTheLimitBites(const std::string& data) {
  TempDir reference;
  WriteFile(reference / "job.txt", data);
  const ChildResult whole = RunInChild(reference, RLIM_INFINITY);
  ASSERT_EQ(0, whole.Code) << whole.Message;
  const std::map<std::string, std::string> expected = OutputsOf(reference);
  size_t largestData = 0, largest = 0;
  std::set<rlim_t> limits = {0};
  for (const auto& file : FilesIn(reference.path()))
    largestData = std::max(largestData, file.second.size());
  for (const std::string& directory : {reference.path(), reference / "out"})
    for (const auto& file : FilesIn(directory)) {
      largest = std::max(largest, file.second.size());
      limits.insert(file.second.size());  // fits exactly
      if (!file.second.empty()) limits.insert(file.second.size() - 1);
    }
  for (rlim_t limit : limits) {
    TempDir dir;
    WriteFile(dir / "job.txt", data);
    const ChildResult result = RunInChild(dir, limit);
    const std::string what = "limit " + std::to_string(limit);
    if (limit >= largest) {
      EXPECT_EQ(0, result.Code) << what << ": " << result.Message;
      EXPECT_EQ(expected, OutputsOf(dir)) << what;
      continue;
    }
    EXPECT_EQ(ERR_VASKREPORT_WRITE_FILE, result.Code) << what;
    const std::string message = result.Message;
    const std::string named = message.substr(message.find('\n') + 1);
    if (limit >= largestData) {
      const char* const* report =
          std::find_if(std::begin(kReports), std::end(kReports), [&](const char* r) {
            return ReadFile(reference / "out/" + std::string(r)).size() > limit;
          });
      EXPECT_EQ(dir / "out/" + std::string(*report), named) << what;
    } else {
      const std::string name = named.substr(named.rfind('/') + 1);
      const bool temporary = named == dir / "out/" + name && name.size() == 6 &&
                             name.compare(2, 4, ".tmp") == 0;
      EXPECT_TRUE(temporary || expected.count(name)) << what << ": " << result.Message;
      if (expected.count(name)) {
        EXPECT_GT(ReadFile(reference / name).size(), limit) << what;
      }
    }
    EXPECT_EQ(0u, message.find("ERR_VASKREPORT_WRITE_FILE\n")) << what;
    ExpectCleanFailure(dir, data, false, what);
  }
}

TEST(FaultInjection, FileSizeLimitFailsInBucketsSplitFilesAndResortCopy) {
  // The data file is the largest output: the limit bites in the read pass and
  // the join, whose resort copy may be written on a second thread.
  for (const char* threads : {"2", static_cast<const char*>(nullptr)}) {
    ScopedEnv setting("VASKREPORT_THREADS", threads);
    ExpectFailureWhereTheLimitBites(Data(700));
  }
  // Megabytes in one bucket: the caller writes pieces beside the thread.
  ScopedEnv setting("VASKREPORT_THREADS", "2");
  ExpectFailureWhereTheLimitBites(Data(200000));
}

TEST(FaultInjection, FileSizeLimitFailsInEachDocument) {
  // The documents are the largest outputs: the limit bites in each in turn.
  ExpectFailureWhereTheLimitBites(Data(3));
}

TEST(FaultInjection, DataFileThatIsGoneOrNoFileFails) {
  struct Case {
    const char* Name;
    void (*Break)(const TempDir&);
    int Code;
    const char* Detail;  // after the data file's path
  };
  const Case cases[] = {
      {"removed", [](const TempDir& d) { std::remove((d / "job.txt").c_str()); },
       ERR_VASKREPORT_OPEN_FILE, ""},
      {"a directory",
       [](const TempDir& d) {
         std::remove((d / "job.txt").c_str());
         mkdir((d / "job.txt").c_str(), 0755);
       },
       ERR_VASKREPORT_OPEN_FILE, ". not a regular file"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    VaskReportSpec spec;
    UseFullRun(spec, dir / "job.txt");
    WriteFile(dir / "job.txt", Data());
    c.Break(dir);
    char message[256] = "";
    EXPECT_EQ(c.Code, CreateReports(spec, (dir / "out").c_str(), message, nullptr)) << c.Name;
    char name[256];
    LookupReportError(c.Code, name);
    EXPECT_EQ(std::string(name) + "\n" + (dir / "job.txt") + c.Detail, message);
    EXPECT_FALSE(AnyTempFileLeft(dir / "out", true)) << c.Name;
    for (const std::string& split : SplitNames()) EXPECT_FALSE(FileExists(dir / split)) << c.Name;
    EXPECT_TRUE(FilesIn(dir / "out").empty()) << c.Name;
  }
}

TEST(FaultInjection, DataFileThatIsATemporaryFileIsRefusedAndKept) {
  struct Case {
    int Index;
    bool ThroughLink;  // the data path is a symbolic link to the temporary file
  };
  const Case cases[] = {{0, false}, {17, false}, {63, false}, {64, false}, {17, true}};
  for (const Case& c : cases) {
    TempDir dir;
    ASSERT_EQ(0, mkdir((dir / "out").c_str(), 0755));
    const std::string temp = TempName(dir / "out", c.Index);
    WriteFile(temp, Data());
    const std::string dataPath = c.ThroughLink ? dir / "job.txt" : temp;
    if (c.ThroughLink) {
      ASSERT_EQ(0, symlink(temp.c_str(), dataPath.c_str()));
    }
    VaskReportSpec spec;
    UseFullRun(spec, dataPath);
    char message[256] = "";
    const std::string what = temp + (c.ThroughLink ? " through a link" : "");
    EXPECT_EQ(ERR_VASKREPORT_OPEN_SORT_FILE,
              CreateReports(spec, (dir / "out").c_str(), message, nullptr))
        << what;
    EXPECT_EQ("ERR_VASKREPORT_OPEN_SORT_FILE\n" + temp, message) << what;
    EXPECT_EQ(Data(), ReadFile(temp)) << what;
    EXPECT_EQ(1u, FilesIn(dir / "out").size()) << what << ": nothing else is written";
  }
}

TEST(FaultInjection, DataFileThatIsADocumentOfTheRunIsRefusedAndKept) {
  for (const char* report : kReports) {
    TempDir dir;
    ASSERT_EQ(0, mkdir((dir / "out").c_str(), 0755));
    const std::string dataPath = dir / "out/" + std::string(report);
    WriteFile(dataPath, Data());
    VaskReportSpec spec;
    UseFullRun(spec, dataPath);
    spec.SortByBsp = spec.SortIntoBdt = spec.SortIntoStates = false;
    char message[256] = "";
    EXPECT_EQ(ERR_VASKREPORT_OPEN_FILE, CreateReports(spec, (dir / "out").c_str(), message, nullptr))
        << report;
    EXPECT_EQ("ERR_VASKREPORT_OPEN_FILE\n" + dataPath, message);
    EXPECT_EQ(Data(), ReadFile(dataPath)) << report;
    EXPECT_EQ(1u, FilesIn(dir / "out").size()) << report << ": nothing else is written";
  }
}

// An output whose name is a link, hard or symbolic, to another file becomes
// a file of its own: the file linked to keeps what it held, even when it is
// the data file itself.
// A full run of Data() in dir: what other runs are compared with.
void RunFullInto(const TempDir& dir) {
  WriteFile(dir / "job.txt", Data());
  VaskReportSpec spec;
  UseFullRun(spec, dir / "job.txt");
  char message[256] = "";
  ASSERT_EQ(0, CreateReports(spec, (dir / "out").c_str(), message, nullptr)) << message;
}

mode_t ModeOf(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

std::string g_ModeDirectory;
mode_t g_WidestBucket = 0;

int NoteBucketModes(int) {
  for (const char* bucket : {"/00.tmp", "/29.tmp", "/64.tmp"})
    g_WidestBucket |= ModeOf(g_ModeDirectory + bucket);
  return 0;
}

TEST(FaultInjection, FilesHoldingRecordsAreNoMoreReadableThanTheDataFile) {
  const mode_t before = umask(022);
  for (const mode_t mode : {0600, 0640, 0664}) {
    SCOPED_TRACE(mode);
    TempDir dir;
    WriteFile(dir / "job.txt", Data() + "\"unclosed\n");
    ASSERT_EQ(0, chmod((dir / "job.txt").c_str(), mode));
    VaskReportSpec spec;
    UseFullRun(spec, dir / "job.txt");
    spec.Qualifier = '"';
    g_ModeDirectory = dir / "out";
    g_WidestBucket = 0;
    char message[256] = "";
    ASSERT_EQ(0, CreateReports(spec, (dir / "out").c_str(), message, NoteBucketModes)) << message;
    // The resorted mailing keeps its own mode, even one wider than the umask.
    EXPECT_EQ(mode, ModeOf(dir / "job.txt"));
    EXPECT_NE(0u, g_WidestBucket);
    EXPECT_EQ(0u, g_WidestBucket & ~mode) << std::oct << g_WidestBucket;
    for (const std::string& split : SplitNames()) {
      const mode_t got = ModeOf(dir / split);
      EXPECT_NE(0u, got) << split;
      EXPECT_EQ(0u, got & ~mode) << split << " " << std::oct << got;
    }
  }
  umask(before);

  // A runner who may read the mailing only as one of the others (it owns
  // none of it) keeps its own files readable: modes are matched only between
  // files of the same owner and group.
  if (geteuid() != 0) GTEST_SKIP() << "needs root to run as another user";
  TempDir shared;
  WriteFile(shared / "job.txt", Data());
  ASSERT_EQ(0, chmod(shared.path().c_str(), 0777));
  ASSERT_EQ(0, chmod((shared / "job.txt").c_str(), 0004));
  const ChildResult result = RunInChild(shared, RLIM_INFINITY, true);
  chmod(shared.path().c_str(), 0755);
  if (result.Code == CHILD_CANNOT_DROP_PRIVILEGE) GTEST_SKIP() << "cannot become nobody";
  EXPECT_EQ(0, result.Code) << result.Message;
  TempDir reference;
  RunFullInto(reference);
  EXPECT_EQ(ReadFile(reference / "job.txt"), ReadFile(shared / "job.txt"));

  // A umask that makes new files and directories read-only does not stop the
  // run writing them.
  TempDir readOnly;
  WriteFile(readOnly / "job.txt", Data());
  ASSERT_EQ(0, chmod(readOnly.path().c_str(), 0777));
  ASSERT_EQ(0, chmod((readOnly / "job.txt").c_str(), 0666));
  const mode_t kept = umask(0222);
  const ChildResult written = RunInChild(readOnly, RLIM_INFINITY, true);
  umask(kept);
  EXPECT_EQ(0, written.Code) << written.Message;
  EXPECT_TRUE(OutputsOf(reference) == OutputsOf(readOnly));
}

// A directory closed to the runner: its own leftover is emptied and written
// again in place; a link there is still never written through.
TEST(FaultInjection, LeftoversThatCannotBeRemovedAreRewrittenOnlyWhenTheRunnersOwn) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to run as another user";
  TempDir dir;
  ASSERT_EQ(0, chmod(dir.path().c_str(), 0755));
  WriteFile(dir / "victim", "precious\n");
  ASSERT_EQ(0, mkdir((dir / "closed").c_str(), 0755));
  ASSERT_EQ(0, symlink("../victim", (dir / "closed/link").c_str()));
  WriteFile(dir / "closed/own", "an earlier run's\n");
  ASSERT_EQ(0, chown((dir / "closed/own").c_str(), NOBODY, NOBODY));
  const pid_t child = fork();
  if (child == 0) {
    if (setgroups(0, nullptr) != 0 || setgid(NOBODY) != 0 || setuid(NOBODY) != 0) _exit(9);
    const int own = CreateNewFile((dir / "closed/own").c_str(), nullptr, MODE_AS_MADE);
    const bool written = own >= 0 && write(own, "new\n", 4) == 4 && close(own) == 0;
    const int link = CreateNewFile((dir / "closed/link").c_str(), nullptr, MODE_AS_MADE);
    _exit(written && link < 0 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(child, waitpid(child, &status, 0));
  if (WIFEXITED(status) && WEXITSTATUS(status) == 9) GTEST_SKIP() << "cannot become nobody";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ("new\n", ReadFile(dir / "closed/own"));
  EXPECT_EQ("precious\n", ReadFile(dir / "victim"));
}

TEST(FaultInjection, OutputsThatAreLinksToOtherFilesAreReplacedNotWrittenThrough) {
  TempDir reference;
  RunFullInto(reference);
  VaskReportSpec spec;
  char message[256] = "";

  TempDir dir;
  WriteFile(dir / "job.txt", Data());
  ASSERT_EQ(0, mkdir((dir / "out").c_str(), 0755));
  ASSERT_EQ(0, mkdir((dir / "kept").c_str(), 0755));
  // Every name the run makes a file by: a link to a file, a hard link and a
  // link to nothing in turn; the temporary files are gone after the run.
  std::vector<std::string> outputs = SplitNames();
  for (const char* report : kReports) outputs.push_back("out/" + std::string(report));
  const size_t documents = outputs.size();
  for (int i = 0; i <= TEMP_UNROUTED; ++i) outputs.push_back(TempName("out", i));
  for (size_t i = 0; i < outputs.size(); ++i) {
    const std::string target = dir / "kept/" + std::to_string(i);
    const std::string path = dir / outputs[i];
    if (i % 3 != 2) WriteFile(target, "not an output\n");
    ASSERT_EQ(0, i % 3 == 1 ? link(target.c_str(), path.c_str())
                            : symlink(target.c_str(), path.c_str()))
        << outputs[i];
  }
  UseFullRun(spec, dir / "job.txt");
  ASSERT_EQ(0, CreateReports(spec, (dir / "out").c_str(), message, nullptr)) << message;
  for (size_t i = 0; i < outputs.size(); ++i) {
    const std::string target = dir / "kept/" + std::to_string(i);
    EXPECT_EQ(i % 3 != 2 ? "not an output\n" : "", ReadFile(target)) << outputs[i];
    EXPECT_EQ(i % 3 != 2, FileExists(target)) << outputs[i];
    struct stat st;
    const bool exists = lstat((dir / outputs[i]).c_str(), &st) == 0;
    EXPECT_EQ(i < documents, exists) << outputs[i];
    if (exists) {
      EXPECT_TRUE(S_ISREG(st.st_mode) && st.st_nlink == 1) << outputs[i];
    }
  }
  EXPECT_EQ(OutputsOf(reference), OutputsOf(dir));

  // Split without a resort: the data file is not replaced, so a split file
  // linked to it would have overwritten the mailing.
  TempDir linked;
  WriteFile(linked / "job.txt", Data());
  ASSERT_EQ(0, link((linked / "job.txt").c_str(), (linked / "BDT_NSW_job.txt").c_str()));
  UseFullRun(spec, linked / "job.txt");
  spec.SortByBsp = false;
  ASSERT_EQ(0, CreateReports(spec, (linked / "out").c_str(), message, nullptr)) << message;
  EXPECT_EQ(Data(), ReadFile(linked / "job.txt"));
  EXPECT_EQ(ReadFile(reference / "BDT_NSW_job.txt"), ReadFile(linked / "BDT_NSW_job.txt"));
}

std::string g_BucketDirectory;
int g_RemoveAt = 0;
int g_RemoveBucket = 0;

int RemoveBucketAt(int value) {
  if (value == g_RemoveAt) std::remove(TempName(g_BucketDirectory, g_RemoveBucket).c_str());
  return 0;
}

TEST(FaultInjection, BucketRemovedBetweenThePhasesStopsTheRunWithItsName) {
  struct Case {
    int At;  // the progress call that takes the bucket away
    int Bucket;
  };
  // The last call of the read pass, the first of the join, and the join's
  // own call before the bucket's append.
  const Case cases[] = {{1000, 0}, {-1, 29}, {-1, 64}, {-54, 54}, {-63, 62}};
  for (const Case& c : cases) {
    TempDir dir;
    VaskReportSpec spec;
    UseFullRun(spec, dir / "job.txt");
    const std::string data = Data(1000);
    WriteFile(dir / "job.txt", data);
    g_BucketDirectory = dir / "out";
    g_RemoveAt = c.At;
    g_RemoveBucket = c.Bucket;
    char message[256] = "";
    const std::string what = "bucket " + std::to_string(c.Bucket) + " at " + std::to_string(c.At);
    EXPECT_EQ(ERR_VASKREPORT_OPEN_SORT_FILE,
              CreateReports(spec, (dir / "out").c_str(), message, RemoveBucketAt))
        << what;
    EXPECT_EQ("ERR_VASKREPORT_OPEN_SORT_FILE\n" + TempName(dir / "out", c.Bucket), message) << what;
    ExpectCleanFailure(dir, data, false, what);
  }
}

TEST(FaultInjection, CancelAtEveryProgressCallOfBothPhasesKeepsTheDataFile) {
  // A blank line first gives the call at 0; two thousand records the calls
  // at 1000 and 2000; then the join's 63.
  ScopedEnv threads("VASKREPORT_THREADS", "2");
  const std::string data = "\n" + Data(1950) + Data(0);
  TempDir whole;
  VaskReportSpec spec;
  UseFullRun(spec, whole / "job.txt");
  WriteFile(whole / "job.txt", data);
  g_ProgressCalls.clear();
  g_CancelAtCall = 0;
  char message[256];
  ASSERT_EQ(0, CreateReports(spec, (whole / "out").c_str(), message, RecordProgress));
  const std::vector<int> calls = g_ProgressCalls;
  ASSERT_EQ(66u, calls.size());
  ASSERT_EQ(2000, calls[2]);
  for (size_t at = 1; at <= calls.size(); ++at) {
    TempDir dir;
    UseFullRun(spec, dir / "job.txt");
    WriteFile(dir / "job.txt", data);
    g_ProgressCalls.clear();
    g_CancelAtCall = at;
    const std::string what =
        "call " + std::to_string(at) + " (" + std::to_string(calls[at - 1]) + ")";
    EXPECT_EQ(ERR_VASKREPORT_USER_CANCELLED,
              CreateReports(spec, (dir / "out").c_str(), message, RecordProgress))
        << what;
    EXPECT_STREQ("ERR_VASKREPORT_USER_CANCELLED", message) << what;
    ExpectCleanFailure(dir, data, calls[at - 1] >= 0, what);
    EXPECT_TRUE(FilesIn(dir / "out").size() <= 1) << what << ": only the resort copy may stay";
    if (calls[at - 1] >= 0) {
      for (const std::string& split : SplitNames()) EXPECT_FALSE(FileExists(dir / split)) << what;
    }
  }
}

}  // namespace
