#include <unistd.h>

#include <cstring>

#include "util/StrUtil.h"

bool Localtime(const long* t, tm& out) {
  if (!t) return false;
  time_t when = static_cast<time_t>(*t);
  return localtime_r(&when, &out) != nullptr;
}

bool Ctime(const long* t, char* buffer) {
  time_t when = t ? static_cast<time_t>(*t) : 0;
  if (t && ctime_r(&when, buffer)) return true;
  buffer[0] = '\0';
  return false;
}

bool GetComputerName_(char* buffer, unsigned long size) {
  if (size == 0) return false;
  char host[TEXT_SIZE];
  if (gethostname(host, sizeof host) != 0) {
    buffer[0] = '\0';
    return false;
  }
  host[sizeof host - 1] = '\0';
  if (char* dot = strchr(host, '.')) *dot = '\0';
  strncpyz(buffer, host, size - 1);
  return true;
}

int GetNumberOfProcessors_() { return static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN)); }

void GetVersionOfThisFile(int&, int&, int&, int&, void*) {}
