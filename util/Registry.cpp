#include "util/Registry.h"

#include <cstdlib>
#include <cstring>

#include "util/ConfigText.h"
#include "util/StrUtil.h"

using configtext::kLineSize;

namespace {

const size_t kMaxKeyPath = MAX_TEXT - 1;
const size_t kMaxHome = 246;

FILE* OpenHomeConfig() {
  const char* home = getenv("HOME");
  if (!home || !*home || strlen(home) > kMaxHome) return nullptr;
  char path[TEXT_SIZE];
  strncpyz(path, home, MAX_TEXT);
  if (path[strlen(path) - 1] != '/') strncatz(path, "/", MAX_TEXT);
  strncatz(path, ".zelnor", MAX_TEXT);
  return fopen(path, "r");
}

// Returns the value of the first line whose key path is exactly `keyPath`, or null.
const char* MatchEntry(const char* line, const char* keyPath, size_t keyLen) {
  const char* text = configtext::SkipSpace(line);
  const char* eq = strchr(text, '=');
  if (!eq || static_cast<size_t>(eq - text) != keyLen) return nullptr;
  if (!configtext::StartsWithIgnoringCase(text, keyPath, keyLen)) return nullptr;
  return eq + 1;
}

bool FindValue(FILE* f, const char* keyPath, char* value, int& capacity) {
  char line[kLineSize];
  size_t keyLen = strlen(keyPath);
  while (configtext::ReadWholeLine(f, line)) {
    const char* found = MatchEntry(line, keyPath, keyLen);
    if (!found) continue;
    size_t len = strlen(found);
    if (capacity > 0) strncpyz(value, found, static_cast<size_t>(capacity - 1));
    capacity = static_cast<int>(len);
    return true;
  }
  return false;
}

// True when `src` is "$alias$rest" with no separator inside the alias; `rest` follows it.
bool ParseAlias(const char* src, char* alias, const char*& rest) {
  if (src[0] != '$') return false;
  const char* end = strpbrk(src + 1, "$/\\");
  if (!end || *end != '$') return false;
  size_t len = static_cast<size_t>(end - src - 1);
  if (len > MAX_TEXT) return false;
  strncpyz(alias, src + 1, len);
  rest = end + 1;
  return true;
}

}  // namespace

FILE* OpenConfigFile() {
  if (FILE* f = fopen(".zelnor", "r")) return f;
  const char* named = getenv("ZELNOR_CONFIG_FILE");
  if (named && *named)
    if (FILE* f = fopen(named, "r")) return f;
  if (FILE* f = OpenHomeConfig()) return f;
  return fopen("/usr/etc/.zelnor", "r");
}

int LookUpRegistry_(const char* section, const char* key, char* value, int& capacity, bool) {
  if (!key) return REGISTRY_KEY_NOT_FOUND;
  size_t sectionLen = section ? strlen(section) : 0;
  if (sectionLen + strlen(key) > kMaxKeyPath) return REGISTRY_KEY_TOOLONG;
  if (strchr(key, '/')) return REGISTRY_KEY_NOT_FOUND;
  char keyPath[TEXT_SIZE];
  configtext::CopySectionPath(keyPath, section, MAX_TEXT);
  if (*keyPath) strncatz(keyPath, "/", MAX_TEXT);
  strncatz(keyPath, key, MAX_TEXT);
  FILE* f = OpenConfigFile();
  if (!f) return REGISTRY_NO_CONFIG_FILE;
  bool found = FindValue(f, keyPath, value, capacity);
  fclose(f);
  return found ? 0 : REGISTRY_KEY_NOT_FOUND;
}

bool LookUpRegistryI_(const char* section, const char* key, unsigned int& value, bool flag) {
  char text[30];
  int capacity = 30;
  if (LookUpRegistry_(section, key, text, capacity, flag) != 0) return false;
  // strtol rather than atoi: same digits, but defined when the number overflows.
  value = static_cast<unsigned int>(static_cast<int>(strtol(text, nullptr, 10)));
  return true;
}

int EnumerateRegistryKeys_(const char*) { return 0; }

int SetRegistryValue_(const char*, const char*, const char*) { return 0; }

bool ExpandPathWhole(char* dst, const char* src) {
  if (!dst || dst == src) return true;
  if (!src) {
    dst[0] = '\0';
    return true;
  }
  char alias[TEXT_SIZE], value[TEXT_SIZE];
  const char* rest = nullptr;
  int capacity = MAX_TEXT;  // so at most MAX_TEXT - 1 characters of the value
  if (ParseAlias(src, alias, rest) && LookUpRegistry_("Paths", alias, value, capacity, false) == 0) {
    strncpyz(dst, value, MAX_TEXT);
    strncatz(dst, rest, MAX_TEXT);
    // capacity is now the value's whole length, which 254 characters held.
    return capacity < MAX_TEXT && static_cast<size_t>(capacity) + strlen(rest) <= MAX_TEXT;
  }
  strncpyz(dst, src, MAX_TEXT);
  return strlen(src) <= MAX_TEXT;
}

void ExpandZelnorPath(char* dst, const char* src) { ExpandPathWhole(dst, src); }
