#ifndef VASKREPORT_TESTS_DRIVER_FIXTURE_H
#define VASKREPORT_TESTS_DRIVER_FIXTURE_H

#include <algorithm>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "spec/VaskReportSpec.h"
#include "util/StrUtil.h"

namespace vrtest {

enum { F_DPID, F_BSP, F_STATE, F_FLAG, F_NAME, F_COUNT };

// A comma-delimited layout DPID,BSP,STATE,FLAG,NAME with every role set,
// lodged in VIC, reading the given data file.
inline void UseLayout(VaskReportSpec& spec, const std::string& dataPath, char qualifier = 0) {
  spec.Clear();
  static const char* const names[F_COUNT] = {"DPID", "BSP", "STATE", "FLAG", "NAME"};
  static const int sizes[F_COUNT] = {8, 3, 5, 3, 20};
  spec.Fields = new VaskReportSpec::FieldSpec[F_COUNT];
  spec.FieldCount = F_COUNT;
  for (int i = 0; i < F_COUNT; ++i) {
    strncpyz(spec.Fields[i].Name, names[i], 50);
    spec.Fields[i].Size = sizes[i];
  }
  spec.Delimiter = ',';
  spec.Qualifier = qualifier;
  spec.DpidField = F_DPID;
  spec.BspField = F_BSP;
  spec.StateField = F_STATE;
  spec.AmendedField = F_FLAG;
  spec.State = 2;
  strncpyz(spec.ExpandedPath, dataPath.c_str(), 255);
  strncpyz(spec.Path, dataPath.c_str(), 255);
  spec.CalculateFieldOffsets();
}

// The lines of a text, without their line feeds; a final line feed ends the
// last line rather than starting an empty one.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

inline std::vector<std::string> Sorted(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

inline std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

inline std::string TempName(const std::string& directory, int index) {
  char digits[3] = {static_cast<char>('0' + index / 10), static_cast<char>('0' + index % 10), 0};
  return directory + "/" + digits + ".tmp";
}

inline bool AnyTempFileLeft(const std::string& directory, bool countResortCopy) {
  for (int i = 0; i <= 64; ++i)
    if ((i != 63 || countResortCopy) && FileExists(TempName(directory, i))) return true;
  return false;
}

}  // namespace vrtest

#endif
