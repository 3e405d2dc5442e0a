#include "util/StrUtil.h"

#include <climits>
#include <cctype>
#include <cstring>
#include <new>

namespace {

bool InSet(char c, const char* set) { return c != '\0' && set && strchr(set, c); }

// Moves the text that starts at `from` to the start of `text`, terminator included.
void ShiftToStart(char* text, const char* from) {
  if (from != text) memmove(text, from, strlen(from) + 1);
}

char* NewString(const char* src, size_t len) {
  char* s = new (std::nothrow) char[len + 1];
  if (s) strncpyz(s, src, len);
  return s;
}

size_t CountFields(const char* text, char separator) {
  size_t n = 1;
  for (const char* p = text; *p; ++p)
    if (*p == separator) ++n;
  return n;
}

}  // namespace

template <typename T>
void delete_array_and_null(T*& p) {
  delete[] p;
  p = nullptr;
}
template VR_API void delete_array_and_null<char>(char*&);
template VR_API void delete_array_and_null<char*>(char**&);

char* RTrim_(char* text) {
  if (!text) return text;
  size_t n = strlen(text);
  while (n && text[n - 1] == ' ') text[--n] = '\0';
  return text;
}

char* Trim_(char* text, char c) {
  if (!text) return text;
  const char* p = text;
  while (*p && *p == c) ++p;
  ShiftToStart(text, p);
  size_t n = strlen(text);
  while (n && text[n - 1] == c) text[--n] = '\0';
  return text;
}

char* Trim_(char* text, const char* set) {
  if (!text) return text;
  const char* p = text;
  while (InSet(*p, set)) ++p;
  ShiftToStart(text, p);
  size_t n = strlen(text);
  while (n && InSet(text[n - 1], set)) text[--n] = '\0';
  return text;
}

char** Split_(const char* text, char separator) {
  if (!text) return nullptr;
  size_t count = CountFields(text, separator);
  char** list = new (std::nothrow) char*[count + 1];
  if (!list) return nullptr;
  const char* start = text;
  for (size_t i = 0; i < count; ++i) {
    const char* end = strchr(start, separator);
    if (!end) end = start + strlen(start);
    list[i] = NewString(start, static_cast<size_t>(end - start));
    if (!list[i]) {
      FreeArray_(list);
      return nullptr;
    }
    Trim_(list[i], ' ');
    list[i + 1] = nullptr;  // keeps the list freeable should a later field fail
    start = end + 1;
  }
  list[count] = nullptr;
  return list;
}

void FreeArray_(char** list) {
  if (!list) return;
  for (char** p = list; *p; ++p) delete[] *p;
  delete[] list;
}

char* strupr_(char* text) {
  for (char* p = text; p && *p; ++p) *p = static_cast<char>(toupper(static_cast<unsigned char>(*p)));
  return text;
}

char* strlwr_(char* text) {
  for (char* p = text; p && *p; ++p) *p = static_cast<char>(tolower(static_cast<unsigned char>(*p)));
  return text;
}

char* itoa_(int value, char* buffer, int radix) {
  static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  buffer[0] = '\0';
  if (radix < 2 || radix > 36) return buffer;
  // Unsigned arithmetic keeps the magnitude of INT_MIN representable.
  unsigned int magnitude = value < 0 ? 0u - static_cast<unsigned int>(value)
                                     : static_cast<unsigned int>(value);
  char digits[40];
  size_t n = 0;
  do {
    digits[n++] = kDigits[magnitude % static_cast<unsigned int>(radix)];
    magnitude /= static_cast<unsigned int>(radix);
  } while (magnitude);
  size_t out = 0;
  if (value < 0) buffer[out++] = '-';
  while (n) buffer[out++] = digits[--n];
  buffer[out] = '\0';
  return buffer;
}

int iscsym_(int c) { return (c >= 0 && c <= UCHAR_MAX && isalnum(c)) || c == '_'; }

char* strrev_(char* text) {
  if (!text) return text;
  size_t n = strlen(text);
  for (size_t i = 0; i < n / 2; ++i) {
    char t = text[i];
    text[i] = text[n - 1 - i];
    text[n - 1 - i] = t;
  }
  return text;
}

char* strcatc(char* text, char c) {
  size_t n = strlen(text);
  text[n] = c;
  text[n + 1] = '\0';
  return text;
}
