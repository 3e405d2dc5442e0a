// The specification file as the library reads and writes it. Loads, and
// the dialogue's replies, are case folders (load_*, edit_*) run through the
// front end.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "Fixtures.h"
#include "spec/VaskReportSpec.h"
#include "util/StrUtil.h"

namespace {

using vrtest::ReadFile;
using vrtest::TempDir;
using vrtest::WriteFile;

void SetFields(VaskReportSpec& spec, int count) {
  delete[] spec.Fields;
  spec.Fields = new VaskReportSpec::FieldSpec[count];
  spec.FieldCount = count;
  for (int i = 0; i < count; ++i) {
    snprintf(spec.Fields[i].Name, sizeof spec.Fields[i].Name, "F%d", i + 1);
    spec.Fields[i].Size = i + 1;
  }
}

std::string Saved(VaskReportSpec& spec, const std::string& path) {
  EXPECT_EQ(0, spec.Write(path.c_str()));
  return ReadFile(path);
}

// Every setting the file carries, away from its cleared value.
void FillRich(VaskReportSpec& spec) {
  spec.SetPath("/data/mail list.txt");
  spec.Delimiter = static_cast<char>(200);
  spec.Qualifier = '"';
  SetFields(spec, 5);
  const char* names[] = {"Name", "Dpid", "Bsp", "State", "Amended"};
  for (int i = 0; i < 5; ++i) {
    strcpy(spec.Fields[i].Name, names[i]);
    spec.Fields[i].Size = 10 * (i + 1);
  }
  spec.BspField = 2;
  spec.StateField = 3;
  spec.DpidField = 1;
  spec.AmendedField = 4;
  spec.ManifestReport = spec.MatchingReport = spec.LabelPlanFile = true;
  spec.SortByBsp = spec.SortIntoStates = spec.SortIntoBdt = true;
  spec.LettersPerTray = 250;
  spec.WeightOfLetter = 0.0125;
  spec.State = 6;
  spec.LabelState = 7;
  spec.RemoveField = new int[3]{0, 4, -1};
  const std::pair<char*, const char*> texts[] = {
      {spec.OutputDirectory, "/reports/job 7"}, {spec.CustomerName, "Acme = Mail"},
      {spec.JobNumber, "J-77"}, {spec.PafVersion, "2024.2"}, {spec.ProcessDate, "01/02/2024"},
      {spec.CertifiedDate, "03/04/2023"}, {spec.SoftwareName, "Matcher"},
      {spec.SoftwareVersion, "5.1"}, {spec.ListProcessor, "Bulk Co; Ltd"},
      {spec.ListName, "Members"}, {spec.ListOwner, "Club #1"}, {spec.LabelPlanName, "Plan A"},
      {spec.LabelCustomerName, "Acme"}, {spec.CustomerPhone, "02 9999 0000"},
      {spec.LabelJobNumber, "L-77"}, {spec.Service, "R"}, {spec.MailSize, "S"}};
  for (const auto& text : texts) strcpy(text.first, text.second);
  spec.Prefix = 'Z';
}

// The written text carries every saved setting, so equal texts mean equal settings.
void ExpectSameSettings(VaskReportSpec& a, VaskReportSpec& b, const TempDir& dir) {
  EXPECT_EQ(Saved(a, dir / "a.ini"), Saved(b, dir / "b.ini"));
  EXPECT_STREQ(a.ExpandedPath, b.ExpandedPath);
  EXPECT_EQ(a.State, b.State);
  EXPECT_EQ(a.LabelState, b.LabelState);
}

TEST(SpecFile, RichSpecificationWritesItsGoldenTextAndReadsBackToTheSameSettings) {
  TempDir dir;
  VaskReportSpec spec;
  FillRich(spec);
  vrtest::ExpectGolden(Saved(spec, dir / "saved.ini"), "specfile/rich.ini");
  VaskReportSpec loaded;
  char message[256] = "";
  ASSERT_EQ(0, loaded.Read((dir / "saved.ini").c_str(), message)) << message;
  ExpectSameSettings(spec, loaded, dir);
  EXPECT_EQ(200, static_cast<unsigned char>(loaded.Delimiter));
  EXPECT_EQ('"', loaded.Qualifier);
  EXPECT_EQ(4, loaded.AmendedField);
  ASSERT_NE(nullptr, loaded.RemoveField);
  EXPECT_EQ(0, loaded.RemoveField[0]);
  EXPECT_EQ(4, loaded.RemoveField[1]);
  EXPECT_EQ(-1, loaded.RemoveField[2]);
  EXPECT_EQ('Z', loaded.Prefix);
}

TEST(SpecFile, EveryFailedAllocationIsReported) {
  TempDir dir;
  WriteFile(dir / "spec.ini", "[File]\nFields=3\nField1Name=Name\nField1Size=20\nField2Name=Bsp\nField2Size=3\n"
                              "Field3Name=Dpid\nField3Size=8\nDpidField=Dpid\n[FileProcessing]\nRemoveField=Bsp,3\n");
  bool sawIni = false, sawSpec = false;
  for (int n = 0;; ++n) {
    VaskReportSpec spec;
    std::ifstream in(dir / "spec.ini");
    char message[256] = "";
    vrtest::g_AllocationsBeforeFailure = n;
    int code = spec.Read(in, message, nullptr);
    vrtest::g_AllocationsBeforeFailure = -1;
    if (code == 0) break;
    ASSERT_LT(n, 100);
    if (code == ERR_INIFILE_OUT_OF_MEMORY) {
      sawIni = true;
      EXPECT_EQ(0u, std::string(message).find("ERR_INIFILE_OUT_OF_MEMORY\n")) << n;
    } else {
      sawSpec = true;
      EXPECT_EQ(ERR_VASKREPORTSPEC_OUTOFMEMORY, code) << n;
      EXPECT_STREQ("ERR_VASKREPORTSPEC_OUTOFMEMORY", message) << n;
    }
  }
  EXPECT_TRUE(sawIni && sawSpec);
}

// A field whose name would not read back as itself (a comma or edge spaces
// inside the comma-separated list, a name an earlier field already has, a
// final carriage return) is saved by its number.
TEST(SpecFile, FieldsWhoseNamesWouldNotReadBackAreSavedByNumber) {
  TempDir dir;
  VaskReportSpec spec;
  SetFields(spec, 5);
  strcpy(spec.Fields[1].Name, "Bsp,Code");
  strcpy(spec.Fields[2].Name, "F1");
  strcpy(spec.Fields[3].Name, " Dpid ");
  strcpy(spec.Fields[4].Name, "Amended\r");
  spec.DpidField = 3;
  spec.BspField = 1;
  spec.StateField = 2;
  spec.AmendedField = 4;
  spec.RemoveField = new int[6]{1, 2, 4, 3, 0, -1};
  const std::string text = Saved(spec, dir / "saved.ini");
  for (const char* line : {"\nBspField=Bsp,Code\n", "\nStateField=3\n", "\nAmendedField=5\n",
                           "\nRemoveField=2,3,5,4,F1\n"})
    EXPECT_NE(std::string::npos, text.find(line)) << line;
  VaskReportSpec loaded;
  char message[256] = "";
  ASSERT_EQ(0, loaded.Read((dir / "saved.ini").c_str(), message)) << message;
  EXPECT_EQ((std::vector<int>{3, 1, 2, 4}),
            (std::vector<int>{loaded.DpidField, loaded.BspField, loaded.StateField, loaded.AmendedField}));
  ASSERT_NE(nullptr, loaded.RemoveField);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(spec.RemoveField[i], loaded.RemoveField[i]) << i;
}

TEST(SpecFile, WriteLeavesOutIndexesBeyondTheFieldList) {
  TempDir dir;
  VaskReportSpec spec;
  SetFields(spec, 2);
  spec.BspField = 2;
  spec.StateField = 7;
  spec.DpidField = 1;
  spec.AmendedField = -3;
  spec.RemoveField = new int[4]{5, 0, 2, -1};
  vrtest::ExpectGolden(Saved(spec, dir / "saved.ini"), "specfile/beyond_fields.ini");
  delete[] spec.RemoveField;
  spec.RemoveField = new int[2]{9, -1};
  EXPECT_EQ(std::string::npos, Saved(spec, dir / "saved.ini").find("RemoveField"));
}

// Texts that would read back as other entries, and lines longer than the
// reader takes, are not saved, and the file saved before stays.
TEST(SpecFile, WhatWouldNotReadBackIsNotSavedAndTheOldFileStays) {
  TempDir dir;
  const std::string path = dir / "job.ini";
  WriteFile(path, "[File]\nPath=old.txt\n");
  for (const char* text : {"Acme\nLettersPerTray=5", "x\n[FileProcessing]\nSortByBsp=True", "\n"}) {
    VaskReportSpec spec;
    spec.ManifestReport = true;
    strncpyz(spec.CustomerName, text, sizeof spec.CustomerName);
    EXPECT_EQ(ERR_VASKREPORTSPEC_SPECFILE_OPEN, spec.Write(path.c_str())) << text;
  }
  VaskReportSpec spec;
  SetFields(spec, 1);
  strcpy(spec.Fields[0].Name, "A\nB");
  EXPECT_EQ(ERR_VASKREPORTSPEC_SPECFILE_OPEN, spec.Write(path.c_str()));
  strcpy(spec.Fields[0].Name, "A");
  spec.SetPath(std::string(251, 'p').c_str());  // fits the object, not the line "Path=..."
  EXPECT_EQ(ERR_VASKREPORTSPEC_SPECFILE_OPEN, spec.Write(path.c_str()));
  EXPECT_EQ("[File]\nPath=old.txt\n", ReadFile(path));
  spec.SetPath(std::string(250, 'p').c_str());
  EXPECT_EQ(0, spec.Write(path.c_str()));
  VaskReportSpec back;
  back.Read(path.c_str(), nullptr);  // no role for the DPID, which is not the point here
  EXPECT_EQ(std::string(250, 'p'), back.Path);
  // A carriage return reads back as it was, so it is saved.
  strcpy(spec.Fields[0].Name, "A\rB");
  EXPECT_NE(std::string::npos, Saved(spec, path).find("Field1Name=A\rB\n"));
  for (const std::string& bad : {dir / "no/such/dir.ini", std::string("/dev/full")})
    EXPECT_EQ(ERR_VASKREPORTSPEC_SPECFILE_OPEN, spec.Write(bad.c_str())) << bad;
  EXPECT_EQ(ERR_VASKREPORTSPEC_SPECFILE_OPEN, spec.Write(nullptr));
}

// The file is written beside and renamed over: whatever sits at the name
// beside is replaced, never written through, and a save that cannot write
// there leaves the old file whole.
TEST(SpecFile, SavingReplacesWhatSitsBesideAndKeepsTheFileMode) {
  TempDir dir;
  const std::string path = dir / "job.ini", beside = path + ".new";
  WriteFile(dir / "other.txt", "someone else's file\n");
  VaskReportSpec spec;
  spec.SetPath("new.txt");
  for (const std::string& target : {dir / "other.txt", std::string("/dev/null"), dir / "nowhere"}) {
    ASSERT_EQ(0, symlink(target.c_str(), beside.c_str())) << target;
    EXPECT_EQ(0, spec.Write(path.c_str())) << target;
    struct stat st;
    ASSERT_EQ(0, lstat(path.c_str(), &st));
    EXPECT_TRUE(S_ISREG(st.st_mode)) << target;
    EXPECT_NE(std::string::npos, ReadFile(path).find("Path=new.txt\n")) << target;
  }
  EXPECT_EQ("someone else's file\n", ReadFile(dir / "other.txt"));
  EXPECT_FALSE(vrtest::FileExists(dir / "nowhere"));
  ASSERT_EQ(0, mkdir(beside.c_str(), 0755));
  WriteFile(path, "[File]\nPath=old.txt\n");
  EXPECT_EQ(ERR_VASKREPORTSPEC_SPECFILE_OPEN, spec.Write(path.c_str()));
  EXPECT_EQ("[File]\nPath=old.txt\n", ReadFile(path));
  rmdir(beside.c_str());
  // A file of another group (when the test may make one) is written in place,
  // keeping its group; every file keeps its mode.
  const bool otherGroup = geteuid() == 0 && chown(path.c_str(), 0, 65534) == 0;
  for (mode_t mode : {0600, 0604, 0640}) {
    ASSERT_EQ(0, chmod(path.c_str(), mode));
    EXPECT_NE(std::string::npos, Saved(spec, path).find("Path=new.txt\n"));
    struct stat st;
    ASSERT_EQ(0, stat(path.c_str(), &st));
    EXPECT_EQ(mode, st.st_mode & 07777);
    EXPECT_EQ(otherGroup ? 65534u : getegid(), st.st_gid);
  }
  EXPECT_FALSE(vrtest::FileExists(beside));
  // A file name of 255 characters leaves no room for a file beside it.
  const std::string longest = dir / (std::string(251, 'a') + ".ini");
  for (const char* data : {"new.txt", "newer.txt"}) {  // a new file, then an existing one
    spec.SetPath(data);
    EXPECT_NE(std::string::npos, Saved(spec, longest).find(std::string("Path=") + data)) << data;
  }
}

}  // namespace
