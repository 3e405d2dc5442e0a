#include <cstdlib>
#include <new>

#include "base/States.h"
#include "spec/SpecSections.h"
#include "spec/SpecValues.h"
#include "util/StrUtil.h"

namespace {

struct TextKey {
  const char* Key;
  char* Member;
  size_t Capacity;
};

void ReadText(IniSection& section, const char* key, char* member, size_t capacity) {
  if (IniEntry* entry = section.FindEntry(key)) strncpyz(member, entry->Value, capacity);
}

void ReadFlag(IniSection& section, const char* key, bool& member) {
  if (IniEntry* entry = section.FindEntry(key)) member = ParseFlag(entry->Value);
}

int ReadState(VaskReportSpec& spec, IniSection& section, int& member) {
  IniEntry* entry = section.FindEntry("State");
  if (!entry) return 0;
  int state = StateToNumber(entry->Value);
  if (state < 0) return spec.ReturnError(ERR_VASKREPORTSPEC_UNKNOWN_STATE, *entry);
  member = state;
  return 0;
}

void ReadOutput(VaskReportSpec& spec, IniFile& ini) {
  if (IniSection* output = ini.FindSection("Output"))
    ReadText(*output, "OutputDirectory", spec.OutputDirectory, sizeof spec.OutputDirectory - 1);
}

int ReadManifest(VaskReportSpec& spec, IniSection& section) {
  spec.ManifestReport = true;
  if (IniEntry* entry = section.FindEntry("LettersPerTray"))
    if (!ParseCount(entry->Value, spec.LettersPerTray))
      return spec.ReturnError(ERR_VASKREPORTSPEC_INVALID_LETTERS_PER_TRAY, *entry);
  if (IniEntry* entry = section.FindEntry("WeightOfLetter")) {
    double weight = 0;
    if (!ParseWeight(entry->Value, weight) || !WeightOfLetterFits(weight))
      return spec.ReturnError(ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER, *entry);
    spec.WeightOfLetter = weight + 0.0;  // -0 becomes 0
  }
  if (int rc = ReadState(spec, section, spec.State)) return rc;
  ReadText(section, "CustomerName", spec.CustomerName, sizeof spec.CustomerName - 1);
  ReadText(section, "JobNumber", spec.JobNumber, sizeof spec.JobNumber - 1);
  return 0;
}

void ReadMatching(VaskReportSpec& spec, IniSection& section) {
  spec.MatchingReport = true;
  const TextKey keys[] = {
      {"PafVersion", spec.PafVersion, sizeof spec.PafVersion - 1},
      {"ProcessDate", spec.ProcessDate, sizeof spec.ProcessDate - 1},
      {"CertifiedDate", spec.CertifiedDate, sizeof spec.CertifiedDate - 1},
      {"SoftwareName", spec.SoftwareName, sizeof spec.SoftwareName - 1},
      {"SoftwareVersion", spec.SoftwareVersion, sizeof spec.SoftwareVersion - 1},
      {"ListProcessor", spec.ListProcessor, sizeof spec.ListProcessor - 1},
      {"ListName", spec.ListName, sizeof spec.ListName - 1},
      {"ListOwner", spec.ListOwner, sizeof spec.ListOwner - 1},
  };
  for (const TextKey& k : keys) ReadText(section, k.Key, k.Member, k.Capacity);
}

int ReadRemoveField(VaskReportSpec& spec, IniEntry& entry) {
  char** items = Split_(entry.Value, ',');
  if (!items) return ERR_VASKREPORTSPEC_OUTOFMEMORY;
  size_t count = 0;
  while (items[count]) ++count;
  int* list = new (std::nothrow) int[count + 1];
  if (!list) {
    FreeArray_(items);
    return ERR_VASKREPORTSPEC_OUTOFMEMORY;
  }
  delete[] spec.RemoveField;
  spec.RemoveField = list;
  list[count] = -1;
  int code = 0;
  // An item naming no field is stored as -1 and so ends the list there.
  for (size_t i = 0; i < count && !code; ++i) {
    list[i] = spec.LookupField(items[i]);
    if (list[i] < 0) code = spec.ReturnError(ERR_VASKREPORTSPEC_UNKNOWN_FIELD, entry);
  }
  FreeArray_(items);
  return code;
}

int ReadProcessing(VaskReportSpec& spec, IniSection& section) {
  ReadFlag(section, "SortByBsp", spec.SortByBsp);
  ReadFlag(section, "SortIntoBdt", spec.SortIntoBdt);
  ReadFlag(section, "SortIntoStates", spec.SortIntoStates);
  if (IniEntry* entry = section.FindEntry("RemoveField")) return ReadRemoveField(spec, *entry);
  return 0;
}

// Label-plan texts are refused as read, before they can reach the .lpf file.
int ReadLabelText(VaskReportSpec& spec, IniSection& section, const TextKey& k) {
  IniEntry* entry = section.FindEntry(k.Key);
  if (!entry) return 0;
  char text[TEXT_SIZE];
  strncpyz(text, entry->Value, k.Capacity);
  if (BreaksLabelPlanText(text))
    return spec.ReturnError(ERR_VASKREPORTSPEC_INVALID_LABEL_TEXT, *entry);
  strncpyz(k.Member, text, k.Capacity);
  return 0;
}

int ReadPrefix(VaskReportSpec& spec, IniSection& section) {
  IniEntry* entry = section.FindEntry("Prefix");
  if (!entry) return 0;
  const char prefix[2] = {entry->Value[0], '\0'};
  if (BreaksLabelPlanText(prefix))
    return spec.ReturnError(ERR_VASKREPORTSPEC_INVALID_LABEL_TEXT, *entry);
  spec.Prefix = prefix[0];
  return 0;
}

int ReadLabelPlan(VaskReportSpec& spec, IniSection& section) {
  spec.LabelPlanFile = true;
  const TextKey keys[] = {
      {"LabelPlanName", spec.LabelPlanName, sizeof spec.LabelPlanName - 1},
      {"CustomerName", spec.LabelCustomerName, sizeof spec.LabelCustomerName - 1},
      {"CustomerPhone", spec.CustomerPhone, sizeof spec.CustomerPhone - 1},
      {"JobNumber", spec.LabelJobNumber, sizeof spec.LabelJobNumber - 1},
      {"Service", spec.Service, sizeof spec.Service - 1},
      {"MailSize", spec.MailSize, sizeof spec.MailSize - 1},
  };
  for (const TextKey& k : keys)
    if (int rc = ReadLabelText(spec, section, k)) return rc;
  if (int rc = ReadPrefix(spec, section)) return rc;
  return ReadState(spec, section, spec.LabelState);
}

}  // namespace

int ReadReportSections(VaskReportSpec& spec, IniFile& ini) {
  ReadOutput(spec, ini);
  if (IniSection* section = ini.FindSection("ManifestReport"))
    if (int rc = ReadManifest(spec, *section)) return rc;
  if (IniSection* section = ini.FindSection("MatchingReport")) ReadMatching(spec, *section);
  if (IniSection* section = ini.FindSection("FileProcessing"))
    if (int rc = ReadProcessing(spec, *section)) return rc;
  if (IniSection* section = ini.FindSection("LabelPlanFile"))
    if (int rc = ReadLabelPlan(spec, *section)) return rc;
  return 0;
}
