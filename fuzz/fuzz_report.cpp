// A whole reportReport run, every document and every sort setting, over an
// arbitrary small data file. Every record line must reach the resorted data
// file, the split files together must hold the same lines, and no temporary
// file may stay.
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "include/vaskreport.h"

namespace {

const char* const kNames[] = {"Name", "State", "Dpid", "Bsp", "Amended"};

void Setup(const std::string& data, const std::string& out) {
  reportClearSpec();
  reportPutFileName(data.c_str());
  reportPutDelimiter(',');
  reportPutQualifier('"');
  reportPutFieldCount(5);
  for (int i = 0; i < 5; ++i) {
    reportPutFieldNames(i + 1, kNames[i]);
    reportPutFieldSizes(i + 1, 12);
  }
  reportPutStateField("State");
  reportPutDpidField("Dpid");
  reportPutBspField("Bsp");
  reportPutAmendedField("Amended");
  reportPutOutputDirectory(out.c_str());
  reportPutManifestReport(1);
  reportPutSummaryReport(1);
  reportPutProcessDate("07/12/2026");
  reportPutResortFile(1);
  reportPutSortIntoLevel(1);
  reportPutSortIntoStates(1);
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The record lines of a text, sorted; blank lines are no records.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line != "\r") lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

// Every split file beside the data file, removed once read.
std::string TakeSplitFiles(const std::string& dir) {
  std::string all;
  DIR* d = opendir(dir.c_str());
  if (!d) __builtin_trap();
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name.size() < 12 || name.compare(name.size() - 12, 12, "_mailing.csv") != 0) continue;
    all += ReadAll(dir + "/" + name) + "\n";
    remove((dir + "/" + name).c_str());
  }
  closedir(d);
  return all;
}

bool AnyTempFile(const std::string& dir) {
  for (int i = 0; i <= 64; ++i) {
    char name[8];
    snprintf(name, sizeof name, "%02d.tmp", i);
    if (access((dir + "/" + name).c_str(), F_OK) == 0) return true;
  }
  return false;
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
  Setup(path, dir + "/out");
  char message[256];
  if (reportReport(message, nullptr) != 0) {
    fprintf(stderr, "reportReport failed: %s\n", message);
    __builtin_trap();
  }
  std::vector<std::string> before = Lines(input);
  if (Lines(ReadAll(path)) != before) __builtin_trap();
  if (Lines(TakeSplitFiles(dir)) != before) __builtin_trap();
  if (AnyTempFile(dir + "/out")) __builtin_trap();
  return 0;
}
