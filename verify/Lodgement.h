#ifndef VASKREPORT_VERIFY_LODGEMENT_H
#define VASKREPORT_VERIFY_LODGEMENT_H

#include <cstdint>
#include <map>
#include <string>

#include "verify/Recount.h"

class VaskReportSpec;

namespace verify {

enum { LEVEL_BDT, LEVEL_BR, LEVEL_UR, LEVEL_COUNT };

// Weights are added in the order the run adds them, so that a sum prints
// the same digits as the run's.
struct Count {
  uint64_t Volume = 0;
  uint64_t Trays = 0;
  double Weight = 0.0;
};

struct LevelCounts {
  Count Level[LEVEL_COUNT];
  Count Barcoded;  // direct and barcoded residue
  Count Total;
};

// Volumes, trays and weights worked out here from a recount, not by the run's
// tallies.
struct Lodgement {
  Count Bsp[RECOUNT_BSPS + 1];  // direct-tray BSPs only
  LevelCounts State[RECOUNT_STATES];
  LevelCounts Same;
  LevelCounts Other;
  LevelCounts Mailing;
};

Lodgement Tally(const VaskReportSpec& spec, const Recount& recount);
bool IsDirect(const VaskReportSpec& spec, uint64_t volume);

extern const char* const LEVEL_NAMES[LEVEL_COUNT];
// The split files' prefixes, as the run composes their names.
extern const char* const LEVEL_PREFIXES[LEVEL_COUNT];
std::string StateName(int state);
// The tray label system's code of a state number.
int LabelCode(int state);
// Figures are named by level and group, as "BDT BSP 03 trays", "BR NSW volume".
std::string BspName(int bsp);  // "BDT BSP 03"
// The lodgement information's rows: the three levels, then the total.
const Count& LodgementRow(const LevelCounts& counts, int row);
std::string LodgementKey(int row, const char* what);  // "BR trays", "Total mix"

// Named figures of one document or of the recount, e.g. "BR NSW trays".
using Figures = std::map<std::string, uint64_t>;

// Cross-document views of the figures read from a manifest CSV.
Figures CsvTrays(const Figures& csv);
Figures CsvLevelTotals(const Figures& csv);
Figures Subset(const Figures& figures, const Figures& keys);

}  // namespace verify

#endif
