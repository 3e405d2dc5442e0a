#include "spec/SpecText.h"

#include <cstdio>
#include <cstring>

#include "base/States.h"

namespace {

// The file's text, and whether every value went on a line of its own.
struct Text {
  std::string& Out;
  bool Whole;
};

// The longest line the specification reader takes.
const size_t kMaxReadLine = MAX_TEXT;

void Line(Text& out, const char* key, const char* value) {
  // A value holding a line feed would read back as more entries, or other
  // sections, than the object has; a longer line would not read at all.
  if (std::strchr(value, '\n') || std::strlen(key) + 1 + std::strlen(value) > kMaxReadLine)
    out.Whole = false;
  out.Out += key;
  out.Out += '=';
  out.Out += value;
  out.Out += '\n';
}

void Header(Text& out, const char* name) {
  out.Out += '[';
  out.Out += name;
  out.Out += "]\n";
}

void Number(Text& out, const char* key, int value) {
  char text[16];
  snprintf(text, sizeof text, "%d", value);
  Line(out, key, text);
}

void Flag(Text& out, const char* key, bool value) {
  Line(out, key, value ? "True" : "False");
}

bool IsField(const VaskReportSpec& spec, int index) {
  return index >= 0 && index < spec.FieldCount;
}

// How a saved file names a field so that it reads back as the same field:
// by its name, unless the name finds an earlier field of the same name, ends
// in a carriage return or, in a comma-separated list, holds a comma or the
// spaces the list loses; then by its number, which is what the reader tries
// next.
std::string FieldReference(const VaskReportSpec& spec, int index, bool inList) {
  const std::string name = spec.Fields[index].Name;
  // A carriage return that ends the name ends its line too, and the reader
  // takes it for part of a Windows line ending.
  bool byName = spec.FindField(name.c_str()) == index && (name.empty() || name.back() != '\r');
  if (inList)
    byName = byName && name.find(',') == std::string::npos && !name.empty() &&
             name.front() != ' ' && name.back() != ' ';
  if (byName) return name;
  const std::string number = std::to_string(index + 1);
  return spec.FindField(number.c_str()) < 0 ? number : name;  // else neither reads back
}

void Role(Text& out, const VaskReportSpec& spec, const char* key, int index) {
  if (IsField(spec, index)) Line(out, key, FieldReference(spec, index, false).c_str());
}

void State(Text& out, int state) {
  if (state >= 0 && state < STATE_COUNT) Line(out, "State", s_States[state]);
}

void FileSection(Text& out, const VaskReportSpec& spec) {
  Header(out, "File");
  Line(out, "Path", spec.Path);
  Number(out, "Delimiter", static_cast<unsigned char>(spec.Delimiter));
  if (spec.Qualifier) Number(out, "Qualifier", static_cast<unsigned char>(spec.Qualifier));
  Flag(out, "FieldNamesOnFirstLine", spec.FieldNamesOnFirstLine);
  Number(out, "Fields", spec.FieldCount);
  char key[32];
  for (int n = 1; n <= spec.FieldCount; ++n) {
    snprintf(key, sizeof key, "Field%dName", n);
    Line(out, key, spec.Fields[n - 1].Name);
    snprintf(key, sizeof key, "Field%dSize", n);
    Number(out, key, spec.Fields[n - 1].Size);
  }
  Role(out, spec, "BspField", spec.BspField);
  Role(out, spec, "StateField", spec.StateField);
  Role(out, spec, "DpidField", spec.DpidField);
  Role(out, spec, "AmendedField", spec.AmendedField);
}

void ManifestSection(Text& out, const VaskReportSpec& spec) {
  Header(out, "ManifestReport");
  Number(out, "LettersPerTray", spec.LettersPerTray);
  char weight[32];
  snprintf(weight, sizeof weight, "%g", spec.WeightOfLetter);
  Line(out, "WeightOfLetter", weight);
  State(out, spec.State);
  Line(out, "CustomerName", spec.CustomerName);
  Line(out, "JobNumber", spec.JobNumber);
}

void MatchingSection(Text& out, const VaskReportSpec& spec) {
  Header(out, "MatchingReport");
  Line(out, "PafVersion", spec.PafVersion);
  Line(out, "ProcessDate", spec.ProcessDate);
  Line(out, "CertifiedDate", spec.CertifiedDate);
  Line(out, "SoftwareName", spec.SoftwareName);
  Line(out, "SoftwareVersion", spec.SoftwareVersion);
  Line(out, "ListProcessor", spec.ListProcessor);
  Line(out, "ListName", spec.ListName);
  Line(out, "ListOwner", spec.ListOwner);
}

// Entries naming no field are left out; with none left the key is not
// written, since an empty list would not load again.
void RemoveFieldLine(Text& out, const VaskReportSpec& spec) {
  if (!spec.RemoveField) return;
  std::string names;
  bool any = false;
  for (const int* p = spec.RemoveField; *p != -1; ++p) {
    if (!IsField(spec, *p)) continue;
    if (any) names += ',';
    names += FieldReference(spec, *p, true);
    any = true;
  }
  if (any) Line(out, "RemoveField", names.c_str());
}

void ProcessingSection(Text& out, const VaskReportSpec& spec) {
  Header(out, "FileProcessing");
  Flag(out, "SortByBsp", spec.SortByBsp);
  Flag(out, "SortIntoBdt", spec.SortIntoBdt);
  Flag(out, "SortIntoStates", spec.SortIntoStates);
  RemoveFieldLine(out, spec);
}

void LabelPlanSection(Text& out, const VaskReportSpec& spec) {
  Header(out, "LabelPlanFile");
  Line(out, "LabelPlanName", spec.LabelPlanName);
  Line(out, "CustomerName", spec.LabelCustomerName);
  Line(out, "CustomerPhone", spec.CustomerPhone);
  Line(out, "JobNumber", spec.LabelJobNumber);
  Line(out, "Service", spec.Service);
  Line(out, "MailSize", spec.MailSize);
  if (spec.Prefix) {
    const char prefix[2] = {spec.Prefix, '\0'};
    Line(out, "Prefix", prefix);
  }
  State(out, spec.LabelState);
}

}  // namespace

bool SpecFileText(const VaskReportSpec& spec, std::string& text) {
  text.clear();
  Text out{text, true};
  FileSection(out, spec);
  Header(out, "Output");
  Line(out, "OutputDirectory", spec.OutputDirectory);
  if (spec.ManifestReport) ManifestSection(out, spec);
  if (spec.MatchingReport) MatchingSection(out, spec);
  ProcessingSection(out, spec);
  if (spec.LabelPlanFile) LabelPlanSection(out, spec);
  return out.Whole;
}
