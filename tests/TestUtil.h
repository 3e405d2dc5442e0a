#ifndef VASKREPORT_TESTS_TESTUTIL_H
#define VASKREPORT_TESTS_TESTUTIL_H

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace vrtest {

// A fresh directory under /tmp, removed with everything in it on destruction.
class TempDir {
 public:
  TempDir() {
    char tmpl[] = "/tmp/vaskreport-test-XXXXXX";
    const char* made = mkdtemp(tmpl);
    path_ = made ? made : "";
  }
  ~TempDir() {
    if (!path_.empty()) {
      std::string cmd = "chmod -R u+rwx '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'";
      if (system(cmd.c_str()) != 0) {
      }
    }
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Sets (or, with a null value, unsets) an environment variable for a scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* old = getenv(name);
    had_ = old != nullptr;
    if (had_) old_ = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv() {
    if (had_)
      setenv(name_.c_str(), old_.c_str(), 1);
    else
      unsetenv(name_.c_str());
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_, old_;
  bool had_ = false;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

inline void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

// Compares text with tests/golden/<name>. With VASK_UPDATE_GOLDEN=1 in the
// environment the golden file is rewritten instead; review the diff.
inline void ExpectGolden(const std::string& actual, const std::string& name) {
  std::string path = std::string(VR_TEST_SOURCE_DIR) + "/golden/" + name;
  const char* update = getenv("VASK_UPDATE_GOLDEN");
  if (update && *update == '1') {
    WriteFile(path, actual);
    return;
  }
  ASSERT_TRUE(FileExists(path)) << "missing golden file " << path;
  EXPECT_EQ(ReadFile(path), actual) << "differs from golden file " << path;
}

}  // namespace vrtest

#endif
