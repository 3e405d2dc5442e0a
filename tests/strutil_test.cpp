#include "Fixtures.h"
#include "util/Registry.h"

namespace {

// The list's strings joined by "|", "<null>" for no list; frees it.
std::string Joined(char** list, bool sorted = false) {
  if (!list) return "<null>";
  std::vector<std::string> items;
  for (char** p = list; *p; ++p) items.push_back(*p);
  FreeArray_(list);
  std::string out = vrtest::Join(sorted ? vrtest::Sorted(items) : items);
  std::replace(out.begin(), out.end(), '\n', '|');
  return out.substr(0, out.size() - !out.empty());  // no "|" after the last
}

TEST(StrUtil, InPlaceTextFunctions) {
  using Text = std::function<char*(char*)>;
  const Text rtrim = RTrim_, rev = strrev_, upper = strupr_, lower = strlwr_;
  const Text trimX = [](char* t) { return Trim_(t, 'x'); };
  const Text trimSpace = [](char* t) { return Trim_(t, ' '); };
  const Text trimSet = [](char* t) { return Trim_(t, " \t\r\n+-"); };
  const struct { const Text& f; const char* in; const char* out; } cases[] = {
      {rtrim, "a \t ", "a \t"}, {rtrim, "   ", ""}, {trimSpace, " \ta b\t ", "\ta b\t"}, {trimX, "xxaxx", "a"},
      {trimX, "xxxx", ""}, {trimSpace, "", ""}, {trimSet, " \t\na b\r\n", "a b"}, {trimSet, "+++", ""},
      {rev, "abc", "cba"}, {rev, "ab", "ba"}, {rev, "", ""}, {upper, "aBc1_z", "ABC1_Z"}, {lower, "AbC1_Z", "abc1_z"},
  };
  for (const auto& c : cases) {
    std::string buffer = c.in;
    EXPECT_STREQ(c.out, c.f(&buffer[0])) << '"' << c.in << '"';
  }
  wchar_t wide[] = L"aBc9";
  EXPECT_TRUE(wcsupr_(wide) == wide && !wcscmp(L"ABC9", wide));
}

TEST(StrUtil, SplitNumbersCompareAndConcat) {
  const std::pair<const char*, const char*> splits[] = {
      {" a , b ,, c ", "a|b||c"}, {"", ""}, {"a,", "a|"}, {",", "|"}, {"b,\ta\t", "b|\ta\t"}};
  for (const auto& s : splits) EXPECT_EQ(s.second, Joined(Split_(s.first, ','))) << s.first;
  const struct { int value, radix; const char* out; } numbers[] = {{-255, 16, "-ff"}, {10, 1, ""}, {10, 37, ""},
      {0, 2, "0"}, {-5, 2, "-101"}, {35, 36, "z"}, {2147483647, 10, "2147483647"}, {-2147483647, 10, "-2147483647"}};
  for (const auto& n : numbers) {
    char buffer[40] = "junk";
    EXPECT_EQ(buffer, itoa_(n.value, buffer, n.radix));
    EXPECT_STREQ(n.out, buffer) << n.value << " radix " << n.radix;
  }
  const struct { const wchar_t *a, *b; int out; } compares[] = {{L"abc", L"ABCD", -2}, {L"abd", L"ABC", 1},
      {L"abc", L"ABD", -1}, {L"ABC", L"abc", 0}, {L"abcd", L"abc", 1}, {L"", L"", 0}, {L"", L"a", -2}};
  for (const auto& c : compares) EXPECT_EQ(c.out, wcsicmp_(c.a, c.b)) << c.a << " " << c.b;
  EXPECT_EQ(std::make_pair(0, -1), std::make_pair(wcsnicmp_(L"abcX", L"ABCy", 3), wcsnicmp_(L"abcX", L"ABCy", 4)));
  char buf[16] = "keep";
  EXPECT_STREQ("keep", ConcatStrings(buf, 0, "x", nullptr, nullptr, nullptr));
  EXPECT_STREQ("abdef", ConcatStrings(buf, 6, "a", nullptr, "b", "defg"));
  EXPECT_STREQ("job-1", ConcatStrings(buf, 6, "job", -1234L, ".txt"));
  unsigned long room = 5;
  ConcatStrings_(buf, "cd", room);
  ConcatStrings_(buf, "efgh", room);
  EXPECT_STREQ("job-1cdefg", buf);
  EXPECT_EQ(0u, room);
}

// Each test runs in a fresh working directory.
class InWorkDir : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(getcwd(old_, sizeof old_) && !chdir(work_.path().c_str())); }
  void TearDown() override { ASSERT_EQ(0, chdir(old_)); }
  vrtest::TempDir work_;
  char old_[4096];
};

