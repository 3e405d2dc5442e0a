#ifndef VASKREPORT_CLI_CLI_H
#define VASKREPORT_CLI_CLI_H

#include <string>
#include <vector>

class VaskReportSpec;

// Exit codes of the front end.
enum { EXIT_OK = 0, EXIT_FAILED = 1, EXIT_USAGE = 2 };

int RunCommand(int argc, char** argv);
int CheckCommand(int argc, char** argv);
int EditCommand(int argc, char** argv);
int VerifyMain(int argc, char** argv);

// Help texts on standard output; the one-line usage hint on standard error.
void PrintProgramHelp();
void PrintCommandHelp(const char* command);
void PrintVersion();
int UsageError(const char* command, const std::string& problem);

// What the front end knows of a failure that the library's message lacks.
struct FailureContext {
  const char* SpecFile = nullptr;        // as given on the command line
  const VaskReportSpec* Spec = nullptr;  // names the data file
  bool Saving = false;                   // SpecFile was being written, not read
};

// Prints the library's message (name, then optionally a detail on its own
// line) to standard error as "vaskreport: FILE: REASON (ERR_NAME)": the file
// it concerns, why (the system's reason when it can be found), then the
// code's name; without "FILE: " when it concerns no file. Returns EXIT_FAILED.
int ReportFailure(int code, const char* message, const FailureContext& context);
// "vaskreport: SUBJECT: REASON" for a failure of the front end's own.
int ReportProblem(const std::string& subject, const std::string& reason);

// A file a run writes, and what to say of it beside its name.
struct PlannedFile {
  std::string Path;
  std::string Note;
};

// The files a run of spec writes, in the order the run writes them; after a
// run, only those of them it did write where that depends on the data.
std::vector<PlannedFile> PlannedFiles(const VaskReportSpec& spec, const char* outputDirectory,
                                      bool afterRun);

// The path, with its note in parentheses when it has one.
std::string ListedName(const PlannedFile& file);

// Prints a readable description of spec to standard output.
void PrintSpecSummary(const VaskReportSpec& spec, const char* specFile, int givenState);

#endif
