// The exported C interface over the one process-wide specification.
#include <cstring>
#include <new>

#include "base/States.h"
#include "driver/ReportDriver.h"
#include "include/vaskreport.h"
#include "spec/SpecValues.h"
#include "spec/VaskReportSpec.h"
#include "util/StrUtil.h"

namespace {

// Constructed in its cleared state when the library is loaded.
VaskReportSpec g_Spec;

int GetString(const char* value, char* buffer, int maxLength) {
  size_t length = strlen(value);
  if (maxLength < 0 || length > static_cast<size_t>(maxLength)) return static_cast<int>(length);
  memcpy(buffer, value, length + 1);
  return 0;
}

template <size_t N>
int PutString(char (&member)[N], const char* value) {
  strncpyz(member, value ? value : "", N - 1);
  return 0;
}

int GetRole(int index, char* name) {
  if (index >= 0 && index < g_Spec.FieldCount)
    strncpyz(name, g_Spec.Fields[index].Name, sizeof g_Spec.Fields[index].Name - 1);
  else
    name[0] = '\0';
  return 0;
}

int PutRole(int& index, const char* name) {
  int found = g_Spec.FindField(name ? name : "");
  if (found < 0) return ERR_VASKREPORTSPEC_UNKNOWN_FIELD;
  index = found;
  return 0;
}

// No data file has more fields than this; a larger count is a caller's
// mistake, and allocating for it could take the machine's memory.
const int MAX_FIELD_COUNT = 1000000;

bool IsFieldNumber(int fieldNumber) { return fieldNumber >= 1 && fieldNumber <= g_Spec.FieldCount; }

}  // namespace

#define VR_STRING_SETTING(Name, Member)                                                       \
  int reportGet##Name(char* buffer, int maxLength) {                                          \
    return GetString(g_Spec.Member, buffer, maxLength);                                       \
  }                                                                                           \
  int reportPut##Name(const char* value) { return PutString(g_Spec.Member, value); }

#define VR_FLAG_SETTING(Name, Member)        \
  int reportGet##Name(int* flag) {           \
    *flag = g_Spec.Member ? 1 : 0;           \
    return 0;                                \
  }                                          \
  int reportPut##Name(int flag) {            \
    g_Spec.Member = flag != 0;               \
    return 0;                                \
  }

#define VR_VALUE_SETTING(Name, Member, Type) \
  int reportGet##Name(Type* value) {         \
    *value = g_Spec.Member;                  \
    return 0;                                \
  }                                          \
  int reportPut##Name(Type value) {          \
    g_Spec.Member = value;                   \
    return 0;                                \
  }

#define VR_ROLE_SETTING(Name, Member)                                              \
  int reportGet##Name(char* name) { return GetRole(g_Spec.Member, name); }         \
  int reportPut##Name(const char* name) { return PutRole(g_Spec.Member, name); }

