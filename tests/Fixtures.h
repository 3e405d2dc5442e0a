#ifndef VASKREPORT_TESTS_FIXTURES_H
#define VASKREPORT_TESTS_FIXTURES_H

#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "spec/VaskReportSpec.h"
#include "util/StrUtil.h"

namespace vrtest {

// A fresh directory under base, removed with everything in it on destruction.
class TempDir {
 public:
  explicit TempDir(const std::string& base = "/tmp") {
    std::string name = base + "/vaskreport-test-XXXXXX";
    path_ = mkdtemp(&name[0]) ? name : "";
  }
  ~TempDir() {
    const std::string cmd = "chmod -R u+rwx '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'";
    if (!path_.empty() && system(cmd.c_str()) != 0) ADD_FAILURE() << "cannot remove " << path_;
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Sets (or, with a null value, unsets) an environment variable for a scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name), had_(getenv(name) != nullptr) {
    if (had_) old_ = getenv(name);
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { had_ ? setenv(name_.c_str(), old_.c_str(), 1) : unsetenv(name_.c_str()); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  bool had_;
  std::string old_;
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

// Name to content of every plain file in a directory.
inline std::map<std::string, std::string> FilesIn(const std::string& directory) {
  std::map<std::string, std::string> files;
  DIR* listing = opendir(directory.c_str());
  if (!listing) return files;
  while (dirent* entry = readdir(listing)) {
    const std::string path = directory + "/" + entry->d_name;
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) files[entry->d_name] = ReadFile(path);
  }
  closedir(listing);
  return files;
}

inline std::string Spaces(int n) { return std::string(n, ' '); }

// A directory of about length characters below base, made of nested parts
// each short enough for the file system; returned with its trailing "/".
inline std::string LongDirectory(const std::string& base, size_t length) {
  std::string dir = base;
  while (dir.size() + 2 < length) {
    size_t part = std::min<size_t>(100, length - dir.size() - 2);
    dir += "/" + std::string(part, 'd');
    mkdir(dir.c_str(), 0700);
  }
  return dir + "/";
}

// Progress calls of a run. The call whose value is g_CancelAtValue, or the
// g_CancelAtCall-th call (1 the first), cancels the run.
inline std::vector<int> g_ProgressCalls;
inline int g_CancelAtValue = INT_MIN;
inline size_t g_CancelAtCall = 0;

inline int RecordProgress(int value) {
  g_ProgressCalls.push_back(value);
  return value == g_CancelAtValue || g_ProgressCalls.size() == g_CancelAtCall;
}

// count copies of a record line.
inline std::string Records(int count, const std::string& line = "1,3,VIC,0,n\n") {
  std::string text;
  for (int i = 0; i < count; ++i) text += line;
  return text;
}

// Deterministic pseudo-random numbers.
class Random {
 public:
  explicit Random(uint64_t seed) : m_State(seed * 2862933555777941757ull + 3037000493ull) {}
  unsigned Below(unsigned n) {
    return static_cast<unsigned>(((m_State = m_State * 6364136223846793005ull + 1442695040888963407ull) >> 33) % n);
  }

 private:
  uint64_t m_State;
};

struct Mailing {
  bool SortByBsp = true, SortIntoBdt = true, SortIntoStates = true, CrLf = false;
  unsigned Seed = 1;
  std::string DataName = "job.csv";
};

// Lines of a mailing DPID,BSP,STATE,FLAG,NAME with a header: direct-tray
// sort plans, residue ones, BSPs 2 and 19, unbarcoded letters of known,
// unknown and empty state, barcoded letters without a sort plan, lines the
// record reader rejects, blank lines; shuffled below the header.
inline std::string GenerateMailing(const Mailing& mailing) {
  Random random(mailing.Seed);
  const std::string eol = mailing.CrLf ? "\r\n" : "\n";
  std::vector<std::string> lines;
  auto record = [&](const std::string& dpid, const std::string& bsp, const std::string& state) {
    static const char* const flags[] = {"0", "1", "4", "8", "12", "-1", "", "x"};
    lines.push_back(dpid + "," + bsp + "," + state + "," + flags[random.Below(8)] + ",\"Name " +
                    std::to_string(random.Below(100000)) + ", Jr\"" + eol);
  };
  auto dpid = [&random] { return std::to_string(10000000 + random.Below(89999999)); };
  const int direct[][2] = {{3, 320}, {22, 305}, {40, 301}};
  for (const auto& plan : direct)
    for (int i = 0; i < plan[1]; ++i) record(dpid(), std::to_string(plan[0]), "NSW");
  for (int i = 0; i < 400; ++i) record(dpid(), std::to_string(1 + random.Below(54)), "");
  for (int i = 0; i < 30; ++i) record(dpid(), i % 2 ? "19" : "2", "ACT");
  static const char* const states[] = {"NSW", "vic", "Qld", "ACT", "XX", "", "wa", "Victoria"};
  for (int i = 0; i < 250; ++i) record("", std::to_string(random.Below(55)), states[random.Below(8)]);
  for (int i = 0; i < 12; ++i) record(dpid(), i % 3 ? "99" : "0", "SA");
  for (int i = 0; i < 5; ++i) lines.push_back("12345678,3,NSW,0,\"unclosed name" + eol);
  lines.insert(lines.end(), {eol, "  " + eol});  // a blank line; blanks only: a record with every field empty
  for (size_t i = lines.size(); i > 1; --i)
    std::swap(lines[i - 1], lines[random.Below(static_cast<unsigned>(i))]);
  std::string text = "DPID,BSP,STATE,FLAG,NAME" + eol;
  for (const std::string& line : lines) text += line;
  return text;
}

// Nothrow array allocations fail once this countdown reaches 0 (-1: never),
// to reach the code that handles a failed allocation. Every test program is
// one translation unit, so the replacement is defined once in each.
inline int g_AllocationsBeforeFailure = -1;

}  // namespace vrtest

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  if (vrtest::g_AllocationsBeforeFailure == 0) return nullptr;
  if (vrtest::g_AllocationsBeforeFailure > 0) --vrtest::g_AllocationsBeforeFailure;
  try {
    return ::operator new[](size);
  } catch (...) {
    return nullptr;
  }
}

#endif
