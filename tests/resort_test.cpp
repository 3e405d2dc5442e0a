#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "driver/ReportDriver.h"
#include "engine/OutputFile.h"
#include "engine/Resort.h"
#include "engine/SelfClosingFILE.h"
#include "engine/Tallies.h"
#include "engine/TempFiles.h"
#include "spec/VaskReportSpec.h"

using namespace vrtest;

namespace {

std::set<std::string> FilesIn(const std::string& directory) {
  std::set<std::string> names;
  std::string list = directory + "/.list";
  std::string cmd = "ls -A '" + directory + "' > '" + list + "'";
  if (system(cmd.c_str()) != 0) return names;
  for (const std::string& name : Lines(ReadFile(list)))
    if (name != ".list") names.insert(name);
  return names;
}

std::string Body(const std::string& path, const std::string& header) {
  std::string content = ReadFile(path);
  EXPECT_EQ(0u, content.find(header)) << path;
  return content.substr(header.size());
}

std::vector<int> g_Calls;
int g_CancelAt = 0;
std::string g_Victim;

int Record(int value) {
  g_Calls.push_back(value);
  if (value == g_CancelAt && !g_Victim.empty()) remove(g_Victim.c_str());
  return value == g_CancelAt && g_Victim.empty();
}

// Sort plan 3 (NSW) and 22 (VIC) make direct trays; the rest is residue.
std::string MixedData() {
  std::string data;
  for (int i = 0; i < 300; ++i) data += "1,22,,0,v" + std::to_string(i) + "\n";
  for (int i = 0; i < 300; ++i) data += "1,3,,0,n" + std::to_string(i) + "\n";
  data += "1,2,,0,q\n1,19,,0,a1\n1,1,,0,t\n1,19,,0,a2\n,,SA,,u1\n,,nowhere,,u2\n,,NT,,u3\n";
  data += "1,99,,0,bad\n";
  return data;
}

}  // namespace

