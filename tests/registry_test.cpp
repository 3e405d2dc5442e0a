#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "util/Registry.h"
#include "util/StrUtil.h"

namespace {

// Saves and restores one environment variable.
class SavedEnv {
 public:
  explicit SavedEnv(const char* name) : name_(name) {
    const char* v = getenv(name);
    had_ = v != nullptr;
    if (had_) value_ = v;
  }
  ~SavedEnv() {
    if (had_) setenv(name_, value_.c_str(), 1);
    else unsetenv(name_);
  }

 private:
  const char* name_;
  bool had_;
  std::string value_;
};

// Each test runs in a fresh working directory with an empty home and no
// ZELNOR_CONFIG_FILE; cwd and environment are restored afterwards.
class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(nullptr, getcwd(oldCwd_, sizeof oldCwd_));
    ASSERT_EQ(0, chdir(work_.path().c_str()));
    setenv("HOME", home_.path().c_str(), 1);
    unsetenv("ZELNOR_CONFIG_FILE");
  }
  void TearDown() override { ASSERT_EQ(0, chdir(oldCwd_)); }

  void WriteLocal(const std::string& text) { vrtest::WriteFile(work_ / ".zelnor", text); }

  static bool SystemConfigExists() { return FileExists_("/usr/etc/.zelnor"); }

  static std::string Expand(const char* src) {
    char dst[256] = "untouched";
    ExpandZelnorPath(dst, src);
    return dst;
  }

  static std::string Lookup(const char* section, const char* key, int* rc = nullptr) {
    char value[256] = "";
    int capacity = sizeof value;
    int r = LookUpRegistry_(section, key, value, capacity, false);
    if (rc) *rc = r;
    return r == 0 ? value : "<" + std::to_string(r) + ">";
  }

  SavedEnv savedHome_{"HOME"};
  SavedEnv savedConfig_{"ZELNOR_CONFIG_FILE"};
  vrtest::TempDir work_;
  vrtest::TempDir home_;
  vrtest::TempDir other_;
  char oldCwd_[4096];
};

TEST_F(Registry, ExpandsAliasFromPathsSection) {
  WriteLocal("Paths/DATA=/srv/mail\n");
  EXPECT_EQ("/srv/mail/job.txt", Expand("$DATA$/job.txt"));
  EXPECT_EQ("/srv/mailjob.txt", Expand("$DATA$job.txt"));
  EXPECT_EQ("/srv/mail/job.txt", Expand("$data$/job.txt"));
  WriteLocal("paths/data=/srv/mail\r\n");
  EXPECT_EQ("/srv/mail/job.txt", Expand("$DATA$/job.txt"));
}

TEST_F(Registry, LeavesNonAliasPathsAsWritten) {
  WriteLocal("Paths/DATA=/srv/mail\nPaths/DA/TA=/bad\n");
  for (const char* path : {"/x/$DATA$/job.txt", "$DA/TA$/job.txt", "$DA\\TA$/job.txt", "$DATA",
                           "$OTHER$/job.txt", "plain.txt", ""})
    EXPECT_EQ(path, Expand(path));
}

TEST_F(Registry, ExpansionIsCutTo255CharactersAndSaysSo) {
  const std::string value(240, 'v');
  WriteLocal("Paths/D=" + value + "\n");
  EXPECT_EQ(value + "/0123456789abcd", Expand("$D$/0123456789abcdefghij"));
  std::string longPath(300, 'p');
  EXPECT_EQ(longPath.substr(0, 255), Expand(longPath.c_str()));
  struct Case {
    std::string Source;
    bool Whole;
  } cases[] = {{"$D$/" + std::string(14, 'x'), true},
               {"$D$/" + std::string(15, 'x'), false},
               {std::string(255, 'p'), true},
               {longPath, false}};
  for (const Case& c : cases) {
    char dst[256];
    EXPECT_EQ(c.Whole, ExpandPathWhole(dst, c.Source.c_str())) << c.Source;
  }
}

TEST_F(Registry, ExpandIntoItsOwnSourceChangesNothing) {
  WriteLocal("Paths/DATA=/srv/mail\n");
  char path[256] = "$DATA$/job.txt";
  ExpandZelnorPath(path, path);
  EXPECT_STREQ("$DATA$/job.txt", path);
}

TEST_F(Registry, NoConfigFileLeavesAliasInPlace) {
  if (SystemConfigExists()) GTEST_SKIP() << "/usr/etc/.zelnor exists on this machine";
  EXPECT_EQ("$DATA$/job.txt", Expand("$DATA$/job.txt"));
  int rc = 0;
  Lookup("Paths", "DATA", &rc);
  EXPECT_EQ(REGISTRY_NO_CONFIG_FILE, rc);
}

