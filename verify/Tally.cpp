#include "verify/Lodgement.h"

#include <cstdio>
#include <cstdlib>

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
  return count;
}

void Add(Count& sum, const Count& part) {
  sum.Volume += part.Volume;
  sum.Trays += part.Trays;
}

void Add(LevelCounts& sum, const LevelCounts& part) {
  for (int level = 0; level < LEVEL_COUNT; ++level) Add(sum.Level[level], part.Level[level]);
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
    for (const Count& level : counts.Level) Add(counts.Total, level);
    Add(lodgement.Mailing, counts);
    const bool same = state == lodged || state == Partner(lodged);
    Add(same ? lodgement.Same : lodgement.Other, counts);
  }
  return lodgement;
}

std::string BspKey(int bsp, const char* what) {
  char key[48];
  std::snprintf(key, sizeof key, "BDT BSP %02d %s", bsp, what);
  return key;
}

std::string StateKey(int level, int state, const char* what) {
  return std::string(LEVEL_NAMES[level]) + " " + StateName(state) + " " + what;
}

namespace {

// Lodgement rows are the three levels and the total.
const char* const kRowNames[LEVEL_COUNT + 1] = {"BDT", "BR", "UR", "Total"};

const Count& Row(const LevelCounts& counts, int row) {
  return row < LEVEL_COUNT ? counts.Level[row] : counts.Total;
}

std::string RowKey(int row, const char* what) { return std::string(kRowNames[row]) + " " + what; }

uint64_t Mix(const Lodgement& lodgement, int row) {
  if (row == LEVEL_COUNT) return 100;
  const uint64_t total = lodgement.Mailing.Total.Volume;
  if (total == 0) return 0;
  double share = static_cast<double>(Row(lodgement.Mailing, row).Volume) /
                 static_cast<double>(total) * 100.0;
  char text[32];
  std::snprintf(text, sizeof text, "%.0f", share);  // the document's own rounding
  return std::strtoull(text, nullptr, 10);
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

Figures ExpectedManifestCsv(const Lodgement& lodgement) {
  Figures figures;
  for (int bsp = 1; bsp <= RECOUNT_BSPS; ++bsp) {
    if (!lodgement.Bsp[bsp].Volume) continue;
    figures[BspKey(bsp, "state")] = static_cast<uint64_t>(BspState(bsp));
    figures[BspKey(bsp, "volume")] = lodgement.Bsp[bsp].Volume;
    figures[BspKey(bsp, "trays")] = lodgement.Bsp[bsp].Trays;
  }
  for (int state = 0; state < RECOUNT_STATES; ++state)
    for (int level : {LEVEL_BR, LEVEL_UR}) {
      const Count& count = lodgement.State[state].Level[level];
      if (!count.Volume) continue;
      figures[StateKey(level, state, "volume")] = count.Volume;
      figures[StateKey(level, state, "trays")] = count.Trays;
    }
  return figures;
}

Figures ExpectedLodgementInfo(const Lodgement& lodgement) {
  Figures figures;
  for (int row = 0; row <= LEVEL_COUNT; ++row) {
    figures[RowKey(row, "same state volume")] = Row(lodgement.Same, row).Volume;
    figures[RowKey(row, "other states volume")] = Row(lodgement.Other, row).Volume;
    figures[RowKey(row, "total volume")] = Row(lodgement.Mailing, row).Volume;
    figures[RowKey(row, "mix")] = Mix(lodgement, row);
    figures[RowKey(row, "trays")] = Row(lodgement.Mailing, row).Trays;
  }
  return figures;
}

Figures ExpectedLabelPlan(const Lodgement& lodgement) {
  Figures figures;
  for (int bsp = 1; bsp <= RECOUNT_BSPS; ++bsp)
    if (lodgement.Bsp[bsp].Volume) figures[BspKey(bsp, "trays")] = lodgement.Bsp[bsp].Trays;
  for (int state = 0; state < RECOUNT_STATES; ++state)
    for (int level : {LEVEL_BR, LEVEL_UR}) {
      const Count& count = lodgement.State[state].Level[level];
      if (count.Trays) figures[StateKey(level, state, "trays")] = count.Trays;
    }
  return figures;
}

Figures ExpectedMatchingSummary(const Recount& recount) {
  Figures figures;
  figures["records read"] = recount.Read;
  if (recount.Read == 0) return figures;  // the report then says only "Zero Records"
  figures["matched"] = recount.Matched;
  figures["amended"] = recount.Amended;
  if (recount.PreCleaned) figures["pre-cleaned"] = recount.PreCleaned;
  if (recount.ManuallyAmended) figures["manually amended"] = recount.ManuallyAmended;
  figures["not matched"] = recount.NotMatched;
  return figures;
}

Figures CsvTrays(const Figures& csv) {
  Figures trays;
  for (const auto& [key, value] : csv)
    if (EndsWith(key, " trays")) trays[key] = value;
  return trays;
}

Figures CsvLevelTotals(const Figures& csv) {
  Figures totals;
  for (int row = 0; row <= LEVEL_COUNT; ++row) {
    totals[RowKey(row, "total volume")] = 0;
    totals[RowKey(row, "trays")] = 0;
  }
  for (const auto& [key, value] : csv) {
    const bool volume = EndsWith(key, " volume");
    if (!volume && !EndsWith(key, " trays")) continue;
    const int level = key.compare(0, 4, "BDT ") == 0 ? LEVEL_BDT
                      : key.compare(0, 3, "BR ") == 0 ? LEVEL_BR
                                                      : LEVEL_UR;
    const char* what = volume ? "total volume" : "trays";
    totals[RowKey(level, what)] += value;
    totals[RowKey(LEVEL_COUNT, what)] += value;
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
