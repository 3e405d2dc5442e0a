#ifndef VASKREPORT_SPEC_INIFILE_H
#define VASKREPORT_SPEC_INIFILE_H

#include <fstream>
#include <ostream>

#include "include/vaskreport.h"
#include "util/Export.h"

// One key=value line.
class VR_API IniEntry {
 public:
  char* Key = nullptr;
  char* Value = nullptr;
  bool Accessed = false;

  IniEntry() = default;
  ~IniEntry();
  IniEntry(const IniEntry&) = delete;
  IniEntry& operator=(const IniEntry&) = delete;
  void Free();
};

class VR_API IniSection {
 public:
  IniEntry* Entries = nullptr;
  int EntryCount = 0;
  char* Name = nullptr;

  IniSection() = default;
  ~IniSection();
  IniSection(const IniSection&) = delete;
  IniSection& operator=(const IniSection&) = delete;
  int NewEntry(const char* key, const char* value);
  IniEntry* FindEntry(const char* key);
  void Free();
};

// A whole INI file held in memory; remembers which entries were looked up.
class VR_API IniFile {
 public:
  IniSection* Sections = nullptr;
  int SectionCount = 0;

  IniFile();
  ~IniFile();
  IniFile(const IniFile&) = delete;
  IniFile& operator=(const IniFile&) = delete;
  int Read(std::ifstream& in, char* message);
  int ReadLine(const char* line);
  int NewSection(const char* name);
  IniSection* FindSection(const char* name);
  static void LookupError(int code, char* message);
  void ShowUnaccessedEntries(std::ostream& out, const char* title);
  void Free();
};

#endif
