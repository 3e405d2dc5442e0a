#include <cstdio>
#include <cstring>

#include "util/StrUtil.h"

char* ConcatStrings_(char* buffer, const char* text, unsigned long& room) {
  size_t used = strlen(buffer);
  size_t len = strlen(text);
  if (len < room) {
    memcpy(buffer + used, text, len);
    room -= len;
  } else {
    len = room;
    memcpy(buffer + used, text, len);
    room = 0;
  }
  buffer[used + len] = '\0';
  return buffer;
}

char* ConcatStrings(char* buffer, unsigned long size, const char* a, const char* b,
                    const char* c, const char* d) {
  if (size == 0) return buffer;
  buffer[0] = '\0';
  unsigned long room = size - 1;
  const char* texts[] = {a, b, c, d};
  for (const char* text : texts)
    if (text && room) ConcatStrings_(buffer, text, room);
  return buffer;
}

char* ConcatStrings(char* buffer, unsigned long size, const char* a, const char* b, long n) {
  char number[32];
  snprintf(number, sizeof number, "%ld", n);
  return ConcatStrings(buffer, size, a, b, number, nullptr);
}

char* ConcatStrings(char* buffer, unsigned long size, const char* a, long n, const char* b) {
  char number[32];
  snprintf(number, sizeof number, "%ld", n);
  return ConcatStrings(buffer, size, a, number, b, nullptr);
}
