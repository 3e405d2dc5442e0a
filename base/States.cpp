#include "base/States.h"

#include <strings.h>

const char* const s_States[STATE_COUNT + 1] = {"NT", "NSW", "VIC", "QLD", "SA",
                                               "WA", "TAS", "ACT", ""};

const int s_BspState[BSP_COUNT + 1] = {
    STATE_NT,                                                    // 0: no sort plan
    STATE_NT,                                                    // 1
    STATE_QLD,                                                   // 2
    STATE_NSW, STATE_NSW, STATE_NSW, STATE_NSW, STATE_NSW,       // 3..7
    STATE_NSW, STATE_NSW, STATE_NSW, STATE_NSW, STATE_NSW,       // 8..12
    STATE_NSW, STATE_NSW, STATE_NSW, STATE_NSW, STATE_NSW,       // 13..17
    STATE_NSW,                                                   // 18
    STATE_ACT,                                                   // 19
    STATE_NSW, STATE_NSW,                                        // 20, 21
    STATE_VIC, STATE_VIC, STATE_VIC, STATE_VIC, STATE_VIC,       // 22..26
    STATE_VIC, STATE_VIC, STATE_VIC, STATE_VIC, STATE_VIC,       // 27..31
    STATE_VIC, STATE_VIC, STATE_VIC,                             // 32..34
    STATE_QLD, STATE_QLD, STATE_QLD, STATE_QLD, STATE_QLD,       // 35..39
    STATE_QLD, STATE_QLD, STATE_QLD, STATE_QLD, STATE_QLD,       // 40..44
    STATE_SA,  STATE_SA,  STATE_SA,  STATE_SA,                   // 45..48
    STATE_WA,  STATE_WA,  STATE_WA,  STATE_WA,  STATE_WA,        // 49..53
    STATE_TAS,                                                   // 54
};

const char* const s_SortLevelNames[SORT_LEVEL_COUNT] = {"BDT", "BR", "UR"};
const char* const s_SortLevelPrefix[SORT_LEVEL_COUNT] = {"BDT_", "BR_", "UR_"};

int StateToNumber(const char* code) {
  if (!code) return -1;
  for (int i = 0; *s_States[i]; ++i)
    if (strcasecmp(s_States[i], code) == 0) return i;
  return -1;
}

const char* NumberToState(int state) {
  return state >= 0 && state < STATE_COUNT ? s_States[state] : s_States[STATE_COUNT];
}

int NumberToLabelState(int state) {
  static const int labelCodes[STATE_COUNT] = {8, 2, 3, 4, 5, 6, 7, 1};
  return state >= 0 && state < STATE_COUNT ? labelCodes[state] : 0;
}
