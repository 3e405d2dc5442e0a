// The lodgement check and the front end as a whole. Front-end runs whose
// result is only files and messages are case folders (tests/cases/cli_*);
// here are the runs that need a generated mailing, several steps, or what a
// folder cannot hold.
#include <cmath>

#include "Fixtures.h"
#include "engine/Tallies.h"
#include "base/States.h"
#include "include/vaskreport.h"
#include "verify/Digest.h"
#include "verify/JsonWriter.h"
#include "verify/Lodgement.h"
#include "verify/Recount.h"
#include "verify/Verify.h"

namespace {

using namespace vrtest;
const auto npos = std::string::npos;

struct Result { int Code; std::string Out, Err; };

// Runs a shell script in dir, the front end as $V.
Result Sh(const std::string& dir, const std::string& script) {
  const std::string command = "cd '" + dir + "' && V='" VR_BUILD_DIR "/vaskreport' && { " + script + "; } </dev/null >.stdout 2>.stderr";
  const int status = system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(dir + "/.stdout"), ReadFile(dir + "/.stderr")};
}

void CopyExample(const TempDir& dir) {
  for (const char* name : {"example.ini", "mailing.csv"})
    WriteFile(dir / name, ReadFile(std::string(VR_SOURCE_DIR) + "/examples/" + name));
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != npos; at += to.size()) text.replace(at, from.size(), to);
  return text;
}

// The small mailing's specification (a case folder's), with the paths and sorts given.
std::string SpecText(const std::string& dataPath, const std::string& outputDirectory, const Mailing& m) {
  auto flag = [](bool on) { return on ? "=True" : "=False"; };
  std::string text = ReadFile(VR_TEST_SOURCE_DIR "/cases/cli_run_lists_lines_that_are_not_records/spec.ini");
  text = Replace(Replace(text, "=job.csv", "=" + dataPath), "=reports", "=" + outputDirectory);
  text = Replace(Replace(text, "Bsp=True", std::string("Bsp") + flag(m.SortByBsp)), "Bdt=True", std::string("Bdt") + flag(m.SortIntoBdt));
  return Replace(text, "States=True", std::string("States") + flag(m.SortIntoStates));
}

// Members are public for the table of tamperings below.
class VerifyRun : public ::testing::Test {
 public:
  // Through the front end, or through the C interface, which keeps no digest.
  void Run(const Mailing& mailing, bool cInterface = false) {
    data_ = dir_ / mailing.DataName, reports_ = dir_ / "reports", specPath_ = dir_ / "job.ini";
    WriteFile(data_, GenerateMailing(mailing));
    WriteFile(specPath_, SpecText(data_, reports_, mailing));
    char message[256] = "";
    if (!cInterface) {
      ASSERT_EQ(0, Sh(dir_.path(), "$V run job.ini -q").Code);
    } else {
      ASSERT_EQ(0, reportClearSpec());
      ASSERT_EQ(0, reportLoadSpec(specPath_.c_str(), message)) << message;
      ASSERT_EQ(0, reportReport(message, nullptr)) << message;
    }
  }
  // Verify's output, the temporary directory as <dir>; the exit code in rc.
  std::string Verify(int& rc) {
    std::ostringstream out;
    rc = VerifyCommand(specPath_, out);
    return Replace(out.str(), dir_.path(), "<dir>");
  }
  std::string Report(const char* name) const { return reports_ + "/" + name; }

  TempDir dir_;
  std::string data_, reports_, specPath_;
};

// Edits the line that comes after skip more lines from the first line that
// starts with prefix.
void EditLine(const std::string& path, const std::string& prefix,
              const std::function<std::string(const std::string&)>& edit, size_t skip = 0) {
  std::vector<std::string> lines = Lines(ReadFile(path));
  for (size_t i = 0; i + skip < lines.size(); ++i)
    if (lines[i].compare(0, prefix.size(), prefix) == 0) {
      lines[i + skip] = edit(lines[i + skip]);
      return WriteFile(path, Join(lines));
    }
  ADD_FAILURE() << "no line starting with " << prefix << " in " << path;
}

