#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "Fixtures.h"
#include "include/vaskreport.h"
#include "writers/Writers.h"

namespace {

using vrtest::Dashes;
using vrtest::Spaces;

struct ManifestOutput {
  int Code;
  std::string Text, Html, Csv;
};

ManifestOutput Write(const ManifestInfo& info, const VaskReportSpec& spec) {
  vrtest::TempDir dir;
  char message[256];
  ManifestOutput out;
  out.Code = WriteManifestReport((dir.path() + "/").c_str(), info, spec, message);
  out.Text = vrtest::ReadFile(dir / "ManifestReport.txt");
  out.Html = vrtest::ReadFile(dir / "ManifestReport.htm");
  out.Csv = vrtest::ReadFile(dir / "ManifestReport.csv");
  return out;
}

void SetNames(VaskReportSpec& spec) {
  strncpyz(spec.CustomerName, "Acme Mailing", 50);
  strncpyz(spec.JobNumber, "J-1042", 30);
}

size_t Count(const std::string& text, const std::string& piece) {
  size_t n = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

TEST(ManifestReport, NswBlockWithWeightsMatchesItsColumnLayout) {
  VaskReportSpec spec;
  ManifestInfo info = vrtest::NswWithWeights(spec);
  ManifestOutput out = Write(info, spec);
  ASSERT_EQ(0, out.Code);
  const std::string rule = Spaces(9) + Dashes(16) + Spaces(9) + Dashes(6) + Spaces(10) + Dashes(5) +
                           Spaces(9) + Dashes(6) + "\n";
  const std::string block =
      "State: NSW\n"
      "Sort Level: Direct Trays\n" +
      Spaces(9) + "Sort Plan Number" + Spaces(9) + "Volume" + Spaces(10) + "Trays" + Spaces(9) +
      "Weight\n" + rule + Spaces(24) + "3" + Spaces(11) + "1200" + Spaces(14) + "4" + Spaces(10) +
      "24.00\n" + rule + Spaces(16) + "Sub-total" + Spaces(11) + "1200" + Spaces(14) + "4" +
      Spaces(10) + "24.00\n" + "Sort Level: Barcoded - Residue Trays\n" + Spaces(37) + "180" +
      Spaces(14) + "1" + Spaces(11) + "3.60\n" + Spaces(34) + Dashes(6) + Spaces(10) + Dashes(5) +
      Spaces(9) + Dashes(6) + "\n" + "Total - NSW" + Spaces(25) + "1380" + Spaces(14) + "5" +
      Spaces(10) + "27.60\n" + Dashes(80) + "\n";
  const std::string heading =
      "Manifest Report\n===============\n\nCustomer Name : \n"
      "Job Number    : \n" +
      Dashes(80) + "\n";
  EXPECT_EQ(heading + block, out.Text.substr(0, heading.size() + block.size()));
  EXPECT_EQ("Sort Level,State,BSP,Volume,Trays,Weight\nBDT,NSW,3,1200,4,24\nBR,NSW,,180,1,3.6\n",
            out.Csv);
}

struct GoldenCase {
  const char* Name;
  ManifestInfo (*Build)(VaskReportSpec&);
};

ManifestInfo Empty(VaskReportSpec& spec) { return vrtest::Tally(spec, {}, {}); }

class ManifestGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(ManifestGolden, AllThreeFilesMatchGolden) {
  VaskReportSpec spec;
  SetNames(spec);
  ManifestInfo info = GetParam().Build(spec);
  ManifestOutput out = Write(info, spec);
  ASSERT_EQ(0, out.Code);
  const std::string base = std::string("writers/manifest_") + GetParam().Name;
  vrtest::ExpectGolden(out.Text, base + ".txt");
  vrtest::ExpectGolden(out.Html, base + ".htm");
  vrtest::ExpectGolden(out.Csv, base + ".csv");
}

INSTANTIATE_TEST_SUITE_P(Mailings, ManifestGolden,
                         ::testing::Values(GoldenCase{"empty", Empty},
                                           GoldenCase{"weights", vrtest::NswWithWeights},
                                           GoldenCase{"states", vrtest::SeveralStates}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(ManifestReport, EveryHtmlRowHasAWeightCellOnlyWhenLettersWeigh) {
  for (double weight : {0.0, 0.015}) {
    VaskReportSpec spec;
    spec.WeightOfLetter = weight;
    ManifestInfo info = vrtest::SeveralStates(spec);
    ManifestOutput out = Write(info, spec);
    ASSERT_EQ(0, out.Code);
    const std::string table = out.Html.substr(out.Html.find("</table>\n\n<table>\n"));
    const size_t cells = weight == 0.0 ? 3 : 4;
    EXPECT_EQ(Count(table, "<tr>") * cells, Count(table, " <td")) << weight;
    EXPECT_EQ(weight != 0.0, out.Text.find("Weight") != std::string::npos) << weight;
  }
}

TEST(ManifestReport, HtmlEscapesCustomerNameAndJobNumberButTextKeepsThem) {
  VaskReportSpec spec;
  strncpyz(spec.CustomerName, "Smith <Sons> & Co", 50);
  strncpyz(spec.JobNumber, "\"A\"&B", 30);
  ManifestOutput out = Write(vrtest::Tally(spec, {}, {}), spec);
  ASSERT_EQ(0, out.Code);
  EXPECT_NE(std::string::npos, out.Html.find(" <td> : Smith &lt;Sons&gt; &amp; Co</td>\n"));
  EXPECT_NE(std::string::npos, out.Html.find(" <td> : &quot;A&quot;&amp;B</td>\n"));
  EXPECT_NE(std::string::npos, out.Text.find("Customer Name : Smith <Sons> & Co\n"));
  EXPECT_NE(std::string::npos, out.Text.find("Job Number    : \"A\"&B\n"));
}

TEST(ManifestReport, OpenFailureNamesTheFileThatCouldNotBeOpened) {
  vrtest::TempDir dir;
  VaskReportSpec spec;
  ManifestInfo info;
  char message[256];
  const std::string missing = dir / "missing/";
  EXPECT_EQ(ERR_VASKREPORT_OPEN_FILE, WriteManifestReport(missing.c_str(), info, spec, message));
  EXPECT_EQ(missing + "ManifestReport.txt", message);

  ASSERT_EQ(0, mkdir((dir / "ManifestReport.htm").c_str(), 0700));
  const std::string prefix = dir.path() + "/";
  EXPECT_EQ(ERR_VASKREPORT_OPEN_FILE, WriteManifestReport(prefix.c_str(), info, spec, message));
  EXPECT_EQ(prefix + "ManifestReport.htm", message);
  EXPECT_TRUE(vrtest::FileExists(dir / "ManifestReport.txt"));
  EXPECT_EQ("", vrtest::ReadFile(dir / "ManifestReport.txt"));
}

TEST(ManifestReport, WriteFailureAfterOpenIsReportedWithThePath) {
  vrtest::TempDir dir;
  const std::string prefix = dir.path() + "/";
  vrtest::ChildResult result = vrtest::RunWithFileSizeLimit(100, [&](char* message) {
    VaskReportSpec spec;
    ManifestInfo info = vrtest::SeveralStates(spec);
    return WriteManifestReport(prefix.c_str(), info, spec, message);
  });
  EXPECT_EQ(ERR_VASKREPORT_WRITE_FILE, result.Code);
  EXPECT_EQ(prefix + "ManifestReport.txt", result.Message);
}

TEST(ManifestReport, LongDirectoryKeepsThreeDistinctFullNames) {
  vrtest::TempDir dir;
  const std::string prefix = vrtest::LongDirectory(dir.path(), 240);
  ASSERT_EQ(240u, prefix.size());
  VaskReportSpec spec;
  ManifestInfo info = vrtest::SeveralStates(spec);
  char message[256];
  ASSERT_EQ(0, WriteManifestReport(prefix.c_str(), info, spec, message));
  EXPECT_STREQ("", message);
  EXPECT_EQ(0u, vrtest::ReadFile(prefix + "ManifestReport.txt").find("Manifest Report\n"));
  EXPECT_EQ(0u, vrtest::ReadFile(prefix + "ManifestReport.htm").find("<html>\n"));
  EXPECT_EQ(0u, vrtest::ReadFile(prefix + "ManifestReport.csv").find("Sort Level,"));
}

DetailLine Line(uint64_t volume, uint64_t trays, double weight) {
  DetailLine line;
  line.Volume = volume;
  line.Trays = trays;
  line.Weight = weight;
  return line;
}

TEST(ManifestPrint, TextFiguresAreWrittenInFullWhenWiderThanTheirColumn) {
  std::ostringstream out;
  Line(12345678901234567ull, 1234567890123456ull, 0.0).PrintText("Total - NSW", out, true);
  EXPECT_EQ("Total - NSW" + Spaces(14) + "12345678901234567" + "1234567890123456\n", out.str());
}

TEST(ManifestPrint, CsvLeavesNegativeStateAndBspEmptyAndUsesShortestWeight) {
  struct Case {
    int State, Bsp;
    double Weight;
    const char* Expected;
  } cases[] = {
      {STATE_VIC, 22, 0.0, "BDT,VIC,22,7,1,\n"},
      {-1, -1, 0.0, "BDT,,,7,1,\n"},
      {STATE_ACT, -1, 2.5, "BDT,ACT,,7,1,2.5\n"},
      {STATE_NT, 1, 1234567.0, "BDT,NT,1,7,1,1.23457e+06\n"},
      {STATE_NT, 1, 0.0000001, "BDT,NT,1,7,1,1e-07\n"},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    Line(7, 1, c.Weight).PrintCsv(out, "BDT", c.State, c.Bsp);
    EXPECT_EQ(c.Expected, out.str());
  }
}

TEST(ManifestPrint, HtmlRowPiecesFollowRedAndEmphasis) {
  struct Case {
    bool Red, Emphasis;
    const char* Cell;
  } cases[] = {
      {false, false, " <td>x</td>\n"},
      {false, true, " <td bgcolor=#b2b2b2><b>x</b></td>\n"},
      {true, false, " <td><font color=#ff0000>x</td>\n"},
      {true, true, " <td bgcolor=#b2b2b2><font color=#ff0000><b>x</b></td>\n"},
  };
  VaskReportSpec spec;
  spec.WeightOfLetter = 0.01;
  for (const Case& c : cases) {
    std::ostringstream out;
    PrintHtmlRow(out, spec, "x", "x", "x", "x", c.Red, c.Emphasis);
    const std::string cell = c.Cell;
    EXPECT_EQ("<tr>\n" + cell + cell + cell + cell + "</tr>\n", out.str());
  }
}

TEST(ManifestPrint, HtmlFigureRowShowsZeroWeightAndFullCounts) {
  VaskReportSpec spec;
  spec.WeightOfLetter = 0.01;
  std::ostringstream out;
  Line(18446744073709551615ull, 0, 0.0).PrintHtml(out, spec, "Direct Trays", false, false);
  EXPECT_EQ(
      "<tr>\n <td>Direct Trays</td>\n <td>18446744073709551615</td>\n <td>0</td>\n"
      " <td>0.00</td>\n</tr>\n",
      out.str());
}

}  // namespace
