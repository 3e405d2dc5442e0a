#include <gtest/gtest.h>

#include <cmath>

#include "engine/Tallies.h"
#include "spec/VaskReportSpec.h"

namespace {

struct Counts {
  unsigned long bsp[BSP_COUNT + 1] = {};
  unsigned long unbarcoded[STATE_COUNT] = {};
};

void ExpectLine(const DetailLine& line, uint64_t volume, uint64_t trays) {
  EXPECT_EQ(volume, line.Volume);
  EXPECT_EQ(trays, line.Trays);
}

void ExpectSameLine(const DetailLine& a, const DetailLine& b) {
  EXPECT_EQ(a.Volume, b.Volume);
  EXPECT_EQ(a.Trays, b.Trays);
  EXPECT_DOUBLE_EQ(a.Weight, b.Weight);
}

void ExpectSameTotal(const TotalLine& a, const TotalLine& b) {
  ExpectSameLine(a.Direct, b.Direct);
  ExpectSameLine(a.BarcodedResidue, b.BarcodedResidue);
  ExpectSameLine(a.UnbarcodedResidue, b.UnbarcodedResidue);
  ExpectSameLine(a.Barcoded, b.Barcoded);
  ExpectSameLine(a.Total, b.Total);
}

TotalLine Sum(const TotalLine& a, const TotalLine& b) {
  TotalLine sum = a;
  sum += b;
  return sum;
}

struct SetCase {
  unsigned long volume;
  double weightOfLetter;
  uint64_t trays;
  bool residue;
};

TEST(DetailLine, SetRoundsTraysUpAndDecidesResidueBy300LettersOr4Kilograms) {
  const SetCase cases[] = {
      {0, 0.0, 0, true},     {1, 0.0, 1, true},     {299, 0.0, 1, true},
      {300, 0.0, 1, false},  {301, 0.0, 2, false},  {600, 0.0, 2, false},
      {601, 0.0, 3, false},  {79, 0.05, 1, true},   {80, 0.05, 1, false},
      {299, 0.001, 1, true},
  };
  for (const SetCase& c : cases) {
    SCOPED_TRACE(c.volume);
    VaskReportSpec spec;
    spec.WeightOfLetter = c.weightOfLetter;
    DetailLine line;
    line.Set(c.volume, spec);
    ExpectLine(line, c.volume, c.trays);
    EXPECT_DOUBLE_EQ(c.volume * c.weightOfLetter, line.Weight);
    EXPECT_EQ(c.residue, line.Residue);
  }
}

TEST(DetailLine, DirectTrayThresholdIgnoresLettersPerTray) {
  VaskReportSpec spec;
  spec.LettersPerTray = 100;
  DetailLine line;
  line.Set(299, spec);
  EXPECT_EQ(3u, line.Trays);
  EXPECT_TRUE(line.Residue);
}

TEST(DetailLine, LettersPerTrayBelowOneNeverDividesByZero) {
  VaskReportSpec spec;
  DetailLine line;
  for (int perTray : {0, -5}) {
    spec.LettersPerTray = perTray;
    line.Set(1000, spec);
    EXPECT_EQ(1u, line.Trays);
    line.Set(0, spec);
    EXPECT_EQ(0u, line.Trays);
  }
}

TEST(DetailLine, OperatorsCombineCountsAndLeaveResidueFalse) {
  VaskReportSpec spec;
  spec.WeightOfLetter = 0.25;
  DetailLine a, b;
  a.Set(10, spec);
  b.Set(4, spec);
  DetailLine sum = a + b, difference = a - b;
  ExpectLine(sum, 14, 2);
  EXPECT_DOUBLE_EQ(3.5, sum.Weight);
  EXPECT_FALSE(sum.Residue);
  ExpectLine(difference, 6, 0);
  EXPECT_DOUBLE_EQ(1.5, difference.Weight);
  EXPECT_FALSE(difference.Residue);
  ASSERT_TRUE(a.Residue);
  a += b;
  ExpectLine(a, 14, 2);
  EXPECT_DOUBLE_EQ(3.5, a.Weight);
  EXPECT_TRUE(a.Residue);
}

TEST(DetailLine, LettersTestLooksAtVolumeOnly) {
  DetailLine line;
  line.Trays = 3;
  line.Weight = 1.0;
  EXPECT_FALSE(static_cast<void*>(line));
  EXPECT_TRUE(!line);
  line.Volume = 1;
  EXPECT_TRUE(static_cast<void*>(line));
  EXPECT_FALSE(!line);
}

TEST(ManifestInfo, VictorianSortPlansSplitIntoDirectAndPooledResidue) {
  VaskReportSpec spec;
  spec.State = STATE_VIC;
  Counts counts;
  counts.bsp[22] = 450;
  counts.bsp[23] = 100;
  counts.bsp[24] = 250;
  ManifestInfo info;
  info.Calculate(spec, counts.bsp, counts.unbarcoded);
  ExpectLine(info.BspLine[22], 450, 2);
  EXPECT_FALSE(static_cast<void*>(info.BspLine[23]));
  EXPECT_FALSE(static_cast<void*>(info.BspLine[24]));
  const TotalLine& vic = info.StateTotal[STATE_VIC];
  ExpectLine(vic.Direct, 450, 2);
  ExpectLine(vic.BarcodedResidue, 350, 2);
  ExpectLine(vic.Barcoded, 800, 4);
  ExpectLine(vic.Total, 800, 4);
}

TEST(ManifestInfo, DirectTraysAreSummedPerSortPlanNotRecomputed) {
  VaskReportSpec spec;
  Counts counts;
  counts.bsp[3] = 301;
  counts.bsp[4] = 301;
  counts.unbarcoded[STATE_NSW] = 1;
  ManifestInfo info;
  info.Calculate(spec, counts.bsp, counts.unbarcoded);
  ExpectLine(info.StateTotal[STATE_NSW].Direct, 602, 4);
  ExpectLine(info.StateTotal[STATE_NSW].Total, 603, 5);
  ExpectLine(info.MailingTotal.Total, 603, 5);
}

TEST(ManifestInfo, SortPlansCountUnderTheirOwnStates) {
  VaskReportSpec spec;
  Counts counts;
  counts.bsp[19] = 10;
  counts.bsp[2] = 20;
  counts.bsp[1] = 30;
  ManifestInfo info;
  info.Calculate(spec, counts.bsp, counts.unbarcoded);
  ExpectLine(info.StateTotal[STATE_ACT].BarcodedResidue, 10, 1);
  ExpectLine(info.StateTotal[STATE_QLD].BarcodedResidue, 20, 1);
  ExpectLine(info.StateTotal[STATE_NT].BarcodedResidue, 30, 1);
  ExpectLine(info.StateTotal[STATE_NSW].Total, 0, 0);
}

// Letters in every state, so each one shows in the split between summaries.
Counts EveryStateCounts() {
  Counts counts;
  for (int bsp = 1; bsp <= BSP_COUNT; ++bsp) counts.bsp[bsp] = 37 * bsp;
  for (int state = 0; state < STATE_COUNT; ++state) counts.unbarcoded[state] = 11 + state;
  return counts;
}

TEST(ManifestInfo, PartnerStatesNswAndActShareSameState) {
  struct Case {
    int lodgement;
    int same[2];  // -1 when the state has no partner
  };
  const Case cases[] = {{STATE_NSW, {STATE_NSW, STATE_ACT}},
                        {STATE_ACT, {STATE_NSW, STATE_ACT}},
                        {STATE_VIC, {STATE_VIC, -1}}};
  Counts counts = EveryStateCounts();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lodgement);
    VaskReportSpec spec;
    spec.WeightOfLetter = 0.013;
    spec.State = c.lodgement;
    ManifestInfo info;
    info.Calculate(spec, counts.bsp, counts.unbarcoded);
    TotalLine same, other;
    for (int state = 0; state < STATE_COUNT; ++state) {
      bool isSame = state == c.same[0] || state == c.same[1];
      (isSame ? same : other) += info.StateTotal[state];
    }
    ExpectSameTotal(same, info.SameState);
    ExpectSameTotal(other, info.OtherStates);
    ExpectSameTotal(info.MailingTotal, Sum(info.SameState, info.OtherStates));
  }
}

