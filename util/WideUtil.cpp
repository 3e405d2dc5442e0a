#include <cwctype>

#include "util/StrUtil.h"

namespace {

// Compares at most `n` characters; the end of either string decides as the table says.
int CompareIgnoringCase(const wchar_t* a, const wchar_t* b, unsigned long n) {
  for (unsigned long i = 0; i < n; ++i) {
    if (!a[i] || !b[i]) {
      if (!a[i] && !b[i]) return 0;
      return a[i] ? 1 : -2;
    }
    wint_t ca = towlower(static_cast<wint_t>(a[i]));
    wint_t cb = towlower(static_cast<wint_t>(b[i]));
    if (ca != cb) return ca > cb ? 1 : -1;
  }
  return 0;
}

}  // namespace

wchar_t* wcsupr_(wchar_t* text) {
  for (wchar_t* p = text; p && *p; ++p) *p = static_cast<wchar_t>(towupper(static_cast<wint_t>(*p)));
  return text;
}

int wcsicmp_(const wchar_t* a, const wchar_t* b) {
  return CompareIgnoringCase(a, b, static_cast<unsigned long>(-1));
}

int wcsnicmp_(const wchar_t* a, const wchar_t* b, unsigned long n) {
  return CompareIgnoringCase(a, b, n);
}

void FreeArray_(wchar_t** list) {
  if (!list) return;
  for (wchar_t** p = list; *p; ++p) delete[] *p;
  delete[] list;
}
