// STUB: replaced by the utilities work.
#include <cstring>
#include "util/StrUtil.h"
char* RTrim_(char* t) { size_t n = strlen(t); while (n && t[n - 1] == ' ') t[--n] = 0; return t; }
char** Split_(const char*, char) { return nullptr; }
void FreeArray_(char** l) { (void)l; }
bool CreateDir(const char*) { return false; }
char* fgets_(char* b, int s, FILE* f) { return fgets(b, s, f); }
