#include <gtest/gtest.h>

#include "Fixtures.h"
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>


namespace {

using vrtest::ReadFile;
using vrtest::TempDir;
using vrtest::WriteFile;

const std::string kBinary = std::string(VR_BUILD_DIR) + "/vaskreport";
const std::string kExamples = std::string(VR_SOURCE_DIR) + "/examples";

struct Result {
  int Code;
  std::string Out, Err;
};

// Runs the front end in dir with the given arguments and standard input.
// environment: assignments put before the command, as in a shell.
Result Vask(const TempDir& dir, const std::string& arguments, const std::string& input = "",
            const std::string& environment = "") {
  WriteFile(dir / ".stdin", input);
  std::string command = "cd '" + dir.path() + "' && " + environment + " '" + kBinary + "' " +
                        arguments + " <.stdin >.stdout 2>.stderr";
  int status = system(command.c_str());
  Result result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(dir / ".stdout"),
                ReadFile(dir / ".stderr")};
  return result;
}

void CopyExample(const TempDir& dir) {
  WriteFile(dir / "mailing.csv", ReadFile(kExamples + "/mailing.csv"));
  WriteFile(dir / "example.ini", ReadFile(kExamples + "/example.ini"));
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Every line but the header, sorted: the records as a multiset.
std::vector<std::string> SortedRecords(const std::string& text) {
  std::vector<std::string> lines = Lines(text);
  if (!lines.empty()) lines.erase(lines.begin());
  std::sort(lines.begin(), lines.end());
  return lines;
}

bool Has(const std::string& text, const std::string& piece) {
  return text.find(piece) != std::string::npos;
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(vrtest::FileExists(kBinary)) << "build " << kBinary; }
  TempDir dir_;
};

TEST_F(CliTest, RunOnTheExampleWritesTheGoldenReportsAndListsThem) {
  CopyExample(dir_);
  Result r = Vask(dir_, "run example.ini --quiet");
  ASSERT_EQ(0, r.Code) << r.Err;
  EXPECT_EQ("", r.Err) << "no progress when standard error is no terminal";
  vrtest::ExpectGolden(r.Out, "cli/run_stdout.txt");
  const char* reports[] = {"ManifestReport.txt",
                           "ManifestReport.htm",
                           "ManifestReport.csv",
                           "LodgementInfo.txt",
                           "LodgementInfo.htm",
                           "AddressMatchingSummaryReport.txt",
                           "AddressMatchingSummaryReport.htm",
                           "LabelPlanFile.lpf"};
  for (const char* report : reports)
    vrtest::ExpectGolden(ReadFile(dir_ / "reports/" + report), std::string("cli/") + report);
}

// The front end counts and resorts on two threads unless told otherwise;
// both ways write the same files, byte for byte.
TEST_F(CliTest, RunOnOneThreadWritesWhatTheDefaultRunWrites) {
  const std::vector<std::string> lines = Lines(ReadFile(kExamples + "/mailing.csv"));
  std::string mailing = lines[0] + "\n";
  for (int copy = 0; copy < 8; ++copy)  // several blocks of the line reader
    for (size_t i = 1; i < lines.size(); ++i) mailing += lines[i] + "\n";
  TempDir one;
  for (const TempDir* dir : {&dir_, &one}) {
    CopyExample(*dir);
    WriteFile(*dir / "mailing.csv", mailing);
  }
  ASSERT_EQ(0, Vask(dir_, "run -q example.ini").Code);
  ASSERT_EQ(0, Vask(one, "run -q example.ini", "", "VASKREPORT_THREADS=1").Code);
  ASSERT_NE(mailing, ReadFile(dir_ / "mailing.csv"));
  const std::string list = "cd '" + dir_.path() + "' && find . -type f ! -name '.*' > .files";
  ASSERT_EQ(0, system(list.c_str()));
  int compared = 0;
  for (const std::string& name : Lines(ReadFile(dir_ / ".files"))) {
    EXPECT_TRUE(ReadFile(dir_ / name) == ReadFile(one / name)) << name;
    ++compared;
  }
  EXPECT_GT(compared, 30);
}

