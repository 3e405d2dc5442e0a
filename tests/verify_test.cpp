#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <sstream>

#include "Fixtures.h"
#include "base/States.h"
#include "driver/ReportDriver.h"
#include "engine/Tallies.h"
#include "include/vaskreport.h"
#include "spec/VaskReportSpec.h"
#include "util/StrUtil.h"
#include "verify/CheckLog.h"
#include "verify/Digest.h"
#include "verify/Documents.h"
#include "verify/JsonRun.h"
#include "verify/JsonWriter.h"
#include "verify/Lodgement.h"
#include "verify/Recount.h"
#include "verify/Verify.h"

namespace {

using vrtest::ReadFile;
using vrtest::TempDir;
using vrtest::WriteFile;

// Deterministic pseudo-random numbers for generated mailings.
class Random {
 public:
  explicit Random(uint64_t seed) : m_State(seed * 2862933555777941757ull + 3037000493ull) {}
  unsigned Below(unsigned n) {
    m_State = m_State * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<unsigned>((m_State >> 33) % n);
  }

 private:
  uint64_t m_State;
};

struct Mailing {
  bool SortByBsp = true;
  bool SortIntoBdt = true;
  bool SortIntoStates = true;
  bool CrLf = false;
  unsigned Seed = 1;
  std::string DataName = "job.csv";
};

// Lines of a mailing DPID,BSP,STATE,FLAG,NAME with a header: direct-tray
// sort plans, residue ones, BSPs 2 and 19, unbarcoded letters of known,
// unknown and empty state, barcoded letters without a sort plan, lines the
// record reader rejects, blank lines.
std::string GenerateMailing(const Mailing& mailing) {
  Random random(mailing.Seed);
  const char* eol = mailing.CrLf ? "\r\n" : "\n";
  std::string text = std::string("DPID,BSP,STATE,FLAG,NAME") + eol;
  auto record = [&](const std::string& dpid, const std::string& bsp, const std::string& state) {
    static const char* const flags[] = {"0", "1", "4", "8", "12", "-1", "", "x"};
    text += dpid + "," + bsp + "," + state + "," + flags[random.Below(8)] + ",\"Name " +
            std::to_string(random.Below(100000)) + ", Jr\"" + eol;
  };
  auto dpid = [&random] { return std::to_string(10000000 + random.Below(89999999)); };
  const int direct[][2] = {{3, 320}, {22, 305}, {40, 301}};
  for (const auto& plan : direct)
    for (int i = 0; i < plan[1]; ++i) record(dpid(), std::to_string(plan[0]), "NSW");
  for (int i = 0; i < 400; ++i) record(dpid(), std::to_string(1 + random.Below(54)), "");
  for (int i = 0; i < 30; ++i) record(dpid(), i % 2 ? "19" : "2", "ACT");
  static const char* const states[] = {"NSW", "vic", "Qld", "ACT", "XX", "", "wa", "Victoria"};
  for (int i = 0; i < 250; ++i) record("", std::to_string(random.Below(55)), states[random.Below(8)]);
  for (int i = 0; i < 12; ++i) record(dpid(), i % 3 ? "99" : "0", "SA");
  for (int i = 0; i < 5; ++i) text += std::string("12345678,3,NSW,0,\"unclosed name") + eol;
  text += eol;
  text += std::string("  ") + eol;  // blanks only: a record with every field empty
  // Shuffle the records, keeping the header first.
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string header, line;
  std::getline(in, header);
  while (std::getline(in, line)) lines.push_back(line);
  for (size_t i = lines.size(); i > 1; --i) std::swap(lines[i - 1], lines[random.Below(static_cast<unsigned>(i))]);
  std::string shuffled = header + "\n";
  for (const std::string& l : lines) shuffled += l + "\n";
  return shuffled;
}

std::string SpecText(const std::string& dataPath, const std::string& outputDirectory,
                     const Mailing& mailing) {
  auto flag = [](bool on) { return on ? "True" : "False"; };
  return "[File]\nPath=" + dataPath +
         "\nDelimiter=44\nQualifier=34\nFieldNamesOnFirstLine=True\nFields=5\n"
         "Field1Name=DPID\nField1Size=8\nField2Name=BSP\nField2Size=3\n"
         "Field3Name=STATE\nField3Size=5\nField4Name=FLAG\nField4Size=3\n"
         "Field5Name=NAME\nField5Size=20\n"
         "BspField=BSP\nStateField=STATE\nDpidField=DPID\nAmendedField=FLAG\n"
         "[Output]\nOutputDirectory=" + outputDirectory +
         "\n[ManifestReport]\nLettersPerTray=300\nWeightOfLetter=0.02\nState=NSW\n"
         "CustomerName=Test Customer\nJobNumber=J1\n"
         "[MatchingReport]\nPafVersion=1\nProcessDate=01/01/2024\nCertifiedDate=01/01/2023\n"
         "SoftwareName=Matcher\nSoftwareVersion=1\nListProcessor=P\nListName=L\nListOwner=O\n"
         "[FileProcessing]\nSortByBsp=" + flag(mailing.SortByBsp) +
         "\nSortIntoBdt=" + flag(mailing.SortIntoBdt) +
         "\nSortIntoStates=" + flag(mailing.SortIntoStates) +
         "\n[LabelPlanFile]\nLabelPlanName=Plan\nCustomerName=C\nCustomerPhone=1\nJobNumber=J1\n"
         "Service=R\nMailSize=S\nState=NSW\n";
}

// Runs the way the front end does: the digest first, then the run.
int RunLikeFrontEnd(const std::string& specPath) {
  VaskReportSpec spec;
  char message[256] = "";
  int rc = spec.Read(specPath.c_str(), message);
  if (!rc) rc = spec.Validate(message);
  if (!rc && spec.SortByBsp) rc = WriteRunDigest(spec, "");
  if (!rc) rc = CreateReports(spec, nullptr, message, nullptr);
  if (rc) ADD_FAILURE() << "run failed: " << rc << " " << message;
  return rc;
}

// Members are public for the table of tamperings below.
class VerifyRun : public ::testing::Test {
 public:
  // Through the C interface no digest is kept.
  void Run(const Mailing& mailing, bool cInterface = false) {
    data_ = dir_ / mailing.DataName;
    reports_ = dir_ / "reports";
    specPath_ = dir_ / "job.ini";
    WriteFile(data_, GenerateMailing(mailing));
    WriteFile(specPath_, SpecText(data_, reports_, mailing));
    if (!cInterface) {
      ASSERT_EQ(0, RunLikeFrontEnd(specPath_));
      return;
    }
    char message[256] = "";
    ASSERT_EQ(0, reportClearSpec());
    ASSERT_EQ(0, reportLoadSpec(specPath_.c_str(), message)) << message;
    ASSERT_EQ(0, reportReport(message, nullptr)) << message;
  }
  // Verify's output; the exit code in rc.
  std::string Verify(int& rc) {
    std::ostringstream out;
    rc = VerifyCommand(specPath_, out);
    return out.str();
  }
  std::string Report(const char* name) const { return reports_ + "/" + name; }

