#include "engine/TempFiles.h"

#include <cstring>

#include "util/StrUtil.h"

char* MakeTempFileName(char* dst, int index, const char* tempDirectory) {
  // The digits and ".tmp" always survive, so no two indexes share a name.
  strncpyz(dst, tempDirectory, TEMP_NAME_SIZE - 7);
  size_t n = strlen(dst);
  dst[n] = static_cast<char>('0' + index / 10 % 10);
  dst[n + 1] = static_cast<char>('0' + index % 10);
  strncpyz(dst + n + 2, ".tmp", 4);
  return dst;
}
