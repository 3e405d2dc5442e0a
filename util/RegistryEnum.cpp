#include <cstring>
#include <new>

#include "util/ConfigText.h"
#include "util/Registry.h"
#include "util/StrUtil.h"

using configtext::kLineSize;

namespace {

// The text after "prefix/" when the line lies under the section, else null.
// The top level (empty prefix) holds every line as it stands.
const char* UnderSection(const char* line, const char* prefix, size_t prefixLen) {
  const char* text = configtext::SkipSpace(line);
  if (prefixLen == 0) return text;
  if (!configtext::StartsWithIgnoringCase(text, prefix, prefixLen)) return nullptr;
  return text[prefixLen] == '/' ? text + prefixLen + 1 : nullptr;
}

size_t CountUnder(FILE* f, const char* prefix, size_t prefixLen) {
  char line[kLineSize];
  size_t count = 0;
  while (configtext::ReadWholeLine(f, line))
    if (UnderSection(line, prefix, prefixLen)) ++count;
  return count;
}

char* NewString(const char* src, size_t len) {
  char* s = new (std::nothrow) char[len + 1];
  if (s) strncpyz(s, src, len);
  return s;
}

// Stores the entry "name=value" at position n; false when memory ran out.
bool StoreEntry(const char* rest, const char* eq, char** names, char** values, size_t n) {
  names[n] = NewString(rest, static_cast<size_t>(eq - rest));
  if (!names[n]) return false;
  values[n] = NewString(eq + 1, strlen(eq + 1));
  if (!values[n]) delete_array_and_null(names[n]);
  return values[n] != nullptr;
}

size_t FillEntries(FILE* f, const char* prefix, size_t prefixLen, char** names, char** values,
                   size_t count) {
  char line[kLineSize];
  size_t n = 0;
  while (n < count && configtext::ReadWholeLine(f, line)) {
    const char* rest = UnderSection(line, prefix, prefixLen);
    if (!rest) continue;
    const char* eq = strchr(rest, '=');
    const char* slash = strchr(rest, '/');
    if (!eq || (slash && slash < eq)) continue;  // no entry, or one of a deeper section
    if (!StoreEntry(rest, eq, names, values, n)) break;
    ++n;
  }
  return n;
}

char** NewPointerArray(size_t n) {
  char** a = new (std::nothrow) char*[n];
  if (a)
    for (size_t i = 0; i < n; ++i) a[i] = nullptr;
  return a;
}

}  // namespace

void EnumerateRegistry_(const char* section, char*** names, char*** values) {
  if (!names || !values) return;
  *names = nullptr;
  *values = nullptr;
  if (section && strlen(section) > MAX_TEXT - 1) return;  // the key paths' limit
  char prefix[TEXT_SIZE];
  configtext::CopySectionPath(prefix, section, MAX_TEXT);
  size_t prefixLen = strlen(prefix);
  FILE* f = OpenConfigFile();
  if (!f) return;
  size_t count = CountUnder(f, prefix, prefixLen);
  char** nameList = NewPointerArray(count + 1);
  char** valueList = NewPointerArray(count + 1);
  if (!nameList || !valueList) {
    delete_array_and_null(nameList);
    delete_array_and_null(valueList);
    fclose(f);
    return;
  }
  rewind(f);
  size_t n = FillEntries(f, prefix, prefixLen, nameList, valueList, count);
  nameList[n] = nullptr;
  valueList[n] = nullptr;
  fclose(f);
  *names = nameList;
  *values = valueList;
}
