#include <initializer_list>

#include "spec/VaskReportSpec.h"
#include "verify/Documents.h"

namespace verify {

namespace {

const int kLabelWidth = 25;
const int kFigureWidth = 15;
const char* const kDashes80 =
    "--------------------------------------------------------------------------------\n";

struct CellPieces {
  const char* Open;
  const char* Close;
};

// By red * 2 + emphasis.
const CellPieces kCells[4] = {
    {" <td>", "</td>\n"},
    {" <td bgcolor=#b2b2b2><b>", "</b></td>\n"},
    {" <td><font color=#ff0000>", "</td>\n"},
    {" <td bgcolor=#b2b2b2><font color=#ff0000><b>", "</b></td>\n"},
};

struct ResidueLevel {
  int Level;
  const char* TextTitle;
  const char* HtmlTitle;
};
const ResidueLevel kBarcodedResidue = {LEVEL_BR, "Sort Level: Barcoded - Residue Trays",
                                       "<b>Residue Trays</b>"};
const ResidueLevel kUnbarcodedResidue = {LEVEL_UR, "Sort Level: Unbarcoded - Residue Trays",
                                         "<b>Unbarcoded</b>"};

// The three forms side by side, as the writer writes them. A line of figures
// is named by its level and group: "BR NSW", "Total same state".
class ManifestBuilder {
 public:
  ManifestBuilder(const VaskReportSpec& spec, const Lodgement& lodgement)
      : m_Spec(spec), m_Lodgement(lodgement), m_Weights(spec.WeightOfLetter != 0.0) {}

  ManifestPages Build() {
    m_Pages.Text << "Manifest Report\n===============\n\nCustomer Name : ";
    m_Pages.Text.Setting("CustomerName", m_Spec.CustomerName) << "\nJob Number    : ";
    m_Pages.Text.Setting("JobNumber", m_Spec.JobNumber) << "\n" << kDashes80;
    m_Pages.Html << "<html>\n<head>\n <title>Manifest Report</title>\n</head>\n\n<body>\n"
                    "<h2>Manifest Report</h2>\n\n<table>\n<tr>\n <td>Customer Name </td>\n <td> : ";
    m_Pages.Html.Setting("CustomerName", Escaped(m_Spec.CustomerName))
        << "</td>\n</tr>\n<tr>\n <td>Job Number </td>\n <td> : ";
    m_Pages.Html.Setting("JobNumber", Escaped(m_Spec.JobNumber)) << "</td>\n</tr>\n</table>\n\n<table>\n";
    m_Pages.Csv << "Sort Level,State,BSP,Volume,Trays,Weight\n";
    for (int state = 0; state < RECOUNT_STATES; ++state)
      if (m_Lodgement.State[state].Total.Volume) State(state);
    MailingSummary();
    return m_Pages;
  }

 private:
  void Heading(const std::string& label, bool left) {
    m_Pages.Text << Padded(label, kLabelWidth, left) + Padded("Volume", kFigureWidth) +
                        Padded("Trays", kFigureWidth) +
                        (m_Weights ? Padded("Weight", kFigureWidth) : "") + "\n";
  }

  void Rule(bool labelRule) {
    m_Pages.Text << Padded(labelRule ? "----------------" : "", kLabelWidth) +
                        Padded("------", kFigureWidth) + Padded("-----", kFigureWidth) +
                        (m_Weights ? Padded("------", kFigureWidth) : "") + "\n";
  }

  // A text line shows a weight only when the line has one.
  void TextFigures(const std::string& label, bool left, const std::string& name, const Count& c) {
    Page& text = m_Pages.Text;
    text << Padded(label, kLabelWidth, left);
    text.Figure(name + " volume", Decimal(c.Volume), kFigureWidth);
    text.Figure(name + " trays", Decimal(c.Trays), kFigureWidth);
    if (c.Weight != 0.0) text.Figure(name + " weight", Fixed(c.Weight, 2), kFigureWidth);
    text << "\n";
  }

