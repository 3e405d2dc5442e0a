// STUB: replaced by the utilities work.
#include "util/Registry.h"
#include "util/StrUtil.h"
void ExpandZelnorPath(char* dst, const char* src) { if (dst != src) strncpyz(dst, src, 255); }