// The given comma-separated field of a line, plus one.
std::string BumpField(const std::string& line, size_t field) {
  size_t at = 0;
  for (size_t i = 0; i < field; ++i) at = line.find(',', at) + 1;
  const size_t end = std::min(line.find(',', at), line.size());
  return line.substr(0, at) + std::to_string(std::stoull(line.substr(at, end - at)) + 1) + line.substr(end);
}

// The last digit of a line changed to another.
std::string OtherDigit(std::string line) { return line[line.find_last_of("0123456789")] ^= 1, line; }

TEST_F(VerifyRun, AgreesAfterCorrectRunsOfGeneratedMailings) {
  const struct { Mailing Data; bool CInterface; } runs[] = {
      // First, while no digest of an earlier run is there.
      {{true, true, true, false, 7}, true},     {{false, true, true, false, 8}, true},
      {{true, true, true, false, 1}, false},    {{true, false, false, false, 2}, false},
      {{false, true, false, true, 3}, false},   {{false, false, true, false, 4}, false},
      {{true, true, false, true, 5}, false},    {{false, false, false, false, 6}, false},
  };
  for (const auto& run : runs) {
    SCOPED_TRACE("seed " + std::to_string(run.Data.Seed));
    Run(run.Data, run.CInterface);
    int rc = -1;
    const std::string output = Verify(rc);
    EXPECT_EQ(0, rc) << output;
    EXPECT_EQ(npos, output.find("DIFF")) << output;
    EXPECT_NE(npos, output.find("OK  LabelPlanFile.lpf vs ManifestReport.csv")) << output;
    // Without a digest only the check of the resorted records is skipped.
    const bool skipped = run.CInterface && run.Data.SortByBsp;
    const size_t skip = output.find("\nSKIP resorted data file vs original");
    EXPECT_EQ(skipped, skip != npos) << output;
    EXPECT_EQ(npos, output.find("\nSKIP", skip + 1)) << output;
    EXPECT_NE(npos, output.find(skipped ? ", 1 skipped\n" : ", 0 skipped\n")) << output;
    if (run.Data.Seed == 1) ExpectGolden(output, "verify/full_run.txt");
  }
  std::ostringstream out;
  EXPECT_EQ(1, VerifyCommand(dir_ / "absent.ini", out));
  EXPECT_EQ(0u, out.str().find("DIFF specification " + dir_ / "absent.ini" +
                               ": ERR_VASKREPORTSPEC_SPECFILE_OPEN")) << out.str();
}

struct Tampering {
  const char* Name;
  std::function<void(VerifyRun&)> Tamper;
  const char* Expected;  // the start of a DIFF line that must appear
};

