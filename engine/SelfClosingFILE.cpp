#include "engine/SelfClosingFILE.h"

SelfClosingFILE::SelfClosingFILE() : m_File(nullptr) {}

SelfClosingFILE::~SelfClosingFILE() { Close(); }

void SelfClosingFILE::Close() {
  if (!m_File) return;
  std::fclose(m_File);
  m_File = nullptr;
}

bool SelfClosingFILE::Open(const char* name, const char* mode, bool reportFailure) {
  Close();
  m_File = std::fopen(name, mode);
  if (!m_File && reportFailure) std::perror(name);
  return m_File != nullptr;
}

FILE* SelfClosingFILE::f() const { return m_File; }
