#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>

#include "Cli.h"
#include "FailureText.h"
#include "driver/ReportDriver.h"
#include "spec/VaskReportSpec.h"

namespace {

std::string Directory(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return "";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Why opening path for reading fails now, or "" when it opens.
std::string ReadReason(const std::string& path, int& error) {
  // Without waiting for a pipe's writer.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  error = fd < 0 ? errno : 0;
  if (fd >= 0) close(fd);
  return error ? strerror(error) : "";
}

// Why path cannot be made or written: the path itself, else the nearest
// directory above it that exists (a directory is made with its parents, a
// file is not). "" when nothing in the way is found.
std::string WriteReason(const std::string& path, bool directory) {
  struct stat st;
  if (stat(path.c_str(), &st) == 0) {
    // A directory's own name ends in "/" where the library names it.
    if (S_ISDIR(st.st_mode) && !directory && path.back() != '/' && path != ".")
      return strerror(EISDIR);
    return access(path.c_str(), W_OK) != 0 ? strerror(errno) : "";
  }
  if (errno != ENOENT) return strerror(errno);
  std::string above = Directory(path);
  if (!directory && !above.empty() && stat(above.c_str(), &st) != 0) return strerror(errno);
  while (!above.empty() && stat(above.c_str(), &st) != 0 && errno == ENOENT)
    above = Directory(above);
  const std::string existing = above.empty() ? "." : above;
  if (stat(existing.c_str(), &st) != 0) return strerror(errno);
  if (!S_ISDIR(st.st_mode)) return strerror(ENOTDIR);
  return access(existing.c_str(), W_OK | X_OK) != 0 ? strerror(errno) : "";
}

bool IsDataFile(const VaskReportSpec* spec, const std::string& path) {
  struct stat a, b;
  return spec && *spec->ExpandedPath && stat(path.c_str(), &a) == 0 &&
         stat(spec->ExpandedPath, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Paths in a specification are taken from the working directory; a data
// file that is missing there but found beside the specification is named.
std::string Beside(const FailureContext& context, const std::string& path) {
  if (!context.Spec || path != context.Spec->ExpandedPath || path.empty() || path[0] == '/' ||
      !context.SpecFile)
    return "";
  const std::string directory = Directory(context.SpecFile);
  if (directory.empty()) return "";
  const std::string there = directory + "/" + path;
  struct stat st;
  if (stat(there.c_str(), &st) != 0) return "";
  return ", but " + there + " exists: paths are taken from the working directory, not the "
         "specification's";
}

std::string CodeName(int code) {
  char name[256] = "";
  if (code >= ERR_VASKREPORT_OUTOFMEMORY) LookupReportError(code, name);
  if (!*name) VaskReportSpec::LookupError(code, name);
  return *name ? name : "error " + std::to_string(code);
}

struct Said {
  std::string Subject, Reason;
};

// The file a library message concerns and why, from its code and detail.
Said Explain(int code, const std::string& detail, const FailureContext& context) {
  const FailureText* text = FindFailureText(code);
  const FailureSubject about = text ? text->Subject : ABOUT_NOTHING;
  const std::string known = text ? text->Reason : "failed";
  const std::string dataFile = context.Spec ? context.Spec->ExpandedPath : "";
  const bool fileDetail = about == ABOUT_READ || about == ABOUT_WRITE;
  Said said;
  if (about == ABOUT_WITH_REASON) {
    // The data file's path may hold ". " itself, and a long detail is cut.
    const size_t stop = !dataFile.empty() && detail.compare(0, dataFile.size(), dataFile) == 0
                            ? dataFile.size()
                            : detail.rfind(". ");
    said.Subject = detail.substr(0, stop);
    std::string rest = stop == std::string::npos ? "" : detail.substr(stop);
    rest.erase(0, rest.compare(0, 2, ". ") == 0 ? 2 : rest == "." ? 1 : 0);
    said.Reason = rest.empty() ? known : rest;
    int error;
    ReadReason(said.Subject, error);
    if (error == ENOENT) said.Reason += Beside(context, said.Subject);
    return said;
  }
  // Reasons the library gives itself, after the file: "<file>. <reason>".
  for (const char* reason : {"not a regular file", "another run is using this directory"}) {
    const std::string tail = std::string(". ") + reason;
    if (fileDetail && detail.size() > tail.size() &&
        detail.compare(detail.size() - tail.size(), tail.size(), tail) == 0)
      return {detail.substr(0, detail.size() - tail.size()), reason};
  }
  if (fileDetail && !detail.empty()) {
    said.Subject = detail;
    if (code != ERR_VASKREPORT_CREATE_DIRECTORY && code != ERR_VASKREPORT_DELETE_FILE &&
        code != ERR_VASKREPORT_WRITE_FILE && !context.Saving &&
        IsDataFile(context.Spec, detail)) {
      int error;
      if (ReadReason(detail, error).empty()) {
        said.Reason = "is the data file, which the run would write over";
        return said;
      }
    }
    int error = 0;
    // The same code is given for a document that cannot be made.
    const bool making = about == ABOUT_WRITE || context.Saving ||
                        (code == ERR_VASKREPORT_OPEN_FILE && detail != dataFile);
    said.Reason = making ? WriteReason(detail, code == ERR_VASKREPORT_CREATE_DIRECTORY)
                         : ReadReason(detail, error);
    if (error == ENOENT) said.Reason += Beside(context, detail);
    if (said.Reason.empty()) said.Reason = known;
    if (code == ERR_VASKREPORT_CREATE_DIRECTORY && said.Subject.size() > 1 &&
        said.Subject.back() == '/')
      said.Subject.pop_back();
    return said;
  }
  if (about == ABOUT_SPEC && context.SpecFile) said.Subject = context.SpecFile;
  // A file to be made that the message no longer names is not the data file.
  if (about == ABOUT_DATA || (about == ABOUT_READ && detail.empty())) said.Subject = dataFile;
  said.Reason = known;
  if (!detail.empty() && detail != said.Subject) said.Reason += ": " + detail;
  return said;
}

}  // namespace

int ReportFailure(int code, const char* message, const FailureContext& context) {
  const std::string text = message ? message : "";
  const size_t newline = text.find('\n');
  const std::string name = newline == 0 || text.empty() ? CodeName(code) : text.substr(0, newline);
  const std::string detail = newline == std::string::npos ? "" : text.substr(newline + 1);
  const Said said = Explain(code, detail, context);
  return ReportProblem(said.Subject, said.Reason + " (" + name + ")");
}

int ReportProblem(const std::string& subject, const std::string& reason) {
  std::cerr << "vaskreport: " << (subject.empty() ? "" : subject + ": ") << reason << "\n";
  return EXIT_FAILED;
}