TEST_F(Registry, EntryNeedsEqualsRightAfterKeyAndKeepsValueSpaces) {
  WriteLocal("Paths/A = /no\n  \tPaths/B= /yes \nPaths/C\nPaths/D=x=y\nPaths/E=\n");
  int rc = 0;
  Lookup("Paths", "A", &rc);
  EXPECT_EQ(REGISTRY_KEY_NOT_FOUND, rc);
  EXPECT_EQ(" /yes ", Lookup("Paths", "B"));
  Lookup("Paths", "C", &rc);
  EXPECT_EQ(REGISTRY_KEY_NOT_FOUND, rc);
  EXPECT_EQ("x=y", Lookup("Paths", "D"));
  EXPECT_EQ("", Lookup("Paths", "E"));
}

TEST_F(Registry, FirstMatchingLineWinsAndPrefixDoesNotMatch) {
  WriteLocal("Paths/KEYX=wrong\nPaths/KEY=first\nPaths/KEY=second\n");
  EXPECT_EQ("first", Lookup("Paths", "KEY"));
}

TEST_F(Registry, NestedAndTopLevelKeys) {
  WriteLocal("Reports/Paths/DATA=/srv\nTOP=1\n");
  EXPECT_EQ("/srv", Lookup("Reports/Paths", "DATA"));
  EXPECT_EQ("/srv", Lookup("Reports\\Paths", "DATA"));
  EXPECT_EQ("1", Lookup(nullptr, "TOP"));
  EXPECT_EQ("1", Lookup("", "TOP"));
}

TEST_F(Registry, SearchOrderCwdThenVariableThenHome) {
  std::string named = other_ / "named.cfg";
  vrtest::WriteFile(named, "Paths/K=named\n");
  vrtest::WriteFile(home_ / ".zelnor", "Paths/K=home\n");
  EXPECT_EQ("home", Lookup("Paths", "K"));
  setenv("ZELNOR_CONFIG_FILE", named.c_str(), 1);
  EXPECT_EQ("named", Lookup("Paths", "K"));
  WriteLocal("Paths/K=cwd\n");
  EXPECT_EQ("cwd", Lookup("Paths", "K"));
}

TEST_F(Registry, SearchSkipsUnopenableOrEmptyVariable) {
  vrtest::WriteFile(home_ / ".zelnor", "Paths/K=home\n");
  setenv("ZELNOR_CONFIG_FILE", (other_ / "missing.cfg").c_str(), 1);
  EXPECT_EQ("home", Lookup("Paths", "K"));
  setenv("ZELNOR_CONFIG_FILE", "", 1);
  EXPECT_EQ("home", Lookup("Paths", "K"));
  setenv("HOME", (home_.path() + "/").c_str(), 1);
  EXPECT_EQ("home", Lookup("Paths", "K"));
}

TEST_F(Registry, FirstOpenableFileIsUsedEvenWithoutTheKey) {
  vrtest::WriteFile(home_ / ".zelnor", "Paths/K=home\n");
  WriteLocal("Paths/OTHER=x\n");
  int rc = 0;
  Lookup("Paths", "K", &rc);
  EXPECT_EQ(REGISTRY_KEY_NOT_FOUND, rc);
}

// A cut line would give a cut value, and its rest could pass for an entry.
TEST_F(Registry, LinesLongerThan255AreNotFoundAndNeitherIsTheirRest) {
  WriteLocal("S/K=" + std::string(251, 'v') + "S/M=cut\nS/J=" + std::string(251, 'w') +
             "\r\nS/L=2\n" + std::string("S/N=ab\0cd\n", 10));
  EXPECT_EQ("<1302>", Lookup("S", "K"));
  EXPECT_EQ("<1302>", Lookup("S", "M"));
  EXPECT_EQ(std::string(251, 'w'), Lookup("S", "J"));
  EXPECT_EQ("2", Lookup("S", "L"));
  EXPECT_EQ("<1302>", Lookup("S", "N"));
  char** names = nullptr;
  char** values = nullptr;
  EnumerateRegistry_("S", &names, &values);
  ASSERT_NE(nullptr, names);
  EXPECT_STREQ("J", names[0]);
  EXPECT_STREQ("L", names[1]);
  EXPECT_EQ(nullptr, names[2]);
  FreeArray_(names);
  FreeArray_(values);
}

TEST_F(Registry, LookupTruncatesAndReportsFullLength) {
  WriteLocal("S/K=abcdefghijklmnopqrstuvwxy\n");
  char value[10];
  int capacity = 10;
  EXPECT_EQ(0, LookUpRegistry_("S", "K", value, capacity, true));
  EXPECT_STREQ("abcdefghi", value);
  EXPECT_EQ(25, capacity);
}