  TempDir dir_;
  std::string data_, reports_, specPath_;
};

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// Edits the line that comes after skip more lines from the first line that
// starts with prefix.
void EditLine(const std::string& path, const std::string& prefix,
              const std::function<std::string(const std::string&)>& edit, size_t skip = 0) {
  std::vector<std::string> lines = LinesOf(ReadFile(path));
  for (size_t i = 0; i + skip < lines.size(); ++i)
    if (lines[i].compare(0, prefix.size(), prefix) == 0) {
      std::string& line = lines[i + skip];
      line = edit(line);
      WriteFile(path, JoinLines(lines));
      return;
    }
  ADD_FAILURE() << "no line starting with " << prefix << " in " << path;
}

// The given comma-separated field of a line, plus one.
std::string BumpField(const std::string& line, size_t field) {
  std::vector<std::string> fields;
  std::string f;
  std::istringstream in(line);
  while (std::getline(in, f, ',')) fields.push_back(f);
  if (line.back() == ',') fields.push_back("");
  fields[field] = std::to_string(std::stoull(fields[field]) + 1);
  std::string joined;
  for (size_t i = 0; i < fields.size(); ++i) joined += (i ? "," : "") + fields[i];
  return joined;
}

// The last digit of a line changed to another.
std::string OtherDigit(std::string line) {
  line[line.find_last_of("0123456789")] ^= 1;
  return line;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

TEST_F(VerifyRun, AgreesAfterCorrectRunsOfGeneratedMailings) {
  const Mailing mailings[] = {
      {true, true, true, false, 1, "job.csv"},  {true, false, false, false, 2, "job.csv"},
      {false, true, false, true, 3, "job.csv"}, {false, false, true, false, 4, "job.csv"},
      {true, true, false, true, 5, "job.csv"},  {false, false, false, false, 6, "job.csv"},
  };
  for (const Mailing& mailing : mailings) {
    SCOPED_TRACE("seed " + std::to_string(mailing.Seed));
    Run(mailing);
    int rc = -1;
    const std::string output = Verify(rc);
    EXPECT_EQ(0, rc) << output;
    EXPECT_EQ(std::string::npos, output.find("DIFF")) << output;
    EXPECT_NE(std::string::npos, output.find("OK  LabelPlanFile.lpf vs ManifestReport.csv")) << output;
  }
}

TEST_F(VerifyRun, OutputListsEveryCheckOfAFullRun) {
  Run(Mailing());
  int rc = -1;
  std::string output = Replace(Verify(rc), dir_.path(), "<dir>");
  EXPECT_EQ(0, rc);
  vrtest::ExpectGolden(output, "verify/full_run.txt");
}

struct Tampering {
  const char* Name;
  std::function<void(VerifyRun&)> Tamper;
  const char* Expected;  // the start of a DIFF line that must appear
};

TEST_F(VerifyRun, NamesTheCheckThatFailsAfterTampering) {
  const Tampering cases[] = {
      {"volume in the CSV",
       [](VerifyRun& t) { EditLine(t.Report("ManifestReport.csv"), "BDT,NSW,3,", [](const std::string& l) { return BumpField(l, 3); }); },
       "DIFF ManifestReport.csv vs recount, BDT BSP 03 volume: "},
      {"tray count in the label plan",
       [](VerifyRun& t) { EditLine(t.Report("LabelPlanFile.lpf"), "R,1,022,", [](const std::string& l) { return BumpField(l, 4); }); },
       "DIFF LabelPlanFile.lpf vs recount, BDT BSP 22 trays: "},
      {"record removed from a split file",
       [](VerifyRun& t) {
         std::vector<std::string> lines = LinesOf(ReadFile(t.dir_ / "BDT_NSW_job.csv"));
         lines.pop_back();
         WriteFile(t.dir_ / "BDT_NSW_job.csv", JoinLines(lines));
       },
       "DIFF <dir>/BDT_NSW_job.csv vs recount: "},
      {"record changed in the resorted data file",
       [](VerifyRun& t) {
         std::string text = ReadFile(t.data_);
         text[text.find("Name ") + 5] ^= 1;
         WriteFile(t.data_, text);
       },
       "DIFF resorted data file vs original (<dir>/reports/RunDigest.txt):"},
      {"records swapped in the resorted data file",
       [](VerifyRun& t) {
         std::vector<std::string> lines = LinesOf(ReadFile(t.data_));
         std::swap(lines[1], lines.back());
         WriteFile(t.data_, JoinLines(lines));
       },
       "DIFF resorted data file order:"},
      {"trays in the lodgement information",
       [](VerifyRun& t) { EditLine(t.Report("LodgementInfo.txt"), "Total ", [](const std::string& l) { return l + "0"; }); },
       "DIFF LodgementInfo.txt vs recount, Total trays:"},
      {"a count in the matching summary",
       [](VerifyRun& t) { EditLine(t.Report("AddressMatchingSummaryReport.txt"), "Total Records", [](const std::string& l) { return Replace(l, " 1", " 2"); }); },
       "DIFF AddressMatchingSummaryReport.txt vs recount, records read:"},
      {"a document removed",
       [](VerifyRun& t) { std::remove(t.Report("LodgementInfo.txt").c_str()); },
       "DIFF LodgementInfo.txt vs recount: missing vs wanted by the specification"},
      {"a stray line in the label plan",
       [](VerifyRun& t) { EditLine(t.Report("LabelPlanFile.lpf"), "#End Of File", [](const std::string&) { return std::string("R,9,1,S,1,\n#End Of File"); }); },
       "DIFF LabelPlanFile.lpf layout: line "},
      {"a detail line above the label details",
       [](VerifyRun& t) { EditLine(t.Report("LabelPlanFile.lpf"), "#Label Details", [](const std::string&) { return std::string("R,1,005,S,9,\n#Label Details"); }); },
       "DIFF LabelPlanFile.lpf layout: line "},
      {"a heading of the lodgement information",
       [](VerifyRun& t) { EditLine(t.Report("LodgementInfo.txt"), "                 Same State", [](const std::string& l) { return Replace(l, "Same", "Some"); }); },
       "DIFF LodgementInfo.txt layout: line 2 "},
      {"a share in the matching summary",
       [](VerifyRun& t) { EditLine(t.Report("AddressMatchingSummaryReport.txt"), "Records Matched", [](const std::string& l) { return Replace(l, "%)", "1%)"); }); },
       "DIFF AddressMatchingSummaryReport.txt vs recount, matched share: "},
      {"text after a count in the matching summary",
       [](VerifyRun& t) { EditLine(t.Report("AddressMatchingSummaryReport.txt"), "Records Matched", [](const std::string& l) { return l + " 5"; }); },
       "DIFF AddressMatchingSummaryReport.txt layout: line "},
      {"a weight in the CSV",
       [](VerifyRun& t) { EditLine(t.Report("ManifestReport.csv"), "BDT,NSW,3,", OtherDigit); },
       "DIFF ManifestReport.csv vs recount, BDT BSP 03 weight: "},
      {"a weight in the text manifest",
       [](VerifyRun& t) { EditLine(t.Report("ManifestReport.txt"), std::string(24, ' ') + "3 ", OtherDigit); },
       "DIFF ManifestReport.txt vs recount, BDT BSP 03 weight: "},
      {"a state's weight in the HTML manifest",
       [](VerifyRun& t) { EditLine(t.Report("ManifestReport.htm"), " <td bgcolor=#b2b2b2><font color=#ff0000><b>Total - NSW", OtherDigit, 3); },
       "DIFF ManifestReport.htm vs recount, Total NSW weight: "},
      {"a share in the HTML lodgement information",
       [](VerifyRun& t) { EditLine(t.Report("LodgementInfo.htm"), " <td><b>Barcode Direct</b>", OtherDigit, 4); },
       "DIFF LodgementInfo.htm vs recount, BDT mix: "},
      {"the PAF version in the matching summary",
       [](VerifyRun& t) { EditLine(t.Report("AddressMatchingSummaryReport.txt"), "PAF Version", [](const std::string& l) { return l + "x"; }); },
       "DIFF AddressMatchingSummaryReport.txt vs specification, PafVersion: "},
      {"the list owner in the HTML matching summary",
       [](VerifyRun& t) { EditLine(t.Report("AddressMatchingSummaryReport.htm"), "  <td>Name of List Owner", [](const std::string& l) { return Replace(l, ": ", ": x"); }, 1); },
       "DIFF AddressMatchingSummaryReport.htm vs specification, ListOwner: "},
      {"the customer in the text manifest",
       [](VerifyRun& t) { EditLine(t.Report("ManifestReport.txt"), "Customer Name", [](const std::string& l) { return l + "x"; }); },
       "DIFF ManifestReport.txt vs specification, CustomerName: "},
      {"the plan name in the label plan",
       [](VerifyRun& t) { EditLine(t.Report("LabelPlanFile.lpf"), "#Label Plan Header", [](const std::string& l) { return "x" + l; }, 1); },
       "DIFF LabelPlanFile.lpf vs specification, LabelPlanName: "},
      {"a heading of the text manifest",
       [](VerifyRun& t) { EditLine(t.Report("ManifestReport.txt"), "Summary - All", [](const std::string& l) { return l + " "; }); },
       "DIFF ManifestReport.txt layout: line "},
  };
  for (const Tampering& c : cases) {
    SCOPED_TRACE(c.Name);
    Run(Mailing());
    c.Tamper(*this);
    int rc = -1;
    const std::string output = Replace(Verify(rc), dir_.path(), "<dir>");
    EXPECT_EQ(1, rc);
    EXPECT_NE(std::string::npos, output.find(std::string("\n") + c.Expected)) << output;
    size_t diffs = 0;
    for (size_t at = 0; (at = output.find("\nDIFF ", at + 1)) != std::string::npos;) ++diffs;
    const std::string last = output.substr(output.rfind('\n', output.size() - 2) + 1);
    EXPECT_NE(std::string::npos, last.find(", " + std::to_string(diffs) + " difference")) << last;
  }
}

TEST_F(VerifyRun, CrossChecksTheDocumentsAgainstEachOther) {
  Run(Mailing());
  EditLine(Report("ManifestReport.csv"), "BR,VIC,", [](const std::string& l) { return BumpField(l, 4); });
  int rc = -1;
  const std::string output = Verify(rc);
  EXPECT_EQ(1, rc);
  EXPECT_NE(std::string::npos, output.find("DIFF LodgementInfo.txt vs ManifestReport.csv, BR trays:")) << output;
  EXPECT_NE(std::string::npos, output.find("DIFF LabelPlanFile.lpf vs ManifestReport.csv, BR VIC trays:")) << output;
}

TEST_F(VerifyRun, RereadsTheDataFileWhenItIsNotRewritten) {
  Mailing mailing;
  mailing.SortByBsp = mailing.SortIntoBdt = mailing.SortIntoStates = false;
  Run(mailing);
  std::string text = ReadFile(data_);
  WriteFile(data_, text + "12345678,3,NSW,0,late record\n");
  int rc = -1;
  const std::string output = Verify(rc);
  EXPECT_EQ(1, rc);
  EXPECT_NE(std::string::npos, output.find("DIFF ManifestReport.csv vs recount, BDT BSP 03 volume: 327 vs 328")) << output;
  EXPECT_NE(std::string::npos, output.find("DIFF AddressMatchingSummaryReport.txt vs recount, records read:")) << output;
}

TEST_F(VerifyRun, SkipsOnlyTheRecordCheckAfterARunThroughTheCInterface) {
  for (bool resorted : {true, false}) {
    SCOPED_TRACE(resorted ? "resorted" : "not resorted");
    Mailing mailing;
    mailing.SortByBsp = resorted;
    Run(mailing, true);
    int rc = -1;
    const std::string output = Verify(rc);
    EXPECT_EQ(0, rc) << output;
    const size_t skip = output.find("\nSKIP resorted data file vs original");
    EXPECT_EQ(resorted, skip != std::string::npos) << output;
    EXPECT_EQ(std::string::npos, output.find("\nSKIP", skip + 1)) << output;
    EXPECT_NE(std::string::npos, output.find(resorted ? ", 1 skipped\n" : ", 0 skipped\n")) << output;
  }
}

TEST_F(VerifyRun, SaysSoInOneLineWhenNothingWasRun) {
  Run(Mailing());
  for (const char* name : {"AddressMatchingSummaryReport.txt", "AddressMatchingSummaryReport.htm",
                           "ManifestReport.txt", "ManifestReport.htm", "ManifestReport.csv",
                           "LodgementInfo.txt", "LodgementInfo.htm", "LabelPlanFile.lpf"})
    ASSERT_EQ(0, std::remove(Report(name).c_str())) << name;
  int rc = -1;
  const std::string output = Verify(rc);
  EXPECT_EQ(1, rc);
  EXPECT_EQ("No run to check: none of the 8 documents the specification asks for is in " +
                reports_ + "/\n",
            output);
}

TEST_F(VerifyRun, ReportsAnUnreadableSpecification) {
  specPath_ = dir_ / "absent.ini";
  int rc = -1;
  const std::string output = Verify(rc);
  EXPECT_EQ(1, rc);
  EXPECT_EQ(0u, output.find("DIFF specification " + specPath_ + ": ERR_VASKREPORTSPEC_SPECFILE_OPEN")) << output;
}

TEST(VerifyExample, AgreesAfterARunOfTheBundledExample) {
  TempDir dir;
  for (const char* name : {"example.ini", "mailing.csv"})
    WriteFile(dir / name, ReadFile(std::string(VR_SOURCE_DIR) + "/examples/" + name));
  char previous[4096];
  ASSERT_NE(nullptr, getcwd(previous, sizeof previous));
  ASSERT_EQ(0, chdir(dir.path().c_str()));
  RunLikeFrontEnd("example.ini");
  std::ostringstream out;
  int rc = VerifyCommand("example.ini", out);
  ASSERT_EQ(0, chdir(previous));
  EXPECT_EQ(0, rc) << out.str();
}

TEST(LineDigest, DependsOnTheMultisetOfLinesOnly) {
  auto digest = [](const std::vector<std::string>& lines) {
    LineDigest d;
    for (const std::string& line : lines) d.Add(line.data(), line.size());
    return d;
  };
  const LineDigest base = digest({"alpha", "beta", "gamma delta epsilon", ""});
  EXPECT_EQ(base, digest({"", "gamma delta epsilon", "alpha", "beta"}));
  const std::vector<std::vector<std::string>> others = {
      {"alpha", "beta", "gamma delta epsilon"},            // one removed
      {"alpha", "beta", "gamma delta epsilon", "", ""},    // one repeated
      {"alpha", "betb", "gamma delta epsilon", ""},        // one byte changed
      {"alpha", "beta", "gamma delta epsilon\r", ""},      // a carriage return kept
      {"alpha", "beta", "gamma delta epsilo", "n"},        // bytes moved between lines
  };
  for (const auto& lines : others) EXPECT_NE(base, digest(lines)) << lines.size();
  LineDigest a = digest({"alpha", "beta"}), b = digest({"gamma delta epsilon", ""});
  a += b;
  EXPECT_EQ(base, a);
}

TEST(LineDigest, HashTextReadsBack) {
  LineDigest d;
  d.Add("x", 1);
  LineDigest back;
  ASSERT_TRUE(back.ParseHash(d.HashText()));
  back.Count = d.Count;
  EXPECT_EQ(d, back);
  EXPECT_FALSE(back.ParseHash("12"));
  EXPECT_FALSE(back.ParseHash(std::string(31, '0') + "g"));
}

TEST(RunDigestFile, WritesAndReadsBack) {
  TempDir dir;
  RunDigestFile digest;
  digest.DataFile = "/data/job.csv";
  digest.Records.Add("one", 3);
  ASSERT_TRUE(WriteRunDigestFile(dir / "d.txt", digest));
  RunDigestFile back;
  ASSERT_TRUE(ReadRunDigestFile(dir / "d.txt", back));
  EXPECT_EQ(digest.DataFile, back.DataFile);
  EXPECT_EQ(digest.Records, back.Records);
  WriteFile(dir / "d.txt", "vaskreport run digest\ndata file: x\nrecords: 1\n");
  EXPECT_FALSE(ReadRunDigestFile(dir / "d.txt", back));
}

TEST(RecountTables, BspStatesMatchTheLibrary) {
  for (int bsp = 1; bsp <= BSP_COUNT; ++bsp) EXPECT_EQ(s_BspState[bsp], BspState(bsp)) << bsp;
  for (int state = -1; state <= STATE_COUNT; ++state)
    EXPECT_EQ(NumberToLabelState(state), verify::LabelCode(state)) << state;
  EXPECT_EQ(-1, BspState(0));
  EXPECT_EQ(-1, BspState(55));
  for (int level = 0; level < SORT_LEVEL_COUNT; ++level) {
    EXPECT_STREQ(s_SortLevelNames[level], verify::LEVEL_NAMES[level]);
    EXPECT_STREQ(s_SortLevelPrefix[level], verify::LEVEL_PREFIXES[level]);
  }
}

// The check's own arithmetic against the library's tallies on random counts.
TEST(VerifyTally, AgreesWithTheLibrarysTallies) {
  Random random(7);
  const struct {
    int LettersPerTray;
    double Weight;
    int Lodged;
  } settings[] = {{300, 0.0, STATE_NSW},
                  {150, 0.05, STATE_VIC},
                  {1, 0.013, STATE_ACT},
                  {1000, 0.0, STATE_NT},
                  // The library accepts it; the residue test is then false both ways.
                  {300, std::nan(""), STATE_QLD}};
  for (const auto& s : settings)
    for (int round = 0; round < 20; ++round) {
      VaskReportSpec spec;
      spec.LettersPerTray = s.LettersPerTray;
      spec.WeightOfLetter = s.Weight;
      spec.State = s.Lodged;
      Recount recount;
      for (int bsp = 1; bsp <= BSP_COUNT; ++bsp)
        recount.BspVolumes[bsp] = random.Below(3) ? random.Below(400) : 300 + random.Below(2) - 1;
      for (int state = 0; state < STATE_COUNT; ++state) recount.UnbarcodedVolumes[state] = random.Below(700);
      ManifestInfo info;
      info.Calculate(spec, recount.BspVolumes, recount.UnbarcodedVolumes);
      const verify::Lodgement mine = verify::Tally(spec, recount);
      for (int bsp = 1; bsp <= BSP_COUNT; ++bsp) {
        EXPECT_EQ(info.BspLine[bsp].Volume, mine.Bsp[bsp].Volume);
        EXPECT_EQ(info.BspLine[bsp].Trays, mine.Bsp[bsp].Trays);
      }
      auto same = [](const TotalLine& t, const verify::LevelCounts& c) {
        EXPECT_EQ(t.Direct.Volume, c.Level[verify::LEVEL_BDT].Volume);
        EXPECT_EQ(t.Direct.Trays, c.Level[verify::LEVEL_BDT].Trays);
        EXPECT_EQ(t.BarcodedResidue.Trays, c.Level[verify::LEVEL_BR].Trays);
        EXPECT_EQ(t.UnbarcodedResidue.Trays, c.Level[verify::LEVEL_UR].Trays);
        EXPECT_EQ(t.Total.Volume, c.Total.Volume);
        EXPECT_EQ(t.Total.Trays, c.Total.Trays);
        // Bit for bit, so that every document prints the same digits.
        EXPECT_EQ(0, std::memcmp(&t.Barcoded.Weight, &c.Barcoded.Weight, sizeof(double)));
        EXPECT_EQ(0, std::memcmp(&t.Total.Weight, &c.Total.Weight, sizeof(double)));
      };
      for (int state = 0; state < STATE_COUNT; ++state) same(info.StateTotal[state], mine.State[state]);
      same(info.SameState, mine.Same);
      same(info.OtherStates, mine.Other);
      same(info.MailingTotal, mine.Mailing);
    }
}

TEST(Recount, ReadsLinesOfAnyLengthAndEndings) {
  TempDir dir;
  const std::string longName(3 << 20, 'n');
  WriteFile(dir / "d.csv", "12345678,3,NSW,0," + longName + "\r\n\r\n\n,,VIC,,x\n,,zz,,y");
  VaskReportSpec spec;
  static const char* const names[] = {"DPID", "BSP", "STATE", "FLAG", "NAME"};
  spec.Fields = new VaskReportSpec::FieldSpec[5];
  spec.FieldCount = 5;
  for (int i = 0; i < 5; ++i) {
    strncpyz(spec.Fields[i].Name, names[i], 50);
    spec.Fields[i].Size = 8;
  }
  spec.Delimiter = ',';
  spec.DpidField = 0;
  spec.BspField = 1;
  spec.StateField = 2;
  spec.AmendedField = 3;
  spec.State = STATE_QLD;
  strncpyz(spec.ExpandedPath, (dir / "d.csv").c_str(), 255);
  spec.CalculateFieldOffsets();
  Recount recount;
  std::string problem;
  ASSERT_EQ(0, RecountDataFile(spec, recount, problem)) << problem;
  EXPECT_EQ(3u, recount.Read);
  EXPECT_EQ(1u, recount.BspVolumes[3]);
  EXPECT_EQ(1u, recount.Matched);
  EXPECT_EQ(1u, recount.UnbarcodedVolumes[STATE_VIC]);
  EXPECT_EQ(1u, recount.UnbarcodedVolumes[STATE_QLD]);  // unknown state: the state of lodgement
  EXPECT_EQ(1u, recount.Routes[ROUTE_UNKNOWN_STATE].Count);
  LineDigest first;
  const std::string carried = "12345678,3,NSW,0," + longName + "\r";
  first.Add(carried.data(), carried.size());
  EXPECT_EQ(first, recount.Routes[2]);
}

TEST(JsonQuote, EscapesWhatJsonRequires) {
  const struct {
    std::string In;
    const char* Out;
  } cases[] = {
      {"plain", "\"plain\""},
      {"a\"b\\c", "\"a\\\"b\\\\c\""},
      {"t\tn\nr\rb\bf\f", "\"t\\tn\\nr\\rb\\bf\\f\""},
      {std::string("nul\0x\x1f", 6), "\"nul\\u0000x\\u001f\""},
      {"caf\xc3\xa9 \xe2\x82\xac", "\"caf\xc3\xa9 \xe2\x82\xac\""},
      {"Latin-1 caf\xe9", "\"Latin-1 caf\\u00e9\""},
      {"overlong \xc0\xaf", "\"overlong \\u00c0\\u00af\""},
      {"cut \xe2\x82", "\"cut \\u00e2\\u0082\""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.Out, JsonQuote(c.In));
}

TEST(JsonNumber, WritesShortestExactNumbers) {
  EXPECT_EQ("24", JsonNumber(24.0));
  EXPECT_EQ("0.02", JsonNumber(0.02));
  EXPECT_EQ("0.30000000000000004", JsonNumber(0.1 * 3));
  EXPECT_EQ("null", JsonNumber(1.0 / 0.0));
  EXPECT_EQ(0.1 + 0.2, std::strtod(JsonNumber(0.1 + 0.2).c_str(), nullptr));
}

// A real parser reads the run's JSON, and its figures add up.
TEST_F(VerifyRun, RunJsonIsReadByPythonsParser) {
  if (std::system("python3 -c 'import json' >/dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
  Mailing mailing;
  mailing.DataName = "job \"q\" \\ x.csv";
  Run(mailing);
  VaskReportSpec spec;
  char message[256] = "";
  ASSERT_EQ(0, spec.Read(specPath_.c_str(), message));
  ASSERT_EQ(0, spec.Validate(message));
  std::ostringstream json;
  WriteRunJson(spec, {Report("ManifestReport.csv"), "tab\there"}, json);
  WriteFile(dir_ / "run.json", json.str());
  Recount recount;
  std::string problem;
  ASSERT_EQ(0, RecountDataFile(spec, recount, problem));
  const std::string command = "python3 '" + std::string(VR_TEST_SOURCE_DIR) + "/json_test.py' '" +
                              (dir_ / "run.json") + "' " + std::to_string(recount.Read) +
                              " 2 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(nullptr, pipe);
  std::string output;
  char buffer[512];
  while (size_t got = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, got);
  EXPECT_EQ(0, pclose(pipe)) << output;
  EXPECT_NE(std::string::npos, json.str().find("job \\\"q\\\" \\\\ x.csv"));
}

TEST(RunJson, FiguresOfASmallMailing) {
  TempDir dir;
  WriteFile(dir / "job.csv",
            "DPID,BSP,STATE,FLAG,NAME\n11111111,3,NSW,0,a\n22222222,19,ACT,4,b\n,,vic,,c\n"
            "33333333,0,SA,-1,d\n44444444,3,NSW,0,\"unclosed\n");
  WriteFile(dir / "job.ini", SpecText(dir / "job.csv", dir / "reports", Mailing()));
  VaskReportSpec spec;
  char message[256] = "";
  ASSERT_EQ(0, spec.Read((dir / "job.ini").c_str(), message));
  ASSERT_EQ(0, spec.Validate(message));
  std::ostringstream json;
  WriteRunJson(spec, {"ManifestReport.csv", "LabelPlanFile.lpf"}, json);
  vrtest::ExpectGolden(Replace(json.str(), dir.path(), "<dir>"), "verify/run.json");
}

}  // namespace
