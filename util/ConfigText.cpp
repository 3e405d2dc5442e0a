#include "util/ConfigText.h"

#include <cctype>
#include <cstring>

#include "util/StrUtil.h"

namespace configtext {

bool ReadWholeLine(FILE* f, char* line) {
  for (;;) {
    char text[kLineSize + 1];  // one more than a whole line, to tell a longer one
    size_t length = 0;
    bool any = false, nul = false;
    for (int c; (c = fgetc(f)) != EOF;) {
      any = true;
      if (c == '\n') break;
      nul = nul || c == '\0';
      if (length < sizeof text) text[length] = static_cast<char>(c);
      ++length;
    }
    if (!any) return false;
    if (length > 0 && length <= sizeof text && text[length - 1] == '\r') --length;
    if (length >= static_cast<size_t>(kLineSize) || nul) continue;
    memcpy(line, text, length);
    line[length] = '\0';
    return true;
  }
}

const char* SkipSpace(const char* text) {
  while (*text && isspace(static_cast<unsigned char>(*text))) ++text;
  return text;
}

bool StartsWithIgnoringCase(const char* text, const char* prefix, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    if (!text[i]) return false;
    if (tolower(static_cast<unsigned char>(text[i])) != tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

void CopySectionPath(char* out, const char* section, size_t n) {
  strncpyz(out, section ? section : "", n);
  for (char* p = out; *p; ++p)
    if (*p == '\\') *p = '/';
}

}  // namespace configtext
