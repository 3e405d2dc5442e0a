// The read pass's scanner against the record reader: over any plain layout,
// any roles and any bytes (NULs, carriage returns and line feeds included),
// each role value must be the field ReadRecord gives for that line.
#include <cstring>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "engine/RoleScanner.h"
#include "spec/VaskReportSpec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  VaskReportSpec spec;
  spec.Delimiter = static_cast<char>(in.Byte());
  const int count = 1 + in.Byte() % 20;
  spec.Fields = new VaskReportSpec::FieldSpec[count];
  spec.FieldCount = count;
  for (int i = 0; i < count; ++i) spec.Fields[i].Size = in.Byte() % 16;
  spec.CalculateFieldOffsets();
  int* roles[ROLE_COUNT] = {&spec.DpidField, &spec.AmendedField, &spec.BspField, &spec.StateField};
  for (int* role : roles) *role = static_cast<int>(in.Byte() % (count + 2)) - 1;
  if (!RoleScanner::Handles(spec)) return 0;

  std::string bytes(reinterpret_cast<const char*>(data) + (size - in.Left()), in.Left());
  std::vector<char> record(static_cast<size_t>(spec.RecordLength) + 1);
  // Each way of finding delimiters the processor has, in turn by input size.
  static const MaskFinderList finders = AvailableMaskFinders();
  RoleScanner scanner(spec, finders.Finder[size % static_cast<size_t>(finders.Count)]);
  size_t begin = 0;
  scanner.Scan(&bytes[0], &bytes[0] + bytes.size(), [&](const DataLine& line, const LineRoles& values) {
    // The same line cut the slow way: up to its line feed, less one final
    // carriage return, read as the C string up to its first NUL.
    size_t feed = bytes.find('\n', begin);
    if (feed == std::string::npos) feed = bytes.size();
    std::string text = bytes.substr(begin, feed - begin);
    const bool cr = !text.empty() && text.back() == '\r';
    if (cr) text.pop_back();
    if (line.Text != &bytes[begin] || line.Length != text.size() || line.Cr != cr) __builtin_trap();
    begin = feed + 1;
    if (text.empty()) return 0;
    spec.ReadRecord(record.data(), text.c_str());
    for (int role = 0; role < ROLE_COUNT; ++role) {
      const int field = *roles[role];
      const FieldValue& value = values.Value[role];
      if (field < 0 || field >= count) {
        if (value.Text) __builtin_trap();
        continue;
      }
      const char* expected = record.data() + spec.Fields[field].Offset;
      if (!value.Text || value.Length != strlen(expected) ||
          memcmp(value.Text, expected, value.Length) != 0)
        __builtin_trap();
    }
    return 0;
  });
  if (begin < bytes.size()) __builtin_trap();  // every line was seen
  return 0;
}
