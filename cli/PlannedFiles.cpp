#include <sys/stat.h>

#include <string>
#include <vector>

#include "Cli.h"
#include "base/States.h"
#include "spec/VaskReportSpec.h"
#include "util/StrUtil.h"
#include "verify/Digest.h"
#include "verify/Verify.h"

namespace {

// Must match the library's sort-level file prefixes.
const char* const s_LevelPrefix[] = {"BDT_", "BR_", "UR_"};

void AddReports(const VaskReportSpec& spec, const std::string& dir, std::vector<PlannedFile>& out) {
  if (spec.MatchingReport) {
    out.push_back({dir + "AddressMatchingSummaryReport.txt", ""});
    out.push_back({dir + "AddressMatchingSummaryReport.htm", ""});
  }
  if (spec.ManifestReport) {
    for (const char* ext : {".txt", ".htm", ".csv"}) out.push_back({dir + "ManifestReport" + ext, ""});
    for (const char* ext : {".txt", ".htm"}) out.push_back({dir + "LodgementInfo" + ext, ""});
  }
  if (spec.LabelPlanFile) out.push_back({dir + "LabelPlanFile.lpf", ""});
}

void AddSplitFiles(const VaskReportSpec& spec, bool afterRun, std::vector<PlannedFile>& out) {
  if (!spec.SortIntoBdt && !spec.SortIntoStates) return;
  char directory[256], name[256];
  SplitPath(spec.ExpandedPath, directory, name);
  int levels = spec.SortIntoBdt ? SORT_LEVEL_COUNT : 1;
  int states = spec.SortIntoStates ? STATE_COUNT : 1;
  for (int level = 0; level < levels; ++level)
    for (int state = 0; state < states; ++state) {
      std::string file = directory;
      if (spec.SortIntoBdt) file += s_LevelPrefix[level];
      if (spec.SortIntoStates) file += std::string(NumberToState(state)) + "_";
      out.push_back({file + name, ""});
    }
  if (spec.SortIntoStates) out.push_back({std::string(directory) + "ERR_UR_" + name, ""});
  // Lines that are not records go to a file of their own, made only when
  // there are some; a run removes an older one otherwise.
  const std::string unrouted = std::string(directory) + "ERR_" + name;
  struct stat st;
  if (!afterRun)
    out.push_back({unrouted, "lines that are not records, if any"});
  else if (stat(unrouted.c_str(), &st) == 0)
    out.push_back({unrouted, ""});
}

}  // namespace

std::vector<PlannedFile> PlannedFiles(const VaskReportSpec& spec, const char* outputDirectory,
                                      bool afterRun) {
  std::vector<PlannedFile> files;
  AddSplitFiles(spec, afterRun, files);
  const std::string reports = verify::RunDirectory(spec, outputDirectory ? outputDirectory : "");
  AddReports(spec, reports, files);
  if (spec.SortByBsp) {
    files.push_back({spec.ExpandedPath, "rewritten in lodgement order"});
    // The front end's own record of the original, for verify.
    files.push_back({reports + RUN_DIGEST_NAME, ""});
  }
  return files;
}

std::string ListedName(const PlannedFile& file) {
  return file.Note.empty() ? file.Path : file.Path + " (" + file.Note + ")";
}
