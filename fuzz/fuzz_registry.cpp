// Configuration lookup and path expansion over arbitrary configuration files
// and paths. The configuration file is named through ZELNOR_CONFIG_FILE and
// the working directory is one where no .zelnor exists.
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "FuzzInput.h"
#include "util/Registry.h"
#include "util/StrUtil.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  size_t pathLength = in.Byte();
  std::string rest = in.Rest();
  std::string path = rest.substr(0, pathLength < rest.size() ? pathLength : rest.size());
  std::string config = rest.substr(path.size());

  static std::string dir = [] {
    char tmpl[] = "/tmp/vaskreport-fuzz-cfg-XXXXXX";
    std::string made = mkdtemp(tmpl);
    if (chdir(made.c_str()) != 0) abort();
    return made;
  }();
  std::string file = dir + "/config";
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << config;
  }
  setenv("ZELNOR_CONFIG_FILE", file.c_str(), 1);

  char expanded[256];
  ExpandZelnorPath(expanded, path.c_str());
  if (strlen(expanded) > 255) __builtin_trap();

  char value[16];
  int capacity = sizeof value;
  LookUpRegistry_("Paths", path.c_str(), value, capacity, false);
  unsigned number = 0;
  LookUpRegistryI_(nullptr, path.c_str(), number, false);

  char** names = nullptr;
  char** values = nullptr;
  EnumerateRegistry_(path.c_str(), &names, &values);
  FreeArray_(names);
  FreeArray_(values);
  return 0;
}
