#include "engine/OutputFile.h"

#include <cstring>
#include <string>

#include "include/vaskreport.h"
#include "spec/VaskReportSpec.h"
#include "util/StrUtil.h"

// Fixed-width layouts get names padded to their columns, so the line reads
// back as a header of the same layout.
std::string HeaderLine(const VaskReportSpec& spec) {
  if (!spec.FieldNamesOnFirstLine) return "";
  std::string line;
  for (int i = 0; i < spec.FieldCount; ++i) {
    const VaskReportSpec::FieldSpec& field = spec.Fields[i];
    if (!spec.Delimiter) {
      std::string name(field.Name, strnlen(field.Name, field.Size > 0 ? field.Size : 0));
      line += name;
      if (field.Size > 0) line.append(static_cast<size_t>(field.Size) - name.size(), ' ');
      continue;
    }
    if (i > 0) line += spec.Delimiter;
    if (spec.Qualifier) line += spec.Qualifier;
    line += field.Name;
    if (spec.Qualifier) line += spec.Qualifier;
  }
  return line + "\n";
}

int OpenOutputFile(std::ofstream& out, const char* fileName, const VaskReportSpec& spec,
                   char* message) {
  // Its mode is narrowed before any record is in it.
  if (!OpenNewStream(out, fileName, spec.ExpandedPath, MODE_NARROWED, std::ios::binary)) {
    if (message) strncpyz(message, fileName, MAX_TEXT);
    return ERR_VASKREPORT_OPEN_OUTPUT_FILE;
  }
  out << HeaderLine(spec);
  return 0;
}

