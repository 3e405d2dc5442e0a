#include "spec/VaskReportSpec.h"

#include <strings.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "spec/SpecValues.h"
#include "util/Registry.h"
#include "util/StrUtil.h"

namespace {

struct SpecError {
  int Code;
  const char* Name;
};

// Code to name; ended by an entry without a name. The unused 11021 has none.
const SpecError s_SpecErrors[] = {
    {ERR_VASKREPORTSPEC_OUTOFMEMORY, "ERR_VASKREPORTSPEC_OUTOFMEMORY"},
    {ERR_VASKREPORTSPEC_MISSING_FILESECTION, "ERR_VASKREPORTSPEC_MISSING_FILESECTION"},
    {ERR_VASKREPORTSPEC_FILENAME_TOOLONG, "ERR_VASKREPORTSPEC_FILENAME_TOOLONG"},
    {ERR_VASKREPORTSPEC_INVALID_DELIMITER, "ERR_VASKREPORTSPEC_INVALID_DELIMITER"},
    {ERR_VASKREPORTSPEC_DELIMITER_TOOLONG, "ERR_VASKREPORTSPEC_DELIMITER_TOOLONG"},
    {ERR_VASKREPORTSPEC_INVALID_QUALIFIER, "ERR_VASKREPORTSPEC_INVALID_QUALIFIER"},
    {ERR_VASKREPORTSPEC_QUALIFIER_TOOLONG, "ERR_VASKREPORTSPEC_QUALIFIER_TOOLONG"},
    {ERR_VASKREPORTSPEC_INVALID_NUM_FIELDS, "ERR_VASKREPORTSPEC_INVALID_NUM_FIELDS"},
    {ERR_VASKREPORTSPEC_FIELDNAME_TOOLONG, "ERR_VASKREPORTSPEC_FIELDNAME_TOOLONG"},
    {ERR_VASKREPORTSPEC_INVALID_FIELD_SIZE, "ERR_VASKREPORTSPEC_INVALID_FIELD_SIZE"},
    {ERR_VASKREPORTSPEC_MISSING_FIELD_SIZE, "ERR_VASKREPORTSPEC_MISSING_FIELD_SIZE"},
    {ERR_VASKREPORTSPEC_MISSING_FIELD_NAME, "ERR_VASKREPORTSPEC_MISSING_FIELD_NAME"},
    {ERR_VASKREPORTSPEC_MISSING_DPIDFIELD, "ERR_VASKREPORTSPEC_MISSING_DPIDFIELD"},
    {ERR_VASKREPORTSPEC_MISSING_FLAGFIELD, "ERR_VASKREPORTSPEC_MISSING_FLAGFIELD"},
    {ERR_VASKREPORTSPEC_UNKNOWN_FIELD, "ERR_VASKREPORTSPEC_UNKNOWN_FIELD"},
    {ERR_VASKREPORTSPEC_MISSING_BSPFIELD, "ERR_VASKREPORTSPEC_MISSING_BSPFIELD"},
    {ERR_VASKREPORTSPEC_UNKNOWN_STATE, "ERR_VASKREPORTSPEC_UNKNOWN_STATE"},
    {ERR_VASKREPORTSPEC_TEXTFILE_OPEN, "ERR_VASKREPORTSPEC_TEXTFILE_OPEN"},
    {ERR_VASKREPORTSPEC_LINE_TOOLONG, "ERR_VASKREPORTSPEC_LINE_TOOLONG"},
    {ERR_VASKREPORTSPEC_FIELDNAMES_OUT, "ERR_VASKREPORTSPEC_FIELDNAMES_OUT"},
    {ERR_READRECORD_NO_FIELDS, "ERR_READRECORD_NO_FIELDS"},
    {ERR_READRECORD_INVALID_RECORD, "ERR_READRECORD_INVALID_RECORD"},
    {ERR_VASKREPORTSPEC_SPECFILE_OPEN, "ERR_VASKREPORTSPEC_SPECFILE_OPEN"},
    {ERR_VASKREPORTSPEC_INVALID_FIELD_NUM, "ERR_VASKREPORTSPEC_INVALID_FIELD_NUM"},
    {ERR_VASKREPORTSPEC_READ, "ERR_VASKREPORTSPEC_READ"},
    {ERR_VASKREPORTSPEC_INVALID_LETTERS_PER_TRAY, "ERR_VASKREPORTSPEC_INVALID_LETTERS_PER_TRAY"},
    {ERR_VASKREPORTSPEC_INVALID_LABEL_TEXT, "ERR_VASKREPORTSPEC_INVALID_LABEL_TEXT"},
    {ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER, "ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER"},
    {0, nullptr},
};

bool RoleOutOfRange(int index, int fieldCount) {
  return index != -1 && (index < 0 || index >= fieldCount);
}

// A label-plan text holding "," or a line break would shift the .lpf fields.
bool BreaksLabelPlan(const char* text) { return strpbrk(text, ",\r\n") != nullptr; }

}  // namespace

VaskReportSpec::VaskReportSpec() : Fields(nullptr), RecordLength(0), RemoveField(nullptr) {
  ErrorDetail[0] = '\0';
  Clear();
}

VaskReportSpec::~VaskReportSpec() {
  delete[] Fields;
  delete[] RemoveField;
}

