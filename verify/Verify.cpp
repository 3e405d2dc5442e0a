#include "verify/Verify.h"

#include <sys/stat.h>

#include <vector>

#include "spec/VaskReportSpec.h"
#include "verify/CheckLog.h"
#include "verify/Documents.h"
#include "verify/Lodgement.h"
#include "verify/Recount.h"
#include "verify/SplitFiles.h"

namespace {

using verify::CheckLog;
using verify::CheckPage;
using verify::CountsOf;
using verify::Found;

// The library's two-line messages on one line.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n') c = ' ';
  return text;
}

std::vector<std::string> WantedDocuments(const VaskReportSpec& spec) {
  std::vector<std::string> names;
  if (spec.MatchingReport)
    names.insert(names.end(), {"AddressMatchingSummaryReport.txt", "AddressMatchingSummaryReport.htm"});
  if (spec.ManifestReport)
    names.insert(names.end(), {"ManifestReport.txt", "ManifestReport.htm", "ManifestReport.csv",
                               "LodgementInfo.txt", "LodgementInfo.htm"});
  if (spec.LabelPlanFile) names.push_back("LabelPlanFile.lpf");
  return names;
}

// Before a run there is nothing to compare: one line says so, not a
// difference for every document.
bool NothingRun(const VaskReportSpec& spec, const std::string& directory, std::ostream& out) {
  const std::vector<std::string> wanted = WantedDocuments(spec);
  if (wanted.empty()) return false;
  for (const std::string& name : wanted) {
    struct stat st;
    if (stat((directory + name).c_str(), &st) == 0) return false;
  }
  out << "No run to check: none of the " << wanted.size()
      << " documents the specification asks for is in "
      << (directory.empty() ? "the working directory" : directory) << "\n";
  return true;
}

void CheckMatchingSummary(const VaskReportSpec& spec, const std::string& directory,
                          const Recount& recount, CheckLog& log) {
  Found text;
  CheckPage("AddressMatchingSummaryReport.txt", directory + "AddressMatchingSummaryReport.txt",
            verify::ExpectedMatchingSummaryText(spec, recount), log, &text);
  const auto date = text.find(verify::PROCESS_DATE);
  CheckPage("AddressMatchingSummaryReport.htm", directory + "AddressMatchingSummaryReport.htm",
            verify::ExpectedMatchingSummaryHtml(spec, recount,
                                                date == text.end() ? nullptr : &date->second),
            log);
}

// Returns whether the CSV was read into csv.
bool CheckManifest(const VaskReportSpec& spec, const std::string& directory,
                   const verify::Lodgement& lodgement, CheckLog& log, Found& csv) {
  const verify::ManifestPages manifest = verify::ExpectedManifest(spec, lodgement);
  CheckPage("ManifestReport.txt", directory + "ManifestReport.txt", manifest.Text, log);
  CheckPage("ManifestReport.htm", directory + "ManifestReport.htm", manifest.Html, log);
  const bool haveCsv =
      CheckPage("ManifestReport.csv", directory + "ManifestReport.csv", manifest.Csv, log, &csv);
  const verify::TextAndHtml info = verify::ExpectedLodgementInfo(lodgement);
  Found infoText;
  const bool haveInfo =
      CheckPage("LodgementInfo.txt", directory + "LodgementInfo.txt", info.Text, log, &infoText);
  CheckPage("LodgementInfo.htm", directory + "LodgementInfo.htm", info.Html, log);
  if (haveCsv && haveInfo) {
    const verify::Figures totals = verify::CsvLevelTotals(CountsOf(csv));
    log.Compare("LodgementInfo.txt vs ManifestReport.csv",
                verify::Subset(CountsOf(infoText), totals), totals);
  }
  return haveCsv;
}

void CheckLabelPlan(const VaskReportSpec& spec, const std::string& directory,
                    const verify::Lodgement& lodgement, const Found* csv, CheckLog& log) {
  Found plan;
  if (CheckPage("LabelPlanFile.lpf", directory + "LabelPlanFile.lpf",
                verify::ExpectedLabelPlan(spec, lodgement), log, &plan) &&
      csv)
    log.Compare("LabelPlanFile.lpf vs ManifestReport.csv", verify::CsvTrays(CountsOf(plan)),
                verify::CsvTrays(CountsOf(*csv)));
}

int Finish(CheckLog& log) {
  log.Summary();
  return log.Failed() ? 1 : 0;
}

}  // namespace

int VerifyLodgement(const VaskReportSpec& spec, const std::string& outputDirectory,
                    std::ostream& out) {
  const std::string directory = verify::RunDirectory(spec, outputDirectory);
  if (NothingRun(spec, directory, out)) return 1;
  CheckLog log(out);
  Recount recount;
  std::string problem;
  if (RecountDataFile(spec, recount, problem)) {
    log.Diff("recount of the data file", problem, "a readable data file");
    return Finish(log);
  }
  log.Ok("recount of " + std::string(spec.ExpandedPath) + ": " + std::to_string(recount.Read) +
         " records, " + std::to_string(recount.Invalid) + " lines the record reader rejects");
  const verify::Lodgement lodgement = verify::Tally(spec, recount);
  if (spec.SortByBsp) verify::CheckResortedFile(spec, outputDirectory, lodgement, recount, log);
  if (spec.SortIntoBdt || spec.SortIntoStates) verify::CheckSplitFiles(spec, lodgement, recount, log);
  if (spec.MatchingReport) CheckMatchingSummary(spec, directory, recount, log);
  Found csv;
  const bool haveCsv = spec.ManifestReport && CheckManifest(spec, directory, lodgement, log, csv);
  if (spec.LabelPlanFile) CheckLabelPlan(spec, directory, lodgement, haveCsv ? &csv : nullptr, log);
  return Finish(log);
}

int VerifyCommand(const std::string& specPath, std::ostream& out) {
  VaskReportSpec spec;
  char message[256] = "";
  int rc = spec.Read(specPath.c_str(), message);
  if (!rc) rc = spec.Validate(message);
  if (rc) {
    CheckLog log(out);
    log.Diff("specification " + specPath, OneLine(message), "a valid specification");
    return Finish(log);
  }
  return VerifyLodgement(spec, "", out);
}
