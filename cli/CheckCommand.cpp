#include <sys/stat.h>

#include <fstream>
#include <iostream>
#include <string>

#include "Args.h"
#include "Cli.h"
#include "driver/ReportDriver.h"
#include "spec/VaskReportSpec.h"

namespace {

// The library's own message for a specification file that cannot be opened.
int CannotOpen(const std::string& path) {
  char message[256];
  VaskReportSpec::LookupError(ERR_VASKREPORTSPEC_SPECFILE_OPEN, message);
  return ReportFailure(ERR_VASKREPORTSPEC_SPECFILE_OPEN, (message + ("\n" + path)).c_str(),
                       FailureContext{path.c_str()});
}

}  // namespace

int CheckCommand(int argc, char** argv) {
  CommandArgs args;
  if (int rc = ParseCommandArgs(argc, argv, 0, args); rc >= 0) return rc;
  std::ifstream in(args.Spec);
  if (!in) return CannotOpen(args.Spec);
  VaskReportSpec spec;
  const FailureContext context{args.Spec.c_str(), &spec};
  char message[256] = "";
  if (int rc = spec.Read(in, message, &std::cout)) return ReportFailure(rc, message, context);
  int givenState = spec.State;
  int rc = spec.Validate(message);
  PrintSpecSummary(spec, args.Spec.c_str(), givenState);
  if (rc) {
    std::cout << "The specification is not valid.\n";
    return ReportFailure(rc, message, context);
  }
  // The run refuses to resort what it can read only once.
  struct stat data;
  if (spec.SortByBsp && stat(spec.ExpandedPath, &data) == 0 && !S_ISREG(data.st_mode)) {
    std::cout << "The specification is not valid.\n";
    LookupReportError(ERR_VASKREPORT_OPEN_FILE, message);
    const std::string detail = std::string("\n") + spec.ExpandedPath + ". not a regular file";
    return ReportFailure(ERR_VASKREPORT_OPEN_FILE, (message + detail).c_str(), context);
  }
  std::cout << "The specification is valid.\n";
  return EXIT_OK;
}
