#include <fstream>
#include <iomanip>

#include "engine/Tallies.h"
#include "writers/NumberFormat.h"
#include "writers/ReportFile.h"
#include "writers/Writers.h"

namespace {

struct LodgementRow {
  const char* TextLabel;  // padded to the label column
  const char* HtmlLabel;
  DetailLine TotalLine::*Level;
};

const LodgementRow s_Rows[] = {
    {"Barcode Direct  ", "<b>Barcode Direct</b>", &TotalLine::Direct},
    {"Barcode Residue ", "<b>Barcode Residue</b>", &TotalLine::BarcodedResidue},
    {"Unbarcoded      ", "<b>Unbarcoded</b>", &TotalLine::UnbarcodedResidue},
    {"Total           ", "<b>Total</b>", &TotalLine::Total},
};
const int kRowCount = sizeof s_Rows / sizeof s_Rows[0];

// Share of the mailing in per cent; the Total row is always 100.
double Share(const ManifestInfo& info, const LodgementRow& row) {
  if (row.Level == &TotalLine::Total) return 100.0;
  const uint64_t total = info.MailingTotal.Total.Volume;
  if (total == 0) return 0.0;
  return static_cast<double>((info.MailingTotal.*row.Level).Volume) / static_cast<double>(total) *
         100.0;
}

void WriteText(std::ostream& out, const ManifestInfo& info, const double* shares) {
  out << "                " << std::setw(35) << "Number of Letters       " << std::setw(9)
      << "% Mix" << std::setw(9) << "Trays"
      << "\n";
  out << "                " << std::setw(11) << "Same State" << std::setw(14) << "Other States"
      << std::setw(10) << "Total" << std::setw(9) << "" << std::setw(9) << ""
      << "\n";
  for (int i = 0; i < kRowCount; ++i) {
    const LodgementRow& row = s_Rows[i];
    out << row.TextLabel << std::setw(11) << (info.SameState.*row.Level).Volume << std::setw(14)
        << (info.OtherStates.*row.Level).Volume << std::setw(10)
        << (info.MailingTotal.*row.Level).Volume << std::setw(9) << FormatFixed(shares[i], 0)
        << std::setw(9) << (info.MailingTotal.*row.Level).Trays << "\n";
  }
}

void WriteHtmlCell(std::ostream& out, const std::string& value) {
  out << " <td>" << value << "</td>\n";
}

void WriteHtml(std::ostream& out, const ManifestInfo& info, const double* shares) {
  out << "<html>\n<head>\n <title>PreSort Barcoded Lodgement Information</title>\n</head>\n"
         "<body>\n"
         "<table BORDER=2 CELLPADDING=5>\n<tr>\n <td></td>\n"
         " <td COLSPAN=3 ALIGN=CENTER><b>Number of Letters</b></td>\n"
         " <td ROWSPAN=2><b>% Mix</b></td>\n <td ROWSPAN=2><b>Trays</b></td>\n</tr>\n"
         "<tr>\n <td></td>\n <td><b>Same State</b></td>\n <td><b>Other State</b></td>\n"
         " <td><b>Total</b></td>\n</tr>\n";
  for (int i = 0; i < kRowCount; ++i) {
    const LodgementRow& row = s_Rows[i];
    out << "<tr ALIGN=RIGHT>\n";
    WriteHtmlCell(out, row.HtmlLabel);
    WriteHtmlCell(out, FormatCount((info.SameState.*row.Level).Volume));
    WriteHtmlCell(out, FormatCount((info.OtherStates.*row.Level).Volume));
    WriteHtmlCell(out, FormatCount((info.MailingTotal.*row.Level).Volume));
    WriteHtmlCell(out, FormatFixed(shares[i], 1));
    WriteHtmlCell(out, FormatCount((info.MailingTotal.*row.Level).Trays));
    out << "</tr>\n";
  }
  out << "</table>\n</body>\n</html>\n";
}

}  // namespace

int WriteLodgementInfo(const char* directory, const ManifestInfo& info, char* message) {
  double shares[kRowCount];
  for (int i = 0; i < kRowCount; ++i) shares[i] = Share(info, s_Rows[i]);
  const std::string textPath = ReportPath(directory, "LodgementInfo", ".txt");
  const std::string htmlPath = ReportPath(directory, "LodgementInfo", ".htm");
  std::ofstream out;
  if (int rc = OpenReport(out, textPath, message)) return rc;
  WriteText(out, info, shares);
  if (int rc = CloseReport(out, textPath, message)) return rc;
  if (int rc = OpenReport(out, htmlPath, message)) return rc;
  WriteHtml(out, info, shares);
  return CloseReport(out, htmlPath, message);
}
