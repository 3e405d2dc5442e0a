#ifndef VASKREPORT_VERIFY_LODGEMENT_H
#define VASKREPORT_VERIFY_LODGEMENT_H

#include <cstdint>
#include <map>
#include <string>

#include "verify/Recount.h"

class VaskReportSpec;

namespace verify {

enum { LEVEL_BDT, LEVEL_BR, LEVEL_UR, LEVEL_COUNT };

struct Count {
  uint64_t Volume = 0;
  uint64_t Trays = 0;
};

struct LevelCounts {
  Count Level[LEVEL_COUNT];
  Count Total;
};

// Volumes and trays worked out here from a recount, not by the run's tallies.
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
// Figure names shared by the documents: "BDT BSP 03 trays", "BR NSW volume".
std::string BspKey(int bsp, const char* what);
std::string StateKey(int level, int state, const char* what);

// Named figures of one document or of the recount, e.g. "BR NSW trays".
using Figures = std::map<std::string, uint64_t>;

Figures ExpectedManifestCsv(const Lodgement& lodgement);
Figures ExpectedLodgementInfo(const Lodgement& lodgement);
Figures ExpectedLabelPlan(const Lodgement& lodgement);
Figures ExpectedMatchingSummary(const Recount& recount);
// Cross-document views of a read manifest CSV.
Figures CsvTrays(const Figures& csv);
Figures CsvLevelTotals(const Figures& csv);
Figures Subset(const Figures& figures, const Figures& keys);

}  // namespace verify

#endif
