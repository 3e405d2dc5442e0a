#include "writers/ReportFile.h"

#include <locale>

#include "include/vaskreport.h"
#include "util/StrUtil.h"

namespace {

int Fail(int code, const std::string& path, char* message) {
  if (message) strncpyz(message, path.c_str(), MAX_TEXT);
  return code;
}

}  // namespace

std::string ReportPath(const char* directory, const char* name, const char* extension) {
  std::string path(directory ? directory : "");
  return path.append(name).append(extension);
}

void ClearMessage(char* message) {
  if (message) *message = '\0';
}

int OpenReport(std::ofstream& out, const std::string& path, char* message) {
  if (!OpenNewStream(out, path.c_str(), nullptr, MODE_AS_MADE, std::ios::out))
    return Fail(ERR_VASKREPORT_OPEN_FILE, path, message);
  // Figures must not take separators or decimal commas from a caller's locale.
  out.imbue(std::locale::classic());
  return 0;
}

int CloseReport(std::ofstream& out, const std::string& path, char* message) {
  out.flush();
  bool written = out.good();
  out.close();
  if (!written || out.fail()) return Fail(ERR_VASKREPORT_WRITE_FILE, path, message);
  return 0;
}