TEST_F(CliTest, RunKeepsEveryRecordInTheResortAndTheSplits) {
  CopyExample(dir_);
  const std::string original = ReadFile(dir_ / "mailing.csv");
  ASSERT_EQ(0, Vask(dir_, "run example.ini").Code);
  const std::string resorted = ReadFile(dir_ / "mailing.csv");
  EXPECT_NE(original, resorted);
  EXPECT_EQ(Lines(original)[0], Lines(resorted)[0]);
  EXPECT_EQ(SortedRecords(original), SortedRecords(resorted));

  std::vector<std::string> fromSplits;
  for (const char* level : {"BDT_", "BR_", "UR_"})
    for (const char* state : {"NT", "NSW", "VIC", "QLD", "SA", "WA", "TAS", "ACT"}) {
      std::vector<std::string> part =
          SortedRecords(ReadFile(dir_ / (std::string(level) + state + "_mailing.csv")));
      fromSplits.insert(fromSplits.end(), part.begin(), part.end());
    }
  std::vector<std::string> unknown = SortedRecords(ReadFile(dir_ / "ERR_UR_mailing.csv"));
  EXPECT_EQ(7u, unknown.size());
  fromSplits.insert(fromSplits.end(), unknown.begin(), unknown.end());
  std::sort(fromSplits.begin(), fromSplits.end());
  EXPECT_EQ(SortedRecords(original), fromSplits);
}

TEST_F(CliTest, RunListsTheFileOfLinesThatAreNotRecordsOnlyWhenItWroteOne) {
  CopyExample(dir_);
  Result r = Vask(dir_, "run -q example.ini");
  ASSERT_EQ(0, r.Code) << r.Err;
  EXPECT_FALSE(Has(r.Out, "ERR_mailing.csv")) << r.Out;
  EXPECT_TRUE(Has(Vask(dir_, "check example.ini").Out,
                  "  ERR_mailing.csv (lines that are not records, if any)\n"));

  // An unclosed qualifier makes a line that is not a record.
  WriteFile(dir_ / "mailing.csv", ReadFile(kExamples + "/mailing.csv") + "\"Unclosed,1\n");
  r = Vask(dir_, "run -q example.ini");
  ASSERT_EQ(0, r.Code) << r.Err;
  EXPECT_TRUE(Has(r.Out, "\n  ERR_mailing.csv\n")) << r.Out;
  EXPECT_EQ(std::vector<std::string>{"\"Unclosed,1"},
            SortedRecords(ReadFile(dir_ / "ERR_mailing.csv")));
}

TEST_F(CliTest, RunOutputDirectoryOptionOverridesTheSpecification) {
  CopyExample(dir_);
  Result r = Vask(dir_, "run --output-dir elsewhere/deep example.ini -q");
  ASSERT_EQ(0, r.Code) << r.Err;
  EXPECT_TRUE(vrtest::FileExists(dir_ / "elsewhere/deep/ManifestReport.txt"));
  EXPECT_FALSE(vrtest::FileExists(dir_ / "reports"));
  EXPECT_TRUE(Has(r.Out, "  elsewhere/deep/LabelPlanFile.lpf\n"));
}

TEST_F(CliTest, CheckDescribesAValidSpecification) {
  CopyExample(dir_);
  Result r = Vask(dir_, "check example.ini");
  EXPECT_EQ(0, r.Code) << r.Err;
  EXPECT_EQ("", r.Err);
  vrtest::ExpectGolden(r.Out, "cli/check_example.txt");
  EXPECT_EQ(ReadFile(kExamples + "/mailing.csv"), ReadFile(dir_ / "mailing.csv"))
      << "check must not touch the data file";
}

TEST_F(CliTest, CheckListsIgnoredEntries) {
  WriteFile(dir_ / "data.csv", "Name,Code\nA,1\n");
  WriteFile(dir_ / "spec.ini",
            "[File]\nPath=data.csv\nDelimiter=44\nFields=2\nField1Name=Name\nField1Size=9\n"
            "Field2Name=Dpid\nField2Size=8\nDpidField=Dpid\nColour=blue\n");
  Result ignored = Vask(dir_, "check spec.ini");
  EXPECT_EQ(0, ignored.Code) << ignored.Err;
  EXPECT_TRUE(Has(ignored.Out, "The following entries were ignored:")) << ignored.Out;
  EXPECT_TRUE(Has(ignored.Out, "Colour")) << ignored.Out;
}

