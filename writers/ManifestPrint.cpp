#include <iomanip>
#include <ostream>

#include "engine/Tallies.h"
#include "spec/VaskReportSpec.h"
#include "writers/NumberFormat.h"
#include "writers/Writers.h"

namespace {

const int kLabelWidth = 25;
const int kFigureWidth = 15;

struct CellPieces {
  const char* Open;
  const char* Close;
};

// Indexed by red * 2 + emphasis; the red font is ended by the cell's closing tag.
const CellPieces s_CellPieces[4] = {
    {" <td>", "</td>\n"},
    {" <td bgcolor=#b2b2b2><b>", "</b></td>\n"},
    {" <td><font color=#ff0000>", "</td>\n"},
    {" <td bgcolor=#b2b2b2><font color=#ff0000><b>", "</b></td>\n"},
};

bool HasWeightColumn(const VaskReportSpec& spec) { return spec.WeightOfLetter != 0.0; }

void PrintLabel(std::ostream& out, const char* label, bool leftAlign) {
  out << (leftAlign ? std::left : std::right) << std::setw(kLabelWidth) << label;
}

template <typename T>
void PrintFigure(std::ostream& out, const T& value) {
  out << std::right << std::setw(kFigureWidth) << value;
}

void PrintCell(std::ostream& out, const CellPieces& pieces, const char* text) {
  out << pieces.Open << text << pieces.Close;
}

}  // namespace

void PrintTextHeading(std::ostream& out, const VaskReportSpec& spec, const char* label,
                      bool leftAlign) {
  PrintLabel(out, label, leftAlign);
  PrintFigure(out, "Volume");
  PrintFigure(out, "Trays");
  if (HasWeightColumn(spec)) PrintFigure(out, "Weight");
  out << '\n';
}

void PrintTextRule(std::ostream& out, const VaskReportSpec& spec, bool labelRule) {
  PrintLabel(out, labelRule ? "----------------" : "", false);
  PrintFigure(out, "------");
  PrintFigure(out, "-----");
  if (HasWeightColumn(spec)) PrintFigure(out, "------");
  out << '\n';
}

void PrintHtmlRow(std::ostream& out, const VaskReportSpec& spec, const char* cell1,
                  const char* cell2, const char* cell3, const char* cell4, bool red,
                  bool emphasis) {
  const CellPieces& pieces = s_CellPieces[(red ? 2 : 0) + (emphasis ? 1 : 0)];
  out << "<tr>\n";
  PrintCell(out, pieces, cell1);
  PrintCell(out, pieces, cell2);
  PrintCell(out, pieces, cell3);
  if (HasWeightColumn(spec)) PrintCell(out, pieces, cell4);
  out << "</tr>\n";
}

void DetailLine::PrintText(const char* label, std::ostream& out, bool leftAlign) const {
  PrintLabel(out, label, leftAlign);
  PrintFigure(out, Volume);
  PrintFigure(out, Trays);
  if (Weight != 0.0) {
    out << std::fixed << std::setprecision(2);
    PrintFigure(out, Weight);
  }
  out << '\n';
}

void DetailLine::PrintHtml(std::ostream& out, const VaskReportSpec& spec, const char* label,
                           bool red, bool emphasis) const {
  PrintHtmlRow(out, spec, label, FormatCount(Volume).c_str(), FormatCount(Trays).c_str(),
               FormatFixed(Weight, 2).c_str(), red, emphasis);
}

void DetailLine::PrintCsv(std::ostream& out, const char* level, int state, int bsp) const {
  out << level << ',';
  if (state >= 0) out << NumberToState(state);
  out << ',';
  if (bsp >= 0) out << bsp;
  out << ',' << FormatCount(Volume) << ',' << FormatCount(Trays) << ',';
  if (Weight != 0.0) out << FormatGeneral(Weight);
  out << '\n';
}

void TotalLine::PrintText(std::ostream& out, const VaskReportSpec& spec, const char* title) const {
  PrintTextHeading(out, spec, title, true);
  PrintTextRule(out, spec, false);
  Direct.PrintText("Direct Trays", out, true);
  BarcodedResidue.PrintText("Residue Trays", out, true);
  if (UnbarcodedResidue) {
    PrintTextRule(out, spec, false);
    Barcoded.PrintText("Sub-total", out, true);
    UnbarcodedResidue.PrintText("Unbarcoded", out, true);
  }
  PrintTextRule(out, spec, false);
  Total.PrintText("Total", out, true);
}

void TotalLine::PrintHtml(std::ostream& out, const VaskReportSpec& spec, const char* title,
                          bool emphasiseTotal) const {
  PrintHtmlRow(out, spec, title, "", "", "", false, false);
  PrintHtmlRow(out, spec, "", "<b>Volume</b>", "<b>Trays</b>", "<b>Weight</b>", false, false);
  Direct.PrintHtml(out, spec, "Direct Trays", false, false);
  BarcodedResidue.PrintHtml(out, spec, "Residue Trays", false, false);
  if (UnbarcodedResidue) {
    Barcoded.PrintHtml(out, spec, "Total barcoded", false, false);
    UnbarcodedResidue.PrintHtml(out, spec, "Unbarcoded", false, false);
  }
  Total.PrintHtml(out, spec, "Total", true, emphasiseTotal);
}
