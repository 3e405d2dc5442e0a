#ifndef VASKREPORT_VERIFY_DOCUMENTS_H
#define VASKREPORT_VERIFY_DOCUMENTS_H

#include <string>

#include "verify/Lodgement.h"
#include "verify/Page.h"

class VaskReportSpec;

namespace verify {

// What each document should say, from the recount and the specification,
// printed the way its writer prints it.
struct ManifestPages {
  Page Text;
  Page Html;
  Page Csv;
};
struct TextAndHtml {
  Page Text;
  Page Html;
};

ManifestPages ExpectedManifest(const VaskReportSpec& spec, const Lodgement& lodgement);
TextAndHtml ExpectedLodgementInfo(const Lodgement& lodgement);
Page ExpectedLabelPlan(const VaskReportSpec& spec, const Lodgement& lodgement);
// Without a date in the specification the run prints its own: the text
// page takes any, the HTML page the one the text has (textDate), or any when
// textDate is null.
Page ExpectedMatchingSummaryText(const VaskReportSpec& spec, const Recount& recount);
Page ExpectedMatchingSummaryHtml(const VaskReportSpec& spec, const Recount& recount,
                                 const std::string* textDate);

// The name the date processed has among a page's values.
extern const char* const PROCESS_DATE;

}  // namespace verify

#endif