  void HtmlRow(std::initializer_list<const char*> cells, bool red = false, bool emphasis = false) {
    const CellPieces& pieces = kCells[(red ? 2 : 0) + (emphasis ? 1 : 0)];
    m_Pages.Html << "<tr>\n";
    int cell = 0;
    for (const char* text : cells)
      if (++cell < 4 || m_Weights) m_Pages.Html << std::string(pieces.Open) + text + pieces.Close;
    m_Pages.Html << "</tr>\n";
  }

  // An HTML row has a weight cell whenever the report has a weight column.
  void HtmlFigures(const std::string& label, const std::string& name, const Count& c,
                   bool red = false, bool emphasis = false) {
    const CellPieces& pieces = kCells[(red ? 2 : 0) + (emphasis ? 1 : 0)];
    Page& html = m_Pages.Html;
    html << "<tr>\n" << pieces.Open + label + pieces.Close << pieces.Open;
    html.Figure(name + " volume", Decimal(c.Volume)) << pieces.Close << pieces.Open;
    html.Figure(name + " trays", Decimal(c.Trays)) << pieces.Close;
    if (m_Weights) {
      html << pieces.Open;
      html.Figure(name + " weight", Fixed(c.Weight, 2)) << pieces.Close;
    }
    html << "</tr>\n";
  }

  // The CSV weight is left empty when there is none.
  void CsvFigures(const char* level, int state, const std::string& bsp, const std::string& name,
                  const Count& c) {
    Page& csv = m_Pages.Csv;
    csv << std::string(level) + "," + StateName(state) + "," + bsp + ",";
    csv.Figure(name + " volume", Decimal(c.Volume)) << ",";
    csv.Figure(name + " trays", Decimal(c.Trays)) << ",";
    if (c.Weight != 0.0) csv.Figure(name + " weight", General(c.Weight));
    csv << "\n";
  }

  void Both(const std::string& label, bool left, const std::string& name, const Count& c) {
    TextFigures(label, left, name, c);
    HtmlFigures(label, name, c);
  }

  void Direct(int state) {
    const LevelCounts& t = m_Lodgement.State[state];
    m_Pages.Text << "Sort Level: Direct Trays\n";
    Heading("Sort Plan Number", false);
    Rule(true);
    HtmlRow({"<b>Sort Level:</b>", "<b>Direct Trays<b>", "", ""});
    HtmlRow({"<b>Sort Plan Number</b>", "<b>Volume</b>", "<b>Trays</b>", "<b>Weight</b>"});
    for (int bsp = 1; bsp <= RECOUNT_BSPS; ++bsp) {
      const Count& line = m_Lodgement.Bsp[bsp];
      if (BspState(bsp) != state || !line.Volume) continue;
      Both(std::to_string(bsp), false, BspName(bsp), line);
      CsvFigures("BDT", state, std::to_string(bsp), BspName(bsp), line);
    }
    if (!t.Level[LEVEL_BR].Volume) return;
    const std::string name = std::string("BDT ") + StateName(state);
    Rule(true);
    TextFigures("Sub-total", false, name, t.Level[LEVEL_BDT]);
    HtmlFigures("Sub-total", name, t.Level[LEVEL_BDT], true);
  }

  void Residue(const ResidueLevel& level, int state, bool& headingWritten) {
    const std::string name = std::string(LEVEL_NAMES[level.Level]) + " " + StateName(state);
    const Count& line = m_Lodgement.State[state].Level[level.Level];
    m_Pages.Text << std::string(level.TextTitle) + "\n";
    HtmlRow({"<b>Sort Level:</b>", level.HtmlTitle, "", ""});
    if (!headingWritten) {
      Heading("", false);
      Rule(false);
      HtmlRow({"", "<b>Volume</b>", "<b>Trays</b>", "<b>Weight</b>"});
      headingWritten = true;
    }
    Both("", false, name, line);
    CsvFigures(LEVEL_NAMES[level.Level], state, "", name, line);
  }

