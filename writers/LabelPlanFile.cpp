#include <cstdio>
#include <fstream>

#include "engine/Tallies.h"
#include "spec/VaskReportSpec.h"
#include "writers/NumberFormat.h"
#include "writers/ReportFile.h"
#include "writers/Writers.h"

namespace {

enum { PLAN_DIRECT = 1, PLAN_BARCODED_RESIDUE = 2, PLAN_UNBARCODED_RESIDUE = 5 };

void WriteHeader(std::ostream& out, const VaskReportSpec& spec) {
  out << "#Australia Post Visa Tray Label System - Ver:\n3v0-700\n#Label Plan File\n\n"
         "#Label Plan Header\n"
      << spec.LabelPlanName << ',' << spec.LabelCustomerName << ',' << spec.CustomerPhone << ','
      << NumberToLabelState(spec.LabelState) << ',' << spec.LabelJobNumber << "\n\n"
      << "#Label Details\n#Service,Sort_Plan_Type,Sort_Plan,Mail_Size,Label_Qty,Date\n";
}

// The Date field stays empty.
void WriteDetail(std::ostream& out, const VaskReportSpec& spec, int type, const char* sortPlan,
                 uint64_t trays) {
  out << spec.Service << ',' << type << ',' << sortPlan << ',' << spec.MailSize << ','
      << FormatCount(trays) << ",\n";
}

void WriteDirectLines(std::ostream& out, const ManifestInfo& info, const VaskReportSpec& spec) {
  for (int bsp = 1; bsp <= BSP_COUNT; ++bsp) {
    if (!info.BspLine[bsp]) continue;
    char sortPlan[8];
    if (spec.Prefix)
      snprintf(sortPlan, sizeof sortPlan, "%c%02d", spec.Prefix, bsp);
    else
      snprintf(sortPlan, sizeof sortPlan, "%03d", bsp);
    WriteDetail(out, spec, PLAN_DIRECT, sortPlan, info.BspLine[bsp].Trays);
  }
}

// Grouped by state number, not by label code: NT first, ACT last.
void WriteResidueLines(std::ostream& out, const ManifestInfo& info, const VaskReportSpec& spec) {
  for (int state = 0; state < STATE_COUNT; ++state) {
    const TotalLine& t = info.StateTotal[state];
    char code[8];
    snprintf(code, sizeof code, "%d", NumberToLabelState(state));
    if (t.BarcodedResidue.Trays)
      WriteDetail(out, spec, PLAN_BARCODED_RESIDUE, code, t.BarcodedResidue.Trays);
    if (t.UnbarcodedResidue.Trays)
      WriteDetail(out, spec, PLAN_UNBARCODED_RESIDUE, code, t.UnbarcodedResidue.Trays);
  }
}

}  // namespace

int WriteLabelPlanFile(const char* directory, const ManifestInfo& info, const VaskReportSpec& spec,
                       char* message) {
  ClearMessage(message);
  const std::string path = ReportPath(directory, "LabelPlanFile", ".lpf");
  std::ofstream out;
  if (int rc = OpenReport(out, path, message)) return rc;
  WriteHeader(out, spec);
  WriteDirectLines(out, info, spec);
  WriteResidueLines(out, info, spec);
  out << "#End Of File\n";
  return CloseReport(out, path, message);
}
