#ifndef VASKREPORT_ENGINE_TALLIES_H
#define VASKREPORT_ENGINE_TALLIES_H

#include <cstdint>
#include <ostream>

#include "base/States.h"
#include "util/Export.h"

class VaskReportSpec;

// One row of counts: letters, trays, kilograms.
class VR_API DetailLine {
 public:
  uint64_t Volume;
  uint64_t Trays;
  double Weight;
  bool Residue;  // set only by Set: too few letters and too light for direct trays

  DetailLine();
  void Set(unsigned long volume, const VaskReportSpec& spec);
  DetailLine& operator+=(const DetailLine& other);
  DetailLine operator+(const DetailLine& other) const;
  DetailLine operator-(const DetailLine& other) const;
  operator void*() const;  // non-null exactly when Volume is not zero
  bool operator!() const;

  // Printing, in the manifest writer.
  void PrintText(const char* label, std::ostream& out, bool leftAlign) const;
  void PrintHtml(std::ostream& out, const VaskReportSpec& spec, const char* label, bool red,
                 bool emphasis) const;
  void PrintCsv(std::ostream& out, const char* level, int state, int bsp) const;
};

// The five lines of one aggregate: a state or a summary of states.
class VR_API TotalLine {
 public:
  DetailLine Direct;
  DetailLine BarcodedResidue;
  DetailLine UnbarcodedResidue;
  DetailLine Barcoded;
  DetailLine Total;

  TotalLine();
  TotalLine& operator+=(const TotalLine& other);
  TotalLine operator-(const TotalLine& other) const;

  void PrintText(std::ostream& out, const VaskReportSpec& spec, const char* title) const;
  void PrintHtml(std::ostream& out, const VaskReportSpec& spec, const char* title,
                 bool emphasiseTotal) const;
};

// The whole tally of one run; filled once by Calculate, then read-only.
class VR_API ManifestInfo {
 public:
  DetailLine BspLine[BSP_COUNT + 1];
  TotalLine StateTotal[STATE_COUNT];
  TotalLine OtherStates;
  TotalLine MailingTotal;
  TotalLine SameState;

  ManifestInfo();
  // bspVolumes has 55 entries by BSP number, unbarcodedVolumes 8 by state number.
  void Calculate(const VaskReportSpec& spec, unsigned long* bspVolumes,
                 unsigned long* unbarcodedVolumes);
};

#endif
