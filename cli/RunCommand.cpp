#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "Args.h"
#include "Cli.h"
#include "verify/Digest.h"
#include "Progress.h"
#include "driver/ReportDriver.h"
#include "include/vaskreport.h"
#include "spec/VaskReportSpec.h"
#include "verify/JsonRun.h"
#include "verify/Verify.h"

namespace {

// A run's code (111xx) with its name and detail, as the library would give it.
int LibraryFailure(int code, const char* detail, const FailureContext& context) {
  char message[256] = "";
  LookupReportError(code, message);
  return ReportFailure(code, (std::string(message) + "\n" + detail).c_str(), context);
}

// The digest (or its temporary) of the data file, when that is the data
// file itself: writing the digest would then replace every record.
std::string DigestThatIsTheData(const VaskReportSpec& spec, const std::string& outputDirectory) {
  struct stat data, other;
  if (stat(spec.ExpandedPath, &data) != 0) return "";
  const std::string digest = verify::RunDirectory(spec, outputDirectory) + RUN_DIGEST_NAME;
  for (const std::string& path : {digest, digest + ".new"})
    if (stat(path.c_str(), &other) == 0 && other.st_dev == data.st_dev &&
        other.st_ino == data.st_ino)
      return path;
  return "";
}

}  // namespace

int RunCommand(int argc, char** argv) {
  CommandArgs args;
  if (int rc = ParseCommandArgs(argc, argv, ARG_OUTPUT_DIR | ARG_QUIET | ARG_JSON, args); rc >= 0)
    return rc;
  VaskReportSpec spec;
  const FailureContext context{args.Spec.c_str(), &spec};
  char message[256] = "";
  if (int rc = spec.Read(args.Spec.c_str(), message))
    return ReportFailure(rc, message, context);
  if (int rc = spec.Validate(message)) return ReportFailure(rc, message, context);
  const char* outputDirectory = args.OutputDirectory.empty() ? nullptr : args.OutputDirectory.c_str();
  // The figures of --json come from reading the data file again after the
  // run, which a pipe or a device cannot give.
  struct stat data;
  if (args.Json && stat(spec.ExpandedPath, &data) == 0 && !S_ISREG(data.st_mode))
    return ReportProblem(spec.ExpandedPath,
                         "not a regular file, which --json reads again after the run");
  // This program owns its process, so it lets the library count and resort
  // on a second thread too; VASKREPORT_THREADS=1 keeps the run on one. Set
  // before any thread of this program starts.
  setenv("VASKREPORT_THREADS", "2", 0);
  // The resort replaces the data file; what verify needs of the original is
  // kept beside the reports, read on the other core while the run goes on.
  // A pipe or a device is not resorted (the library refuses it), nor read
  // here: it has only the one reading, the run's.
  RunDigestTask digest;
  const bool regular = stat(spec.ExpandedPath, &data) != 0 || S_ISREG(data.st_mode);
  if (spec.SortByBsp && regular) {
    const std::string clash = DigestThatIsTheData(spec, args.OutputDirectory);
    if (!clash.empty()) return LibraryFailure(ERR_VASKREPORT_OPEN_FILE, clash.c_str(), context);
    if (int rc = digest.Start(spec, args.OutputDirectory))
      return LibraryFailure(rc,
                            rc == ERR_VASKREPORT_CREATE_DIRECTORY
                                ? verify::RunDirectory(spec, args.OutputDirectory).c_str()
                                : spec.ExpandedPath,
                            context);
  }
  StartProgress(!args.Quiet && isatty(STDERR_FILENO), spec.ExpandedPath,
                spec.FieldNamesOnFirstLine);
  int rc = CreateReports(spec, outputDirectory, message, ProgressCallback);
  FinishProgress(rc == 0);
  // Only a run that succeeded leaves a digest; the task is joined either way.
  const int digestRc = spec.SortByBsp && !rc ? digest.Finish() : 0;
  if (rc) return ReportFailure(rc, message, context);
  const std::string digestPath = verify::RunDirectory(spec, args.OutputDirectory) + RUN_DIGEST_NAME;
  if (digestRc)
    return LibraryFailure(digestRc,
                          digestRc == ERR_VASKREPORT_READ_FILE ? spec.ExpandedPath
                                                               : digestPath.c_str(),
                          context);
  const std::vector<PlannedFile> written = PlannedFiles(spec, outputDirectory, true);
  if (args.Json) {
    // Names only: a program reading the list opens each.
    std::vector<std::string> paths;
    for (const PlannedFile& file : written) paths.push_back(file.Path);
    WriteRunJson(spec, paths, std::cout);
    return EXIT_OK;
  }
  std::cout << "Wrote:\n";
  for (const PlannedFile& file : written) std::cout << "  " << ListedName(file) << "\n";
  return EXIT_OK;
}
