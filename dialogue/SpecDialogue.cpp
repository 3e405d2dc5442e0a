#include <climits>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <new>

#include "dialogue/Prompt.h"
#include "spec/SpecValues.h"
#include "spec/VaskReportSpec.h"
#include "util/StrUtil.h"

namespace {

// Questions that edit one text setting each, asked in this order.
struct TextQuestion {
  const char* Question;
  char* Text;
  unsigned int MaxLength;
};

void AskTexts(const TextQuestion* questions, size_t count) {
  for (size_t i = 0; i < count; ++i)
    PromptString(questions[i].Question, questions[i].Text, questions[i].MaxLength);
}

// Character settings are edited as their codes; 0 means none.
void PromptCharCode(const char* question, char* c) {
  int code = static_cast<unsigned char>(*c);
  PromptInt(question, &code, 0, UCHAR_MAX);
  *c = static_cast<char>(code);
}

void PromptDataFile(VaskReportSpec& spec) {
  char before[sizeof spec.Path];
  strncpyz(before, spec.Path, sizeof before - 1);
  for (;;) {
    PromptString("File containing data on which to report", spec.Path, MAX_TEXT);
    if (SetDataPath(spec, nullptr) == 0 || strcmp(spec.Path, before) == 0) break;
    strncpyz(spec.Path, before, sizeof before - 1);
    std::cerr << "The expanded path is too long. Maximum length is 255\nRe-enter: ";
  }
  std::cerr << "File Format:\n";
  PromptCharCode("\tDelimiter (9=tab, 44=comma, 59=semi-colon, 0=fixed-width)", &spec.Delimiter);
  if (spec.Delimiter)
    PromptCharCode("\tText qualifier (34=double-quotes, 39=single-quotes, 0=none)",
                   &spec.Qualifier);
  PromptYesNo("\tAre the field names on the first line", &spec.FieldNamesOnFirstLine);
}

void ShowFieldNames(const VaskReportSpec& spec) {
  std::cerr << "\tField names detected:\n\t";
  for (int i = 0; i < spec.FieldCount; ++i) std::cerr << (i ? ", " : "") << spec.Fields[i].Name;
  std::cerr << "\n";
}

// True when the field list was taken from the data file's first line.
bool DetectFieldNames(VaskReportSpec& spec) {
  if (!spec.FieldNamesOnFirstLine || !spec.Delimiter || !*spec.ExpandedPath) return false;
  bool readNow = false;
  PromptYesNo("\tRead field names NOW from file", &readNow);
  if (!readNow) return false;
  delete[] spec.Fields;
  spec.Fields = nullptr;
  spec.FieldCount = 0;
  char message[TEXT_SIZE] = "";
  if (int rc = spec.GetAndCheckFieldNames(message)) {
    std::cerr << "Error# " << rc << " in auto-detect:" << message << "\n";
    return false;
  }
  ShowFieldNames(spec);
  return true;
}

int PromptFieldList(VaskReportSpec& spec) {
  int count = spec.FieldCount;
  PromptInt("\tNumber of fields per record/line", &count, 1, INT_MAX);
  if (count != spec.FieldCount) {
    VaskReportSpec::FieldSpec* fields = new (std::nothrow) VaskReportSpec::FieldSpec[count];
    if (!fields) return ERR_VASKREPORTSPEC_OUTOFMEMORY;
    delete[] spec.Fields;
    spec.Fields = fields;
    spec.FieldCount = count;
  }
  char question[64];
  for (int i = 0; i < spec.FieldCount; ++i) {
    snprintf(question, sizeof question, "\tField %d name", i + 1);
    PromptString(question, spec.Fields[i].Name, 50);
  }
  return 0;
}

void PromptFieldSizes(VaskReportSpec& spec) {
  char question[96];
  const char* kind = spec.Delimiter ? "max" : "";
  for (int i = 0; i < spec.FieldCount; ++i) {
    snprintf(question, sizeof question, "\tField '%s' %ssize", spec.Fields[i].Name, kind);
    PromptInt(question, &spec.Fields[i].Size, 1, INT_MAX);
  }
}

void PromptRoles(VaskReportSpec& spec) {
  spec.PromptUserFieldName("BSP", spec.BspField);
  spec.PromptUserFieldName("DPID", spec.DpidField);
  spec.PromptUserFieldName("State", spec.StateField);
  spec.PromptUserFieldName("Amended", spec.AmendedField);
}

// The setting holds kilograms; people weigh letters in grams.
void PromptWeightInGrams(VaskReportSpec& spec) {
  const double shown = spec.WeightOfLetter * 1000;
  for (;;) {
    double grams = shown;
    PromptDouble("Weight per letter (in grams)", &grams);
    if (grams == shown) return;
    if (WeightOfLetterFits(grams / 1000)) {
      spec.WeightOfLetter = grams / 1000 + 0.0;
      return;
    }
    // Asked again from the value before, which an empty reply then keeps.
    std::cerr << s_InvalidReply;
  }
}

void PromptManifest(VaskReportSpec& spec) {
  PromptYesNo("Create Manifest Report", &spec.ManifestReport);
  if (!spec.ManifestReport) return;
  PromptInt("Letters per tray", &spec.LettersPerTray, 1, INT_MAX);
  PromptWeightInGrams(spec);
  PromptState("State of lodgement", &spec.State);
  const TextQuestion texts[] = {
      {"Customer Name", spec.CustomerName, 50},
      {"Job Number", spec.JobNumber, 30},
  };
  AskTexts(texts, sizeof texts / sizeof *texts);
}

void PromptMatching(VaskReportSpec& spec) {
  PromptYesNo("Create Address Matching Summary Report", &spec.MatchingReport);
  if (!spec.MatchingReport) return;
  const TextQuestion list[] = {
      {"Date address list processed", spec.ProcessDate, 30},
      {"Person or company who processed the address list", spec.ListProcessor, 50},
      {"Name of the addres list", spec.ListName, 50},
      {"Owner of address list", spec.ListOwner, 50},
  };
  const TextQuestion software[] = {
      {"Software name", spec.SoftwareName, 50},
      {"Software version", spec.SoftwareVersion, 10},
      {"Date Software certified", spec.CertifiedDate, 30},
      {"Version of PAF used", spec.PafVersion, 40},
  };
  AskTexts(list, sizeof list / sizeof *list);
  std::cerr << "Now for some information about the softare used to generate the barcodes:\n";
  AskTexts(software, sizeof software / sizeof *software);
}

void PromptFileProcessing(VaskReportSpec& spec) {
  PromptYesNo("Resort the data file by Sort-Level and BSP", &spec.SortByBsp);
  PromptYesNo("Create separate files, one per Sort-Level", &spec.SortIntoBdt);
  PromptYesNo("Create separate files, one per State", &spec.SortIntoStates);
}

void PromptLabelPlan(VaskReportSpec& spec) {
  PromptYesNo("Create Label Plan File (.lpf)", &spec.LabelPlanFile);
  if (!spec.LabelPlanFile) return;
  const TextQuestion texts[] = {
      {"Label Plan Name", spec.LabelPlanName, 50},
      {"Customer Name", spec.LabelCustomerName, 50},
      {"Customer Phone", spec.CustomerPhone, 50},
      {"Job Number", spec.LabelJobNumber, 50},
      {"Service (eg. R)", spec.Service, 50},
      {"Mail Size (S or L)", spec.MailSize, 50},
  };
  AskTexts(texts, sizeof texts / sizeof *texts);
  char prefix[2] = {spec.Prefix, '\0'};
  PromptString("BSP prefix", prefix, 1);
  spec.Prefix = prefix[0];
  PromptState("State of lodgement", &spec.LabelState);
}

}  // namespace

int VaskReportSpec::PromptUserSpec() {
  PromptDataFile(*this);
  if (!DetectFieldNames(*this))
    if (int rc = PromptFieldList(*this)) return rc;
  PromptFieldSizes(*this);
  PromptRoles(*this);
  PromptString("Directory in which to place report files", OutputDirectory, MAX_TEXT);
  PromptManifest(*this);
  PromptMatching(*this);
  PromptFileProcessing(*this);
  PromptLabelPlan(*this);
  return 0;
}
