// Replays a fuzz target's corpus as an ordinary test: every file named on the
// command line (or found in a directory named there) is fed to the target.
#include <dirent.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int Replay(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    fprintf(stderr, "cannot read %s\n", path.c_str());
    return 1;
  }
  std::stringstream s;
  s << in.rdbuf();
  std::string bytes = s.str();
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int inputs = 0, failures = 0;
  for (int i = 1; i < argc; ++i) {
    DIR* d = opendir(argv[i]);
    if (!d) {
      failures += Replay(argv[i]);
      ++inputs;
      continue;
    }
    while (dirent* e = readdir(d)) {
      if (e->d_name[0] == '.') continue;
      failures += Replay(std::string(argv[i]) + "/" + e->d_name);
      ++inputs;
    }
    closedir(d);
  }
  printf("replayed %d inputs\n", inputs);
  return failures || inputs == 0 ? 1 : 0;
}
