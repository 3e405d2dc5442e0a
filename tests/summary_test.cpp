#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "Fixtures.h"
#include "include/vaskreport.h"
#include "writers/Writers.h"

namespace {

using vrtest::Spaces;

struct Counts {
  unsigned long Matched, Amended, PreCleaned, ManuallyAmended, NotMatched, Total;
};

struct SummaryOutput {
  int Code;
  std::string Text, Html;
};

SummaryOutput Write(const VaskReportSpec& spec, const Counts& c) {
  vrtest::TempDir dir;
  char message[256];
  SummaryOutput out;
  out.Code = WriteAddressMatchingSummaryReport((dir.path() + "/").c_str(), spec, c.Matched,
                                               c.Amended, c.PreCleaned, c.ManuallyAmended,
                                               c.NotMatched, c.Total, message);
  out.Text = vrtest::ReadFile(dir / "AddressMatchingSummaryReport.txt");
  out.Html = vrtest::ReadFile(dir / "AddressMatchingSummaryReport.htm");
  return out;
}

void SetTexts(VaskReportSpec& spec) {
  strncpyz(spec.SoftwareName, "Zelnor Matcher", 50);
  strncpyz(spec.SoftwareVersion, "4.2", 10);
  strncpyz(spec.CertifiedDate, "01/07/2024", 30);
  strncpyz(spec.ListProcessor, "Bulk Mail Services", 50);
  strncpyz(spec.ProcessDate, "15/08/2024", 30);
  strncpyz(spec.PafVersion, "2024.3", 40);
  strncpyz(spec.ListName, "Members 2024", 50);
  strncpyz(spec.ListOwner, "Coastal Club", 50);
}

bool Contains(const std::string& text, const std::string& piece) {
  return text.find(piece) != std::string::npos;
}

const Counts kExample = {9530, 150, 0, 0, 320, 10000};

TEST(SummaryReport, MatchedShareOfTenThousandIsAlignedInBothForms) {
  VaskReportSpec spec;
  SetTexts(spec);
  SummaryOutput out = Write(spec, kExample);
  ASSERT_EQ(0, out.Code);
  EXPECT_TRUE(Contains(out.Text, "Records Matched & DPID Appended         : " + Spaces(8) + "9530" +
                                     Spaces(5) + "(95.3%)\n"));
  EXPECT_TRUE(Contains(out.Text, "Total Records                           : " + Spaces(7) +
                                     "10000" + Spaces(4) + "(100.0%)\n\n"));
  EXPECT_TRUE(Contains(out.Html,
                       "  <td align=right>9530</td>\n  <td width=10></td>\n"
                       "  <td align=right>(95.3%)</td>\n"));
  EXPECT_FALSE(Contains(out.Text, "Pre-Cleaned"));
  EXPECT_FALSE(Contains(out.Html, "Manually Amended"));
}

struct GoldenCase {
  const char* Name;
  Counts Values;
};

class SummaryGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(SummaryGolden, BothFilesMatchGolden) {
  VaskReportSpec spec;
  SetTexts(spec);
  SummaryOutput out = Write(spec, GetParam().Values);
  ASSERT_EQ(0, out.Code);
  const std::string base = std::string("writers/summary_") + GetParam().Name;
  vrtest::ExpectGolden(out.Text, base + ".txt");
  vrtest::ExpectGolden(out.Html, base + ".htm");
}

INSTANTIATE_TEST_SUITE_P(Mailings, SummaryGolden,
                         ::testing::Values(GoldenCase{"empty", {0, 0, 0, 0, 0, 0}},
                                           GoldenCase{"example", kExample},
                                           GoldenCase{"all_classes", {1200, 30, 45, 5, 720, 2000}}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(SummaryReport, ZeroRecordsReplacesTheResultsInBothFiles) {
  VaskReportSpec spec;
  SummaryOutput out = Write(spec, {0, 0, 0, 0, 0, 0});
  ASSERT_EQ(0, out.Code);
  EXPECT_TRUE(Contains(out.Text, "------------------\nZero Records\n\nSignature of Compliance\n"));
  EXPECT_TRUE(Contains(out.Html,
                       "<h3>Processing Results</h3>\nZero Records\n"
                       "<h3>Signature of Compliance</h3>\n"));
  EXPECT_FALSE(Contains(out.Html, "Total Records"));
}

TEST(SummaryReport, ResultLinesKeepZeroCountsAndPushOverlongCounts) {
  VaskReportSpec spec;
  SummaryOutput out = Write(spec, {1234567890123, 0, 0, 0, 0, 1234567890123});
  ASSERT_EQ(0, out.Code);
  EXPECT_TRUE(Contains(out.Text, "Records Matched & DPID Appended         : 1234567890123" +
                                     Spaces(4) + "(100.0%)\n"));
  EXPECT_TRUE(Contains(out.Text, "Records Amended & DPID Appended         : " + Spaces(11) + "0" +
                                     Spaces(6) + "(0.0%)\n"));
  EXPECT_TRUE(Contains(out.Text, "Records Not Matched - No DPIDs          : " + Spaces(11) + "0" +
                                     Spaces(6) + "(0.0%)\n"));
  EXPECT_TRUE(Contains(out.Html, "<td align=right>1234567890123</td>"));
}

TEST(SummaryReport, HtmlEscapesEveryCallerTextButTextFileKeepsIt) {
  VaskReportSpec spec;
  strncpyz(spec.SoftwareName, "A&B <x>", 50);
  strncpyz(spec.SoftwareVersion, "\"1\"", 10);
  strncpyz(spec.CertifiedDate, "<1 Jul>", 30);
  strncpyz(spec.ListProcessor, "Smith <Sons> & Co", 50);
  strncpyz(spec.ProcessDate, "2 & 3", 30);
  strncpyz(spec.PafVersion, ">v9", 40);
  strncpyz(spec.ListName, "\"VIP\" list", 50);
  strncpyz(spec.ListOwner, "Jones & Jones", 50);
  SummaryOutput out = Write(spec, kExample);
  ASSERT_EQ(0, out.Code);
  const char* escaped[] = {"<td>A&amp;B &lt;x&gt;  </td>",
                           "<td>&quot;1&quot;  </td>",
                           "<td>&lt;1 Jul&gt;  </td>",
                           "<td>Smith &lt;Sons&gt; &amp; Co</td>",
                           "<td>2 &amp; 3</td>",
                           "<td>&gt;v9</td>",
                           "<td>&quot;VIP&quot; list</td>",
                           "<td>: Jones &amp; Jones</td>"};
  for (const char* piece : escaped) EXPECT_TRUE(Contains(out.Html, piece)) << piece;
  const char* raw[] = {": A&B <x>\n", ": \"1\"\n", ": <1 Jul>\n",      ": Smith <Sons> & Co\n",
                       ": 2 & 3\n",   ": >v9\n",   ": \"VIP\" list\n", ": Jones & Jones\n"};
  for (const char* piece : raw) EXPECT_TRUE(Contains(out.Text, piece)) << piece;
}

TEST(SummaryReport, EmptyProcessDateShowsTodaysDateInBothFiles) {
  VaskReportSpec spec;
  SummaryOutput out = Write(spec, kExample);
  ASSERT_EQ(0, out.Code);
  std::smatch text, html;
  ASSERT_TRUE(std::regex_search(out.Text, text, std::regex("Date Processed       : (.+)\n")));
  ASSERT_TRUE(std::regex_search(
      out.Html, html, std::regex("<td>Date Processed</td>\n  <td>:</td>\n  <td>(.*)</td>")));
  EXPECT_EQ(text[1].str(), html[1].str());
  EXPECT_TRUE(std::regex_search(text[1].str(), std::regex("[0-9]{2}.[0-9]{2}.[0-9]{2}")))
      << text[1].str();
}

TEST(SummaryReport, OpenFailureOfHtmlKeepsTheCompleteTextFile) {
  vrtest::TempDir dir;
  const std::string prefix = dir.path() + "/";
  VaskReportSpec spec;
  char message[256];
  const std::string missing = dir / "missing/";
  EXPECT_EQ(ERR_VASKREPORT_OPEN_FILE,
            WriteAddressMatchingSummaryReport(missing.c_str(), spec, 1, 0, 0, 0, 0, 1, message));
  EXPECT_EQ(missing + "AddressMatchingSummaryReport.txt", message);

  ASSERT_EQ(0, mkdir((dir / "AddressMatchingSummaryReport.htm").c_str(), 0700));
  EXPECT_EQ(ERR_VASKREPORT_OPEN_FILE,
            WriteAddressMatchingSummaryReport(prefix.c_str(), spec, 1, 0, 0, 0, 0, 1, message));
  EXPECT_EQ(prefix + "AddressMatchingSummaryReport.htm", message);
  const std::string text = vrtest::ReadFile(dir / "AddressMatchingSummaryReport.txt");
  const std::string last = "Date                            : \n";
  ASSERT_GE(text.size(), last.size());
  EXPECT_EQ(last, text.substr(text.size() - last.size()));
}

TEST(SummaryReport, WriteFailureAfterOpenIsReportedWithThePath) {
  vrtest::TempDir dir;
  const std::string prefix = dir.path() + "/";
  vrtest::ChildResult result = vrtest::RunWithFileSizeLimit(200, [&](char* message) {
    VaskReportSpec spec;
    return WriteAddressMatchingSummaryReport(prefix.c_str(), spec, 9, 0, 0, 0, 1, 10, message);
  });
  EXPECT_EQ(ERR_VASKREPORT_WRITE_FILE, result.Code);
  EXPECT_EQ(prefix + "AddressMatchingSummaryReport.txt", result.Message);
  EXPECT_FALSE(vrtest::FileExists(prefix + "AddressMatchingSummaryReport.htm"));
}

TEST(SummaryReport, LongDirectoryKeepsBothFullNames) {
  vrtest::TempDir dir;
  const std::string prefix = vrtest::LongDirectory(dir.path(), 240);
  VaskReportSpec spec;
  char message[256];
  ASSERT_EQ(0, WriteAddressMatchingSummaryReport(prefix.c_str(), spec, 9, 0, 0, 0, 1, 10, message));
  EXPECT_EQ(0u, vrtest::ReadFile(prefix + "AddressMatchingSummaryReport.txt")
                    .find("Address Matching Processing Summary Report\n===="));
  EXPECT_EQ(0u, vrtest::ReadFile(prefix + "AddressMatchingSummaryReport.htm").find("<html>\n"));
}

}  // namespace