TEST(MakeTempFileName, ComposesTheDirectoryAndTwoDigitsInFull) {
  char name[TEMP_NAME_SIZE];
  EXPECT_STREQ("out/07.tmp", MakeTempFileName(name, 7, "out/"));
  EXPECT_STREQ("63.tmp", MakeTempFileName(name, 63, ""));
  EXPECT_STREQ("/a/64.tmp", MakeTempFileName(name, 64, "/a/"));
  const std::string longDir = std::string(255, 'd') + "/";
  std::set<std::string> names;
  for (int i = 0; i <= 64; ++i) names.insert(MakeTempFileName(name, i, longDir.c_str()));
  EXPECT_EQ(65u, names.size());
  EXPECT_EQ(longDir + "09.tmp", MakeTempFileName(name, 9, longDir.c_str()));
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

TEST(SelfClosingFILE, OpensClosesAndReportsFailure) {
  TempDir dir;
  WriteFile(dir / "a", "x");
  SelfClosingFILE file;
  EXPECT_EQ(nullptr, file.f());
  EXPECT_TRUE(file.Open((dir / "a").c_str(), "r", false));
  EXPECT_EQ('x', fgetc(file.f()));
  EXPECT_FALSE(file.Open((dir / "missing").c_str(), "r", false));
  EXPECT_EQ(nullptr, file.f());
  file.Close();
  EXPECT_EQ(nullptr, file.f());
}

TEST(OpenOutputFile, WritesTheHeaderLineOfTheLayout) {
  TempDir dir;
  VaskReportSpec spec;
  struct Case {
    char Delimiter, Qualifier;
    bool Names;
    const char* Header;
  };
  const Case cases[] = {
      {',', 0, true, "DPID,BSP,STATE,FLAG,NAME\n"},
      {',', '"', true, "\"DPID\",\"BSP\",\"STATE\",\"FLAG\",\"NAME\"\n"},
      {'\t', 0, true, "DPID\tBSP\tSTATE\tFLAG\tNAME\n"},
      {0, '"', true, "DPID    BSPSTATEFLANAME                \n"},
      {',', '"', false, ""},
  };
  for (const Case& c : cases) {
    UseLayout(spec, "unused");
    spec.Delimiter = c.Delimiter;
    spec.Qualifier = c.Qualifier;
    spec.FieldNamesOnFirstLine = c.Names;
    std::ofstream out;
    char message[256] = "";
    ASSERT_EQ(0, OpenOutputFile(out, (dir / "o").c_str(), spec, message));
    out.close();
    EXPECT_EQ(c.Header, ReadFile(dir / "o"));
  }
  std::ofstream out;
  char message[256] = "";
  EXPECT_EQ(ERR_VASKREPORT_OPEN_OUTPUT_FILE,
            OpenOutputFile(out, (dir / "none/o").c_str(), spec, message));
  EXPECT_EQ(dir / "none/o", message);
}

TEST(AppendTempFile, CopiesToBothStreamsAndNamesAMissingBucket) {
  TempDir dir;
  const std::string prefix = dir.path() + "/";
  WriteFile(TempName(dir.path(), 5), "one\ntwo\n");
  std::vector<char> buffer(COPY_BUFFER_SIZE);
  std::ofstream out(dir / "out"), resort(dir / "resort");
  char message[256] = "";
  EXPECT_EQ(0, AppendTempFile(buffer.data(), 5, out, true, resort, message, prefix.c_str()));
  EXPECT_EQ(0, AppendTempFile(buffer.data(), 5, out, false, resort, message, prefix.c_str()));
  EXPECT_EQ(ERR_VASKREPORT_OPEN_SORT_FILE,
            AppendTempFile(buffer.data(), 6, out, true, resort, message, prefix.c_str()));
  EXPECT_EQ(TempName(dir.path(), 6), message);
  out.close();
  resort.close();
  EXPECT_EQ("one\ntwo\none\ntwo\n", ReadFile(dir / "out"));
  EXPECT_EQ("one\ntwo\n", ReadFile(dir / "resort"));
}

TEST(SortIntoFiles, EachSettingWritesItsFileSet) {
  std::vector<std::string> levels = {"BDT_", "BR_", "UR_"};
  std::vector<std::string> states = {"NT_", "NSW_", "VIC_", "QLD_", "SA_", "WA_", "TAS_", "ACT_"};
  for (int settings = 1; settings < 8; ++settings) {
    TempDir dir;
    VaskReportSpec spec;
    UseLayout(spec, dir / "data/job.txt");
    spec.SortByBsp = settings & 1;
    spec.SortIntoBdt = settings & 2;
    spec.SortIntoStates = settings & 4;
    ASSERT_EQ(0, mkdir((dir / "data").c_str(), 0755));
    WriteFile(dir / "data/job.txt", MixedData());
    char message[256];
    ASSERT_EQ(0, CreateReports(spec, (dir / "tmp").c_str(), message, nullptr)) << message;
    std::set<std::string> expected = {"job.txt"};
    const std::vector<std::string> levelNames = spec.SortIntoBdt ? levels : std::vector<std::string>{""};
    const std::vector<std::string> stateNames = spec.SortIntoStates ? states : std::vector<std::string>{""};
    if (spec.SortIntoBdt || spec.SortIntoStates) {
      for (const std::string& level : levelNames)
        for (const std::string& state : stateNames) expected.insert(level + state + "job.txt");
      expected.insert("ERR_job.txt");
    }
    if (spec.SortIntoStates) expected.insert("ERR_UR_job.txt");
    EXPECT_EQ(expected, FilesIn(dir / "data")) << settings;
    EXPECT_EQ(std::set<std::string>{}, FilesIn(dir / "tmp")) << settings;
  }
  // An empty data file, though it should have a header line, is resorted
  // into just the header line.
  TempDir dir;
  VaskReportSpec spec;
  UseLayout(spec, dir / "job.txt");
  spec.FieldNamesOnFirstLine = spec.SortByBsp = spec.SortIntoBdt = true;
  WriteFile(dir / "job.txt", "");
  char message[256];
  ASSERT_EQ(0, CreateReports(spec, (dir / "tmp").c_str(), message, nullptr)) << message;
  EXPECT_EQ("DPID,BSP,STATE,FLAG,NAME\n", ReadFile(dir / "job.txt"));
}

TEST(SortIntoFiles, RecordsFollowTheirSortPlansState) {
  TempDir dir;
  VaskReportSpec spec;
  UseLayout(spec, dir / "job.txt");
  spec.SortIntoStates = spec.SortByBsp = true;
  spec.FieldNamesOnFirstLine = true;
  const std::string header = "DPID,BSP,STATE,FLAG,NAME\n";
  WriteFile(dir / "job.txt", header + MixedData());
  char message[256];
  ASSERT_EQ(0, CreateReports(spec, (dir / "tmp").c_str(), message, nullptr)) << message;
  EXPECT_EQ("1,2,,0,q\n", Body(dir / "QLD_job.txt", header));
  EXPECT_EQ("1,19,,0,a1\n1,19,,0,a2\n", Body(dir / "ACT_job.txt", header));
  EXPECT_EQ("1,1,,0,t\n,,NT,,u3\n", Body(dir / "NT_job.txt", header));
  EXPECT_EQ(",,SA,,u1\n", Body(dir / "SA_job.txt", header));
  EXPECT_EQ("", Body(dir / "WA_job.txt", header));
  EXPECT_EQ(",,nowhere,,u2\n", Body(dir / "ERR_UR_job.txt", header));
  EXPECT_EQ("1,99,,0,bad\n", Body(dir / "ERR_job.txt", header));
  const std::vector<std::string> lines = Lines(Body(dir / "job.txt", header));
  ASSERT_EQ(608u, lines.size());
  EXPECT_EQ("1,3,,0,n0", lines[0]) << "direct-tray sort plans first, ascending";
  EXPECT_EQ("1,3,,0,n299", lines[299]);
  EXPECT_EQ("1,22,,0,v0", lines[300]);
  const std::vector<std::string> tail(lines.begin() + 600, lines.end());
  EXPECT_EQ((std::vector<std::string>{"1,1,,0,t", "1,2,,0,q", "1,19,,0,a1", "1,19,,0,a2",
                                      ",,NT,,u3", ",,SA,,u1", ",,nowhere,,u2", "1,99,,0,bad"}),
            tail);
}

TEST(SortIntoFiles, SortLevelsPutUnknownStateLastInTheUnbarcodedFile) {
  TempDir dir;
  VaskReportSpec spec;
  UseLayout(spec, dir / "job.txt");
  spec.SortIntoBdt = true;
  WriteFile(dir / "job.txt", MixedData());
  WriteFile(dir / "ERR_UR_job.txt", "older");
  char message[256];
  ASSERT_EQ(0, CreateReports(spec, (dir / "tmp").c_str(), message, nullptr)) << message;
  EXPECT_EQ(",,NT,,u3\n,,SA,,u1\n,,nowhere,,u2\n", ReadFile(dir / "UR_job.txt"));
  EXPECT_EQ("1,1,,0,t\n1,2,,0,q\n1,19,,0,a1\n1,19,,0,a2\n", ReadFile(dir / "BR_job.txt"));
  EXPECT_EQ(600u, Lines(ReadFile(dir / "BDT_job.txt")).size());
  EXPECT_EQ(MixedData(), ReadFile(dir / "job.txt"));
  EXPECT_EQ("older", ReadFile(dir / "ERR_UR_job.txt")) << "not a file of this setting";
}

TEST(SortIntoFiles, ErrFileExistsOnlyWhenSomeLineReachedNoBucket) {
  TempDir dir;
  VaskReportSpec spec;
  UseLayout(spec, dir / "job.txt");
  spec.SortIntoBdt = true;
  WriteFile(dir / "job.txt", "1,3,,0,a\n");
  WriteFile(dir / "ERR_job.txt", "from another run\n");
  char message[256];
  ASSERT_EQ(0, CreateReports(spec, (dir / "tmp").c_str(), message, nullptr)) << message;
  EXPECT_FALSE(FileExists(dir / "ERR_job.txt"));
}

TEST(SortIntoFiles, DataPathWithoutDirectoryWritesIntoTheCurrentDirectory) {
  TempDir dir;
  char previous[4096];
  ASSERT_NE(nullptr, getcwd(previous, sizeof previous));
  ASSERT_EQ(0, chdir(dir.path().c_str()));
  VaskReportSpec spec;
  UseLayout(spec, "job.txt");
  spec.SortIntoBdt = spec.SortByBsp = true;
  WriteFile("job.txt", MixedData());
  char message[256];
  const int rc = CreateReports(spec, "", message, nullptr);
  const std::set<std::string> files = FilesIn(".");
  EXPECT_EQ(0, chdir(previous));
  ASSERT_EQ(0, rc) << message;
  EXPECT_EQ((std::set<std::string>{"job.txt", "BDT_job.txt", "BR_job.txt", "UR_job.txt",
                                   "ERR_job.txt"}),
            files);
}

namespace {

// Every bucket but the resort copy (63), each holding its own number.
void WriteNumberedBuckets(const std::string& directory) {
  for (int i = 0; i <= 64; ++i)
    if (i != 63) WriteFile(TempName(directory, i), std::to_string(i) + "\n");
}

}  // namespace

TEST(SortIntoFiles, ProgressCountsSixtyThreeStepsAndCancelStopsBeforeItsAppend) {
  TempDir dir;
  const std::string prefix = dir.path() + "/";
  VaskReportSpec spec;
  UseLayout(spec, dir / "job.txt");
  spec.SortByBsp = true;
  WriteNumberedBuckets(dir.path());
  ManifestInfo info;  // no direct trays: every sort plan is appended in the residue pass
  g_Calls.clear();
  g_CancelAt = 0;
  g_Victim.clear();
  char message[256] = "";
  ASSERT_EQ(0, SortIntoFiles(info, spec, message, Record, prefix.c_str()));
  ASSERT_EQ(63u, g_Calls.size());
  for (int i = 0; i < 63; ++i) EXPECT_EQ(-(i + 1), g_Calls[i]);
  std::string all;
  for (int i = 0; i <= 64; ++i)
    if (i != 63) all += std::to_string(i) + "\n";
  EXPECT_EQ(all, ReadFile(TempName(dir.path(), 63)));
  for (int k : {1, 5, 54, 63}) {
    g_CancelAt = -k;
    EXPECT_EQ(ERR_VASKREPORT_USER_CANCELLED,
              SortIntoFiles(info, spec, message, Record, prefix.c_str()));
    std::string before;
    for (int i = 0; i < k - 1; ++i) before += std::to_string(i) + "\n";
    EXPECT_EQ(before, ReadFile(TempName(dir.path(), 63))) << k;
  }
}

// SortIntoFiles leaves the buckets for its caller; the run's own sort removes
// each as soon as it is copied, and a cancelled one has removed only those.
TEST(SortBuckets, RemovesEachBucketOnceCopiedOnlyWhenAsked) {
  TempDir dir;
  const std::string prefix = dir.path() + "/";
  VaskReportSpec spec;
  UseLayout(spec, dir / "job.txt");
  spec.SortByBsp = true;
  ManifestInfo info;
  char message[256] = "";
  g_Victim.clear();
  g_CancelAt = 0;
  WriteNumberedBuckets(dir.path());
  ASSERT_EQ(0, SortIntoFiles(info, spec, message, nullptr, prefix.c_str()));
  for (int i = 0; i <= 64; ++i) EXPECT_TRUE(FileExists(TempName(dir.path(), i))) << i;
  const std::string resorted = ReadFile(TempName(dir.path(), 63));

  ASSERT_EQ(0, SortBuckets(info, spec, message, nullptr, prefix.c_str(), true));
  EXPECT_EQ(resorted, ReadFile(TempName(dir.path(), 63)));
  for (int i = 0; i <= 64; ++i) EXPECT_EQ(i == 63, FileExists(TempName(dir.path(), i))) << i;

  WriteNumberedBuckets(dir.path());
  g_Calls.clear();
  g_CancelAt = -5;  // buckets 00 to 03 copied, then cancelled before 04
  EXPECT_EQ(ERR_VASKREPORT_USER_CANCELLED,
            SortBuckets(info, spec, message, Record, prefix.c_str(), true));
  for (int i = 0; i <= 64; ++i) EXPECT_EQ(i >= 4, FileExists(TempName(dir.path(), i))) << i;
  g_CancelAt = 0;
}

TEST(SortIntoFiles, MissingBucketStopsTheRunWithItsName) {
  TempDir dir;
  VaskReportSpec spec;
  UseLayout(spec, dir / "job.txt");
  spec.SortByBsp = spec.SortIntoStates = true;
  const std::string data = MixedData();
  WriteFile(dir / "job.txt", data);
  g_Calls.clear();
  g_CancelAt = -18;  // sort plan 17 is residue, appended in step 18 after 22 and 3 went first
  g_Victim = TempName(dir / "tmp", 16);
  char message[256];
  EXPECT_EQ(ERR_VASKREPORT_OPEN_SORT_FILE,
            CreateReports(spec, (dir / "tmp").c_str(), message, Record));
  g_Victim.clear();
  EXPECT_EQ("ERR_VASKREPORT_OPEN_SORT_FILE\n" + dir.path() + "/tmp/16.tmp", message);
  EXPECT_EQ(data, ReadFile(dir / "job.txt"));
  EXPECT_EQ(std::set<std::string>{"63.tmp"}, FilesIn(dir / "tmp"));
}
