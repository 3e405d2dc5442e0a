#ifndef VASKREPORT_ENGINE_SELFCLOSINGFILE_H
#define VASKREPORT_ENGINE_SELFCLOSINGFILE_H

#include <cstdio>

#include "util/Export.h"

// Owns one stdio stream and closes it on destruction.
class VR_API SelfClosingFILE {
 public:
  SelfClosingFILE();
  ~SelfClosingFILE();
  SelfClosingFILE(const SelfClosingFILE&) = delete;
  SelfClosingFILE& operator=(const SelfClosingFILE&) = delete;
  void Close();
  bool Open(const char* name, const char* mode, bool reportFailure);
  FILE* f() const;

 private:
  FILE* m_File;
};

#endif
