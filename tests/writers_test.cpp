// What the whole-run cases under cases/ cannot show of the documents:
// figures wider than any real mailing's, a directory near the length limit,
// and the date a summary gets when it is given none.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>

#include "Fixtures.h"
#include "engine/Tallies.h"
#include "include/vaskreport.h"
#include "writers/Writers.h"

using namespace vrtest;

namespace {

DetailLine Line(uint64_t volume, uint64_t trays, double weight) {
  DetailLine line;
  line.Volume = volume;
  line.Trays = trays;
  line.Weight = weight;
  return line;
}

bool Contains(const std::string& text, const std::string& piece) {
  return text.find(piece) != std::string::npos;
}

}  // namespace

TEST(Writers, FiguresWiderThanTheirColumnsAreWrittenInFull) {
  VaskReportSpec spec;
  spec.WeightOfLetter = 0.01;
  std::ostringstream text, html, csv;
  Line(12345678901234567ull, 1234567890123456ull, 0.0).PrintText("Total - NSW", text, true);
  EXPECT_EQ("Total - NSW" + Spaces(14) + "12345678901234567" + "1234567890123456\n", text.str());
  Line(18446744073709551615ull, 0, 0.0).PrintHtml(html, spec, "Direct Trays", false, false);
  EXPECT_EQ(
      "<tr>\n <td>Direct Trays</td>\n <td>18446744073709551615</td>\n <td>0</td>\n"
      " <td>0.00</td>\n</tr>\n",
      html.str());
  const struct {
    int State, Bsp;
    double Weight;
    const char* Expected;
  } rows[] = {
      {-1, -1, 0.0, "BDT,,,7,1,\n"},
      {STATE_NT, 1, 1234567.0, "BDT,NT,1,7,1,1.23457e+06\n"},
      {STATE_NT, 1, 0.0000001, "BDT,NT,1,7,1,1e-07\n"},
  };
  for (const auto& row : rows) {
    std::ostringstream out;
    Line(7, 1, row.Weight).PrintCsv(out, "BDT", row.State, row.Bsp);
    EXPECT_EQ(row.Expected, out.str());
  }

  TempDir dir;
  const std::string prefix = dir.path() + "/";
  char message[256];
  ASSERT_EQ(0, WriteAddressMatchingSummaryReport(prefix.c_str(), spec, 1234567890123, 0, 0, 0, 0,
                                                 1234567890123, message));
  const std::string summary = ReadFile(dir / "AddressMatchingSummaryReport.txt");
  EXPECT_TRUE(Contains(summary, "Records Matched & DPID Appended         : 1234567890123" +
                                    Spaces(4) + "(100.0%)\n"));
  EXPECT_TRUE(Contains(summary, "Records Amended & DPID Appended         : " + Spaces(11) + "0" +
                                    Spaces(6) + "(0.0%)\n"));
}

// Each document's full name must survive a long directory, and a summary
// without a process date shows today's in both its files.
TEST(Writers, EveryDocumentIsWrittenUnderALongDirectoryAndDatedToday) {
  TempDir dir;
  const std::string prefix = LongDirectory(dir.path(), 240);
  VaskReportSpec spec;
  unsigned long bsp[BSP_COUNT + 1] = {}, unbarcoded[STATE_COUNT] = {};
  bsp[3] = 650, bsp[19] = 20, unbarcoded[STATE_VIC] = 5;
  ManifestInfo info;
  info.Calculate(spec, bsp, unbarcoded);
  char message[256];
  ASSERT_EQ(0, WriteManifestReport(prefix.c_str(), info, spec, message)) << message;
  ASSERT_EQ(0, WriteLodgementInfo(prefix.c_str(), info, message)) << message;
  ASSERT_EQ(0, WriteLabelPlanFile(prefix.c_str(), info, spec, message)) << message;
  ASSERT_EQ(0, WriteAddressMatchingSummaryReport(prefix.c_str(), spec, 9, 0, 0, 0, 1, 10, message));
  const struct {
    const char* Name;
    const char* Start;
  } documents[] = {
      {"ManifestReport.txt", "Manifest Report\n"},
      {"ManifestReport.htm", "<html>\n"},
      {"ManifestReport.csv", "Sort Level,"},
      {"LodgementInfo.txt", "                           Number of Letters"},
      {"LodgementInfo.htm", "<html>\n"},
      {"LabelPlanFile.lpf", "#Australia Post Visa Tray Label System"},
      {"AddressMatchingSummaryReport.txt", "Address Matching Processing Summary Report\n"},
      {"AddressMatchingSummaryReport.htm", "<html>\n"},
  };
  for (const auto& d : documents) EXPECT_EQ(0u, ReadFile(prefix + d.Name).find(d.Start)) << d.Name;

  std::smatch text, html;
  const std::string summaryText = ReadFile(prefix + "AddressMatchingSummaryReport.txt");
  const std::string summaryHtml = ReadFile(prefix + "AddressMatchingSummaryReport.htm");
  ASSERT_TRUE(std::regex_search(summaryText, text, std::regex("Date Processed       : (.+)\n")));
  ASSERT_TRUE(std::regex_search(
      summaryHtml, html, std::regex("<td>Date Processed</td>\n  <td>:</td>\n  <td>(.*)</td>")));
  EXPECT_EQ(text[1].str(), html[1].str());
  EXPECT_TRUE(std::regex_search(text[1].str(), std::regex("[0-9]{2}.[0-9]{2}.[0-9]{2}")));
}
