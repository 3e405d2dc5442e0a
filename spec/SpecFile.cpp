#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "spec/IniFile.h"
#include "spec/SpecSections.h"
#include "spec/SpecText.h"
#include "spec/VaskReportSpec.h"
#include "util/StrUtil.h"

namespace {

const size_t kMaxMessage = MAX_TEXT;
const char kIgnoredTitle[] = "The following entries were ignored:";

// Name, then "\n" when both are non-empty, then the detail.
void ComposeMessage(char* message, int code, const char* detail) {
  VaskReportSpec::LookupError(code, message);
  if (*message && *detail) strncatz(message, "\n", kMaxMessage);
  strncatz(message, detail, kMaxMessage);
}

// A save that lost data must not look like success: every write and the close count.
bool WriteStream(FILE* file, const std::string& text) {
  bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
  bool closed = fclose(file) == 0;
  return written && closed;
}

bool WriteInPlace(const char* fileName, const std::string& text) {
  FILE* file = fopen(fileName, "w");
  return file && WriteStream(file, text);
}

// A regular file (or a new one) is written beside and renamed over, so a
// failed save leaves the old specification whole; devices are written in place.
bool WriteWholeFile(const char* fileName, const std::string& text) {
  struct stat st;
  const bool exists = stat(fileName, &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) return WriteInPlace(fileName, text);
  std::string beside = std::string(fileName) + ".new";
  // A leftover of that name is replaced, never written through: it may be a
  // link to some other file or to a device. A directory stays, and the save
  // then fails.
  const int fd = CreateNewFile(beside.c_str(), nullptr, MODE_AS_MADE);
  FILE* file = fd >= 0 ? fdopen(fd, "w") : nullptr;
  if (!file) {
    if (fd >= 0) close(fd);
    // No file can be made beside (the name would be too long, or the
    // directory is closed to new files): the file itself may still be written.
    if (errno == ENAMETOOLONG || errno == EACCES || errno == EPERM || errno == EROFS)
      return WriteInPlace(fileName, text);
    return false;
  }
  // A file of another owner or group is written in place: the new file could
  // not take its owner, and so not safely its mode either.
  struct stat made;
  if (exists && (fstat(fileno(file), &made) != 0 || made.st_uid != st.st_uid ||
                 made.st_gid != st.st_gid)) {
    fclose(file);
    remove(beside.c_str());
    return WriteInPlace(fileName, text);
  }
  // The saved file keeps the mode of the one it replaces.
  if (exists) FitPermissions(fileno(file), fileName, MODE_COPIED);
  const bool written = WriteStream(file, text);
  if (written && rename(beside.c_str(), fileName) == 0) return true;
  remove(beside.c_str());
  return false;
}

}  // namespace

int VaskReportSpec::Read(const char* fileName, char* message) {
  std::ifstream in;
  if (fileName) in.open(fileName);
  if (!in.is_open()) {
    if (message) ComposeMessage(message, ERR_VASKREPORTSPEC_SPECFILE_OPEN, fileName ? fileName : "");
    return ERR_VASKREPORTSPEC_SPECFILE_OPEN;
  }
  return Read(in, message, nullptr);
}

int VaskReportSpec::Read(std::ifstream& in, char* message, std::ostream* ignoredOut) {
  ErrorDetail[0] = '\0';
  if (message) message[0] = '\0';
  int code = Read_(in, ignoredOut);
  if (code && message) ComposeMessage(message, code, ErrorDetail);
  return code;
}

int VaskReportSpec::Read_(std::ifstream& in, std::ostream* ignoredOut) {
  IniFile ini;
  if (int rc = ini.Read(in, ErrorDetail)) return rc;
  IniSection* file = ini.FindSection("File");
  if (!file) return ERR_VASKREPORTSPEC_MISSING_FILESECTION;
  if (int rc = ReadFileLayout(*this, *file)) return rc;
  if (FieldNamesOnFirstLine)
    if (int rc = GetAndCheckFieldNames(ErrorDetail)) return rc;
  CalculateFieldOffsets();
  if (int rc = ReadFieldRoles(*this, *file)) return rc;
  if (int rc = ReadReportSections(*this, ini)) return rc;
  if (int rc = Validate_()) return rc;
  if (ignoredOut) ini.ShowUnaccessedEntries(*ignoredOut, kIgnoredTitle);
  return 0;
}

int VaskReportSpec::ReturnError(int code, const IniEntry& entry) {
  strncpyz(ErrorDetail, entry.Key ? entry.Key : "", kMaxMessage);
  strncatz(ErrorDetail, "=", kMaxMessage);
  strncatz(ErrorDetail, entry.Value ? entry.Value : "", kMaxMessage);
  return code;
}

int VaskReportSpec::Write(const char* fileName) {
  // A text that would not read back is not saved: the file is left as it was.
  std::string text;
  if (!fileName || !SpecFileText(*this, text) || !WriteWholeFile(fileName, text))
    return ERR_VASKREPORTSPEC_SPECFILE_OPEN;
  return 0;
}