TEST_F(InWorkDir, DirectoriesLinesAndPatterns) {
  for (const char* path : {"out/2024/jan/", "fresh", "a/b/c", "p//q", "a/b/c", work_.path().c_str()})
    EXPECT_TRUE(CreateDir(path) && DirectoryExists_(path)) << path;
  vrtest::WriteFile("lines", "dos\r\nunix\n\r\n\nabcdefgh\nz\r");
  for (const char* path : {"", "lines/sub", "lines"}) EXPECT_FALSE(CreateDir(path)) << path;
  FILE* f = fopen("lines", "r");
  std::vector<std::string> lines;
  char buf[64];
  for (int size = 64; fgets_(buf, size, f); size = lines.size() < 4 ? 64 : 5) lines.push_back(buf);
  fclose(f);
  EXPECT_EQ(vrtest::Lines("dos\nunix\n\n\nabcd\nefgh\n\nz\r\n"), lines);
  EXPECT_TRUE(FileExists_("lines") && !FileExists_("none"));
  for (const char* name : {"a.txt", "b.txt", ".hidden.txt"}) vrtest::WriteFile(work_ / "a/" + name, "x");
  const std::pair<std::string, std::string> dirs[] = {
      {work_ / "a/*.txt", ".hidden.txt|a.txt|b.txt"}, {work_ / "a/*.none", ""}, {work_ / "a/b*", "b|b.txt"},
      {work_ / "missing/*", "<null>"}, {"a.txt", "<null>"}};
  for (const auto& d : dirs) {
    EXPECT_EQ(d.second, Joined(Dir_(d.first.c_str()), true)) << d.first;
    EXPECT_EQ(!d.second.empty() && d.second != "<null>", FilePatternExists_(d.first.c_str())) << d.first;
  }
}

// With an empty home and no ZELNOR_CONFIG_FILE; how aliases expand is shown
// by the alias cases.
class Registry : public InWorkDir {
 protected:
  void Local(const std::string& text) { vrtest::WriteFile(work_ / ".zelnor", text); }
  static std::string Lookup(const char* section, const char* key) {
    char value[256] = "";
    int capacity = sizeof value;
    int r = LookUpRegistry_(section, key, value, capacity, false);
    return r == 0 ? value : "<" + std::to_string(r) + ">";
  }
  static std::string Enumerate(const char* section) {
    char** names = reinterpret_cast<char**>(1);
    char** values = names;
    EnumerateRegistry_(section, &names, &values);
    return Joined(names) + "=" + Joined(values);
  }
  vrtest::TempDir home_;
  vrtest::ScopedEnv home{"HOME", home_.path().c_str()}, config{"ZELNOR_CONFIG_FILE", nullptr};
};

TEST_F(Registry, EntriesAreFoundByExactKeyAndListedBySection) {
  if (!FileExists_("/usr/etc/.zelnor")) {  // no file at all
    EXPECT_EQ("<1301>|<null>=<null>", Lookup("Paths", "DATA") + "|" + Enumerate("Paths"));
  }
  Local("Paths/A = /no\n  \tPaths/B= /yes \nPaths/C\nPaths/D=x=y\nPaths/E=\nPaths/KEYX=wrong\n"
        "Paths/KEY=first\nPaths/KEY=second\nReports/Paths/DATA=/srv\nTOP=1\nPaths/DATA=/srv/mail\n"
        "Paths/DA/TA=/bad\n" + std::string("S/N=ab\0cd\n", 10) + "  paths/C=3\nPathsX/F=4\nNEXT=5\n"
        "S/K=abcdefghijklmnopqrstuvwxy\nN/A=12abc\nN/B=  7\nN/C=x\n");
  const char* const lookups[][3] = {
      {"Paths", "A", "<1302>"}, {"Paths", "B", " /yes "}, {"Paths", "C", "3"}, {"Paths", "D", "x=y"},
      {"Paths", "E", ""}, {"Paths", "KEY", "first"}, {"Reports/Paths", "DATA", "/srv"},
      {"Reports\\Paths", "DATA", "/srv"}, {"", "TOP", "1"}, {nullptr, "TOP", "1"}, {"S", "N", "<1302>"},
      {nullptr, "S/K", "<1302>"}};
  for (const auto& l : lookups) EXPECT_EQ(l[2], Lookup(l[0], l[1])) << l[1] << " row " << &l - lookups;
  EXPECT_EQ("A |B|D|E|KEYX|KEY|KEY|DATA|C= /no| /yes |x=y||wrong|first|second|/srv/mail|3", Enumerate("Paths"));
  EXPECT_EQ("DATA=/srv|TOP|NEXT=1|5", Enumerate("Reports\\Paths") + "|" + Enumerate(nullptr));
  EXPECT_EQ("=", Enumerate("None"));
  char value[10];
  int capacity = 10;
  EXPECT_EQ(0, LookUpRegistry_("S", "K", value, capacity, true));
  EXPECT_TRUE(!strcmp(value, "abcdefghi") && capacity == 25) << value << " " << capacity;
  unsigned int numbers[4] = {99, 99, 99, 99};
  EXPECT_TRUE(LookUpRegistryI_("N", "A", numbers[0], 0) && LookUpRegistryI_("N", "B", numbers[1], 0) &&
              LookUpRegistryI_("N", "C", numbers[2], 0) && !LookUpRegistryI_("N", "D", numbers[3], 0));
  EXPECT_EQ(std::vector<unsigned>({12, 7, 0, 99}), std::vector<unsigned>(numbers, numbers + 4));
}

}  // namespace
