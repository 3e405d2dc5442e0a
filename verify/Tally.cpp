#include "verify/Lodgement.h"

#include <cstdio>

#include "base/States.h"
#include "spec/VaskReportSpec.h"

namespace verify {

const char* const LEVEL_NAMES[LEVEL_COUNT] = {"BDT", "BR", "UR"};
const char* const LEVEL_PREFIXES[LEVEL_COUNT] = {"BDT_", "BR_", "UR_"};

namespace {

// The fixed direct-tray thresholds, independent of LettersPerTray.
const uint64_t kDirectLetters = 300;
const double kDirectKilograms = 4.0;

Count Trayed(uint64_t volume, const VaskReportSpec& spec) {
  Count count;
  count.Volume = volume;
  if (spec.LettersPerTray < 1)
    count.Trays = volume ? 1 : 0;
  else
    count.Trays = (volume + static_cast<uint64_t>(spec.LettersPerTray) - 1) /
                  static_cast<uint64_t>(spec.LettersPerTray);
  count.Weight = static_cast<double>(volume) * spec.WeightOfLetter;
  return count;
}

void Add(Count& sum, const Count& part) {
  sum.Volume += part.Volume;
  sum.Trays += part.Trays;
  sum.Weight += part.Weight;
}

void Add(LevelCounts& sum, const LevelCounts& part) {
  for (int level = 0; level < LEVEL_COUNT; ++level) Add(sum.Level[level], part.Level[level]);
  Add(sum.Barcoded, part.Barcoded);
  Add(sum.Total, part.Total);
}

int Partner(int state) {
  if (state == STATE_NSW) return STATE_ACT;
  if (state == STATE_ACT) return STATE_NSW;
  return -1;
}

}  // namespace

std::string StateName(int state) { return NumberToState(state); }

// The negation of the residue test as the library writes it, so that a
// weight that compares false both ways (NaN) decides alike.
bool IsDirect(const VaskReportSpec& spec, uint64_t volume) {
  return !(volume < kDirectLetters &&
           static_cast<double>(volume) * spec.WeightOfLetter < kDirectKilograms);
}

Lodgement Tally(const VaskReportSpec& spec, const Recount& recount) {
  Lodgement lodgement;
  uint64_t pooled[RECOUNT_STATES] = {};
  for (int bsp = 1; bsp <= RECOUNT_BSPS; ++bsp) {
    const uint64_t volume = recount.BspVolumes[bsp];
    const int state = BspState(bsp);
    if (!IsDirect(spec, volume)) {
      pooled[state] += volume;
      continue;
    }
    lodgement.Bsp[bsp] = Trayed(volume, spec);
    Add(lodgement.State[state].Level[LEVEL_BDT], lodgement.Bsp[bsp]);
  }
  const int lodged = spec.State >= 0 && spec.State < RECOUNT_STATES ? spec.State : STATE_NT;
  for (int state = 0; state < RECOUNT_STATES; ++state) {
    LevelCounts& counts = lodgement.State[state];
    counts.Level[LEVEL_BR] = Trayed(pooled[state], spec);
    counts.Level[LEVEL_UR] = Trayed(recount.UnbarcodedVolumes[state], spec);
    Add(counts.Barcoded, counts.Level[LEVEL_BDT]);
    Add(counts.Barcoded, counts.Level[LEVEL_BR]);
    Add(counts.Total, counts.Barcoded);
    Add(counts.Total, counts.Level[LEVEL_UR]);
    Add(lodgement.Mailing, counts);
    const bool same = state == lodged || state == Partner(lodged);
    Add(same ? lodgement.Same : lodgement.Other, counts);
  }
  return lodgement;
}

std::string BspName(int bsp) {
  char name[32];
  std::snprintf(name, sizeof name, "BDT BSP %02d", bsp);
  return name;
}

int LabelCode(int state) {
  static const int kCodes[RECOUNT_STATES] = {8, 2, 3, 4, 5, 6, 7, 1};  // NT first, ACT last
  return state >= 0 && state < RECOUNT_STATES ? kCodes[state] : 0;
}

const Count& LodgementRow(const LevelCounts& counts, int row) {
  return row < LEVEL_COUNT ? counts.Level[row] : counts.Total;
}

std::string LodgementKey(int row, const char* what) {
  static const char* const kRowNames[LEVEL_COUNT + 1] = {"BDT", "BR", "UR", "Total"};
  return std::string(kRowNames[row]) + " " + what;
}

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

Figures CsvTrays(const Figures& csv) {
  Figures trays;
  for (const auto& [key, value] : csv)
    if (EndsWith(key, " trays")) trays[key] = value;
  return trays;
}

Figures CsvLevelTotals(const Figures& csv) {
  Figures totals;
  for (int row = 0; row <= LEVEL_COUNT; ++row) {
    totals[LodgementKey(row, "total volume")] = 0;
    totals[LodgementKey(row, "trays")] = 0;
  }
  for (const auto& [key, value] : csv) {
    const bool volume = EndsWith(key, " volume");
    if (!volume && !EndsWith(key, " trays")) continue;
    const int level = key.compare(0, 4, "BDT ") == 0 ? LEVEL_BDT
                      : key.compare(0, 3, "BR ") == 0 ? LEVEL_BR
                                                      : LEVEL_UR;
    const char* what = volume ? "total volume" : "trays";
    totals[LodgementKey(level, what)] += value;
    totals[LodgementKey(LEVEL_COUNT, what)] += value;
  }
  return totals;
}

Figures Subset(const Figures& figures, const Figures& keys) {
  Figures subset;
  for (const auto& entry : keys) {
    auto found = figures.find(entry.first);
    if (found != figures.end()) subset.insert(*found);
  }
  return subset;
}

}  // namespace verify