  void State(int state) {
    const LevelCounts& t = m_Lodgement.State[state];
    const std::string code = StateName(state);
    bool headingWritten = false;
    m_Pages.Text << "State: " + code + "\n";
    HtmlRow({"State:", code.c_str(), "&nbsp;", "&nbsp;"}, false, true);
    if (t.Level[LEVEL_BDT].Volume) {
      Direct(state);
      headingWritten = true;
    }
    if (t.Level[LEVEL_BR].Volume) Residue(kBarcodedResidue, state, headingWritten);
    if (t.Level[LEVEL_UR].Volume) Residue(kUnbarcodedResidue, state, headingWritten);
    if (t.Level[LEVEL_UR].Volume && t.Barcoded.Volume) {
      Rule(false);
      m_Pages.Text << "Summary " + code + "\n";
      TextFigures("Barcoded", true, "Barcoded " + code, t.Barcoded);
      TextFigures("Unbarcoded", true, "UR " + code, t.Level[LEVEL_UR]);
      HtmlRow({"<b>Summary</b>", "", "", ""});
      HtmlFigures("Barcoded", "Barcoded " + code, t.Barcoded);
      HtmlFigures("Unbarcoded", "UR " + code, t.Level[LEVEL_UR]);
    }
    const std::string label = "Total - " + code;
    Rule(false);
    TextFigures(label, true, "Total " + code, t.Total);
    m_Pages.Text << kDashes80;
    HtmlFigures(label, "Total " + code, t.Total, true, true);
    HtmlRow({"&nbsp;", "", "", ""});
  }

  void TextBlock(const LevelCounts& t, const char* title, const std::string& group) {
    Heading(title, true);
    Rule(false);
    TextFigures("Direct Trays", true, "BDT " + group, t.Level[LEVEL_BDT]);
    TextFigures("Residue Trays", true, "BR " + group, t.Level[LEVEL_BR]);
    if (t.Level[LEVEL_UR].Volume) {
      Rule(false);
      TextFigures("Sub-total", true, "Barcoded " + group, t.Barcoded);
      TextFigures("Unbarcoded", true, "UR " + group, t.Level[LEVEL_UR]);
    }
    Rule(false);
    TextFigures("Total", true, "Total " + group, t.Total);
  }

  void HtmlBlock(const LevelCounts& t, const char* title, const std::string& group,
                 bool emphasiseTotal) {
    HtmlRow({title, "", "", ""});
    HtmlRow({"", "<b>Volume</b>", "<b>Trays</b>", "<b>Weight</b>"});
    HtmlFigures("Direct Trays", "BDT " + group, t.Level[LEVEL_BDT]);
    HtmlFigures("Residue Trays", "BR " + group, t.Level[LEVEL_BR]);
    if (t.Level[LEVEL_UR].Volume) {
      HtmlFigures("Total barcoded", "Barcoded " + group, t.Barcoded);
      HtmlFigures("Unbarcoded", "UR " + group, t.Level[LEVEL_UR]);
    }
    HtmlFigures("Total", "Total " + group, t.Total, true, emphasiseTotal);
  }

  void MailingSummary() {
    m_Pages.Text << "Summary - All States\n";
    TextBlock(m_Lodgement.Same, "Same State", "same state");
    m_Pages.Text << "\n";
    TextBlock(m_Lodgement.Other, "Other States", "other states");
    m_Pages.Text << kDashes80;
    TextBlock(m_Lodgement.Mailing, "Mailing Total", "mailing");
    m_Pages.Text << kDashes80;
    HtmlRow({"Summary -", "All States", "&nbsp;", "&nbsp;"}, false, true);
    HtmlBlock(m_Lodgement.Same, "<b>Same State</b>", "same state", false);
    HtmlBlock(m_Lodgement.Other, "<b>Other States</b>", "other states", false);
    HtmlBlock(m_Lodgement.Mailing, "<b>Mailing Total</b>", "mailing", true);
    m_Pages.Html << "</table>\n</body>\n</html>\n";
  }

  const VaskReportSpec& m_Spec;
  const Lodgement& m_Lodgement;
  const bool m_Weights;  // the report has a weight column
  ManifestPages m_Pages;
};

}  // namespace

ManifestPages ExpectedManifest(const VaskReportSpec& spec, const Lodgement& lodgement) {
  return ManifestBuilder(spec, lodgement).Build();
}

}  // namespace verify
