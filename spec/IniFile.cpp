// STUB: replaced by the specification-file work.
#include "spec/IniFile.h"
IniEntry::~IniEntry() {}
IniSection::~IniSection() {}
IniFile::IniFile() {}
IniFile::~IniFile() {}