extern "C" {

VR_STRING_SETTING(CustomerName, CustomerName)
VR_STRING_SETTING(OutputDirectory, OutputDirectory)
VR_STRING_SETTING(JobNumber, JobNumber)
VR_STRING_SETTING(PafVersion, PafVersion)
VR_STRING_SETTING(ProcessDate, ProcessDate)
VR_STRING_SETTING(CertifiedDate, CertifiedDate)
VR_STRING_SETTING(SoftwareName, SoftwareName)
VR_STRING_SETTING(SoftwareVersion, SoftwareVersion)
VR_STRING_SETTING(ListProcessor, ListProcessor)
VR_STRING_SETTING(ListName, ListName)
VR_STRING_SETTING(ListOwner, ListOwner)

int reportGetFileName(char* buffer, int maxLength) {
  return GetString(g_Spec.Path, buffer, maxLength);
}

int reportPutFileName(const char* name) {
  if (!name) name = "";
  if (strlen(name) > sizeof g_Spec.Path - 1) return ERR_VASKREPORTSPEC_FILENAME_TOOLONG;
  char before[sizeof g_Spec.Path];
  strncpyz(before, g_Spec.Path, sizeof before - 1);
  if (int rc = SetDataPath(g_Spec, name)) {
    SetDataPath(g_Spec, before);  // a refused name keeps the one before
    return rc;
  }
  return 0;
}

VR_VALUE_SETTING(Qualifier, Qualifier, char)
VR_VALUE_SETTING(Delimiter, Delimiter, char)
VR_FLAG_SETTING(FieldNamesOnFirstLine, FieldNamesOnFirstLine)
VR_FLAG_SETTING(ManifestReport, ManifestReport)
VR_FLAG_SETTING(SummaryReport, MatchingReport)
VR_FLAG_SETTING(ResortFile, SortByBsp)
VR_FLAG_SETTING(SortIntoStates, SortIntoStates)
VR_FLAG_SETTING(SortIntoLevel, SortIntoBdt)
VR_VALUE_SETTING(LettersPerTray, LettersPerTray, int)

int reportGetWeightOfLetter(double* value) {
  *value = g_Spec.WeightOfLetter;
  return 0;
}

int reportPutWeightOfLetter(double value) {
  if (!WeightOfLetterFits(value)) return ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER;
  g_Spec.WeightOfLetter = value + 0.0;  // -0 becomes 0
  return 0;
}

int reportGetFieldCount(int* count) {
  *count = g_Spec.FieldCount;
  return 0;
}

int reportPutFieldCount(int count) {
  if (count < 0 || count > MAX_FIELD_COUNT) return ERR_VASKREPORTSPEC_INVALID_NUM_FIELDS;
  VaskReportSpec::FieldSpec* fields = nullptr;
  if (count > 0) {
    fields = new (std::nothrow) VaskReportSpec::FieldSpec[count];
    if (!fields) return ERR_VASKREPORTSPEC_OUTOFMEMORY;
  }
  int kept = count < g_Spec.FieldCount ? count : g_Spec.FieldCount;
  for (int i = 0; i < kept; ++i) fields[i] = g_Spec.Fields[i];
  delete[] g_Spec.Fields;
  g_Spec.Fields = fields;
  g_Spec.FieldCount = count;
  return 0;
}

int reportGetFieldNames(int fieldNumber, char* name) {
  if (IsFieldNumber(fieldNumber))
    strncpyz(name, g_Spec.Fields[fieldNumber - 1].Name, sizeof g_Spec.Fields[0].Name - 1);
  else
    name[0] = '\0';
  return 0;
}

int reportPutFieldNames(int fieldNumber, const char* name) {
  if (!IsFieldNumber(fieldNumber)) return ERR_VASKREPORTSPEC_INVALID_FIELD_NUM;
  return PutString(g_Spec.Fields[fieldNumber - 1].Name, name);
}

int reportGetFieldSizes(int fieldNumber, int* size) {
  *size = IsFieldNumber(fieldNumber) ? g_Spec.Fields[fieldNumber - 1].Size : 0;
  return 0;
}

int reportPutFieldSizes(int fieldNumber, int size) {
  if (!IsFieldNumber(fieldNumber)) return ERR_VASKREPORTSPEC_INVALID_FIELD_NUM;
  g_Spec.Fields[fieldNumber - 1].Size = size;
  return 0;
}

int reportGetLodgementState(char* code) {
  strncpyz(code, NumberToState(g_Spec.State), 3);
  return 0;
}

int reportPutLodgementState(const char* code) {
  int state = StateToNumber(code);
  if (state < 0) return ERR_VASKREPORTSPEC_UNKNOWN_STATE;
  g_Spec.State = state;
  return 0;
}

VR_ROLE_SETTING(BspField, BspField)
VR_ROLE_SETTING(StateField, StateField)
VR_ROLE_SETTING(DpidField, DpidField)
VR_ROLE_SETTING(AmendedField, AmendedField)

int reportLoadSpec(const char* fileName, char* message) {
  return g_Spec.Read(fileName ? fileName : "", message);
}

int reportSaveSpec(const char* fileName) { return g_Spec.Write(fileName ? fileName : ""); }

int reportClearSpec(void) {
  g_Spec.Clear();
  return 0;
}

int reportReport(char* message, reportProgress progress) {
  if (int rc = g_Spec.Validate(message)) return rc;
  return CreateReports(g_Spec, nullptr, message, progress);
}

}  // extern "C"
