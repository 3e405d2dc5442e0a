// Field-name detection over arbitrary header lines, delimited and fixed-width,
// with and without fields defined.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "FuzzInput.h"
#include "spec/VaskReportSpec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  VaskReportSpec spec;
  spec.Delimiter = static_cast<char>(in.Byte());
  spec.Qualifier = static_cast<char>(in.Byte());
  int count = in.Byte() % 5;
  if (count) {
    spec.Fields = new VaskReportSpec::FieldSpec[count];
    spec.FieldCount = count;
    for (int i = 0; i < count; ++i) {
      spec.Fields[i].Size = 1 + in.Byte() % 200;
      snprintf(spec.Fields[i].Name, sizeof spec.Fields[i].Name, "F%d", i);
    }
  }
  std::string path = "/tmp/vaskreport-fuzz-header-" + std::to_string(getpid());
  {
    std::string rest = in.Rest();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << rest;
  }
  spec.SetPath(path.c_str());
  char message[256] = "";
  int rc = spec.GetAndCheckFieldNames(message);
  // Defined fields are only checked, never changed.
  if (count && spec.FieldCount != count) __builtin_trap();
  if (rc == 0 && !count && spec.Delimiter && spec.FieldCount < 1) __builtin_trap();
  if (strnlen(message, sizeof message) == sizeof message) __builtin_trap();
  for (int i = 0; i < spec.FieldCount; ++i)
    if (spec.Fields[i].Name[sizeof spec.Fields[i].Name - 1] != '\0') __builtin_trap();
  remove(path.c_str());
  return 0;
}
