#include "util/ConfigText.h"

#include <cctype>

#include "util/StrUtil.h"

namespace configtext {

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
