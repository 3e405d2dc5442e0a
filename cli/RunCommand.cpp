#include <unistd.h>

#include <iostream>

#include "Args.h"
#include "Cli.h"
#include "Progress.h"
#include "engine/ReportDriver.h"
#include "spec/VaskReportSpec.h"

int RunCommand(int argc, char** argv) {
  CommandArgs args;
  if (int rc = ParseCommandArgs(argc, argv, true, args); rc >= 0) return rc;
  VaskReportSpec spec;
  char message[256] = "";
  if (int rc = spec.Read(args.Spec.c_str(), message)) return ReportFailure(rc, message);
  if (int rc = spec.Validate(message)) return ReportFailure(rc, message);
  const char* outputDirectory = args.OutputDirectory.empty() ? nullptr : args.OutputDirectory.c_str();
  StartProgress(!args.Quiet && isatty(STDERR_FILENO), spec.ExpandedPath);
  int rc = CreateReports(spec, outputDirectory, message, ProgressCallback);
  FinishProgress();
  if (rc) {
    if (ProgressInterrupted()) std::cerr << "vaskreport: interrupted\n";
    return ReportFailure(rc, message);
  }
  std::cout << "Wrote:\n";
  for (const std::string& file : PlannedFiles(spec, outputDirectory)) std::cout << "  " << file << "\n";
  return EXIT_OK;
}
