#include "verify/Documents.h"

#include <cstdio>

#include "spec/VaskReportSpec.h"

namespace verify {

const char* const PROCESS_DATE = "ProcessDate";

namespace {

struct LodgementLabel {
  const char* Text;  // with its padding to the label column
  const char* Html;
};
const LodgementLabel kLodgementRows[LEVEL_COUNT + 1] = {
    {"Barcode Direct  ", "<b>Barcode Direct</b>"},
    {"Barcode Residue ", "<b>Barcode Residue</b>"},
    {"Unbarcoded      ", "<b>Unbarcoded</b>"},
    {"Total           ", "<b>Total</b>"},
};

// The row's share of the mailing, the division first; the total row is 100.
double Share(const Lodgement& lodgement, int row) {
  if (row == LEVEL_COUNT) return 100.0;
  const uint64_t total = lodgement.Mailing.Total.Volume;
  if (total == 0) return 0.0;
  return static_cast<double>(LodgementRow(lodgement.Mailing, row).Volume) /
         static_cast<double>(total) * 100.0;
}

void LabelDetail(Page& page, const VaskReportSpec& spec, const std::string& type,
                 const std::string& planName, const std::string& plan, const std::string& name,
                 uint64_t trays) {
  page.Setting("Service", spec.Service) << "," + type + ",";
  if (planName.empty())
    page << plan + ",";
  else
    page.Figure(planName, plan) << ",";
  page.Setting("MailSize", spec.MailSize) << ",";
  page.Figure(name + " trays", Decimal(trays)) << ",\n";
}

struct SummaryRow {
  const char* Text;  // with its padding to the colon
  const char* HtmlOpening;
  const char* Name;
  uint64_t Recount::*Count;
  bool Optional;  // left out when its count is 0
};
const SummaryRow kSummaryRows[] = {
    {"Records Matched & DPID Appended         : ",
     "  <td>Records Matched &amp; DPID Appended</td>\n  <td width=10>:</td>\n  <td align=right>",
     "matched", &Recount::Matched, false},
    {"Records Amended & DPID Appended         : ",
     " <tr>\n  <td>Records Amended &amp; DPID Appended</td>\n  <td>:</td>\n  <td align=right>",
     "amended", &Recount::Amended, false},
    {"Records Pre-Cleaned & DPID Appended     : ",
     " <tr>\n  <td>Records Pre-Cleaned &amp; DPID Appended</td>\n  <td>:</td>\n  <td align=right>",
     "pre-cleaned", &Recount::PreCleaned, true},
    {"Records Manually Amended & DPID Appended: ",
     " <tr>\n  <td>Records Manually Amended &amp; DPID Appended</td>\n  <td>:</td>\n"
     "  <td align=right>",
     "manually amended", &Recount::ManuallyAmended, true},
    {"Records Not Matched - No DPIDs          : ",
     " <tr>\n  <td>Records Not Matched - No DPIDs</td>\n  <td>:</td>\n  <td align=right>",
     "not matched", &Recount::NotMatched, false},
};
const int kSummaryWidth = 12;
const char* const kTotalName = "records read";

std::string SummaryShare(const Recount& recount, const SummaryRow& row) {
  return Fixed(100.0 * static_cast<double>(recount.*row.Count) / static_cast<double>(recount.Read),
               1);
}

bool Shown(const Recount& recount, const SummaryRow& row) {
  return !row.Optional || recount.*row.Count != 0;
}

// A setting as a page prints it: HTML pages escape it.
Page& Setting(Page& page, bool html, const char* name, const char* value) {
  return page.Setting(name, html ? Escaped(value) : std::string(value));
}

// The date processed; textDate only for the HTML page.
Page& Date(Page& page, const VaskReportSpec& spec, bool html, const std::string* textDate) {
  if (spec.ProcessDate[0]) return Setting(page, html, PROCESS_DATE, spec.ProcessDate);
  if (html && textDate)
    return page.Text(PROCESS_DATE, Escaped(*textDate), "AddressMatchingSummaryReport.txt");
  return page.Text(PROCESS_DATE, "<the date of the run>", nullptr);
}

}  // namespace

TextAndHtml ExpectedLodgementInfo(const Lodgement& lodgement) {
  TextAndHtml pages;
  Page& text = pages.Text;
  text << std::string(16, ' ') + Padded("Number of Letters       ", 35) + Padded("% Mix", 9) +
              Padded("Trays", 9) + "\n";
  text << std::string(16, ' ') + Padded("Same State", 11) + Padded("Other States", 14) +
              Padded("Total", 10) + std::string(18, ' ') + "\n";
  Page& html = pages.Html;
  html << "<html>\n<head>\n <title>PreSort Barcoded Lodgement Information</title>\n</head>\n"
          "<body>\n<table BORDER=2 CELLPADDING=5>\n<tr>\n <td></td>\n"
          " <td COLSPAN=3 ALIGN=CENTER><b>Number of Letters</b></td>\n"
          " <td ROWSPAN=2><b>% Mix</b></td>\n <td ROWSPAN=2><b>Trays</b></td>\n</tr>\n"
          "<tr>\n <td></td>\n <td><b>Same State</b></td>\n <td><b>Other State</b></td>\n"
          " <td><b>Total</b></td>\n</tr>\n";
  for (int row = 0; row <= LEVEL_COUNT; ++row) {
    struct {
      const char* What;
      std::string Text;
      std::string Html;
      int Width;
    } const cells[] = {
        {"same state volume", Decimal(LodgementRow(lodgement.Same, row).Volume), "", 11},
        {"other states volume", Decimal(LodgementRow(lodgement.Other, row).Volume), "", 14},
        {"total volume", Decimal(LodgementRow(lodgement.Mailing, row).Volume), "", 10},
        {"mix", Fixed(Share(lodgement, row), 0), Fixed(Share(lodgement, row), 1), 9},
        {"trays", Decimal(LodgementRow(lodgement.Mailing, row).Trays), "", 9},
    };
    text << kLodgementRows[row].Text;
    html << "<tr ALIGN=RIGHT>\n <td>" + std::string(kLodgementRows[row].Html) + "</td>\n";
    for (const auto& cell : cells) {
      const std::string name = LodgementKey(row, cell.What);
      text.Figure(name, cell.Text, cell.Width);
      html << " <td>";
      html.Figure(name, cell.Html.empty() ? cell.Text : cell.Html) << "</td>\n";
    }
    text << "\n";
    html << "</tr>\n";
  }
  html << "</table>\n</body>\n</html>\n";
  return pages;
}

Page ExpectedLabelPlan(const VaskReportSpec& spec, const Lodgement& lodgement) {
  Page page;
  page << "#Australia Post Visa Tray Label System - Ver:\n3v0-700\n#Label Plan File\n\n"
          "#Label Plan Header\n";
  page.Setting("LabelPlanName", spec.LabelPlanName) << ",";
  page.Setting("[LabelPlanFile] CustomerName", spec.LabelCustomerName) << ",";
  page.Setting("CustomerPhone", spec.CustomerPhone) << ",";
  page.Setting("[LabelPlanFile] State", Decimal(LabelCode(spec.LabelState))) << ",";
  page.Setting("[LabelPlanFile] JobNumber", spec.LabelJobNumber)
      << "\n\n#Label Details\n#Service,Sort_Plan_Type,Sort_Plan,Mail_Size,Label_Qty,Date\n";
  for (int bsp = 1; bsp <= RECOUNT_BSPS; ++bsp) {
    if (!lodgement.Bsp[bsp].Volume) continue;
    char plan[8];
    if (spec.Prefix)
      std::snprintf(plan, sizeof plan, "%c%02d", spec.Prefix, bsp);
    else
      std::snprintf(plan, sizeof plan, "%03d", bsp);
    LabelDetail(page, spec, "1", BspName(bsp) + " sort plan", plan, BspName(bsp),
                lodgement.Bsp[bsp].Trays);
  }
  // By state number: NT first, ACT last.
  for (int state = 0; state < RECOUNT_STATES; ++state)
    for (int level : {LEVEL_BR, LEVEL_UR}) {
      const uint64_t trays = lodgement.State[state].Level[level].Trays;
      if (!trays) continue;
      LabelDetail(page, spec, level == LEVEL_BR ? "2" : "5", "", Decimal(LabelCode(state)),
                  std::string(LEVEL_NAMES[level]) + " " + StateName(state), trays);
    }
  page << "#End Of File\n";
  return page;
}

Page ExpectedMatchingSummaryText(const VaskReportSpec& spec, const Recount& recount) {
  Page page;
  page << "Address Matching Processing Summary Report\n"
          "==========================================\n\n"
          "AMAS Software Details\n---------------------\n"
          "Company Name         : Zelnor Solutions Pty Ltd\nSoftware Name        : ";
  page.Setting("SoftwareName", spec.SoftwareName) << "\nSoftware Verion      : ";
  page.Setting("SoftwareVersion", spec.SoftwareVersion) << "\nDate Certified       : ";
  page.Setting("CertifiedDate", spec.CertifiedDate)
      << "\n\nDatabase/List Owners Details\n----------------------------\n"
         "List Processor's Name: ";
  page.Setting("ListProcessor", spec.ListProcessor) << "\nDate Processed       : ";
  Date(page, spec, false, nullptr) << "\nPAF Version          : ";
  page.Setting("PafVersion", spec.PafVersion) << "\nName of Address List : ";
  page.Setting("ListName", spec.ListName) << "\n\nProcessing Results\n------------------\n";
  if (recount.Read == 0) {
    page << "Zero Records\n\n";
  } else {
    for (const SummaryRow& row : kSummaryRows) {
      if (!Shown(recount, row)) continue;
      page << row.Text;
      page.Figure(row.Name, Decimal(recount.*row.Count), kSummaryWidth);
      page.Figure(std::string(row.Name) + " share", "(" + SummaryShare(recount, row) + "%)",
                  kSummaryWidth)
          << "\n";
    }
    page << "Total Records                           : ";
    page.Figure(kTotalName, Decimal(recount.Read), kSummaryWidth)
        << Padded("(100.0%)", kSummaryWidth) + "\n\n";
  }
  page << "Signature of Compliance\n-----------------------\n"
          "I certify that this information is true accurate -\n"
          "Name of List Manager/Owner      : ";
  page.Setting("ListOwner", spec.ListOwner) << "\nSignature of List Manager/Owner : \n"
                                               "Address                         : \n"
                                               "Phone Number                    : \n"
                                               "Date                            : \n";
  return page;
}

Page ExpectedMatchingSummaryHtml(const VaskReportSpec& spec, const Recount& recount,
                                 const std::string* textDate) {
  Page page;
  page << "<html>\n<head>\n <title>Address Matching Processing Summary Report</title>\n</head>\n\n"
          "<body>\n<h2>Address Matching Processing Summary Report</h2>\n"
          "<h3>AMAS Software Details</h3>\n<table>\n"
          " <tr>\n  <td>Company Name</td>\n  <td>:</td>\n  <td>Zelnor Solutions Pty Ltd</td>\n"
          " </tr>\n <tr>\n  <td>Software Name</td>\n  <td>:</td>\n  <td>";
  Setting(page, true, "SoftwareName", spec.SoftwareName)
      << "  </td>\n </tr>\n <tr>\n  <td>Software Version</td>\n  <td>:</td>\n  <td>";
  Setting(page, true, "SoftwareVersion", spec.SoftwareVersion)
      << "  </td>\n </tr>\n <tr>\n  <td>Date Certified</td>  <td>:</td>\n  <td>";
  Setting(page, true, "CertifiedDate", spec.CertifiedDate)
      << "  </td>\n </tr>\n</table>\n\n<h3>Database/List Owner Details</h3>\n<table>\n <tr>\n"
         "  <td>List Processor's Name</td>\n  <td>:</td>\n  <td>";
  Setting(page, true, "ListProcessor", spec.ListProcessor)
      << "</td>\n </tr>\n <tr>\n  <td>Date Processed</td>\n  <td>:</td>\n  <td>";
  Date(page, spec, true, textDate)
      << "</td>\n </tr>\n <tr>\n  <td>PAF Version</td>\n  <td>:</td>\n  <td>";
  Setting(page, true, "PafVersion", spec.PafVersion)
      << "</td>\n </tr>\n <tr>\n  <td>Name of Address List</td>\n  <td>:</td>\n  <td>";
  Setting(page, true, "ListName", spec.ListName)
      << "</td>\n </tr>\n</table>\n\n<h3>Processing Results</h3>\n";
  if (recount.Read == 0) {
    page << "Zero Records\n";
  } else {
    page << "<table>\n <tr>\n";
    for (const SummaryRow& row : kSummaryRows) {
      if (!Shown(recount, row)) continue;
      page << row.HtmlOpening;
      page.Figure(row.Name, Decimal(recount.*row.Count))
          << "</td>\n  <td width=10></td>\n  <td align=right>(";
      page.Figure(std::string(row.Name) + " share", SummaryShare(recount, row)) << "%)</td>\n </tr>\n";
    }
    page << " <tr>\n  <td>Total Records</td>\n  <td>:</td>\n  <td align=right>";
    page.Figure(kTotalName, Decimal(recount.Read))
        << "</td>\n  <td width=10></td>\n  <td align=right>(100.0%)</td>\n </tr>\n</table>\n\n";
  }
  page << "<h3>Signature of Compliance</h3>\nI certify that this information is true and accurate -\n"
          "<table>\n <tr>\n  <td>Name of List Owner/Manager</td>\n  <td>: ";
  Setting(page, true, "ListOwner", spec.ListOwner)
      << "</td>\n </tr>\n"
         " <tr>\n  <td>Signature of Name of List Owner/Manager</td>\n  <td>:</td>\n </tr>\n"
         " <tr>\n  <td>Address</td>\n  <td>:</td>\n </tr>\n"
         " <tr>\n  <td>Phone Number</td>\n  <td>:</td>\n </tr>\n"
         " <tr>\n  <td>Date</td>\n  <td>:</td>\n </tr>\n</table>\n\n</body>\n</html>\n";
  return page;
}

}  // namespace verify
