#include "verify/Verify.h"

#include "spec/VaskReportSpec.h"
#include "verify/CheckLog.h"
#include "verify/Documents.h"
#include "verify/Lodgement.h"
#include "verify/Recount.h"
#include "verify/SplitFiles.h"

namespace {

using verify::CheckLog;

// The library's two-line messages on one line.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n') c = ' ';
  return text;
}

void CheckManifest(const std::string& directory, const verify::Lodgement& lodgement,
                   CheckLog& log, verify::Document& csv) {
  csv = verify::ReadManifestCsv(directory + "ManifestReport.csv");
  log.CompareDocument("ManifestReport.csv", csv, verify::ExpectedManifestCsv(lodgement), "recount");
  verify::Document info = verify::ReadLodgementInfo(directory + "LodgementInfo.txt");
  log.CompareDocument("LodgementInfo.txt", info, verify::ExpectedLodgementInfo(lodgement), "recount");
  if (!csv.Found || !info.Found) return;
  const verify::Figures totals = verify::CsvLevelTotals(csv.Values);
  log.Compare("LodgementInfo.txt vs ManifestReport.csv", verify::Subset(info.Values, totals), totals);
}

void CheckLabelPlan(const VaskReportSpec& spec, const std::string& directory,
                    const verify::Lodgement& lodgement, const verify::Document& csv,
                    CheckLog& log) {
  verify::Document plan = verify::ReadLabelPlan(directory + "LabelPlanFile.lpf", spec.Prefix);
  log.CompareDocument("LabelPlanFile.lpf", plan, verify::ExpectedLabelPlan(lodgement), "recount");
  if (plan.Found && csv.Found)
    log.Compare("LabelPlanFile.lpf vs ManifestReport.csv", plan.Values, verify::CsvTrays(csv.Values));
}

}  // namespace

int VerifyLodgement(const VaskReportSpec& spec, const std::string& outputDirectory,
                    std::ostream& out) {
  CheckLog log(out);
  Recount recount;
  std::string problem;
  if (RecountDataFile(spec, recount, problem)) {
    log.Diff("recount of the data file", problem, "a readable data file");
    return 1;
  }
  log.Ok("recount of " + std::string(spec.ExpandedPath) + ": " + std::to_string(recount.Read) +
         " records, " + std::to_string(recount.Invalid) + " lines the record reader rejects");
  const verify::Lodgement lodgement = verify::Tally(spec, recount);
  const std::string directory = verify::RunDirectory(spec, outputDirectory);
  if (spec.SortByBsp) verify::CheckResortedFile(spec, outputDirectory, lodgement, recount, log);
  if (spec.SortIntoBdt || spec.SortIntoStates) verify::CheckSplitFiles(spec, lodgement, recount, log);
  if (spec.MatchingReport)
    log.CompareDocument("AddressMatchingSummaryReport.txt",
                        verify::ReadMatchingSummary(directory + "AddressMatchingSummaryReport.txt"),
                        verify::ExpectedMatchingSummary(recount), "recount");
  verify::Document csv;
  if (spec.ManifestReport) CheckManifest(directory, lodgement, log, csv);
  if (spec.LabelPlanFile) CheckLabelPlan(spec, directory, lodgement, csv, log);
  return log.Failed() ? 1 : 0;
}

int VerifyCommand(const std::string& specPath, std::ostream& out) {
  VaskReportSpec spec;
  char message[256] = "";
  int rc = spec.Read(specPath.c_str(), message);
  if (!rc) rc = spec.Validate(message);
  if (rc) {
    CheckLog(out).Diff("specification " + specPath, OneLine(message), "a valid specification");
    return 1;
  }
  return VerifyLodgement(spec, "", out);
}

