#include "engine/Tallies.h"

#include "spec/VaskReportSpec.h"

namespace {

// Fixed thresholds for direct trays, independent of LettersPerTray.
const uint64_t kDirectTrayLetters = 300;
const double kDirectTrayKilograms = 4.0;

// A LettersPerTray below 1 is refused at validation; here it only must not
// divide by zero, so it acts as a tray without limit, as negatives do.
uint64_t TrayCapacity(int lettersPerTray) {
  return lettersPerTray == 0 ? UINT64_MAX : static_cast<uint64_t>(lettersPerTray);
}

int PartnerState(int state) {
  if (state == STATE_NSW) return STATE_ACT;
  if (state == STATE_ACT) return STATE_NSW;
  return -1;
}

bool IsSameState(int state, int lodgement) {
  return state == lodgement || state == PartnerState(lodgement);
}

}  // namespace

DetailLine::DetailLine() : Volume(0), Trays(0), Weight(0.0), Residue(false) {}

void DetailLine::Set(unsigned long volume, const VaskReportSpec& spec) {
  const uint64_t capacity = TrayCapacity(spec.LettersPerTray);
  Volume = volume;
  Trays = Volume / capacity + (Volume % capacity ? 1 : 0);
  Weight = static_cast<double>(Volume) * spec.WeightOfLetter;
  Residue = Volume < kDirectTrayLetters && Weight < kDirectTrayKilograms;
}

DetailLine& DetailLine::operator+=(const DetailLine& other) {
  Volume += other.Volume;
  Trays += other.Trays;
  Weight += other.Weight;
  return *this;
}

DetailLine DetailLine::operator+(const DetailLine& other) const {
  DetailLine sum;
  sum.Volume = Volume + other.Volume;
  sum.Trays = Trays + other.Trays;
  sum.Weight = Weight + other.Weight;
  return sum;
}

DetailLine DetailLine::operator-(const DetailLine& other) const {
  DetailLine difference;
  difference.Volume = Volume - other.Volume;
  difference.Trays = Trays - other.Trays;
  difference.Weight = Weight - other.Weight;
  return difference;
}

DetailLine::operator void*() const {
  return Volume ? const_cast<DetailLine*>(this) : nullptr;
}

bool DetailLine::operator!() const { return Volume == 0; }

TotalLine::TotalLine() {}

TotalLine& TotalLine::operator+=(const TotalLine& other) {
  Direct += other.Direct;
  BarcodedResidue += other.BarcodedResidue;
  UnbarcodedResidue += other.UnbarcodedResidue;
  Barcoded += other.Barcoded;
  Total += other.Total;
  return *this;
}

TotalLine TotalLine::operator-(const TotalLine& other) const {
  TotalLine difference;
  difference.Direct = Direct - other.Direct;
  difference.BarcodedResidue = BarcodedResidue - other.BarcodedResidue;
  difference.UnbarcodedResidue = UnbarcodedResidue - other.UnbarcodedResidue;
  difference.Barcoded = Barcoded - other.Barcoded;
  difference.Total = Total - other.Total;
  return difference;
}

ManifestInfo::ManifestInfo() {}

namespace {

void TallyState(ManifestInfo& info, int state, const VaskReportSpec& spec,
                const unsigned long* bspVolumes, unsigned long unbarcoded) {
  TotalLine& total = info.StateTotal[state];
  unsigned long pooled = 0;
  for (int bsp = 1; bsp <= BSP_COUNT; ++bsp) {
    if (s_BspState[bsp] != state) continue;
    DetailLine line;
    line.Set(bspVolumes[bsp], spec);
    if (line.Residue) {
      pooled += bspVolumes[bsp];
    } else {
      info.BspLine[bsp] = line;
      total.Direct += line;
    }
  }
  total.BarcodedResidue.Set(pooled, spec);
  total.UnbarcodedResidue.Set(unbarcoded, spec);
  total.Barcoded = total.Direct + total.BarcodedResidue;
  total.Total = total.Barcoded + total.UnbarcodedResidue;
}

}  // namespace

void ManifestInfo::Calculate(const VaskReportSpec& spec, unsigned long* bspVolumes,
                             unsigned long* unbarcodedVolumes) {
  // Starting afresh keeps a repeated call from counting everything twice.
  *this = ManifestInfo();
  for (int state = 0; state < STATE_COUNT; ++state) {
    TallyState(*this, state, spec, bspVolumes, unbarcodedVolumes[state]);
    MailingTotal += StateTotal[state];
  }
  // Built by adding, never by subtracting from the mailing total, so that a
  // block without letters weighs exactly nothing.
  for (int state = 0; state < STATE_COUNT; ++state) {
    if (IsSameState(state, spec.State))
      SameState += StateTotal[state];
    else
      OtherStates += StateTotal[state];
  }
}