void VaskReportSpec::Clear() {
  ExpandedPath[0] = '\0';
  Path[0] = '\0';
  Delimiter = 0;
  Qualifier = 0;
  FieldNamesOnFirstLine = false;
  delete[] Fields;
  Fields = nullptr;
  FieldCount = 0;
  BspField = StateField = DpidField = AmendedField = -1;
  OutputDirectory[0] = '\0';
  ManifestReport = false;
  LettersPerTray = 300;
  WeightOfLetter = 0.0;
  State = -1;
  CustomerName[0] = JobNumber[0] = '\0';
  MatchingReport = false;
  PafVersion[0] = ProcessDate[0] = CertifiedDate[0] = '\0';
  SoftwareName[0] = SoftwareVersion[0] = '\0';
  ListProcessor[0] = ListName[0] = ListOwner[0] = '\0';
  SortByBsp = SortIntoStates = SortIntoBdt = false;
  delete[] RemoveField;
  RemoveField = nullptr;
  LabelPlanFile = false;
  LabelPlanName[0] = LabelCustomerName[0] = CustomerPhone[0] = LabelJobNumber[0] = '\0';
  LabelState = -1;
  Service[0] = MailSize[0] = '\0';
  Prefix = 0;
}

void VaskReportSpec::SetPath(const char* path) { SetDataPath(*this, path); }

int SetDataPath(VaskReportSpec& spec, const char* path) {
  if (path) strncpyz(spec.Path, path, sizeof spec.Path - 1);
  if (ExpandPathWhole(spec.ExpandedPath, spec.Path)) return 0;
  // A cut expansion names some other file: no run may open it.
  spec.ExpandedPath[0] = '\0';
  return ERR_VASKREPORTSPEC_FILENAME_TOOLONG;
}

int VaskReportSpec::FindField(const char* name) const {
  for (int i = 0; i < FieldCount; ++i)
    if (strcasecmp(Fields[i].Name, name) == 0) return i;
  return -1;
}

int VaskReportSpec::LookupField(const char* text) {
  int found = FindField(text);
  if (found >= 0) return found;
  long number = strtol(text, nullptr, 10);
  return number >= 1 && number <= FieldCount ? static_cast<int>(number - 1) : -1;
}

void VaskReportSpec::CalculateFieldOffsets() {
  // Unsigned sums wrap instead of overflowing; Validate_ refuses a layout
  // whose length does not fit an int.
  unsigned position = 0;
  for (int i = 0; i < FieldCount; ++i) {
    Fields[i].Offset = static_cast<int>(position);
    position += static_cast<unsigned>(Fields[i].Size) + 1u;
  }
  RecordLength = static_cast<int>(position);
}

int VaskReportSpec::Validate(char* message) {
  char detail[TEXT_SIZE] = "";
  int code = 0;
  // Said before a header read with it could be called mismatched.
  if (Delimiter && Qualifier == Delimiter) code = ERR_VASKREPORTSPEC_INVALID_QUALIFIER;
  if (!code && FieldNamesOnFirstLine) code = GetAndCheckFieldNames(detail);
  if (!code) {
    CalculateFieldOffsets();
    code = Validate_();
  }
  if (code && message) {
    LookupError(code, message);
    if (*detail && *message) strncatz(message, "\n", MAX_TEXT);
    strncatz(message, detail, MAX_TEXT);
  }
  return code;
}

int VaskReportSpec::Validate_() {
  if (DpidField < 0) return ERR_VASKREPORTSPEC_MISSING_DPIDFIELD;
  if (ManifestReport && BspField < 0) return ERR_VASKREPORTSPEC_MISSING_BSPFIELD;
  if (MatchingReport && AmendedField < 0) return ERR_VASKREPORTSPEC_MISSING_FLAGFIELD;
  if (LabelPlanFile && BspField < 0) return ERR_VASKREPORTSPEC_MISSING_BSPFIELD;
  // Sizes reach the object unchecked through the setters and the dialogue;
  // a size below 1 or a record length beyond an int would misplace fields.
  long long length = 0;
  for (int i = 0; i < FieldCount; ++i) {
    if (Fields[i].Size < 1) return ERR_VASKREPORTSPEC_INVALID_FIELD_SIZE;
    length += static_cast<long long>(Fields[i].Size) + 1;
    if (length > INT_MAX) return ERR_VASKREPORTSPEC_INVALID_FIELD_SIZE;
  }
  // The field list can shrink after a role was set.
  if (RoleOutOfRange(BspField, FieldCount) || RoleOutOfRange(StateField, FieldCount) ||
      RoleOutOfRange(DpidField, FieldCount) || RoleOutOfRange(AmendedField, FieldCount))
    return ERR_VASKREPORTSPEC_UNKNOWN_FIELD;
  if (LettersPerTray < 1) return ERR_VASKREPORTSPEC_INVALID_LETTERS_PER_TRAY;
  if (!WeightOfLetterFits(WeightOfLetter)) return ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER;
  // A qualifier that is the delimiter makes every record ambiguous, and the
  // header of a resorted copy would no longer read back.
  if (Delimiter && Qualifier == Delimiter) return ERR_VASKREPORTSPEC_INVALID_QUALIFIER;
  if (LabelPlanFile) {
    const char* texts[] = {LabelPlanName, LabelCustomerName, CustomerPhone,
                           LabelJobNumber, Service, MailSize};
    for (const char* text : texts)
      if (BreaksLabelPlan(text)) return ERR_VASKREPORTSPEC_INVALID_LABEL_TEXT;
    if (Prefix == ',' || Prefix == '\r' || Prefix == '\n')
      return ERR_VASKREPORTSPEC_INVALID_LABEL_TEXT;
  }
  if (State < 0) State = 0;
  return 0;
}

void VaskReportSpec::LookupError(int code, char* message) {
  message[0] = '\0';
  for (const SpecError* e = s_SpecErrors; e->Name; ++e)
    if (e->Code == code) {
      strncpyz(message, e->Name, MAX_TEXT);
      return;
    }
}
