#include <dirent.h>
#include <fnmatch.h>

#include <cstring>
#include <new>

#include "util/StrUtil.h"

namespace {

const size_t kMaxPart = MAX_TEXT;

// Splits "dir/name" into its directory (with the "/") and its name pattern.
bool SplitPattern(const char* pattern, char* dir, char* name) {
  const char* slash = pattern ? strrchr(pattern, '/') : nullptr;
  if (!slash) return false;
  size_t dirLen = static_cast<size_t>(slash - pattern) + 1;
  if (dirLen > kMaxPart || strlen(slash + 1) > kMaxPart) return false;
  strncpyz(dir, pattern, dirLen);
  strncpyz(name, slash + 1, kMaxPart);
  return true;
}

// Calls `visit` with each matching entry name until it returns false.
template <typename Visit>
bool ForEachMatch(DIR* dir, const char* name, Visit visit) {
  while (dirent* entry = readdir(dir))
    if (fnmatch(name, entry->d_name, 0) == 0 && !visit(entry->d_name)) return false;
  return true;
}

char** CollectMatches(DIR* dir, const char* name) {
  size_t count = 0;
  ForEachMatch(dir, name, [&](const char*) { return ++count, true; });
  rewinddir(dir);
  char** list = new (std::nothrow) char*[count + 1];
  if (!list) return nullptr;
  size_t n = 0;
  list[0] = nullptr;
  ForEachMatch(dir, name, [&](const char* entry) {
    if (n == count) return false;
    size_t len = strlen(entry);
    char* copy = new (std::nothrow) char[len + 1];
    if (!copy) return false;
    strncpyz(copy, entry, len);
    list[n++] = copy;
    list[n] = nullptr;
    return true;
  });
  return list;
}

}  // namespace

bool FilePatternExists_(const char* pattern) {
  char dirPart[kMaxPart + 1], name[kMaxPart + 1];
  if (!SplitPattern(pattern, dirPart, name)) return false;
  DIR* dir = opendir(dirPart);
  if (!dir) return false;
  bool found = !ForEachMatch(dir, name, [](const char*) { return false; });
  closedir(dir);
  return found;
}

char** Dir_(const char* pattern) {
  char dirPart[kMaxPart + 1], name[kMaxPart + 1];
  if (!SplitPattern(pattern, dirPart, name)) return nullptr;
  DIR* dir = opendir(dirPart);
  if (!dir) return nullptr;
  char** list = CollectMatches(dir, name);
  closedir(dir);
  return list;
}