TEST_F(Registry, LookupRejectsBadKeysBeforeReading) {
  WriteLocal("A/B=1\n");
  char value[8] = "same";
  int capacity = 8;
  EXPECT_EQ(REGISTRY_KEY_NOT_FOUND, LookUpRegistry_(nullptr, "A/B", value, capacity, false));
  std::string section(200, 's'), key(55, 'k');
  EXPECT_EQ(REGISTRY_KEY_TOOLONG, LookUpRegistry_(section.c_str(), key.c_str(), value, capacity, false));
  std::string longKey(255, 'k');
  EXPECT_EQ(REGISTRY_KEY_TOOLONG, LookUpRegistry_(nullptr, longKey.c_str(), value, capacity, false));
  EXPECT_STREQ("same", value);
  EXPECT_EQ(8, capacity);
}

TEST_F(Registry, LookupIntegerConvertsLeadingDigits) {
  WriteLocal("N/A=12abc\nN/B=  7\nN/C=x\n");
  unsigned int v = 99;
  EXPECT_TRUE(LookUpRegistryI_("N", "A", v, false));
  EXPECT_EQ(12u, v);
  EXPECT_TRUE(LookUpRegistryI_("N", "B", v, false));
  EXPECT_EQ(7u, v);
  EXPECT_TRUE(LookUpRegistryI_("N", "C", v, false));
  EXPECT_EQ(0u, v);
  v = 99;
  EXPECT_FALSE(LookUpRegistryI_("N", "MISSING", v, false));
  EXPECT_EQ(99u, v);
}

std::vector<std::string> ToVector(char** list) {
  std::vector<std::string> out;
  for (char** p = list; p && *p; ++p) out.push_back(*p);
  return out;
}

TEST_F(Registry, EnumerateListsDirectEntriesOfSection) {
  WriteLocal("Paths/A=1\nPaths/Sub/B=2\n  paths/C=3\nPathsX/D=4\nPaths/nothing\nOther/E=5\n");
  char** names = nullptr;
  char** values = nullptr;
  EnumerateRegistry_("Paths", &names, &values);
  ASSERT_NE(nullptr, names);
  ASSERT_NE(nullptr, values);
  EXPECT_EQ((std::vector<std::string>{"A", "C"}), ToVector(names));
  EXPECT_EQ((std::vector<std::string>{"1", "3"}), ToVector(values));
  FreeArray_(names);
  FreeArray_(values);
  EnumerateRegistry_("Paths\\Sub", &names, &values);
  EXPECT_EQ((std::vector<std::string>{"B"}), ToVector(names));
  EXPECT_EQ((std::vector<std::string>{"2"}), ToVector(values));
  FreeArray_(names);
  FreeArray_(values);
}

TEST_F(Registry, EnumerateEmptySectionGivesEmptyLists) {
  WriteLocal("Paths/A=1\n");
  char** names = nullptr;
  char** values = nullptr;
  EnumerateRegistry_("None", &names, &values);
  ASSERT_NE(nullptr, names);
  ASSERT_NE(nullptr, values);
  EXPECT_EQ(nullptr, names[0]);
  EXPECT_EQ(nullptr, values[0]);
  FreeArray_(names);
  FreeArray_(values);
}

TEST_F(Registry, EnumerateTopLevelListsEntriesWithoutSection) {
  WriteLocal("TOP=1\nPaths/A=2\nNEXT=3\n");
  char** names = nullptr;
  char** values = nullptr;
  EnumerateRegistry_(nullptr, &names, &values);
  EXPECT_EQ((std::vector<std::string>{"TOP", "NEXT"}), ToVector(names));
  EXPECT_EQ((std::vector<std::string>{"1", "3"}), ToVector(values));
  FreeArray_(names);
  FreeArray_(values);
}

TEST_F(Registry, EnumerateInvalidArgumentsGiveNullLists) {
  WriteLocal("Paths/A=1\n");
  char** names = reinterpret_cast<char**>(1);
  char** values = reinterpret_cast<char**>(1);
  std::string section(255, 's');
  EnumerateRegistry_(section.c_str(), &names, &values);
  EXPECT_EQ(nullptr, names);
  EXPECT_EQ(nullptr, values);
  EnumerateRegistry_("Paths", nullptr, &values);
  EnumerateRegistry_("Paths", &names, nullptr);
  if (SystemConfigExists()) return;
  unlink(".zelnor");
  names = values = reinterpret_cast<char**>(1);
  EnumerateRegistry_("Paths", &names, &values);
  EXPECT_EQ(nullptr, names);
  EXPECT_EQ(nullptr, values);
}

}  // namespace
