#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "Fixtures.h"
#include "include/vaskreport.h"
#include "writers/Writers.h"

namespace {

using vrtest::Spaces;

struct LodgementOutput {
  int Code;
  std::string Text, Html;
};

LodgementOutput Write(const ManifestInfo& info) {
  vrtest::TempDir dir;
  char message[256];
  LodgementOutput out;
  out.Code = WriteLodgementInfo((dir.path() + "/").c_str(), info, message);
  out.Text = vrtest::ReadFile(dir / "LodgementInfo.txt");
  out.Html = vrtest::ReadFile(dir / "LodgementInfo.htm");
  return out;
}

std::string Line(const std::string& text, int n) {
  std::istringstream in(text);
  std::string line;
  for (int i = 0; i <= n && std::getline(in, line);) ++i;
  return line;
}

void SetVolume(TotalLine& t, DetailLine TotalLine::*level, uint64_t volume) {
  (t.*level).Volume = volume;
}

TEST(LodgementInfo, HeadingsAndDirectRowStandInTheirColumns) {
  ManifestInfo info;
  SetVolume(info.SameState, &TotalLine::Direct, 300);
  SetVolume(info.OtherStates, &TotalLine::Direct, 200);
  SetVolume(info.MailingTotal, &TotalLine::Direct, 500);
  SetVolume(info.MailingTotal, &TotalLine::Total, 1000);
  info.MailingTotal.Direct.Trays = 2;
  LodgementOutput out = Write(info);
  ASSERT_EQ(0, out.Code);
  EXPECT_EQ(Spaces(27) + "Number of Letters" + Spaces(11) + "% Mix" + Spaces(4) + "Trays",
            Line(out.Text, 0));
  EXPECT_EQ(
      Spaces(17) + "Same State" + Spaces(2) + "Other States" + Spaces(5) + "Total" + Spaces(18),
      Line(out.Text, 1));
  EXPECT_EQ("Barcode Direct" + Spaces(10) + "300" + Spaces(11) + "200" + Spaces(7) + "500" +
                Spaces(7) + "50" + Spaces(8) + "2",
            Line(out.Text, 2));
  for (int i = 0; i < 6; ++i) EXPECT_EQ(69u, Line(out.Text, i).size()) << i;
}

TEST(LodgementInfo, TextSharesHaveNoDecimalsAndHtmlSharesOne) {
  ManifestInfo info;
  SetVolume(info.MailingTotal, &TotalLine::Direct, 125);
  SetVolume(info.MailingTotal, &TotalLine::BarcodedResidue, 125);
  SetVolume(info.MailingTotal, &TotalLine::UnbarcodedResidue, 750);
  SetVolume(info.MailingTotal, &TotalLine::Total, 1000);
  info.SameState = info.MailingTotal;
  LodgementOutput out = Write(info);
  ASSERT_EQ(0, out.Code);
  const std::string shares[] = {"12", "12", "75", "100"};
  for (int row = 0; row < 4; ++row) {
    const std::string line = Line(out.Text, 2 + row);
    EXPECT_EQ(Spaces(9 - shares[row].size()) + shares[row], line.substr(51, 9)) << line;
  }
  for (const char* cell : {" <td>125</td>\n <td>12.5</td>\n", " <td>750</td>\n <td>75.0</td>\n",
                           " <td>1000</td>\n <td>100.0</td>\n"})
    EXPECT_NE(std::string::npos, out.Html.find(cell)) << cell;
}

struct GoldenCase {
  const char* Name;
  ManifestInfo (*Build)(VaskReportSpec&);
};

ManifestInfo Empty(VaskReportSpec& spec) { return vrtest::Tally(spec, {}, {}); }

class LodgementGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(LodgementGolden, BothFilesMatchGolden) {
  VaskReportSpec spec;
  ManifestInfo info = GetParam().Build(spec);
  LodgementOutput out = Write(info);
  ASSERT_EQ(0, out.Code);
  const std::string base = std::string("writers/lodgement_") + GetParam().Name;
  vrtest::ExpectGolden(out.Text, base + ".txt");
  vrtest::ExpectGolden(out.Html, base + ".htm");
}

INSTANTIATE_TEST_SUITE_P(Mailings, LodgementGolden,
                         ::testing::Values(GoldenCase{"empty", Empty},
                                           GoldenCase{"weights", vrtest::NswWithWeights},
                                           GoldenCase{"states", vrtest::SeveralStates}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(LodgementInfo, OpenFailureOfHtmlKeepsTheCompleteTextFile) {
  vrtest::TempDir dir;
  const std::string prefix = dir.path() + "/";
  ManifestInfo info;
  char message[256];
  ASSERT_EQ(0, mkdir((dir / "LodgementInfo.htm").c_str(), 0700));
  EXPECT_EQ(ERR_VASKREPORT_OPEN_FILE, WriteLodgementInfo(prefix.c_str(), info, message));
  EXPECT_EQ(prefix + "LodgementInfo.htm", message);
  EXPECT_EQ(6 * 70u, vrtest::ReadFile(dir / "LodgementInfo.txt").size());
}

TEST(LodgementInfo, WriteFailureAfterOpenIsReportedWithThePath) {
  vrtest::TempDir dir;
  const std::string prefix = dir.path() + "/";
  vrtest::ChildResult result = vrtest::RunWithFileSizeLimit(100, [&](char* message) {
    ManifestInfo info;
    return WriteLodgementInfo(prefix.c_str(), info, message);
  });
  EXPECT_EQ(ERR_VASKREPORT_WRITE_FILE, result.Code);
  EXPECT_EQ(prefix + "LodgementInfo.txt", result.Message);
}

TEST(LodgementInfo, LongDirectoryKeepsBothFullNames) {
  vrtest::TempDir dir;
  const std::string prefix = vrtest::LongDirectory(dir.path(), 240);
  ManifestInfo info;
  char message[256];
  ASSERT_EQ(0, WriteLodgementInfo(prefix.c_str(), info, message));
  EXPECT_EQ(6 * 70u, vrtest::ReadFile(prefix + "LodgementInfo.txt").size());
  EXPECT_EQ(0u, vrtest::ReadFile(prefix + "LodgementInfo.htm").find("<html>\n"));
}

}  // namespace
