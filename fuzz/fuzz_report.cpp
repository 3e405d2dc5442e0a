// A whole report run, every document and every sort setting, over an
// arbitrary small data file. Every record line must reach the resorted file.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/ReportDriver.h"
#include "spec/VaskReportSpec.h"

namespace {

const char* const kNames[] = {"Name", "State", "Dpid", "Bsp", "Amended"};

void Setup(VaskReportSpec& spec, const std::string& data, const std::string& out) {
  spec.SetPath(data.c_str());
  spec.Delimiter = ',';
  spec.Qualifier = '"';
  spec.Fields = new VaskReportSpec::FieldSpec[5];
  spec.FieldCount = 5;
  for (int i = 0; i < 5; ++i) {
    strcpy(spec.Fields[i].Name, kNames[i]);
    spec.Fields[i].Size = 12;
  }
  spec.StateField = 1;
  spec.DpidField = 2;
  spec.BspField = 3;
  spec.AmendedField = 4;
  snprintf(spec.OutputDirectory, sizeof spec.OutputDirectory, "%s", out.c_str());
  spec.ManifestReport = spec.MatchingReport = spec.LabelPlanFile = true;
  strcpy(spec.ProcessDate, "07/12/2026");
  spec.SortByBsp = spec.SortIntoBdt = spec.SortIntoStates = true;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line != "\r") lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::string dir = [] {
    char tmpl[] = "/tmp/vaskreport-fuzz-run-XXXXXX";
    return std::string(mkdtemp(tmpl));
  }();
  std::string input(reinterpret_cast<const char*>(data), size);
  if (input.find('\0') != std::string::npos) return 0;
  std::string path = dir + "/mailing.csv";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << input;
  }
  VaskReportSpec spec;
  Setup(spec, path, dir + "/out");
  if (spec.Validate(nullptr) != 0) __builtin_trap();
  char message[256];
  int rc = CreateReports(spec, nullptr, message, nullptr);
  if (rc != 0) __builtin_trap();
  std::ifstream in(path, std::ios::binary);
  std::stringstream after;
  after << in.rdbuf();
  // Carriage returns may end lines; compare the lines as the data file holds them.
  std::vector<std::string> before = Lines(input), now = Lines(after.str());
  if (before != now) __builtin_trap();
  return 0;
}
