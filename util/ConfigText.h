#ifndef VASKREPORT_UTIL_CONFIGTEXT_H
#define VASKREPORT_UTIL_CONFIGTEXT_H

#include <cstddef>
#include <cstdio>

#include "util/StrUtil.h"

// Internal helpers shared by the configuration readers; not exported.
namespace configtext {

// A whole configuration line: MAX_TEXT characters and the terminator.
const int kLineSize = TEXT_SIZE;

// Reads the next line whole into line (kLineSize characters) without its
// line feed and a carriage return before it; a line longer than 255
// characters is passed over, pieces and all, since a cut value would name
// some other path; so is a line holding a NUL, which would cut it. False at
// the end of the file.
bool ReadWholeLine(FILE* f, char* line);

// Skips the white space that may lead a configuration line.
const char* SkipSpace(const char* text);
// True when `text` begins with the first `n` characters of `prefix`, ignoring case.
bool StartsWithIgnoringCase(const char* text, const char* prefix, size_t n);
// Copies a section path into `out` (n + 1 characters) with every "\" turned into "/".
void CopySectionPath(char* out, const char* section, size_t n);

}  // namespace configtext

#endif
