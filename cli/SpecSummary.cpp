#include <cstdio>
#include <iostream>
#include <string>

#include "Cli.h"
#include "base/States.h"
#include "spec/VaskReportSpec.h"

namespace {

std::string CharText(char c) {
  int code = static_cast<unsigned char>(c);
  char text[32];
  if (code == '\t')
    snprintf(text, sizeof text, "tab (9)");
  else if (code > ' ' && code < 127)
    snprintf(text, sizeof text, "'%c' (%d)", c, code);
  else
    snprintf(text, sizeof text, "code %d", code);
  return text;
}

std::string LayoutText(const VaskReportSpec& spec) {
  std::string text = spec.Delimiter ? "delimited by " + CharText(spec.Delimiter) : "fixed-width";
  if (spec.Delimiter && spec.Qualifier) text += ", text qualifier " + CharText(spec.Qualifier);
  if (spec.FieldNamesOnFirstLine) text += ", field names on the first line";
  return text;
}

// Role names of field i, for the layout table.
std::string Roles(const VaskReportSpec& spec, int i) {
  struct Role {
    const char* Name;
    int Field;
  } roles[] = {{"DPID", spec.DpidField},
               {"BSP", spec.BspField},
               {"state", spec.StateField},
               {"amended", spec.AmendedField}};
  std::string text;
  for (const Role& role : roles)
    if (role.Field == i) text += (text.empty() ? "" : ", ") + std::string(role.Name);
  return text;
}

void PrintFields(const VaskReportSpec& spec) {
  std::cout << "Fields:     " << spec.FieldCount << "\n";
  for (int i = 0; i < spec.FieldCount; ++i) {
    char line[128];
    snprintf(line, sizeof line, "  %3d  %-30s %6d", i + 1, spec.Fields[i].Name, spec.Fields[i].Size);
    std::string roles = Roles(spec, i);
    std::cout << line << (roles.empty() ? "" : "  " + roles) << "\n";
  }
}

void PrintLodgement(const VaskReportSpec& spec, int givenState) {
  if (givenState < 0)
    std::cout << "Lodgement:  not given (a run takes " << NumberToState(0) << ")\n";
  else
    std::cout << "Lodgement:  " << NumberToState(spec.State) << "\n";
}

void PrintDocuments(const VaskReportSpec& spec) {
  std::cout << "Documents:\n";
  if (spec.ManifestReport) {
    std::cout << "  Manifest Report and Lodgement Information: customer \"" << spec.CustomerName
              << "\", job \"" << spec.JobNumber << "\", " << spec.LettersPerTray
              << " letters per tray, " << spec.WeightOfLetter * 1000 << " g per letter\n";
  }
  if (spec.MatchingReport)
    std::cout << "  Address Matching Processing Summary Report: list \"" << spec.ListName
              << "\" of " << spec.ListOwner << ", software " << spec.SoftwareName << " "
              << spec.SoftwareVersion << "\n";
  if (spec.LabelPlanFile)
    std::cout << "  Label Plan File: plan \"" << spec.LabelPlanName << "\", service "
              << spec.Service << ", mail size " << spec.MailSize << "\n";
  if (!spec.ManifestReport && !spec.MatchingReport && !spec.LabelPlanFile)
    std::cout << "  none\n";
}

}  // namespace

void PrintSpecSummary(const VaskReportSpec& spec, const char* specFile, int givenState) {
  std::cout << "Specification: " << specFile << "\n";
  std::cout << "Data file:  " << spec.ExpandedPath;
  if (std::string(spec.ExpandedPath) != spec.Path) std::cout << " (written as " << spec.Path << ")";
  std::cout << "\nLayout:     " << LayoutText(spec) << "\n";
  PrintFields(spec);
  PrintLodgement(spec, givenState);
  PrintDocuments(spec);
  std::cout << "A run writes:\n";
  for (const PlannedFile& file : PlannedFiles(spec, nullptr, false))
    std::cout << "  " << ListedName(file) << "\n";
}
