#include <iostream>

#include "Args.h"
#include "Cli.h"
#include "spec/VaskReportSpec.h"
#include "verify/Verify.h"

int VerifyMain(int argc, char** argv) {
  CommandArgs args;
  if (int rc = ParseCommandArgs(argc, argv, ARG_OUTPUT_DIR, args); rc >= 0) return rc;
  VaskReportSpec spec;
  const FailureContext context{args.Spec.c_str(), &spec};
  char message[256] = "";
  if (int rc = spec.Read(args.Spec.c_str(), message))
    return ReportFailure(rc, message, context);
  if (int rc = spec.Validate(message)) return ReportFailure(rc, message, context);
  return VerifyLodgement(spec, args.OutputDirectory, std::cout) ? EXIT_FAILED : EXIT_OK;
}
