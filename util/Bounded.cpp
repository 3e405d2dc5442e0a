#include <cstring>

#include "util/StrUtil.h"

char* strncpyz(char* dst, const char* src, size_t n) {
  size_t len = 0;
  while (len < n && src[len]) ++len;
  memmove(dst, src, len);
  dst[len] = '\0';
  return dst;
}

char* strncatz(char* dst, const char* src, size_t n) {
  size_t used = strlen(dst);
  if (used >= n) return dst;
  size_t room = n - used;
  size_t len = 0;
  while (len < room && src[len]) ++len;
  memmove(dst + used, src, len);
  dst[used + len] = '\0';
  return dst;
}
