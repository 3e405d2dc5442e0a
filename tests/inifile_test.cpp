#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <sstream>
#include <string>

#include "Fixtures.h"
#include "spec/IniFile.h"

namespace {

struct IniRead {
  int code;
  std::string message;
};

IniRead ReadText(IniFile& ini, const std::string& text) {
  vrtest::TempDir dir;
  vrtest::WriteFile(dir / "spec.ini", text);
  std::ifstream in(dir / "spec.ini");
  char message[256] = "untouched";
  int code = ini.Read(in, message);
  return {code, message};
}

const char* Value(IniFile& ini, const char* section, const char* key) {
  IniSection* s = ini.FindSection(section);
  if (!s) return nullptr;
  IniEntry* e = s->FindEntry(key);
  return e ? e->Value : nullptr;
}

TEST(IniFileTest, IgnoresBlankAndCommentLinesAnywhere) {
  IniFile ini;
  IniRead r = ReadText(ini, "\n   \t\n; comment\n# other\n[File]\n\n  ; indented\nPath=a\n#x=1\n");
  ASSERT_EQ(0, r.code);
  EXPECT_EQ("untouched", r.message);
  ASSERT_EQ(1, ini.SectionCount);
  EXPECT_STREQ("File", ini.Sections[0].Name);
  ASSERT_EQ(1, ini.Sections[0].EntryCount);
  EXPECT_STREQ("Path", ini.Sections[0].Entries[0].Key);
  EXPECT_STREQ("a", ini.Sections[0].Entries[0].Value);
}

TEST(IniFileTest, EntryLinesGiveTrimmedKeyAndValue) {
  struct Case {
    const char* line;
    const char* key;
    const char* value;
  } cases[] = {
      {"Path = data.txt", "Path", "data.txt"},
      {"Path=", "Path", ""},
      {"   Key   =   v  ", "Key", "v"},
      {"Key=a=b", "Key", "a=b"},
      {"Key=a ;b", "Key", "a ;b"},
      {"Key=\t v", "Key", "v"},
      {"Key=v\t", "Key", "v\t"},
      {"Key=a\rb", "Key", "a\rb"},
      {"[File=x", "[File", "x"},
      {"Two words = x y", "Two words", "x y"},
  };
  for (const Case& c : cases) {
    IniFile ini;
    IniRead r = ReadText(ini, std::string("[S]\n") + c.line + "\n");
    ASSERT_EQ(0, r.code) << c.line;
    ASSERT_EQ(1, ini.Sections[0].EntryCount) << c.line;
    EXPECT_STREQ(c.key, ini.Sections[0].Entries[0].Key) << c.line;
    EXPECT_STREQ(c.value, ini.Sections[0].Entries[0].Value) << c.line;
  }
}

TEST(IniFileTest, SectionNameKeepsInnerSpaces) {
  IniFile ini;
  ASSERT_EQ(0, ReadText(ini, "  [File]  \n[ Output ]\n").code);
  ASSERT_EQ(2, ini.SectionCount);
  EXPECT_STREQ("File", ini.Sections[0].Name);
  EXPECT_STREQ(" Output ", ini.Sections[1].Name);
  EXPECT_EQ(nullptr, ini.FindSection("Output"));
  EXPECT_EQ(&ini.Sections[1], ini.FindSection(" OUTPUT "));
}

TEST(IniFileTest, EachErrorGivesItsNameAndTheLineAsRead) {
  struct Case {
    std::string text;
    int code;
    const char* message;
  } cases[] = {
      {std::string("[File]\nPath=data.csv\0junk\n", 26), ERR_INIFILE_INVALID_LINE,
       "ERR_INIFILE_INVALID_LINE\nPath=data.csv"},
      {"[File]\npath=a\nPATH=b\n", ERR_INIFILE_DUPLICATE_ENTRY, "ERR_INIFILE_DUPLICATE_ENTRY\nPATH=b"},
      {"[File]\n[x]\n[file]\n", ERR_INIFILE_DUPLICATE_SECTION, "ERR_INIFILE_DUPLICATE_SECTION\n[file]"},
      {"; c\n  Path = x  \n[File]\n", ERR_INIFILE_LINE_OUTOF_SECTION,
       "ERR_INIFILE_LINE_OUTOF_SECTION\n  Path = x  "},
      {"[File\n", ERR_INIFILE_LINE_OUTOF_SECTION, "ERR_INIFILE_LINE_OUTOF_SECTION\n[File"},
      {"[File]\nDelimiter\n", ERR_INIFILE_INVALID_LINE, "ERR_INIFILE_INVALID_LINE\nDelimiter"},
      {"[File]\n = x\n", ERR_INIFILE_INVALID_LINE, "ERR_INIFILE_INVALID_LINE\n = x"},
      {"[]\n", ERR_INIFILE_INVALID_LINE, "ERR_INIFILE_INVALID_LINE\n[]"},
      {"[File]\n[Output\n", ERR_INIFILE_INVALID_LINE, "ERR_INIFILE_INVALID_LINE\n[Output"},
  };
  for (const Case& c : cases) {
    IniFile ini;
    IniRead r = ReadText(ini, c.text);
    EXPECT_EQ(c.code, r.code) << c.text;
    EXPECT_EQ(c.message, r.message) << c.text;
  }
}

TEST(IniFileTest, SameKeyInTwoSectionsIsAllowed) {
  IniFile ini;
  ASSERT_EQ(0, ReadText(ini, "[A]\nKey=1\n[B]\nkey=2\n").code);
  EXPECT_STREQ("1", Value(ini, "a", "KEY"));
  EXPECT_STREQ("2", Value(ini, "b", "KEY"));
}

TEST(IniFileTest, LinesBeforeTheFailingOneStayAndReadingStops) {
  IniFile ini;
  IniRead r = ReadText(ini, "[File]\nA=1\nA=2\nB=3\n");
  EXPECT_EQ(ERR_INIFILE_DUPLICATE_ENTRY, r.code);
  EXPECT_STREQ("1", Value(ini, "File", "A"));
  EXPECT_EQ(nullptr, Value(ini, "File", "B"));
}

TEST(IniFileTest, LineOf255CharactersIsReadAnd256Fail) {
  std::string fits = "K=" + std::string(253, 'v');
  IniFile ok;
  ASSERT_EQ(0, ReadText(ok, "[S]\n" + fits + "\n").code);
  EXPECT_EQ(std::string(253, 'v'), Value(ok, "S", "K"));

  std::string tooLong = fits + "w";
  IniFile bad;
  IniRead r = ReadText(bad, "[S]\n" + tooLong + "\nX=1\n");
  EXPECT_EQ(ERR_INIFILE_LINE_TOOLONG, r.code);
  std::string expected = ("ERR_INIFILE_LINE_TOOLONG\n" + tooLong).substr(0, 255);
  EXPECT_EQ(expected, r.message);
  EXPECT_EQ(nullptr, Value(bad, "S", "X"));
}

TEST(IniFileTest, VeryLongLineIsRefusedWithoutOverrun) {
  IniFile ini;
  std::string huge(200000, 'x');
  IniRead r = ReadText(ini, "[S]\n" + huge + "\n");
  EXPECT_EQ(ERR_INIFILE_LINE_TOOLONG, r.code);
  EXPECT_EQ(255u, r.message.size());
  EXPECT_EQ("ERR_INIFILE_LINE_TOOLONG\nxxx", r.message.substr(0, 28));
}

TEST(IniFileTest, LastLineWithoutLineBreakCounts) {
  IniFile ini;
  ASSERT_EQ(0, ReadText(ini, "[File]\nPath=last").code);
  EXPECT_STREQ("last", Value(ini, "File", "Path"));
}

TEST(IniFileTest, CarriageReturnBeforeLineFeedIsNotPartOfTheLine) {
  IniFile ini;
  ASSERT_EQ(0, ReadText(ini, "[File]\r\nPath=data.txt\r\nTwo=v\r\r\n\r\n[Out]\r\nLast=x\r").code);
  EXPECT_STREQ("data.txt", Value(ini, "File", "Path"));
  EXPECT_STREQ("v\r", Value(ini, "File", "Two"));
  EXPECT_STREQ("x", Value(ini, "Out", "Last"));

  IniFile fits;
  std::string line = "K=" + std::string(253, 'v');
  EXPECT_EQ(0, ReadText(fits, "[S]\r\n" + line + "\r\n").code);
}

TEST(IniFileTest, EmptyFileHasNoSections) {
  IniFile ini;
  IniRead r = ReadText(ini, "");
  EXPECT_EQ(0, r.code);
  EXPECT_EQ(0, ini.SectionCount);
  EXPECT_EQ(nullptr, ini.Sections);
}

TEST(IniFileTest, OutOfMemoryIsReportedWithTheLine) {
  IniFile ini;
  vrtest::TempDir dir;
  vrtest::WriteFile(dir / "spec.ini", "[File]\nPath=x\n");
  std::ifstream in(dir / "spec.ini");
  char message[256] = "";
  vrtest::g_AllocationsBeforeFailure = 1;  // the name copy succeeds, the section array fails
  int code = ini.Read(in, message);
  vrtest::g_AllocationsBeforeFailure = -1;
  EXPECT_EQ(ERR_INIFILE_OUT_OF_MEMORY, code);
  EXPECT_STREQ("ERR_INIFILE_OUT_OF_MEMORY\n[File]", message);
  EXPECT_EQ(0, ini.SectionCount);

  ASSERT_EQ(0, ini.NewSection("S"));
  vrtest::g_AllocationsBeforeFailure = 2;
  EXPECT_EQ(ERR_INIFILE_OUT_OF_MEMORY, ini.Sections[0].NewEntry("K", "V"));
  vrtest::g_AllocationsBeforeFailure = -1;
  EXPECT_EQ(0, ini.Sections[0].EntryCount);
}

TEST(IniFileTest, GrowthKeepsEntriesAndTheirAccessedFlags) {
  IniFile ini;
  ASSERT_EQ(0, ini.NewSection("A"));
  for (int i = 0; i < 50; ++i) {
    std::string key = "K" + std::to_string(i);
    ASSERT_EQ(0, ini.Sections[0].NewEntry(key.c_str(), std::to_string(i * 7).c_str()));
    if (i == 3) {
      ASSERT_NE(nullptr, ini.Sections[0].FindEntry("K0"));
    }
  }
  ASSERT_EQ(0, ini.NewSection("B"));
  ASSERT_EQ(0, ini.NewSection("C"));
  IniSection* a = ini.FindSection("a");
  ASSERT_NE(nullptr, a);
  ASSERT_EQ(50, a->EntryCount);
  EXPECT_TRUE(a->Entries[0].Accessed);
  EXPECT_FALSE(a->Entries[1].Accessed);
  for (int i = 0; i < 50; ++i)
    EXPECT_EQ(std::to_string(i * 7), a->FindEntry(("k" + std::to_string(i)).c_str())->Value);
  EXPECT_EQ(ERR_INIFILE_DUPLICATE_SECTION, ini.NewSection("b"));
  EXPECT_EQ(ERR_INIFILE_DUPLICATE_ENTRY, a->NewEntry("k49", "x"));
}

TEST(IniFileTest, NewEntryCopiesItsStrings) {
  IniSection section;
  char key[] = "Key";
  char value[] = "Value";
  ASSERT_EQ(0, section.NewEntry(key, value));
  key[0] = value[0] = 'X';
  EXPECT_STREQ("Key", section.Entries[0].Key);
  EXPECT_STREQ("Value", section.Entries[0].Value);
  EXPECT_FALSE(section.Entries[0].Accessed);
  section.Free();
  EXPECT_EQ(nullptr, section.Entries);
  EXPECT_EQ(0, section.EntryCount);
  EXPECT_EQ(nullptr, section.Name);
}

TEST(IniFileTest, ShowUnaccessedEntriesListsOnlyWhatNobodyAskedFor) {
  IniFile ini;
  ASSERT_EQ(0, ReadText(ini, "[File]\nPath=a\nColour=blue\n[Output]\nDir=x\n[Extra]\nA=1\nB=2\n").code);
  ASSERT_NE(nullptr, ini.FindSection("FILE")->FindEntry("path"));
  ASSERT_NE(nullptr, ini.FindSection("output")->FindEntry("DIR"));
  std::ostringstream out;
  ini.ShowUnaccessedEntries(out, "The following entries were ignored:");
  EXPECT_EQ("The following entries were ignored:\n[File]\nColour=blue\n[Extra]\nA=1\nB=2\n", out.str());

  ini.FindSection("File")->FindEntry("Colour");
  ini.FindSection("Extra")->FindEntry("A");
  ini.FindSection("Extra")->FindEntry("B");
  std::ostringstream none;
  ini.ShowUnaccessedEntries(none, "title");
  EXPECT_EQ("", none.str());
}

TEST(IniFileTest, LookupErrorNamesEveryCodeAndNothingElse) {
  struct Case {
    int code;
    const char* name;
  } cases[] = {
      {1994, "ERR_INIFILE_DUPLICATE_ENTRY"},   {1995, "ERR_INIFILE_DUPLICATE_SECTION"},
      {1996, "ERR_INIFILE_LINE_OUTOF_SECTION"}, {1997, "ERR_INIFILE_INVALID_LINE"},
      {1998, "ERR_INIFILE_LINE_TOOLONG"},      {1999, "ERR_INIFILE_OUT_OF_MEMORY"},
      {1993, ""}, {2000, ""}, {0, ""}, {11001, ""},
  };
  for (const Case& c : cases) {
    char message[256] = "stale";
    IniFile::LookupError(c.code, message);
    EXPECT_STREQ(c.name, message) << c.code;
  }
}

}  // namespace
