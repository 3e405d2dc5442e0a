#include <sys/stat.h>

#include <iostream>
#include <string>

#include "Args.h"
#include "Cli.h"
#include "dialogue/Prompt.h"
#include "spec/VaskReportSpec.h"

namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// The library's save writes beside the file and renames it over, so a failed
// save leaves the old specification whole; the file keeps its mode.
int Save(VaskReportSpec& spec, const std::string& path) {
  if (int rc = spec.Write(path.c_str())) {
    char message[256];
    VaskReportSpec::LookupError(rc, message);
    return ReportFailure(rc, (message + ("\n" + path)).c_str(),
                         FailureContext{path.c_str(), &spec, true});
  }
  return EXIT_OK;
}

}  // namespace

int EditCommand(int argc, char** argv) {
  CommandArgs args;
  if (int rc = ParseCommandArgs(argc, argv, 0, args); rc >= 0) return rc;
  VaskReportSpec spec;
  const FailureContext context{args.Spec.c_str(), &spec};
  bool loadFailed = false;
  if (Exists(args.Spec)) {
    char message[256] = "";
    if (int rc = spec.Read(args.Spec.c_str(), message)) {
      ReportFailure(rc, message, context);
      std::cerr << "vaskreport: going on with the settings loaded before the error\n";
      loadFailed = true;
    }
  }
  if (int rc = spec.PromptUserSpec()) {
    char message[256];
    VaskReportSpec::LookupError(rc, message);
    return ReportFailure(rc, message, context);
  }
  std::cerr << "\n";  // the last question leaves the line open
  // The file holds settings past the error that the dialogue never saw; it
  // is replaced only when the user says so (end of input says no).
  if (loadFailed) {
    bool replace = false;
    PromptYesNo(("Replace " + args.Spec + ", which did not load whole, with these settings ").c_str(),
                &replace);
    std::cerr << "\n";
    if (!replace) return ReportProblem(args.Spec, "left as it was");
  }
  if (int rc = Save(spec, args.Spec)) return rc;
  std::cout << "Saved " << args.Spec << "\n";
  return EXIT_OK;
}
