#include <cstdio>
#include <fstream>

#include "engine/Tallies.h"
#include "spec/VaskReportSpec.h"
#include "writers/HtmlEscape.h"
#include "writers/ReportFile.h"
#include "writers/Writers.h"

namespace {

const char* const kDashes80 =
    "--------------------------------------------------------------------------------\n";

// The three forms of the report, written side by side.
struct ManifestFiles {
  std::ofstream Text;
  std::ofstream Html;
  std::ofstream Csv;
};

void WriteHeadings(ManifestFiles& f, const VaskReportSpec& spec) {
  f.Text << "Manifest Report\n===============\n\n"
         << "Customer Name : " << spec.CustomerName << "\n"
         << "Job Number    : " << spec.JobNumber << "\n"
         << kDashes80;
  f.Html << "<html>\n<head>\n <title>Manifest Report</title>\n</head>\n\n<body>\n"
            "<h2>Manifest Report</h2>\n\n"
         << "<table>\n<tr>\n <td>Customer Name </td>\n <td> : " << EscapeHtml(spec.CustomerName)
         << "</td>\n</tr>\n<tr>\n <td>Job Number </td>\n <td> : " << EscapeHtml(spec.JobNumber)
         << "</td>\n</tr>\n</table>\n\n"
         << "<table>\n";
  f.Csv << "Sort Level,State,BSP,Volume,Trays,Weight\n";
}

void WriteDirectTrays(ManifestFiles& f, const ManifestInfo& info, const VaskReportSpec& spec,
                      int state) {
  const TotalLine& t = info.StateTotal[state];
  f.Text << "Sort Level: Direct Trays\n";
  PrintTextHeading(f.Text, spec, "Sort Plan Number", false);
  PrintTextRule(f.Text, spec, true);
  PrintHtmlRow(f.Html, spec, "<b>Sort Level:</b>", "<b>Direct Trays<b>", "", "", false, false);
  PrintHtmlRow(f.Html, spec, "<b>Sort Plan Number</b>", "<b>Volume</b>", "<b>Trays</b>",
               "<b>Weight</b>", false, false);
  for (int bsp = 1; bsp <= BSP_COUNT; ++bsp) {
    const DetailLine& line = info.BspLine[bsp];
    if (s_BspState[bsp] != state || !line) continue;
    char label[16];
    snprintf(label, sizeof label, "%d", bsp);
    line.PrintText(label, f.Text, false);
    line.PrintHtml(f.Html, spec, label, false, false);
    line.PrintCsv(f.Csv, "BDT", state, bsp);
  }
  if (t.BarcodedResidue) {
    PrintTextRule(f.Text, spec, true);
    t.Direct.PrintText("Sub-total", f.Text, false);
    t.Direct.PrintHtml(f.Html, spec, "Sub-total", true, false);
  }
}

struct ResidueLevel {
  const char* TextTitle;
  const char* HtmlTitle;
  const char* CsvLevel;
};

const ResidueLevel s_BarcodedResidue = {"Sort Level: Barcoded - Residue Trays",
                                        "<b>Residue Trays</b>", "BR"};
const ResidueLevel s_UnbarcodedResidue = {"Sort Level: Unbarcoded - Residue Trays",
                                          "<b>Unbarcoded</b>", "UR"};

void WriteResidue(ManifestFiles& f, const VaskReportSpec& spec, const ResidueLevel& level,
                  const DetailLine& line, int state, bool& headingWritten) {
  f.Text << level.TextTitle << "\n";
  PrintHtmlRow(f.Html, spec, "<b>Sort Level:</b>", level.HtmlTitle, "", "", false, false);
  if (!headingWritten) {
    PrintTextHeading(f.Text, spec, "", false);
    PrintTextRule(f.Text, spec, false);
    PrintHtmlRow(f.Html, spec, "", "<b>Volume</b>", "<b>Trays</b>", "<b>Weight</b>", false, false);
    headingWritten = true;
  }
  line.PrintText("", f.Text, false);
  line.PrintHtml(f.Html, spec, "", false, false);
  line.PrintCsv(f.Csv, level.CsvLevel, state, -1);
}

void WriteStateSummary(ManifestFiles& f, const VaskReportSpec& spec, const TotalLine& t,
                       const char* code) {
  PrintTextRule(f.Text, spec, false);
  f.Text << "Summary " << code << "\n";
  t.Barcoded.PrintText("Barcoded", f.Text, true);
  t.UnbarcodedResidue.PrintText("Unbarcoded", f.Text, true);
  PrintHtmlRow(f.Html, spec, "<b>Summary</b>", "", "", "", false, false);
  t.Barcoded.PrintHtml(f.Html, spec, "Barcoded", false, false);
  t.UnbarcodedResidue.PrintHtml(f.Html, spec, "Unbarcoded", false, false);
}

void WriteStateTotal(ManifestFiles& f, const VaskReportSpec& spec, const TotalLine& t,
                     const char* code) {
  char label[32];
  snprintf(label, sizeof label, "Total - %s", code);
  PrintTextRule(f.Text, spec, false);
  t.Total.PrintText(label, f.Text, true);
  f.Text << kDashes80;
  t.Total.PrintHtml(f.Html, spec, label, true, true);
  PrintHtmlRow(f.Html, spec, "&nbsp;", "", "", "", false, false);
}

void WriteState(ManifestFiles& f, const ManifestInfo& info, const VaskReportSpec& spec, int state) {
  const TotalLine& t = info.StateTotal[state];
  const char* code = s_States[state];
  bool headingWritten = false;
  f.Text << "State: " << code << "\n";
  PrintHtmlRow(f.Html, spec, "State:", code, "&nbsp;", "&nbsp;", false, true);
  if (t.Direct) {
    WriteDirectTrays(f, info, spec, state);
    headingWritten = true;
  }
  if (t.BarcodedResidue)
    WriteResidue(f, spec, s_BarcodedResidue, t.BarcodedResidue, state, headingWritten);
  if (t.UnbarcodedResidue)
    WriteResidue(f, spec, s_UnbarcodedResidue, t.UnbarcodedResidue, state, headingWritten);
  if (t.UnbarcodedResidue && t.Barcoded) WriteStateSummary(f, spec, t, code);
  WriteStateTotal(f, spec, t, code);
}

void WriteMailingSummary(ManifestFiles& f, const ManifestInfo& info, const VaskReportSpec& spec) {
  f.Text << "Summary - All States\n";
  info.SameState.PrintText(f.Text, spec, "Same State");
  f.Text << "\n";
  info.OtherStates.PrintText(f.Text, spec, "Other States");
  f.Text << kDashes80;
  info.MailingTotal.PrintText(f.Text, spec, "Mailing Total");
  f.Text << kDashes80;
  PrintHtmlRow(f.Html, spec, "Summary -", "All States", "&nbsp;", "&nbsp;", false, true);
  info.SameState.PrintHtml(f.Html, spec, "<b>Same State</b>", false);
  info.OtherStates.PrintHtml(f.Html, spec, "<b>Other States</b>", false);
  info.MailingTotal.PrintHtml(f.Html, spec, "<b>Mailing Total</b>", true);
  f.Html << "</table>\n</body>\n</html>\n";
}

}  // namespace

int WriteManifestReport(const char* directory, const ManifestInfo& info, const VaskReportSpec& spec,
                        char* message) {
  ClearMessage(message);
  const std::string textPath = ReportPath(directory, "ManifestReport", ".txt");
  const std::string htmlPath = ReportPath(directory, "ManifestReport", ".htm");
  const std::string csvPath = ReportPath(directory, "ManifestReport", ".csv");
  ManifestFiles f;
  if (int rc = OpenReport(f.Text, textPath, message)) return rc;
  if (int rc = OpenReport(f.Html, htmlPath, message)) return rc;
  if (int rc = OpenReport(f.Csv, csvPath, message)) return rc;
  WriteHeadings(f, spec);
  for (int state = 0; state < STATE_COUNT; ++state)
    if (info.StateTotal[state].Total) WriteState(f, info, spec, state);
  WriteMailingSummary(f, info, spec);
  if (int rc = CloseReport(f.Text, textPath, message)) return rc;
  if (int rc = CloseReport(f.Html, htmlPath, message)) return rc;
  return CloseReport(f.Csv, csvPath, message);
}
