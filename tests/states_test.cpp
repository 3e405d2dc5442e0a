#include <gtest/gtest.h>

#include <string>

#include "base/States.h"

TEST(States, CodesConvertWithoutRegardToCase) {
  const struct {
    const char* code;
    int state;
  } cases[] = {{"nsw", 1}, {"Nsw", 1}, {"NSW", 1}, {"ACT", 7}, {"nt", 0}, {"tas", 6},
               {"", -1},   {"NSW ", -1}, {"N.S.W.", -1}, {"Victoria", -1}, {nullptr, -1}};
  for (const auto& c : cases)
    EXPECT_EQ(StateToNumber(c.code), c.state) << (c.code ? c.code : "(null)");
}

TEST(States, NumbersOutsideTheTableGiveEmptyCodeAndLabelZero) {
  EXPECT_STREQ(NumberToState(7), "ACT");
  EXPECT_STREQ(NumberToState(0), "NT");
  EXPECT_STREQ(NumberToState(8), "");
  EXPECT_STREQ(NumberToState(-1), "");
  EXPECT_EQ(NumberToLabelState(0), 8);
  EXPECT_EQ(NumberToLabelState(7), 1);
  EXPECT_EQ(NumberToLabelState(1), 2);
  EXPECT_EQ(NumberToLabelState(-1), 0);
  EXPECT_EQ(NumberToLabelState(8), 0);
}

TEST(States, EveryCodeRoundTrips) {
  for (int s = 0; s < STATE_COUNT; ++s) EXPECT_EQ(StateToNumber(NumberToState(s)), s);
}

TEST(States, SortPlansBelongToTheirStates) {
  std::string expected(55, '?');
  auto fill = [&](int from, int to, char state) {
    for (int b = from; b <= to; ++b) expected[b] = state;
  };
  fill(1, 1, '0');
  fill(2, 2, '3');
  fill(3, 18, '1');
  fill(19, 19, '7');
  fill(20, 21, '1');
  fill(22, 34, '2');
  fill(35, 44, '3');
  fill(45, 48, '4');
  fill(49, 53, '5');
  fill(54, 54, '6');
  for (int b = 1; b <= BSP_COUNT; ++b)
    EXPECT_EQ(s_BspState[b], expected[b] - '0') << "BSP " << b;
}

TEST(States, SortLevelNamesAndPrefixes) {
  EXPECT_STREQ(s_SortLevelNames[SORT_LEVEL_BDT], "BDT");
  EXPECT_STREQ(s_SortLevelNames[SORT_LEVEL_UR], "UR");
  EXPECT_STREQ(s_SortLevelPrefix[SORT_LEVEL_BR], "BR_");
}
