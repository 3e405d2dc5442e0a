// Specification file reader over arbitrary bytes; a file that loads is saved
// and must load again.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "FuzzInput.h"
#include "spec/VaskReportSpec.h"

namespace {
std::string TempName(const char* tag) {
  return std::string("/tmp/vaskreport-fuzz-") + tag + "-" + std::to_string(getpid());
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = TempName("spec");
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  VaskReportSpec spec;
  char message[256];
  int rc = spec.Read(path.c_str(), message);
  if (rc == 0 && !spec.FieldNamesOnFirstLine) {
    std::string saved = TempName("saved");
    if (spec.Write(saved.c_str()) == 0) {
      VaskReportSpec again;
      if (again.Read(saved.c_str(), message) != 0) __builtin_trap();
    }
    remove(saved.c_str());
  }
  remove(path.c_str());
  return 0;
}
