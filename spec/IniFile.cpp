#include "spec/IniFile.h"

#include <strings.h>

#include <cctype>
#include <cstring>
#include <new>

#include "spec/TextLine.h"
#include "util/StrUtil.h"

namespace {

const size_t kMaxLine = MAX_TEXT;

struct IniError {
  int Code;
  const char* Name;
};

const IniError s_IniErrors[] = {
    {ERR_INIFILE_DUPLICATE_ENTRY, "ERR_INIFILE_DUPLICATE_ENTRY"},
    {ERR_INIFILE_DUPLICATE_SECTION, "ERR_INIFILE_DUPLICATE_SECTION"},
    {ERR_INIFILE_LINE_OUTOF_SECTION, "ERR_INIFILE_LINE_OUTOF_SECTION"},
    {ERR_INIFILE_INVALID_LINE, "ERR_INIFILE_INVALID_LINE"},
    {ERR_INIFILE_LINE_TOOLONG, "ERR_INIFILE_LINE_TOOLONG"},
    {ERR_INIFILE_OUT_OF_MEMORY, "ERR_INIFILE_OUT_OF_MEMORY"},
    {0, nullptr},
};

char* NewString(const char* text) {
  size_t n = strlen(text);
  char* copy = new (std::nothrow) char[n + 1];
  if (copy) memcpy(copy, text, n + 1);
  return copy;
}

const char* SkipSpace(const char* p) {
  while (*p && isspace(static_cast<unsigned char>(*p))) ++p;
  return p;
}

void ComposeMessage(char* message, int code, const char* line) {
  IniFile::LookupError(code, message);
  strncatz(message, "\n", kMaxLine);
  strncatz(message, line, kMaxLine);
}

}  // namespace

IniEntry::~IniEntry() { Free(); }

void IniEntry::Free() {
  delete[] Key;
  delete[] Value;
  Key = Value = nullptr;
  Accessed = false;
}

IniSection::~IniSection() { Free(); }

void IniSection::Free() {
  delete[] Entries;
  Entries = nullptr;
  EntryCount = 0;
  delete[] Name;
  Name = nullptr;
}

int IniSection::NewEntry(const char* key, const char* value) {
  for (int i = 0; i < EntryCount; ++i)
    if (strcasecmp(Entries[i].Key, key) == 0) return ERR_INIFILE_DUPLICATE_ENTRY;
  char* keyCopy = NewString(key);
  char* valueCopy = NewString(value);
  IniEntry* grown = new (std::nothrow) IniEntry[EntryCount + 1];
  if (!keyCopy || !valueCopy || !grown) {
    delete[] keyCopy;
    delete[] valueCopy;
    delete[] grown;
    return ERR_INIFILE_OUT_OF_MEMORY;
  }
  for (int i = 0; i < EntryCount; ++i) {
    grown[i].Key = Entries[i].Key;
    grown[i].Value = Entries[i].Value;
    grown[i].Accessed = Entries[i].Accessed;
    Entries[i].Key = Entries[i].Value = nullptr;
  }
  delete[] Entries;
  Entries = grown;
  Entries[EntryCount].Key = keyCopy;
  Entries[EntryCount].Value = valueCopy;
  ++EntryCount;
  return 0;
}

IniEntry* IniSection::FindEntry(const char* key) {
  if (!key) return nullptr;
  for (int i = 0; i < EntryCount; ++i)
    if (strcasecmp(Entries[i].Key, key) == 0) {
      Entries[i].Accessed = true;
      return &Entries[i];
    }
  return nullptr;
}

IniFile::IniFile() = default;

IniFile::~IniFile() { Free(); }

void IniFile::Free() {
  delete[] Sections;
  Sections = nullptr;
  SectionCount = 0;
}

int IniFile::NewSection(const char* name) {
  if (FindSection(name)) return ERR_INIFILE_DUPLICATE_SECTION;
  char* nameCopy = NewString(name);
  IniSection* grown = new (std::nothrow) IniSection[SectionCount + 1];
  if (!nameCopy || !grown) {
    delete[] nameCopy;
    delete[] grown;
    return ERR_INIFILE_OUT_OF_MEMORY;
  }
  for (int i = 0; i < SectionCount; ++i) {
    grown[i].Entries = Sections[i].Entries;
    grown[i].EntryCount = Sections[i].EntryCount;
    grown[i].Name = Sections[i].Name;
    Sections[i].Entries = nullptr;
    Sections[i].EntryCount = 0;
    Sections[i].Name = nullptr;
  }
  delete[] Sections;
  Sections = grown;
  Sections[SectionCount].Name = nameCopy;
  ++SectionCount;
  return 0;
}

IniSection* IniFile::FindSection(const char* name) {
  if (!name) return nullptr;
  for (int i = 0; i < SectionCount; ++i)
    if (strcasecmp(Sections[i].Name, name) == 0) return &Sections[i];
  return nullptr;
}

int IniFile::ReadLine(const char* line) {
  if (!line) return ERR_INIFILE_INVALID_LINE;
  if (strlen(line) > kMaxLine) return ERR_INIFILE_LINE_TOOLONG;
  char copy[kMaxLine + 1];
  strncpyz(copy, SkipSpace(line), kMaxLine);
  RTrim_(copy);
  size_t n = strlen(copy);
  if (n == 0 || copy[0] == ';' || copy[0] == '#') return 0;
  if (n >= 2 && copy[0] == '[' && copy[n - 1] == ']') {
    copy[n - 1] = '\0';
    if (n == 2) return ERR_INIFILE_INVALID_LINE;
    return NewSection(copy + 1);
  }
  if (SectionCount == 0) return ERR_INIFILE_LINE_OUTOF_SECTION;
  char* sign = strchr(copy, '=');
  if (!sign) return ERR_INIFILE_INVALID_LINE;
  *sign = '\0';
  RTrim_(copy);
  if (!*copy) return ERR_INIFILE_INVALID_LINE;
  return Sections[SectionCount - 1].NewEntry(copy, SkipSpace(sign + 1));
}

int IniFile::Read(std::ifstream& in, char* message) {
  // One character beyond the limit tells a line that is too long.
  char line[kMaxLine + 2];
  size_t length = 0;
  while (ReadTextLine(in, line, kMaxLine + 1, length)) {
    int code = length > kMaxLine ? static_cast<int>(ERR_INIFILE_LINE_TOOLONG)
               // A NUL would silently cut the value there.
               : strlen(line) != length ? static_cast<int>(ERR_INIFILE_INVALID_LINE)
                                        : ReadLine(line);
    if (code) {
      if (message) ComposeMessage(message, code, line);
      return code;
    }
  }
  return 0;
}

void IniFile::LookupError(int code, char* message) {
  message[0] = '\0';
  for (const IniError* e = s_IniErrors; e->Name; ++e)
    if (e->Code == code) {
      strncpyz(message, e->Name, kMaxLine);
      return;
    }
}

void IniFile::ShowUnaccessedEntries(std::ostream& out, const char* title) {
  bool titled = false;
  for (int s = 0; s < SectionCount; ++s) {
    bool headed = false;
    for (int e = 0; e < Sections[s].EntryCount; ++e) {
      const IniEntry& entry = Sections[s].Entries[e];
      if (entry.Accessed) continue;
      if (!titled) out << (title ? title : "") << '\n';
      if (!headed) out << '[' << Sections[s].Name << "]\n";
      titled = headed = true;
      out << entry.Key << '=' << entry.Value << '\n';
    }
  }
}