TEST_F(VerifyRun, NamesTheCheckThatFailsAfterTampering) {
  const auto BrVicTrays = [](VerifyRun& t) { EditLine(t.Report("ManifestReport.csv"), "BR,VIC,", [](const std::string& l) { return BumpField(l, 4); }); };
  const Tampering cases[] = {
      {"volume in the CSV",
       [](VerifyRun& t) { EditLine(t.Report("ManifestReport.csv"), "BDT,NSW,3,", [](const std::string& l) { return BumpField(l, 3); }); },
       "DIFF ManifestReport.csv vs recount, BDT BSP 03 volume: "},
      {"tray count in the label plan",
       [](VerifyRun& t) { EditLine(t.Report("LabelPlanFile.lpf"), "R,1,022,", [](const std::string& l) { return BumpField(l, 4); }); },
       "DIFF LabelPlanFile.lpf vs recount, BDT BSP 22 trays: "},
      {"record removed from a split file",
       [](VerifyRun& t) { auto lines = Lines(ReadFile(t.dir_ / "BDT_NSW_job.csv")); lines.pop_back(); WriteFile(t.dir_ / "BDT_NSW_job.csv", Join(lines)); },
       "DIFF <dir>/BDT_NSW_job.csv vs recount: "},
      {"record changed in the resorted data file",
       [](VerifyRun& t) { std::string text = ReadFile(t.data_); text[text.find("Name ") + 5] ^= 1; WriteFile(t.data_, text); },
       "DIFF resorted data file vs original (<dir>/reports/RunDigest.txt):"},
      {"records swapped in the resorted data file",
       [](VerifyRun& t) { auto lines = Lines(ReadFile(t.data_)); std::swap(lines[1], lines.back()); WriteFile(t.data_, Join(lines)); },
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
      // The documents against each other.
      {"residue trays in the CSV, against the lodgement information", BrVicTrays, "DIFF LodgementInfo.txt vs ManifestReport.csv, BR trays:"},
      {"residue trays in the CSV, against the label plan", BrVicTrays, "DIFF LabelPlanFile.lpf vs ManifestReport.csv, BR VIC trays:"},
  };
  for (const Tampering& c : cases) {
    SCOPED_TRACE(c.Name);
    Run(Mailing());
    c.Tamper(*this);
    int rc = -1;
    const std::string output = Verify(rc);
    EXPECT_EQ(1, rc);
    EXPECT_NE(npos, output.find(std::string("\n") + c.Expected)) << output;
    size_t diffs = 0;
    for (size_t at = 0; (at = output.find("\nDIFF ", at + 1)) != npos;) ++diffs;
    const std::string last = output.substr(output.rfind('\n', output.size() - 2) + 1);
    EXPECT_NE(npos, last.find(", " + std::to_string(diffs) + " difference")) << last;
  }
}

TEST(LineDigest, DependsOnTheMultisetOfLinesOnlyAndReadsBack) {
  auto digest = [](const std::vector<std::string>& lines) { LineDigest d; for (const auto& l : lines) d.Add(l.data(), l.size()); return d; };
  const LineDigest base = digest({"alpha", "beta", "gamma delta epsilon", ""});
  EXPECT_EQ(base, digest({"", "gamma delta epsilon", "alpha", "beta"}));
  for (const auto& lines : std::vector<std::vector<std::string>>{
           {"alpha", "beta", "gamma delta epsilon"},          // one removed
           {"alpha", "beta", "gamma delta epsilon", "", ""},  // one repeated
           {"alpha", "betb", "gamma delta epsilon", ""},      // one byte changed
           {"alpha", "beta", "gamma delta epsilon\r", ""},    // a carriage return kept
           {"alpha", "beta", "gamma delta epsilo", "n"}})     // bytes moved between lines
    EXPECT_NE(base, digest(lines)) << lines.size();
  EXPECT_EQ(base, digest({"alpha", "beta"}) += digest({"gamma delta epsilon", ""}));
  LineDigest back;
  ASSERT_TRUE(back.ParseHash(base.HashText()));
  back.Count = base.Count;
  EXPECT_EQ(base, back);
  EXPECT_FALSE(back.ParseHash("12"));
  EXPECT_FALSE(back.ParseHash(std::string(31, '0') + "g"));
  // The digest file, and files that lack a line of it.
  TempDir dir;
  RunDigestFile file, read;
  file.DataFile = "/data/job.csv";
  file.Records = base;
  EXPECT_FALSE(WriteRunDigestFile(dir.path(), file));  // not renamed over a directory
  ASSERT_TRUE(WriteRunDigestFile(dir / "d.txt", file));
  ASSERT_TRUE(ReadRunDigestFile(dir / "d.txt", read));
  EXPECT_EQ(file.DataFile, read.DataFile);
  EXPECT_EQ(file.Records, read.Records);
  const std::vector<std::string> lines = Lines(ReadFile(dir / "d.txt"));
  for (size_t drop = 0; drop < lines.size(); ++drop) {
    std::vector<std::string> less = lines;
    less.erase(less.begin() + drop);
    WriteFile(dir / "d.txt", Join(less));
    EXPECT_FALSE(ReadRunDigestFile(dir / "d.txt", read)) << lines[drop];
  }
}

// The check keeps its own copies of the library's tables.
TEST(RecountTables, MatchTheLibrarys) {
  for (int bsp = 0; bsp <= BSP_COUNT + 1; ++bsp) EXPECT_EQ(bsp && bsp <= BSP_COUNT ? s_BspState[bsp] : -1, BspState(bsp)) << bsp;
  for (int state = -1; state <= STATE_COUNT; ++state) EXPECT_EQ(NumberToLabelState(state), verify::LabelCode(state)) << state;
  for (int level = 0; level < SORT_LEVEL_COUNT; ++level) {
    EXPECT_STREQ(s_SortLevelNames[level], verify::LEVEL_NAMES[level]);
    EXPECT_STREQ(s_SortLevelPrefix[level], verify::LEVEL_PREFIXES[level]);
  }
}

// The check's own arithmetic against the library's tallies on random counts.
TEST(VerifyTally, AgreesWithTheLibrarysTallies) {
  Random random(7);
  const struct { int LettersPerTray; double Weight; int Lodged; } settings[] = {{300, 0.0, STATE_NSW}, {150, 0.05, STATE_VIC}, {1, 0.013, STATE_ACT}, {1000, 0.0, STATE_NT},
                  // The library accepts it; the residue test is then false both ways.
                  {300, std::nan(""), STATE_QLD}};
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
  for (const auto& s : settings)
    for (int round = 0; round < 20; ++round) {
      VaskReportSpec spec;
      spec.LettersPerTray = s.LettersPerTray, spec.WeightOfLetter = s.Weight, spec.State = s.Lodged;
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
      for (int state = 0; state < STATE_COUNT; ++state) same(info.StateTotal[state], mine.State[state]);
      same(info.SameState, mine.Same);
      same(info.OtherStates, mine.Other);
      same(info.MailingTotal, mine.Mailing);
    }
}

TEST(Recount, ReadsLinesOfAnyLengthAndEndings) {
  TempDir dir;
  const std::string first = "12345678,3,NSW,0," + std::string(3 << 20, 'n') + "\r";
  WriteFile(dir / "d.csv", first + "\n\r\n\n,,VIC,,x\n,,zz,,y");
  VaskReportSpec spec;
  UseLayout(spec, dir / "d.csv");
  spec.State = STATE_QLD;
  Recount recount;
  std::string problem;
  ASSERT_EQ(0, RecountDataFile(spec, recount, problem)) << problem;
  EXPECT_EQ(3u, recount.Read);
  EXPECT_EQ(1u, recount.BspVolumes[3]);
  EXPECT_EQ(1u, recount.Matched);
  EXPECT_EQ(1u, recount.UnbarcodedVolumes[STATE_VIC]);
  EXPECT_EQ(1u, recount.UnbarcodedVolumes[STATE_QLD]);  // unknown state: the state of lodgement
  EXPECT_EQ(1u, recount.Routes[ROUTE_UNKNOWN_STATE].Count);
  LineDigest carried;  // with its carriage return
  carried.Add(first.data(), first.size());
  EXPECT_EQ(carried, recount.Routes[2]);
}

// The writer's quoting and numbers, then a run's JSON read by Python's own
// parser (json_test.py), with a data file name that needs escapes.
TEST_F(VerifyRun, JsonIsWhatJsonRequiresAndAParserReadsARunsFigures) {
  const std::pair<std::string, const char*> cases[] = {
      {JsonQuote("plain"), "\"plain\""},
      {JsonQuote("a\"b\\c"), "\"a\\\"b\\\\c\""},
      {JsonQuote("t\tn\nr\rb\bf\f\v"), "\"t\\tn\\nr\\rb\\bf\\f\\u000b\""},
      {JsonQuote(std::string("nul\0x\x1f", 6)), "\"nul\\u0000x\\u001f\""},
      {JsonQuote("caf\xc3\xa9 \xe2\x82\xac \xdf\xbf \xef\xbf\xbd \xf0\x9f\x98\x80"), "\"caf\xc3\xa9 \xe2\x82\xac \xdf\xbf \xef\xbf\xbd \xf0\x9f\x98\x80\""},
      {JsonQuote("Latin-1 caf\xe9"), "\"Latin-1 caf\\u00e9\""},
      {JsonQuote("overlong \xc0\xaf \xe0\x80\xaf"), "\"overlong \\u00c0\\u00af \\u00e0\\u0080\\u00af\""},
      {JsonQuote("surrogate \xed\xa0\x80"), "\"surrogate \\u00ed\\u00a0\\u0080\""},
      {JsonQuote("cut \xe2\x82"), "\"cut \\u00e2\\u0082\""},
      {JsonNumber(24.0), "24"}, {JsonNumber(0.02), "0.02"},
      {JsonNumber(0.1 * 3), "0.30000000000000004"}, {JsonNumber(1.0 / 0.0), "null"},
  };
  for (const auto& [got, wanted] : cases) EXPECT_EQ(wanted, got);
  Mailing mailing;
  mailing.DataName = "job \"q\" \\ x.csv";
  Run(mailing);
  const Result r = Sh(dir_.path(), "$V run job.ini --json -q >run.json && python3 '" VR_TEST_SOURCE_DIR
                                   "/json_test.py' run.json 1619");
  EXPECT_EQ(0, r.Code) << r.Out << r.Err;
}

TEST(CliTest, RunOnTheExampleWritesTheGoldenReportsAndListsThem) {
  TempDir dir;
  CopyExample(dir);
  Result r = Sh(dir.path(), "$V run example.ini --quiet");
  ASSERT_EQ(0, r.Code) << r.Err;
  EXPECT_EQ("", r.Err) << "no progress when standard error is no terminal";
  ExpectGolden(r.Out, "cli/run_stdout.txt");
  const char* reports[] = {"ManifestReport.txt", "ManifestReport.htm", "ManifestReport.csv", "LodgementInfo.txt",
                           "LodgementInfo.htm", "AddressMatchingSummaryReport.txt", "AddressMatchingSummaryReport.htm",
                           "LabelPlanFile.lpf"};
  for (const char* report : reports)
    ExpectGolden(ReadFile(dir / "reports/" + report), std::string("cli/") + report);
}

// The example eight times over, for several blocks of the line reader: on
// one thread or two the run writes the same files, byte for byte, keeps every
// record in the resorted file and in the split files, and verify agrees
// until a split file loses a record.
TEST(CliTest, RunsOnOneOrTwoThreadsKeepEveryRecordAndVerifyAgrees) {
  const std::vector<std::string> lines = Lines(ReadFile(std::string(VR_SOURCE_DIR) + "/examples/mailing.csv"));
  std::string mailing = lines[0] + "\n";
  for (int copy = 0; copy < 8; ++copy)
    for (size_t i = 1; i < lines.size(); ++i) mailing += lines[i] + "\n";
  TempDir two, one;
  for (const TempDir* dir : {&two, &one}) {
    CopyExample(*dir);
    WriteFile(*dir / "mailing.csv", mailing);
  }
  ASSERT_EQ(0, Sh(two.path(), "$V run -q -o out example.ini").Code);
  ASSERT_EQ(0, Sh(one.path(), "VASKREPORT_THREADS=1 $V run -q -o out example.ini").Code);
  const Result files = Sh(two.path(), "find . -type f ! -name '.*' | sort");
  EXPECT_GT(Lines(files.Out).size(), 30u);
  for (const std::string& name : Lines(files.Out)) EXPECT_TRUE(ReadFile(two / name) == ReadFile(one / name)) << name;
  std::vector<std::string> records = Lines(mailing);
  const std::string wanted = Join(Sorted({records.begin() + 1, records.end()}));
  EXPECT_EQ(lines[0], Lines(ReadFile(two / "mailing.csv"))[0]);
  EXPECT_EQ(wanted, Sh(two.path(), "tail -n +2 mailing.csv | LC_ALL=C sort").Out);
  EXPECT_EQ(wanted, Sh(two.path(), "tail -qn +2 B*_mailing.csv U*_mailing.csv ERR_UR_mailing.csv | LC_ALL=C sort").Out);
  EXPECT_NE(mailing, ReadFile(two / "mailing.csv"));

  Result r = Sh(two.path(), "$V verify example.ini -o out");
  EXPECT_EQ(0, r.Code) << r.Out << r.Err;
  EXPECT_EQ(npos, r.Out.find("DIFF")) << r.Out;
  EXPECT_NE(npos, r.Out.find("OK  resorted data file vs original")) << r.Out;
}

}  // namespace
