#ifndef VASKREPORT_BASE_STATES_H
#define VASKREPORT_BASE_STATES_H

#include "util/Export.h"

enum { STATE_COUNT = 8, BSP_COUNT = 54, SORT_LEVEL_COUNT = 3 };
enum { STATE_NT, STATE_NSW, STATE_VIC, STATE_QLD, STATE_SA, STATE_WA, STATE_TAS, STATE_ACT };
enum { SORT_LEVEL_BDT, SORT_LEVEL_BR, SORT_LEVEL_UR };

// Eight state codes in state-number order, then "" which ends every search.
extern const char* const s_States[STATE_COUNT + 1];
// State number of each BSP, indexed by BSP number 1..54 (entry 0 unused).
extern const int s_BspState[BSP_COUNT + 1];
extern const char* const s_SortLevelNames[SORT_LEVEL_COUNT];
extern const char* const s_SortLevelPrefix[SORT_LEVEL_COUNT];

VR_API int StateToNumber(const char* code);
VR_API const char* NumberToState(int state);
VR_API int NumberToLabelState(int state);

#endif
