#include <cstdio>
#include <cstring>
#include <new>

#include "spec/SpecSections.h"
#include "spec/SpecValues.h"
#include "util/StrUtil.h"

namespace {

const size_t kMaxPathInFile = MAX_TEXT - 1;
const size_t kMaxName = 50;

int ReadPath(VaskReportSpec& spec, IniSection& file) {
  IniEntry* entry = file.FindEntry("Path");
  if (!entry) return 0;
  if (strlen(entry->Value) > kMaxPathInFile)
    return spec.ReturnError(ERR_VASKREPORTSPEC_FILENAME_TOOLONG, *entry);
  if (SetDataPath(spec, entry->Value))
    return spec.ReturnError(ERR_VASKREPORTSPEC_FILENAME_TOOLONG, *entry);
  return 0;
}

int ReadCharacter(VaskReportSpec& spec, IniSection& file, const char* key, char& member,
                  int badCode, int tooLong) {
  IniEntry* entry = file.FindEntry(key);
  if (!entry) return 0;
  switch (ParseCharacter(entry->Value, member)) {
    case CHARACTER_OK:
      return 0;
    case CHARACTER_BAD_CODE:
      return spec.ReturnError(badCode, *entry);
    case CHARACTER_TOO_LONG:
      return spec.ReturnError(tooLong, *entry);
  }
  return 0;
}

void FieldKey(char* key, size_t size, int number, const char* part) {
  snprintf(key, size, "Field%d%s", number, part);
}

// Every Field<N> key is checked before the list is made, so that a count the
// file cannot back never reaches the allocator.
int CheckFieldKeys(VaskReportSpec& spec, IniSection& file, int count) {
  char key[32];
  for (int n = 1; n <= count; ++n) {
    FieldKey(key, sizeof key, n, "Name");
    IniEntry* name = file.FindEntry(key);
    if (!name) {
      strncpyz(spec.ErrorDetail, key, MAX_TEXT);
      return ERR_VASKREPORTSPEC_MISSING_FIELD_NAME;
    }
    if (strlen(name->Value) > kMaxName)
      return spec.ReturnError(ERR_VASKREPORTSPEC_FIELDNAME_TOOLONG, *name);
    FieldKey(key, sizeof key, n, "Size");
    IniEntry* size = file.FindEntry(key);
    if (!size) {
      strncpyz(spec.ErrorDetail, key, MAX_TEXT);
      return ERR_VASKREPORTSPEC_MISSING_FIELD_SIZE;
    }
    int number = 0;
    if (!ParseCount(size->Value, number) || number < 1)
      return spec.ReturnError(ERR_VASKREPORTSPEC_INVALID_FIELD_SIZE, *size);
  }
  return 0;
}

void FillFields(VaskReportSpec& spec, IniSection& file) {
  char key[32];
  for (int n = 1; n <= spec.FieldCount; ++n) {
    FieldKey(key, sizeof key, n, "Name");
    strncpyz(spec.Fields[n - 1].Name, file.FindEntry(key)->Value, kMaxName);
    FieldKey(key, sizeof key, n, "Size");
    spec.Fields[n - 1].Size = ParseNumber(file.FindEntry(key)->Value);
  }
}

int ReadFields(VaskReportSpec& spec, IniSection& file) {
  IniEntry* entry = file.FindEntry("Fields");
  int count = spec.FieldCount;
  if (entry) {
    if (!ParseCount(entry->Value, count) || count < 1) return spec.ReturnError(ERR_VASKREPORTSPEC_INVALID_NUM_FIELDS, *entry);
  }
  if (int rc = CheckFieldKeys(spec, file, count)) return rc;
  if (entry) {
    VaskReportSpec::FieldSpec* fields = new (std::nothrow) VaskReportSpec::FieldSpec[count];
    if (!fields) return ERR_VASKREPORTSPEC_OUTOFMEMORY;
    delete[] spec.Fields;
    spec.Fields = fields;
    spec.FieldCount = count;
  }
  FillFields(spec, file);
  return 0;
}

int ReadRole(VaskReportSpec& spec, IniSection& file, const char* key, int& member) {
  IniEntry* entry = file.FindEntry(key);
  if (!entry) return 0;
  int index = spec.LookupField(entry->Value);
  if (index < 0) return spec.ReturnError(ERR_VASKREPORTSPEC_UNKNOWN_FIELD, *entry);
  member = index;
  return 0;
}

}  // namespace

int ReadFileLayout(VaskReportSpec& spec, IniSection& file) {
  if (int rc = ReadPath(spec, file)) return rc;
  if (int rc = ReadCharacter(spec, file, "Delimiter", spec.Delimiter,
                             ERR_VASKREPORTSPEC_INVALID_DELIMITER,
                             ERR_VASKREPORTSPEC_DELIMITER_TOOLONG))
    return rc;
  if (int rc = ReadCharacter(spec, file, "Qualifier", spec.Qualifier,
                             ERR_VASKREPORTSPEC_INVALID_QUALIFIER,
                             ERR_VASKREPORTSPEC_QUALIFIER_TOOLONG))
    return rc;
  // Refused here, before a header read with it could be called mismatched.
  if (spec.Delimiter && spec.Qualifier == spec.Delimiter) {
    IniEntry* entry = file.FindEntry("Qualifier");
    if (!entry) entry = file.FindEntry("Delimiter");
    if (entry) return spec.ReturnError(ERR_VASKREPORTSPEC_INVALID_QUALIFIER, *entry);
    return ERR_VASKREPORTSPEC_INVALID_QUALIFIER;
  }
  if (IniEntry* entry = file.FindEntry("FieldNamesOnFirstLine"))
    spec.FieldNamesOnFirstLine = ParseFlag(entry->Value);
  return ReadFields(spec, file);
}

int ReadFieldRoles(VaskReportSpec& spec, IniSection& file) {
  if (int rc = ReadRole(spec, file, "BspField", spec.BspField)) return rc;
  if (int rc = ReadRole(spec, file, "StateField", spec.StateField)) return rc;
  if (int rc = ReadRole(spec, file, "DpidField", spec.DpidField)) return rc;
  return ReadRole(spec, file, "AmendedField", spec.AmendedField);
}