TEST(ManifestInfo, MailingTotalIsSumOfStates) {
  VaskReportSpec spec;
  spec.WeightOfLetter = 0.02;
  Counts counts = EveryStateCounts();
  ManifestInfo info;
  info.Calculate(spec, counts.bsp, counts.unbarcoded);
  TotalLine sum;
  for (const TotalLine& state : info.StateTotal) sum += state;
  ExpectSameTotal(sum, info.MailingTotal);
  for (const TotalLine& state : info.StateTotal) {
    ExpectLine(state.Barcoded, state.Direct.Volume + state.BarcodedResidue.Volume,
               state.Direct.Trays + state.BarcodedResidue.Trays);
    ExpectLine(state.Total, state.Barcoded.Volume + state.UnbarcodedResidue.Volume,
               state.Barcoded.Trays + state.UnbarcodedResidue.Trays);
  }
}

TEST(ManifestInfo, OtherStatesWithoutLettersWeighExactlyNothing) {
  VaskReportSpec spec;
  spec.WeightOfLetter = 0.02;
  spec.State = STATE_NSW;
  Counts counts;
  counts.bsp[3] = 301;
  counts.unbarcoded[STATE_ACT] = 1;
  ManifestInfo info;
  info.Calculate(spec, counts.bsp, counts.unbarcoded);
  ExpectLine(info.OtherStates.Total, 0, 0);
  EXPECT_EQ(0.0, info.OtherStates.Total.Weight);
  EXPECT_FALSE(std::signbit(info.OtherStates.Total.Weight));
  EXPECT_EQ(0.0, info.OtherStates.Barcoded.Weight);
  ExpectLine(info.SameState.Total, 302, 3);
}

TEST(ManifestInfo, NoLettersGiveAllZeroTally) {
  VaskReportSpec spec;
  Counts counts;
  ManifestInfo info;
  info.Calculate(spec, counts.bsp, counts.unbarcoded);
  for (int bsp = 1; bsp <= BSP_COUNT; ++bsp) EXPECT_FALSE(static_cast<void*>(info.BspLine[bsp]));
  for (const TotalLine* total : {&info.MailingTotal, &info.SameState, &info.OtherStates})
    EXPECT_FALSE(static_cast<void*>(total->Total));
}

TEST(ManifestInfo, RepeatedCalculateDoesNotCountTwice) {
  VaskReportSpec spec;
  Counts counts;
  counts.bsp[22] = 450;
  ManifestInfo info;
  info.Calculate(spec, counts.bsp, counts.unbarcoded);
  info.Calculate(spec, counts.bsp, counts.unbarcoded);
  ExpectLine(info.StateTotal[STATE_VIC].Direct, 450, 2);
  ExpectLine(info.MailingTotal.Total, 450, 2);
}

TEST(ManifestInfo, LodgementStateOutOfRangeLeavesSameStateEmpty) {
  VaskReportSpec spec;
  spec.State = -1;
  Counts counts;
  counts.bsp[22] = 450;
  ManifestInfo info;
  info.Calculate(spec, counts.bsp, counts.unbarcoded);
  EXPECT_FALSE(static_cast<void*>(info.SameState.Total));
  ExpectLine(info.OtherStates.Total, 450, 2);
}

}  // namespace