// Each failure is one line: the program, the file, why, and the code's name.
// The files a case starts with are left as they were.
TEST_F(CliTest, FailuresNameTheFileTheReasonAndTheCode) {
  const std::string layout =
      "[File]\nPath=absent.csv\nDelimiter=44\nFields=1\nField1Name=Dpid\nField1Size=8\n"
      "DpidField=Dpid\n";
  const std::string sorted = layout + "BspField=Dpid\n[FileProcessing]\nSortByBsp=True\n";
  auto dataAt = [](std::string spec, const std::string& path) {
    return spec.replace(spec.find("absent.csv"), 10, path);
  };
  const std::string noSpec =
      "vaskreport: nowhere.ini: No such file or directory (ERR_VASKREPORTSPEC_SPECFILE_OPEN)\n";
  const std::string noData = "vaskreport: absent.csv: No such file or directory (";
  const std::string overData = ": is the data file, which the run would write over "
                               "(ERR_VASKREPORT_OPEN_FILE)\n";
  struct Case {
    std::string arguments;
    std::vector<std::pair<std::string, std::string>> files;  // "name/": a directory
    std::string err;  // the last line of standard error
    std::string shell = "";  // commands run before, in the same shell
  } cases[] = {
      {"run nowhere.ini", {}, noSpec},
      {"check nowhere.ini", {}, noSpec},
      {"verify nowhere.ini", {}, noSpec},
      {"run spec.ini", {{"spec.ini", layout + "FieldNamesOnFirstLine=True\n"}},
       noData + "ERR_VASKREPORTSPEC_TEXTFILE_OPEN)\n"},
      {"run spec.ini", {{"spec.ini", layout}}, noData + "ERR_VASKREPORT_OPEN_FILE)\n"},
      // A sorted run reads the data file for its digest first.
      {"run spec.ini", {{"spec.ini", sorted}}, noData + "ERR_VASKREPORT_OPEN_FILE)\n"},
      {"check jobs/spec.ini",
       {{"jobs/spec.ini", layout + "FieldNamesOnFirstLine=True\n"}, {"jobs/absent.csv", "Dpid\n"}},
       "vaskreport: absent.csv: No such file or directory, but jobs/absent.csv exists: paths are "
       "taken from the working directory, not the specification's "
       "(ERR_VASKREPORTSPEC_TEXTFILE_OPEN)\n"},
      {"run -o file/x spec.ini", {{"spec.ini", sorted}, {"absent.csv", "1\n"}, {"file", ""}},
       "vaskreport: file/x: Not a directory (ERR_VASKREPORT_CREATE_DIRECTORY)\n"},
      {"run -q spec.ini",
       {{"spec.ini", sorted + "SortIntoBdt=True\nSortIntoStates=True\n"},
        {"absent.csv", "1\n"},
        {"BDT_NT_absent.csv/", ""}},
       "vaskreport: BDT_NT_absent.csv: Is a directory (ERR_VASKREPORT_OPEN_OUTPUT_FILE)\n"},
      // Data files that the digest, its temporary or a document would replace.
      {"run -q -o out spec.ini",
       {{"spec.ini", dataAt(sorted, "out/RunDigest.txt")}, {"out/RunDigest.txt", "1\n"}},
       "vaskreport: out/RunDigest.txt" + overData},
      {"run -q -o out spec.ini",
       {{"spec.ini", dataAt(sorted, "out/RunDigest.txt.new")}, {"out/RunDigest.txt.new", "1\n"}},
       "vaskreport: out/RunDigest.txt.new" + overData},
      {"run -q spec.ini",
       {{"spec.ini", dataAt(layout, "out/AddressMatchingSummaryReport.txt") +
                         "AmendedField=Dpid\n[Output]\nOutputDirectory=out\n[MatchingReport]\n"},
        {"out/AddressMatchingSummaryReport.txt", "1\n"}},
       "vaskreport: out/AddressMatchingSummaryReport.txt" + overData},
      {"check bad.ini",
       {{"bad.ini", dataAt(layout, "") + "[ManifestReport]\n"}},
       "vaskreport: bad.ini: no BSP field, which the manifest and the label plan need "
       "(ERR_VASKREPORTSPEC_MISSING_BSPFIELD)\n"},
      {"verify bad.ini", {{"bad.ini", layout + "BspField=Dpid\n[ManifestReport]\nState=XX\n"}},
       "vaskreport: bad.ini: unknown state: State=XX (ERR_VASKREPORTSPEC_UNKNOWN_STATE)\n"},
      {"run bad.ini", {{"bad.ini", "[Output]\nOutputDirectory=x\n"}},
       "vaskreport: bad.ini: no [File] section (ERR_VASKREPORTSPEC_MISSING_FILESECTION)\n"},
      {"check spec.ini",
       {{"data.csv", "Name,Code\nA,1\n"},
        {"spec.ini",
         "[File]\nPath=data.csv\nDelimiter=44\nFieldNamesOnFirstLine=True\nFields=2\n"
         "Field1Name=Name\nField1Size=9\nField2Name=Dpid\nField2Size=8\nDpidField=Dpid\n"}},
       "vaskreport: data.csv: field names differ from the specification's: Dpid, Code "
       "(ERR_VASKREPORTSPEC_FIELDNAMES_OUT)\n"},
      // A pipe cannot be resorted: refused before it is opened, so nothing waits.
      {"run -q spec.ini", {{"spec.ini", dataAt(sorted, "fifo.csv")}},
       "vaskreport: fifo.csv: not a regular file (ERR_VASKREPORT_OPEN_FILE)\n", "mkfifo fifo.csv &&"},
      {"check spec.ini", {{"spec.ini", dataAt(sorted, "fifo.csv")}},
       "vaskreport: fifo.csv: not a regular file (ERR_VASKREPORT_OPEN_FILE)\n", "mkfifo fifo.csv &&"},
      {"check spec.ini", {{"spec.ini", dataAt(layout, "a. b/m.csv") + "FieldNamesOnFirstLine=True\n"}},
       "vaskreport: a. b/m.csv: No such file or directory (ERR_VASKREPORTSPEC_TEXTFILE_OPEN)\n"},
      {"run -q spec.ini",
       {{"spec.ini", dataAt(layout, "m.csv") + "AmendedField=Dpid\n[Output]\nOutputDirectory=out\n"
                                                "[MatchingReport]\n"},
        {"m.csv", "1\n"},
        {"out/AddressMatchingSummaryReport.txt/", ""}},
       "vaskreport: out/AddressMatchingSummaryReport.txt: Is a directory (ERR_VASKREPORT_OPEN_FILE)\n"},
      // Past a file size limit a write fails with its message, not a signal.
      {"run -q spec.ini", {{"spec.ini", sorted}, {"absent.csv", std::string(4000, '1') + "\n"}},
       "vaskreport: 63.tmp: write error (ERR_VASKREPORT_WRITE_FILE)\n", "ulimit -f 2 &&"},
      {"edit nodir/new.ini", {},
       "vaskreport: nodir/new.ini: No such file or directory (ERR_VASKREPORTSPEC_SPECFILE_OPEN)\n"},
      {"edit file/new.ini", {{"file", ""}},
       "vaskreport: file/new.ini: Not a directory (ERR_VASKREPORTSPEC_SPECFILE_OPEN)\n"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    for (const auto& [name, text] : c.files) {
      const std::string path = dir / name;
      ASSERT_EQ(0, system(("mkdir -p '" + path.substr(0, path.rfind('/')) + "'").c_str()));
      if (name.back() != '/') WriteFile(path, text);
    }
    Result r = Vask(dir, c.arguments, "", c.shell);
    EXPECT_EQ(1, r.Code) << c.arguments;
    const size_t last = r.Err.rfind('\n', r.Err.size() - 2);
    EXPECT_EQ(c.err, last == std::string::npos ? r.Err : r.Err.substr(last + 1)) << c.arguments;
    if (c.arguments.compare(0, 4, "edit") != 0) {
      EXPECT_EQ(c.err, r.Err) << c.arguments;
    }
    for (const auto& [name, text] : c.files) {
      if (name.back() == '/') continue;
      EXPECT_EQ(text, ReadFile(dir / name)) << c.arguments << " " << name;
    }
  }
}

TEST_F(CliTest, EditWithPipedRepliesSavesTheExpectedFile) {
  const std::string replies =
      "jobs/march.csv\n44\n34\nn\n3\nName\nDpid\nBsp\n40\n8\n3\n"
      "Bsp\nDpid\n\n\n"
      "out\ny\n\n20\nnsw\nHarbourside\nJ-17\nn\ny\nn\nn\nn\n";
  Result r = Vask(dir_, "edit new.ini", replies);
  ASSERT_EQ(0, r.Code) << r.Err;
  EXPECT_EQ("Saved new.ini\n", r.Out);
  EXPECT_EQ(
      "[File]\nPath=jobs/march.csv\nDelimiter=44\nQualifier=34\nFieldNamesOnFirstLine=False\n"
      "Fields=3\nField1Name=Name\nField1Size=40\nField2Name=Dpid\nField2Size=8\n"
      "Field3Name=Bsp\nField3Size=3\nBspField=Bsp\nDpidField=Dpid\n"
      "[Output]\nOutputDirectory=out\n"
      "[ManifestReport]\nLettersPerTray=300\nWeightOfLetter=0.02\nState=NSW\n"
      "CustomerName=Harbourside\nJobNumber=J-17\n"
      "[FileProcessing]\nSortByBsp=True\nSortIntoBdt=False\nSortIntoStates=False\n",
      ReadFile(dir_ / "new.ini"));
  EXPECT_FALSE(vrtest::FileExists(dir_ / "new.ini.new"));
}

TEST_F(CliTest, EditKeepsTheModeOfTheFileItSaves) {
  CopyExample(dir_);
  ASSERT_EQ(0, chmod((dir_ / "example.ini").c_str(), 0600));
  Result r = Vask(dir_, "edit example.ini");  // end of input keeps every value
  ASSERT_EQ(0, r.Code) << r.Err;
  struct stat st;
  ASSERT_EQ(0, stat((dir_ / "example.ini").c_str(), &st));
  EXPECT_EQ(0600u, st.st_mode & 07777);
  EXPECT_TRUE(Has(ReadFile(dir_ / "example.ini"), "Path=mailing.csv\n"));
}

TEST_F(CliTest, JsonRefusesADataFileThatCannotBeReadAgain) {
  WriteFile(dir_ / "spec.ini",
            "[File]\nPath=fifo\nDelimiter=44\nFields=1\nField1Name=Dpid\nField1Size=8\n"
            "DpidField=Dpid\n");
  ASSERT_EQ(0, mkfifo((dir_ / "fifo").c_str(), 0600));
  // Read twice, a pipe would give no figures the second time, or hang.
  Result r = Vask(dir_, "run --json spec.ini", "", "timeout 20");
  EXPECT_EQ(1, r.Code);
  EXPECT_EQ("vaskreport: fifo: not a regular file, which --json reads again after the run\n", r.Err);
  EXPECT_EQ("", r.Out);
}

TEST_F(CliTest, EditAfterALoadErrorReplacesTheFileOnlyWhenTold) {
  CopyExample(dir_);
  const std::string broken = ReadFile(dir_ / "example.ini") + "JobNumber=again\n";
  WriteFile(dir_ / "example.ini", broken);
  // The duplicate key stops the load at once, so the dialogue starts empty.
  Result r = Vask(dir_, "edit example.ini");
  EXPECT_EQ(1, r.Code);
  EXPECT_TRUE(Has(r.Err, "vaskreport: example.ini: left as it was\n")) << r.Err;
  EXPECT_EQ(broken, ReadFile(dir_ / "example.ini"));
  // Fifteen questions for an empty specification, then the one to replace.
  const std::string keepAll(15, '\n');
  EXPECT_EQ(1, Vask(dir_, "edit example.ini", keepAll + "n\n").Code);
  EXPECT_EQ(broken, ReadFile(dir_ / "example.ini"));
  r = Vask(dir_, "edit example.ini", keepAll + "y\n");
  EXPECT_EQ(0, r.Code) << r.Err;
  EXPECT_EQ("Saved example.ini\n", r.Out);
  EXPECT_TRUE(Has(ReadFile(dir_ / "example.ini"), "[File]\nPath=\n"));
}

TEST_F(CliTest, OutputThatCannotBeWrittenFailsTheCommand) {
  if (!vrtest::FileExists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  CopyExample(dir_);
  for (const char* arguments : {"run --json example.ini", "check example.ini", "--help", "--version"}) {
    const std::string command = "cd '" + dir_.path() + "' && '" + kBinary + "' " + arguments +
                                " >/dev/full 2>.stderr";
    const int status = system(command.c_str());
    EXPECT_EQ(1, WIFEXITED(status) ? WEXITSTATUS(status) : -1) << arguments;
    EXPECT_TRUE(Has(ReadFile(dir_ / ".stderr"), "vaskreport: cannot write standard output\n"))
        << arguments;
  }
}

TEST_F(CliTest, EditAtEndOfInputKeepsALoadedSpecification) {
  CopyExample(dir_);
  Result first = Vask(dir_, "edit example.ini");
  ASSERT_EQ(0, first.Code) << first.Err;
  const std::string saved = ReadFile(dir_ / "example.ini");
  EXPECT_TRUE(Has(saved, "CustomerName=Harbourside Energy Pty Ltd\n"));
  EXPECT_TRUE(Has(saved, "WeightOfLetter=0.012\n"));
  EXPECT_TRUE(Has(saved, "Field9Name=Amended\nField9Size=3\n"));
  ASSERT_EQ(0, Vask(dir_, "edit example.ini").Code);
  EXPECT_EQ(saved, ReadFile(dir_ / "example.ini"));
  EXPECT_EQ(0, Vask(dir_, "check example.ini").Code);
}

TEST_F(CliTest, EditReportsALoadErrorAndGoesOnFromWhatWasLoaded) {
  WriteFile(dir_ / "half.ini", "[File]\nPath=kept.csv\nDelimiter=999\n");
  Result r = Vask(dir_, "edit half.ini", std::string(15, '\n') + "y\n");
  EXPECT_EQ(0, r.Code);
  EXPECT_TRUE(Has(r.Err, "vaskreport: half.ini: invalid delimiter: Delimiter=999 "
                         "(ERR_VASKREPORTSPEC_INVALID_DELIMITER)\n"))
      << r.Err;
  EXPECT_TRUE(Has(r.Err, "File containing data on which to report [kept.csv] :"));
  EXPECT_TRUE(Has(ReadFile(dir_ / "half.ini"), "Path=kept.csv\nDelimiter=0\n"));
}

TEST_F(CliTest, VerifyAgreesAfterARunAndNamesATamperedFigure) {
  CopyExample(dir_);
  ASSERT_EQ(0, Vask(dir_, "run -q -o out example.ini").Code);
  EXPECT_TRUE(vrtest::FileExists(dir_ / "out/RunDigest.txt"));
  Result r = Vask(dir_, "verify example.ini -o out");
  EXPECT_EQ(0, r.Code) << r.Out << r.Err;
  EXPECT_FALSE(Has(r.Out, "DIFF")) << r.Out;
  EXPECT_TRUE(Has(r.Out, "OK  resorted data file vs original")) << r.Out;
  EXPECT_TRUE(Has(r.Out, "OK  LabelPlanFile.lpf vs ManifestReport.csv\n")) << r.Out;

  // Without the output directory the reports are looked for where the
  // specification puts them, and are missing there.
  EXPECT_EQ(1, Vask(dir_, "verify example.ini").Code);

  // One record dropped from a split file.
  std::vector<std::string> split = Lines(ReadFile(dir_ / "BR_NSW_mailing.csv"));
  ASSERT_GT(split.size(), 2u);
  split.pop_back();
  std::string text;
  for (const std::string& line : split) text += line + "\n";
  WriteFile(dir_ / "BR_NSW_mailing.csv", text);
  r = Vask(dir_, "verify example.ini --output-dir out");
  EXPECT_EQ(1, r.Code);
  EXPECT_TRUE(Has(r.Out, "DIFF BR_NSW_mailing.csv")) << r.Out;
}

TEST_F(CliTest, AFailedRunLeavesNoDigest) {
  CopyExample(dir_);
  // A directory where a split file goes makes the run fail after its pass.
  ASSERT_EQ(0, mkdir((dir_ / "BDT_NT_mailing.csv").c_str(), 0777));
  Result r = Vask(dir_, "run -q -o out example.ini");
  EXPECT_EQ(1, r.Code);
  EXPECT_TRUE(Has(r.Err, "ERR_VASKREPORT_OPEN_OUTPUT_FILE")) << r.Err;
  EXPECT_FALSE(vrtest::FileExists(dir_ / "out/RunDigest.txt"));
}

TEST_F(CliTest, TheDigestReplacesALeftoverTemporaryLinkInsteadOfWritingThroughIt) {
  CopyExample(dir_);
  ASSERT_EQ(0, mkdir((dir_ / "out").c_str(), 0777));
  WriteFile(dir_ / "keep.txt", "someone else's file\n");
  ASSERT_EQ(0, link((dir_ / "keep.txt").c_str(), (dir_ / "out/RunDigest.txt.new").c_str()));
  ASSERT_EQ(0, Vask(dir_, "run -q -o out example.ini").Code);
  EXPECT_EQ("someone else's file\n", ReadFile(dir_ / "keep.txt"));
  EXPECT_TRUE(Has(ReadFile(dir_ / "out/RunDigest.txt"), "records: "));
  EXPECT_FALSE(vrtest::FileExists(dir_ / "out/RunDigest.txt.new"));
}

// Progress is drawn only on a terminal: script(1) gives the run one.
TEST_F(CliTest, RunDrawsProgressOnATerminalUnlessQuiet) {
  if (system("command -v script >/dev/null 2>&1") != 0) GTEST_SKIP() << "no script(1) here";
  CopyExample(dir_);
  WriteFile(dir_ / "mailing.csv", ReadFile(dir_ / "mailing.csv") + "\n\r\n\n");  // no records
  auto onTerminal = [&](const std::string& arguments) {
    const std::string command = "cd '" + dir_.path() + "' && script -qec \"'" + kBinary + "' " +
                                arguments + " >/dev/null\" /dev/null >terminal.txt 2>&1";
    EXPECT_EQ(0, system(command.c_str())) << arguments;
    return ReadFile(dir_ / "terminal.txt");
  };
  const std::string drawn = onTerminal("run example.ini");
  EXPECT_TRUE(Has(drawn, "Resorting: step 63 of 63")) << drawn;
  // The library's calls stop at 5000; the reading line ends with every record.
  EXPECT_TRUE(Has(drawn, "Reading: 5332 records")) << drawn;
  EXPECT_TRUE(Has(drawn, ", 100%")) << drawn;
  EXPECT_EQ("", onTerminal("run --quiet example.ini"));
}

TEST_F(CliTest, RunJsonPrintsOneDocumentWithTheFilesWritten) {
  CopyExample(dir_);
  Result r = Vask(dir_, "run --json --quiet example.ini");
  ASSERT_EQ(0, r.Code) << r.Err;
  WriteFile(dir_ / "run.json", r.Out);
  // A real parser reads it; the files listed are the run's, each a name
  // that opens (run in the run's directory).
  const std::string check =
      "cd '" + dir_.path() + "' && python3 -c \"import json,os,sys; d=json.load(open(sys.argv[1])); "
      "assert 'reports/LabelPlanFile.lpf' in d['files']; "
      "assert 'mailing.csv' in d['files'] and 'reports/RunDigest.txt' in d['files']; "
      "assert all(os.path.isfile(f) for f in d['files']), d['files']; "
      "assert d['settings']['lettersPerTray'] == 300; "
      // Every weight has the CSV's digits: a longer expansion reads back as another number.
      "import csv; rows = list(csv.DictReader(open('reports/ManifestReport.csv'))); "
      "bsps = {b['bsp']: b for b in d['bsps']}; states = {s['state']: s for s in d['states']}; "
      "pairs = [(r['Weight'], bsps[int(r['BSP'])] if r['Sort Level'] == 'BDT' else "
      "states[r['State']][r['Sort Level']]) for r in rows]; "
      "assert len(pairs) >= 20 and all(float(w or 0) == j['weight'] for w, j in pairs), pairs\" '" +
      (dir_ / "run.json") + "'";
  EXPECT_EQ(0, system(check.c_str())) << r.Out;
  EXPECT_FALSE(Has(r.Out, "Wrote:"));
}

TEST_F(CliTest, UsageErrorsExitTwoWithAOneLineHint) {
  struct Case {
    const char* arguments;
    const char* err;
  } cases[] = {
      {"", "vaskreport: missing command; try 'vaskreport --help'\n"},
      {"print x.ini", "vaskreport: unknown command 'print'; try 'vaskreport --help'\n"},
      {"--frobnicate", "vaskreport: unknown option '--frobnicate'; try 'vaskreport --help'\n"},
      {"run", "vaskreport run: missing SPEC; try 'vaskreport run --help'\n"},
      {"check a.ini b.ini", "vaskreport check: unexpected 'b.ini'; try 'vaskreport check --help'\n"},
      {"run --output-dir", "vaskreport run: option '--output-dir' needs a value; try 'vaskreport run --help'\n"},
      {"edit --quiet x.ini", "vaskreport edit: unknown option '--quiet'; try 'vaskreport edit --help'\n"},
      {"verify --json x.ini", "vaskreport verify: unknown option '--json'; try 'vaskreport verify --help'\n"},
      // The option refused, not the word before it, even inside a cluster.
      {"-xV", "vaskreport: unknown option '-x'; try 'vaskreport --help'\n"},
      {"run -xq x.ini", "vaskreport run: unknown option '-x'; try 'vaskreport run --help'\n"},
      {"run x.ini -qx", "vaskreport run: unknown option '-x'; try 'vaskreport run --help'\n"},
      {"run --quiet=1 x.ini",
       "vaskreport run: option '--quiet' takes no value; try 'vaskreport run --help'\n"},
      {"run -q\xc3\xa9 x.ini", "vaskreport run: unknown option byte 0xc3; try 'vaskreport run --help'\n"},
  };
  for (const Case& c : cases) {
    Result r = Vask(dir_, c.arguments);
    EXPECT_EQ(2, r.Code) << c.arguments;
    EXPECT_EQ(c.err, r.Err) << c.arguments;
    EXPECT_EQ("", r.Out) << c.arguments;
  }
}

TEST_F(CliTest, HelpAndVersionGoToStandardOutput) {
  struct Case {
    const char* arguments;
    const char* begins;
  } cases[] = {
      {"--help", "Usage: vaskreport COMMAND"},
      {"-h", "Usage: vaskreport COMMAND"},
      {"run --help", "Usage: vaskreport run SPEC [--output-dir DIR] [--quiet] [--json]\n"},
      {"verify --help", "Usage: vaskreport verify SPEC [--output-dir DIR]\n"},
      {"check -h", "Usage: vaskreport check SPEC\n"},
      {"edit --help", "Usage: vaskreport edit SPEC\n"},
      {"--version", "vaskreport 1.0.0\n"},
  };
  for (const Case& c : cases) {
    Result r = Vask(dir_, c.arguments);
    EXPECT_EQ(0, r.Code) << c.arguments;
    EXPECT_EQ(0u, r.Out.find(c.begins)) << c.arguments << ": " << r.Out;
    EXPECT_EQ("", r.Err) << c.arguments;
  }
}

}  // namespace
