#include <gtest/gtest.h>

#include <string>

#include "Fixtures.h"
#include "include/vaskreport.h"
#include "writers/Writers.h"

namespace {

const char* const kHead =
    "#Australia Post Visa Tray Label System - Ver:\n3v0-700\n#Label Plan File\n\n"
    "#Label Plan Header\n";
const char* const kDetailsHead =
    "#Label Details\n#Service,Sort_Plan_Type,Sort_Plan,Mail_Size,Label_Qty,Date\n";

struct LabelOutput {
  int Code;
  std::string Text;
};

LabelOutput Write(const ManifestInfo& info, const VaskReportSpec& spec) {
  vrtest::TempDir dir;
  char message[256];
  LabelOutput out;
  out.Code = WriteLabelPlanFile((dir.path() + "/").c_str(), info, spec, message);
  out.Text = vrtest::ReadFile(dir / "LabelPlanFile.lpf");
  return out;
}

void SetTexts(VaskReportSpec& spec) {
  strncpyz(spec.LabelPlanName, "Plan7", 50);
  strncpyz(spec.LabelCustomerName, "Acme Mailing", 50);
  strncpyz(spec.CustomerPhone, "02 9999 0000", 50);
  strncpyz(spec.LabelJobNumber, "J-1042", 50);
  strncpyz(spec.Service, "S", 50);
  strncpyz(spec.MailSize, "M", 50);
  spec.LabelState = STATE_NSW;
}

TEST(LabelPlanFile, DirectAndResidueLinesHaveSixFieldsWithEmptyDate) {
  VaskReportSpec spec;
  SetTexts(spec);
  spec.LabelState = -1;
  ManifestInfo info;
  info.BspLine[5].Volume = 900;
  info.BspLine[5].Trays = 3;
  info.StateTotal[STATE_NSW].UnbarcodedResidue.Volume = 400;
  info.StateTotal[STATE_NSW].UnbarcodedResidue.Trays = 2;
  LabelOutput out = Write(info, spec);
  ASSERT_EQ(0, out.Code);
  EXPECT_EQ(std::string(kHead) + "Plan7,Acme Mailing,02 9999 0000,0,J-1042\n\n" + kDetailsHead +
                "S,1,005,M,3,\nS,5,2,M,2,\n#End Of File\n",
            out.Text);
}

TEST(LabelPlanFile, SortPlanCarriesPrefixAndTwoDigitsOrThreeDigitsWithout) {
  struct Case {
    char Prefix;
    int Bsp;
    const char* Line;
  } cases[] = {
      {'A', 54, "S,1,A54,M,1,\n"}, {'A', 7, "S,1,A07,M,1,\n"}, {'A', 19, "S,1,A19,M,1,\n"},
      {0, 54, "S,1,054,M,1,\n"},   {0, 7, "S,1,007,M,1,\n"},   {0, 19, "S,1,019,M,1,\n"},
  };
  for (const Case& c : cases) {
    VaskReportSpec spec;
    SetTexts(spec);
    spec.Prefix = c.Prefix;
    ManifestInfo info;
    info.BspLine[c.Bsp].Volume = 300;
    info.BspLine[c.Bsp].Trays = 1;
    LabelOutput out = Write(info, spec);
    ASSERT_EQ(0, out.Code);
    EXPECT_NE(std::string::npos, out.Text.find(std::string(kDetailsHead) + c.Line + "#End"))
        << c.Bsp;
  }
}

TEST(LabelPlanFile, ResidueLinesFollowStateNumbersNotLabelCodes) {
  VaskReportSpec spec;
  SetTexts(spec);
  ManifestInfo info;
  info.StateTotal[STATE_ACT].BarcodedResidue.Trays = 4;
  info.StateTotal[STATE_NT].UnbarcodedResidue.Trays = 1;
  info.StateTotal[STATE_NT].BarcodedResidue.Trays = 2;
  LabelOutput out = Write(info, spec);
  ASSERT_EQ(0, out.Code);
  EXPECT_NE(std::string::npos, out.Text.find(std::string(kDetailsHead) +
                                             "S,2,8,M,2,\nS,5,8,M,1,\nS,2,1,M,4,\n#End Of File\n"));
}

struct GoldenCase {
  const char* Name;
  ManifestInfo (*Build)(VaskReportSpec&);
};

ManifestInfo Empty(VaskReportSpec& spec) { return vrtest::Tally(spec, {}, {}); }

class LabelPlanGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(LabelPlanGolden, FileMatchesGolden) {
  VaskReportSpec spec;
  SetTexts(spec);
  ManifestInfo info = GetParam().Build(spec);
  LabelOutput out = Write(info, spec);
  ASSERT_EQ(0, out.Code);
  vrtest::ExpectGolden(out.Text, std::string("writers/labelplan_") + GetParam().Name + ".lpf");
}

INSTANTIATE_TEST_SUITE_P(Mailings, LabelPlanGolden,
                         ::testing::Values(GoldenCase{"empty", Empty},
                                           GoldenCase{"weights", vrtest::NswWithWeights},
                                           GoldenCase{"states", vrtest::SeveralStates}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(LabelPlanFile, OpenFailureNamesTheFile) {
  vrtest::TempDir dir;
  VaskReportSpec spec;
  ManifestInfo info;
  char message[256];
  const std::string missing = dir / "missing/";
  EXPECT_EQ(ERR_VASKREPORT_OPEN_FILE, WriteLabelPlanFile(missing.c_str(), info, spec, message));
  EXPECT_EQ(missing + "LabelPlanFile.lpf", message);
}

TEST(LabelPlanFile, WriteFailureAfterOpenIsReportedWithThePath) {
  vrtest::TempDir dir;
  const std::string prefix = dir.path() + "/";
  vrtest::ChildResult result = vrtest::RunWithFileSizeLimit(50, [&](char* message) {
    VaskReportSpec spec;
    ManifestInfo info;
    return WriteLabelPlanFile(prefix.c_str(), info, spec, message);
  });
  EXPECT_EQ(ERR_VASKREPORT_WRITE_FILE, result.Code);
  EXPECT_EQ(prefix + "LabelPlanFile.lpf", result.Message);
}

TEST(LabelPlanFile, LongDirectoryKeepsTheFullName) {
  vrtest::TempDir dir;
  const std::string prefix = vrtest::LongDirectory(dir.path(), 250);
  VaskReportSpec spec;
  ManifestInfo info;
  char message[256];
  ASSERT_EQ(0, WriteLabelPlanFile(prefix.c_str(), info, spec, message));
  EXPECT_EQ(0u, vrtest::ReadFile(prefix + "LabelPlanFile.lpf").find(kHead));
}

}  // namespace
