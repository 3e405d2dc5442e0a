#include <clocale>
#include <ctime>
#include <fstream>
#include <iomanip>
#include <string>

#include "spec/VaskReportSpec.h"
#include "writers/HtmlEscape.h"
#include "writers/NumberFormat.h"
#include "writers/ReportFile.h"
#include "writers/Writers.h"

namespace {

const char* const kCompanyName = "Zelnor Solutions Pty Ltd";
const int kResultWidth = 12;

struct Counts {
  unsigned long Matched, Amended, PreCleaned, ManuallyAmended, NotMatched, Total;
};

// A result line in both forms; an optional line is left out when its count is 0.
struct ResultRow {
  const char* TextLabel;
  const char* HtmlOpening;
  unsigned long Counts::*Count;
  bool Optional;
};

const ResultRow s_ResultRows[] = {
    {"Records Matched & DPID Appended         : ",
     "  <td>Records Matched &amp; DPID Appended</td>\n  <td width=10>:</td>\n  <td align=right>",
     &Counts::Matched, false},
    {"Records Amended & DPID Appended         : ",
     " <tr>\n  <td>Records Amended &amp; DPID Appended</td>\n  <td>:</td>\n  <td align=right>",
     &Counts::Amended, false},
    {"Records Pre-Cleaned & DPID Appended     : ",
     " <tr>\n  <td>Records Pre-Cleaned &amp; DPID Appended</td>\n  <td>:</td>\n  <td align=right>",
     &Counts::PreCleaned, true},
    {"Records Manually Amended & DPID Appended: ",
     " <tr>\n  <td>Records Manually Amended &amp; DPID Appended</td>\n  <td>:</td>\n"
     "  <td align=right>",
     &Counts::ManuallyAmended, true},
    {"Records Not Matched - No DPIDs          : ",
     " <tr>\n  <td>Records Not Matched - No DPIDs</td>\n  <td>:</td>\n  <td align=right>",
     &Counts::NotMatched, false},
};

bool Shown(const ResultRow& row, const Counts& c) { return !row.Optional || c.*row.Count != 0; }

std::string DateProcessed(const VaskReportSpec& spec) {
  if (spec.ProcessDate[0]) return spec.ProcessDate;
  setlocale(LC_TIME, "australian");
  time_t now = time(nullptr);
  tm local;
  char date[30] = "";
  if (localtime_r(&now, &local)) strftime(date, sizeof date, "%x", &local);
  return date;
}

std::string Share(unsigned long count, unsigned long total) {
  return FormatFixed(100.0 * static_cast<double>(count) / static_cast<double>(total), 1);
}

void WriteTextResults(std::ostream& out, const Counts& c) {
  if (c.Total == 0) {
    out << "Zero Records\n\n";
    return;
  }
  for (const ResultRow& row : s_ResultRows) {
    if (!Shown(row, c)) continue;
    out << row.TextLabel << std::setw(kResultWidth) << c.*row.Count << std::setw(kResultWidth)
        << "(" + Share(c.*row.Count, c.Total) + "%)"
        << "\n";
  }
  out << "Total Records                           : " << std::setw(kResultWidth) << c.Total
      << std::setw(kResultWidth) << "(100.0%)"
      << "\n\n";
}

void WriteText(std::ostream& out, const VaskReportSpec& spec, const std::string& date,
               const Counts& c) {
  out << "Address Matching Processing Summary Report\n"
         "==========================================\n\n"
         "AMAS Software Details\n---------------------\n"
         "Company Name         : "
      << kCompanyName << "\n"
      << "Software Name        : " << spec.SoftwareName << "\n"
      << "Software Verion      : " << spec.SoftwareVersion << "\n"
      << "Date Certified       : " << spec.CertifiedDate << "\n\n"
      << "Database/List Owners Details\n----------------------------\n"
         "List Processor's Name: "
      << spec.ListProcessor << "\n"
      << "Date Processed       : " << date << "\n"
      << "PAF Version          : " << spec.PafVersion << "\n"
      << "Name of Address List : " << spec.ListName << "\n\n"
      << "Processing Results\n------------------\n";
  WriteTextResults(out, c);
  out << "Signature of Compliance\n-----------------------\n"
         "I certify that this information is true accurate -\n"
         "Name of List Manager/Owner      : "
      << spec.ListOwner << "\n"
      << "Signature of List Manager/Owner : \n"
         "Address                         : \n"
         "Phone Number                    : \n"
         "Date                            : \n";
}

void WriteHtmlResults(std::ostream& out, const Counts& c) {
  if (c.Total == 0) {
    out << "Zero Records\n";
    return;
  }
  out << "<table>\n <tr>\n";
  for (const ResultRow& row : s_ResultRows) {
    if (!Shown(row, c)) continue;
    out << row.HtmlOpening << FormatCount(c.*row.Count)
        << "</td>\n  <td width=10></td>\n  <td align=right>(" << Share(c.*row.Count, c.Total)
        << "%)</td>\n </tr>\n";
  }
  out << " <tr>\n  <td>Total Records</td>\n  <td>:</td>\n  <td align=right>" << FormatCount(c.Total)
      << "</td>\n  <td width=10></td>\n  <td align=right>(100.0%)</td>\n </tr>\n</table>\n\n";
}

void WriteHtmlSoftware(std::ostream& out, const VaskReportSpec& spec) {
  out << "<h3>AMAS Software Details</h3>\n<table>\n"
         " <tr>\n  <td>Company Name</td>\n  <td>:</td>\n  <td>"
      << kCompanyName
      << "</td>\n </tr>\n"
         " <tr>\n  <td>Software Name</td>\n  <td>:</td>\n  <td>"
      << EscapeHtml(spec.SoftwareName)
      << "  </td>\n </tr>\n"
         " <tr>\n  <td>Software Version</td>\n  <td>:</td>\n  <td>"
      << EscapeHtml(spec.SoftwareVersion)
      << "  </td>\n </tr>\n"
         " <tr>\n  <td>Date Certified</td>  <td>:</td>\n  <td>"
      << EscapeHtml(spec.CertifiedDate) << "  </td>\n </tr>\n</table>\n\n";
}

void WriteHtmlList(std::ostream& out, const VaskReportSpec& spec, const std::string& date) {
  out << "<h3>Database/List Owner Details</h3>\n<table>\n <tr>\n"
         "  <td>List Processor's Name</td>\n  <td>:</td>\n  <td>"
      << EscapeHtml(spec.ListProcessor)
      << "</td>\n </tr>\n"
         " <tr>\n  <td>Date Processed</td>\n  <td>:</td>\n  <td>"
      << EscapeHtml(date.c_str())
      << "</td>\n </tr>\n"
         " <tr>\n  <td>PAF Version</td>\n  <td>:</td>\n  <td>"
      << EscapeHtml(spec.PafVersion)
      << "</td>\n </tr>\n"
         " <tr>\n  <td>Name of Address List</td>\n  <td>:</td>\n  <td>"
      << EscapeHtml(spec.ListName) << "</td>\n </tr>\n</table>\n\n";
}

void WriteHtmlSignature(std::ostream& out, const VaskReportSpec& spec) {
  out << "<h3>Signature of Compliance</h3>\nI certify that this information is true and accurate "
         "-\n"
         "<table>\n"
         " <tr>\n  <td>Name of List Owner/Manager</td>\n  <td>: "
      << EscapeHtml(spec.ListOwner)
      << "</td>\n </tr>\n"
         " <tr>\n  <td>Signature of Name of List Owner/Manager</td>\n  <td>:</td>\n </tr>\n"
         " <tr>\n  <td>Address</td>\n  <td>:</td>\n </tr>\n"
         " <tr>\n  <td>Phone Number</td>\n  <td>:</td>\n </tr>\n"
         " <tr>\n  <td>Date</td>\n  <td>:</td>\n </tr>\n</table>\n\n";
}

void WriteHtml(std::ostream& out, const VaskReportSpec& spec, const std::string& date,
               const Counts& c) {
  out << "<html>\n<head>\n <title>Address Matching Processing Summary Report</title>\n</head>\n\n"
         "<body>\n<h2>Address Matching Processing Summary Report</h2>\n";
  WriteHtmlSoftware(out, spec);
  WriteHtmlList(out, spec, date);
  out << "<h3>Processing Results</h3>\n";
  WriteHtmlResults(out, c);
  WriteHtmlSignature(out, spec);
  out << "</body>\n</html>\n";
}

}  // namespace

int WriteAddressMatchingSummaryReport(const char* directory, const VaskReportSpec& spec,
                                      unsigned long matched, unsigned long amended,
                                      unsigned long preCleaned, unsigned long manuallyAmended,
                                      unsigned long notMatched, unsigned long total,
                                      char* message) {
  ClearMessage(message);
  const Counts counts = {matched, amended, preCleaned, manuallyAmended, notMatched, total};
  const std::string date = DateProcessed(spec);
  const std::string textPath = ReportPath(directory, "AddressMatchingSummaryReport", ".txt");
  const std::string htmlPath = ReportPath(directory, "AddressMatchingSummaryReport", ".htm");
  std::ofstream out;
  if (int rc = OpenReport(out, textPath, message)) return rc;
  WriteText(out, spec, date, counts);
  if (int rc = CloseReport(out, textPath, message)) return rc;
  if (int rc = OpenReport(out, htmlPath, message)) return rc;
  WriteHtml(out, spec, date, counts);
  return CloseReport(out, htmlPath, message);
}
