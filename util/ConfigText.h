#ifndef VASKREPORT_UTIL_CONFIGTEXT_H
#define VASKREPORT_UTIL_CONFIGTEXT_H

#include <cstddef>

// Internal helpers shared by the configuration readers; not exported.
namespace configtext {

// One read of the configuration file: 255 characters and the terminator.
const int kLineSize = 256;

// Skips the white space that may lead a configuration line.
const char* SkipSpace(const char* text);
// True when `text` begins with the first `n` characters of `prefix`, ignoring case.
bool StartsWithIgnoringCase(const char* text, const char* prefix, size_t n);
// Copies a section path into `out` (n + 1 characters) with every "\" turned into "/".
void CopySectionPath(char* out, const char* section, size_t n);

}  // namespace configtext

#endif
