#include <unistd.h>

#include <iostream>

#include "Args.h"
#include "Cli.h"
#include "Digest.h"
#include "Progress.h"
#include "Verify.h"
#include "engine/ReportDriver.h"
#include "spec/VaskReportSpec.h"

namespace {

int LibraryFailure(int code) {
  char message[256] = "";
  VaskReportSpec::LookupError(code, message);
  return ReportFailure(code, message);
}

}  // namespace

int RunCommand(int argc, char** argv) {
  CommandArgs args;
  if (int rc = ParseCommandArgs(argc, argv, ARG_OUTPUT_DIR | ARG_QUIET | ARG_JSON, args); rc >= 0)
    return rc;
  VaskReportSpec spec;
  char message[256] = "";
  if (int rc = spec.Read(args.Spec.c_str(), message)) return ReportFailure(rc, message);
  if (int rc = spec.Validate(message)) return ReportFailure(rc, message);
  const char* outputDirectory = args.OutputDirectory.empty() ? nullptr : args.OutputDirectory.c_str();
  // The resort replaces the data file; what verify needs of the original is
  // kept beside the reports first.
  if (spec.SortByBsp)
    if (int rc = WriteRunDigest(spec, args.OutputDirectory)) return LibraryFailure(rc);
  StartProgress(!args.Quiet && isatty(STDERR_FILENO), spec.ExpandedPath);
  int rc = CreateReports(spec, outputDirectory, message, ProgressCallback);
  FinishProgress();
  if (rc) {
    if (ProgressInterrupted()) std::cerr << "vaskreport: interrupted\n";
    return ReportFailure(rc, message);
  }
  std::vector<std::string> written = PlannedFiles(spec, outputDirectory);
  if (spec.SortByBsp) written.push_back(verify::RunDirectory(spec, args.OutputDirectory) + RUN_DIGEST_NAME);
  if (args.Json) {
    WriteRunJson(spec, written, std::cout);
    return EXIT_OK;
  }
  std::cout << "Wrote:\n";
  for (const std::string& file : written) std::cout << "  " << file << "\n";
  return EXIT_OK;
}
