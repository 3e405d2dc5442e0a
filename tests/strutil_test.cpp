#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "util/StrUtil.h"

namespace {

std::vector<std::string> ToVector(char** list) {
  std::vector<std::string> out;
  for (char** p = list; p && *p; ++p) out.push_back(*p);
  return out;
}

// Runs a test inside a directory and returns to the previous one afterwards.
class InDir {
 public:
  explicit InDir(const std::string& dir) {
    if (!getcwd(old_, sizeof old_)) old_[0] = '\0';
    EXPECT_EQ(0, chdir(dir.c_str()));
  }
  ~InDir() { EXPECT_EQ(0, chdir(old_)); }

 private:
  char old_[4096];
};

TEST(StrUtil, RTrimRemovesOnlyTrailingSpaces) {
  char text[] = "a \t ";
  EXPECT_STREQ("a \t", RTrim_(text));
  char spaces[] = "   ";
  EXPECT_STREQ("", RTrim_(spaces));
}

TEST(StrUtil, TrimRemovesRunsOfCharacterAtBothEnds) {
  struct Case { const char* in; char c; const char* out; } cases[] = {
      {"  a b  ", ' ', "a b"}, {"xxaxx", 'x', "a"}, {"xxxx", 'x', ""},
      {"", ' ', ""}, {"a", ' ', "a"}, {" \ta\t ", ' ', "\ta\t"},
  };
  for (const Case& c : cases) {
    char buf[32];
    strncpyz(buf, c.in, 31);
    EXPECT_STREQ(c.out, Trim_(buf, c.c)) << '"' << c.in << '"';
  }
}

TEST(StrUtil, TrimWithSetRemovesAnyMemberAtBothEnds) {
  struct Case { const char* in; const char* set; const char* out; } cases[] = {
      {" \t\na b\r\n", " \t\r\n", "a b"}, {"", " ", ""}, {"-+-x-+", "+-", "x"},
      {"abc", "", "abc"}, {"+++", "+", ""},
  };
  for (const Case& c : cases) {
    char buf[32];
    strncpyz(buf, c.in, 31);
    EXPECT_STREQ(c.out, Trim_(buf, c.set)) << '"' << c.in << '"';
  }
}

TEST(StrUtil, SplitKeepsEmptyFieldsAndTrimsSpaces) {
  struct Case { const char* text; char sep; std::vector<std::string> fields; } cases[] = {
      {" a , b ,, c ", ',', {"a", "b", "", "c"}},
      {"", ',', {""}},
      {"a,", ',', {"a", ""}},
      {",", ',', {"", ""}},
      {"\ta\t|b", '|', {"\ta\t", "b"}},
      {"one", ',', {"one"}},
  };
  for (const Case& c : cases) {
    char** list = Split_(c.text, c.sep);
    ASSERT_NE(nullptr, list) << c.text;
    EXPECT_EQ(c.fields, ToVector(list)) << '"' << c.text << '"';
    FreeArray_(list);
  }
}

TEST(CreateDir, CreatesMissingRelativeComponents) {
  vrtest::TempDir tmp;
  InDir in(tmp.path());
  ASSERT_EQ(0, mkdir_("out"));
  EXPECT_TRUE(CreateDir("out/2024/jan/"));
  EXPECT_TRUE(DirectoryExists_("out/2024"));
  EXPECT_TRUE(DirectoryExists_("out/2024/jan"));
  EXPECT_TRUE(CreateDir("fresh"));
  EXPECT_TRUE(DirectoryExists_("fresh"));
  EXPECT_TRUE(CreateDir("a/b/c"));
  EXPECT_TRUE(DirectoryExists_("a/b/c"));
}

TEST(CreateDir, CreatesAbsolutePathAndAcceptsExisting) {
  vrtest::TempDir tmp;
  std::string deep = tmp / "x/y/z";
  EXPECT_TRUE(CreateDir(deep.c_str()));
  EXPECT_TRUE(DirectoryExists_(deep.c_str()));
  struct stat before, after;
  ASSERT_EQ(0, stat(deep.c_str(), &before));
  EXPECT_TRUE(CreateDir(deep.c_str()));
  EXPECT_TRUE(CreateDir(tmp.path().c_str()));
  ASSERT_EQ(0, stat(deep.c_str(), &after));
  EXPECT_EQ(before.st_ino, after.st_ino);
}

TEST(CreateDir, ToleratesDoubledSeparator) {
  vrtest::TempDir tmp;
  std::string path = tmp / "p//q";
  EXPECT_TRUE(CreateDir(path.c_str()));
  EXPECT_TRUE(DirectoryExists_((tmp / "p/q").c_str()));
}

TEST(CreateDir, FailsOnEmptyTooLongOrFileComponent) {
  vrtest::TempDir tmp;
  EXPECT_FALSE(CreateDir(""));
  std::string longPath = tmp.path() + "/";
  longPath += std::string(256 - longPath.size(), 'd');
  ASSERT_EQ(256u, longPath.size());
  EXPECT_FALSE(CreateDir(longPath.c_str()));
  EXPECT_FALSE(DirectoryExists_(longPath.c_str()));
  std::string ok = longPath.substr(0, 255);
  EXPECT_TRUE(CreateDir(ok.c_str()));
  vrtest::WriteFile(tmp / "file", "x");
  EXPECT_FALSE(CreateDir((tmp / "file/sub").c_str()));
  EXPECT_FALSE(CreateDir((tmp / "file").c_str()));
}

TEST(FileUtil, FgetsStripsLineFeedThenCarriageReturn) {
  vrtest::TempDir tmp;
  std::string path = tmp / "lines";
  vrtest::WriteFile(path, "dos\r\nunix\nlone\r\n\r\n\nlast\r");
  FILE* f = fopen(path.c_str(), "r");
  ASSERT_NE(nullptr, f);
  std::vector<std::string> lines;
  char buf[64];
  while (fgets_(buf, sizeof buf, f)) lines.push_back(buf);
  fclose(f);
  EXPECT_EQ((std::vector<std::string>{"dos", "unix", "lone", "", "", "last\r"}), lines);
}

TEST(FileUtil, FgetsReadsLongLineInPieces) {
  vrtest::TempDir tmp;
  std::string path = tmp / "long";
  vrtest::WriteFile(path, "abcdefgh\nz");
  FILE* f = fopen(path.c_str(), "r");
  ASSERT_NE(nullptr, f);
  char buf[5];
  std::vector<std::string> lines;
  while (fgets_(buf, sizeof buf, f)) lines.push_back(buf);
  fclose(f);
  EXPECT_EQ((std::vector<std::string>{"abcd", "efgh", "", "z"}), lines);
}

TEST(FileUtil, FileExistsNeedsReadableFile) {
  vrtest::TempDir tmp;
  std::string path = tmp / "f";
  EXPECT_FALSE(FileExists_(path.c_str()));
  vrtest::WriteFile(path, "x");
  EXPECT_TRUE(FileExists_(path.c_str()));
  if (geteuid() != 0) {
    ASSERT_EQ(0, chmod(path.c_str(), 0));
    EXPECT_FALSE(FileExists_(path.c_str()));
  }
}

TEST(StrUtil, CaseConversionInPlace) {
  char up[] = "aBc1_z";
  EXPECT_EQ(up, strupr_(up));
  EXPECT_STREQ("ABC1_Z", up);
  char low[] = "AbC1_Z";
  EXPECT_EQ(low, strlwr_(low));
  EXPECT_STREQ("abc1_z", low);
  wchar_t wide[] = L"aBc9";
  EXPECT_EQ(wide, wcsupr_(wide));
  EXPECT_STREQ(L"ABC9", wide);
}

TEST(StrUtil, ItoaWritesRadixDigits) {
  struct Case { int value; int radix; const char* out; } cases[] = {
      {-255, 16, "-ff"}, {10, 1, ""}, {10, 37, ""}, {0, 10, "0"}, {0, 2, "0"},
      {5, 2, "101"}, {-5, 2, "-101"}, {35, 36, "z"}, {2147483647, 10, "2147483647"},
      {-2147483647, 10, "-2147483647"}, {255, 8, "377"},
  };
  for (const Case& c : cases) {
    char buf[40] = "junk";
    EXPECT_EQ(buf, itoa_(c.value, buf, c.radix));
    EXPECT_STREQ(c.out, buf) << c.value << " radix " << c.radix;
  }
}

TEST(StrUtil, StrrevReversesInPlace) {
  const char* cases[][2] = {{"abc", "cba"}, {"ab", "ba"}, {"a", "a"}, {"", ""}};
  for (auto& c : cases) {
    char buf[8];
    strncpyz(buf, c[0], 7);
    EXPECT_STREQ(c[1], strrev_(buf));
  }
}

TEST(StrUtil, WideCompareIgnoresCaseAndRanksEnds) {
  struct Case { const wchar_t* a; const wchar_t* b; int out; } cases[] = {
      {L"abc", L"ABCD", -2}, {L"abd", L"ABC", 1}, {L"abc", L"ABD", -1},
      {L"ABC", L"abc", 0}, {L"abcd", L"abc", 1}, {L"", L"", 0}, {L"", L"a", -2},
  };
  for (const Case& c : cases) EXPECT_EQ(c.out, wcsicmp_(c.a, c.b));
  EXPECT_EQ(0, wcsnicmp_(L"abcX", L"ABCy", 3));
  EXPECT_EQ(-1, wcsnicmp_(L"abcX", L"ABCy", 4));
  EXPECT_EQ(-2, wcsnicmp_(L"ab", L"ABC", 3));
  EXPECT_EQ(0, wcsnicmp_(L"x", L"y", 0));
}

TEST(StrUtil, ConcatStringsCutsToBufferSize) {
  char buf[16];
  EXPECT_STREQ("abcd", ConcatStrings(buf, 5, "abc", "def", nullptr, nullptr));
  EXPECT_STREQ("abdef", ConcatStrings(buf, 16, "a", nullptr, "b", "def"));
  EXPECT_STREQ("", ConcatStrings(buf, 1, "abc", nullptr, nullptr, nullptr));
  EXPECT_STREQ("abc", ConcatStrings(buf, 4, "abc", "d", nullptr, nullptr));
  strncpyz(buf, "keep", 15);
  ConcatStrings(buf, 0, "x", nullptr, nullptr, nullptr);
  EXPECT_STREQ("keep", buf);
  EXPECT_STREQ("n=-42", ConcatStrings(buf, 16, "n", "=", -42L));
  EXPECT_STREQ("job7.txt", ConcatStrings(buf, 16, "job", 7L, ".txt"));
  EXPECT_STREQ("job12", ConcatStrings(buf, 6, "job", 1234L, ".txt"));
}

TEST(StrUtil, ConcatStringsAppendsWithinRoom) {
  char buf[16] = "ab";
  unsigned long room = 5;
  ConcatStrings_(buf, "cd", room);
  EXPECT_STREQ("abcd", buf);
  EXPECT_EQ(3u, room);
  ConcatStrings_(buf, "efgh", room);
  EXPECT_STREQ("abcdefg", buf);
  EXPECT_EQ(0u, room);
  ConcatStrings_(buf, "x", room);
  EXPECT_STREQ("abcdefg", buf);
}

TEST(SysUtil, TimeConversions) {
  long t = 86400L * 365;
  tm out{};
  EXPECT_TRUE(Localtime(&t, out));
  EXPECT_TRUE(out.tm_year == 70 || out.tm_year == 71);
  char text[32] = "junk";
  EXPECT_TRUE(Ctime(&t, text));
  EXPECT_EQ('\n', text[strlen(text) - 1]);
  EXPECT_NE(nullptr, strstr(text, "197"));
  long huge = 0x7fffffffffffffffL;
  EXPECT_FALSE(Ctime(&huge, text));
  EXPECT_STREQ("", text);
}

TEST(SysUtil, ComputerNameStopsAtDotAndFitsBuffer) {
  char host[256];
  ASSERT_EQ(0, gethostname(host, sizeof host));
  host[255] = '\0';
  std::string shortName(host, strcspn(host, "."));
  char buf[256];
  EXPECT_TRUE(GetComputerName_(buf, sizeof buf));
  EXPECT_EQ(shortName, buf);
  char tiny[3] = "zz";
  EXPECT_TRUE(GetComputerName_(tiny, 2));
  EXPECT_EQ(shortName.substr(0, 1), tiny);
}

TEST(DirPattern, MatchesLastComponentInDirectory) {
  vrtest::TempDir tmp;
  for (const char* name : {"a.txt", "b.txt", "c.csv", ".hidden.txt"})
    vrtest::WriteFile(tmp / name, "x");
  std::string txt = tmp / "*.txt";
  EXPECT_TRUE(FilePatternExists_(txt.c_str()));
  EXPECT_FALSE(FilePatternExists_((tmp / "*.htm").c_str()));
  EXPECT_FALSE(FilePatternExists_("*.txt"));
  EXPECT_FALSE(FilePatternExists_((tmp / "none/*").c_str()));
  char** list = Dir_(txt.c_str());
  ASSERT_NE(nullptr, list);
  std::vector<std::string> names = ToVector(list);
  FreeArray_(list);
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{".hidden.txt", "a.txt", "b.txt"}), names);
}

TEST(DirPattern, DirReturnsEmptyOrNullList) {
  vrtest::TempDir tmp;
  char** empty = Dir_((tmp / "*.none").c_str());
  ASSERT_NE(nullptr, empty);
  EXPECT_EQ(nullptr, empty[0]);
  FreeArray_(empty);
  EXPECT_EQ(nullptr, Dir_("no-directory-part"));
  EXPECT_EQ(nullptr, Dir_((tmp / "missing/*").c_str()));
  char** dots = Dir_((tmp / ".*").c_str());
  ASSERT_NE(nullptr, dots);
  std::vector<std::string> names = ToVector(dots);
  FreeArray_(dots);
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{".", ".."}), names);
}

}  // namespace
