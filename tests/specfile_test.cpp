#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <new>
#include <sstream>
#include <string>

#include "Fixtures.h"
#include "spec/VaskReportSpec.h"
#include "util/StrUtil.h"

namespace {

const char kThreeFields[] =
    "[File]\nFields=3\nField1Name=Name\nField1Size=20\nField2Name=Bsp\nField2Size=3\n"
    "Field3Name=Dpid\nField3Size=8\nDpidField=Dpid\n";

class SpecFileTest : public ::testing::Test {
 protected:
  int Load(const std::string& text) {
    vrtest::WriteFile(dir_ / "spec.ini", text);
    strcpy(message_, "stale");
    return spec_.Read((dir_ / "spec.ini").c_str(), message_);
  }
  int LoadListingIgnored(const std::string& text, std::string& ignored) {
    vrtest::WriteFile(dir_ / "spec.ini", text);
    std::ifstream in(dir_ / "spec.ini");
    std::ostringstream out;
    int code = spec_.Read(in, message_, &out);
    ignored = out.str();
    return code;
  }
  std::string Saved(VaskReportSpec& spec) {
    EXPECT_EQ(0, spec.Write((dir_ / "saved.ini").c_str()));
    return vrtest::ReadFile(dir_ / "saved.ini");
  }
  static void SetFields(VaskReportSpec& spec, int count) {
    delete[] spec.Fields;
    spec.Fields = new VaskReportSpec::FieldSpec[count];
    spec.FieldCount = count;
    for (int i = 0; i < count; ++i) {
      snprintf(spec.Fields[i].Name, sizeof spec.Fields[i].Name, "F%d", i + 1);
      spec.Fields[i].Size = i + 1;
    }
  }

  vrtest::TempDir dir_;
  VaskReportSpec spec_;
  char message_[256];
};

TEST_F(SpecFileTest, RoleNeedsAnExistingField) {
  EXPECT_EQ(ERR_VASKREPORTSPEC_UNKNOWN_FIELD, Load("[File]\nDpidField=1\n"));
  EXPECT_STREQ("ERR_VASKREPORTSPEC_UNKNOWN_FIELD\nDpidField=1", message_);

  spec_.Clear();
  ASSERT_EQ(0, Load("[File]\nFields=1\nField1Name=Dpid\nField1Size=8\nDpidField=1\n"));
  EXPECT_STREQ("", message_);
  EXPECT_EQ(0, spec_.Delimiter);
  EXPECT_EQ(0, spec_.DpidField);
  EXPECT_EQ(9, spec_.RecordLength);
  EXPECT_EQ(0, spec_.State);
}

TEST_F(SpecFileTest, CharacterValuesFollowTheCodeOrCharacterRule) {
  struct Case {
    const char* value;
    int code;
    int delimiter;
  } cases[] = {
      {"44", 0, ','}, {",", 0, ','}, {"9", 0, '\t'}, {"32", 0, ' '}, {"200", 0, 200},
      {"255", 0, 255}, {"1", 0, 1}, {"0", 0, 0}, {"", 0, 0}, {"\t", 0, 0}, {"|", 0, '|'},
      {"256", ERR_VASKREPORTSPEC_INVALID_DELIMITER, 'x'},
      {"-1", ERR_VASKREPORTSPEC_INVALID_DELIMITER, 'x'},
      {"ab", ERR_VASKREPORTSPEC_DELIMITER_TOOLONG, 'x'},
      {"00", ERR_VASKREPORTSPEC_DELIMITER_TOOLONG, 'x'},
  };
  for (const Case& c : cases) {
    for (bool qualifier : {false, true}) {
      spec_.Clear();
      spec_.Delimiter = spec_.Qualifier = 'x';
      const char* key = qualifier ? "Qualifier" : "Delimiter";
      std::string text = std::string(kThreeFields) + key + "=" + c.value + "\n";
      int expected = c.code && qualifier ? c.code + 2 : c.code;
      EXPECT_EQ(expected, Load(text)) << key << "=" << c.value;
      char actual = qualifier ? spec_.Qualifier : spec_.Delimiter;
      EXPECT_EQ(c.delimiter, static_cast<unsigned char>(actual)) << key << "=" << c.value;
      if (c.code) {
        char name[256];
        VaskReportSpec::LookupError(expected, name);
        EXPECT_EQ(std::string(name) + "\n" + key + "=" + c.value, message_);
      }
    }
  }
}

TEST_F(SpecFileTest, FieldKeyErrorsNameTheKey) {
  struct Case {
    const char* text;
    int code;
    const char* message;
  } cases[] = {
      {"[File]\nFields=3\nField1Name=A\nField1Size=1\nField2Name=B\n",
       ERR_VASKREPORTSPEC_MISSING_FIELD_SIZE, "ERR_VASKREPORTSPEC_MISSING_FIELD_SIZE\nField2Size"},
      {"[File]\nFields=2\nField1Name=A\nField1Size=1\nField2Size=1\n",
       ERR_VASKREPORTSPEC_MISSING_FIELD_NAME, "ERR_VASKREPORTSPEC_MISSING_FIELD_NAME\nField2Name"},
      {"[File]\nFields=1\nField1Name=A\nField1Size=0\n", ERR_VASKREPORTSPEC_INVALID_FIELD_SIZE,
       "ERR_VASKREPORTSPEC_INVALID_FIELD_SIZE\nField1Size=0"},
      {"[File]\nFields=1\nField1Name=A\nField1Size=x\n", ERR_VASKREPORTSPEC_INVALID_FIELD_SIZE,
       "ERR_VASKREPORTSPEC_INVALID_FIELD_SIZE\nField1Size=x"},
      {"[File]\nFields=0\n", ERR_VASKREPORTSPEC_INVALID_NUM_FIELDS,
       "ERR_VASKREPORTSPEC_INVALID_NUM_FIELDS\nFields=0"},
      {"[File]\nFields=many\n", ERR_VASKREPORTSPEC_INVALID_NUM_FIELDS,
       "ERR_VASKREPORTSPEC_INVALID_NUM_FIELDS\nFields=many"},
      {"[File]\nFields=99999999999\n", ERR_VASKREPORTSPEC_INVALID_NUM_FIELDS,
       "ERR_VASKREPORTSPEC_INVALID_NUM_FIELDS\nFields=99999999999"},
      {"[File]\nFields=1\nField1Name=A\nField1Size=4294967297\n",
       ERR_VASKREPORTSPEC_INVALID_FIELD_SIZE,
       "ERR_VASKREPORTSPEC_INVALID_FIELD_SIZE\nField1Size=4294967297"},
      {"[File]\n[ManifestReport]\nLettersPerTray=99999999999999999999\n",
       ERR_VASKREPORTSPEC_INVALID_LETTERS_PER_TRAY,
       "ERR_VASKREPORTSPEC_INVALID_LETTERS_PER_TRAY\nLettersPerTray=99999999999999999999"},
      {"[File]\n[ManifestReport]\nWeightOfLetter=inf\n", ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER,
       "ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER\nWeightOfLetter=inf"},
      {"[File]\n[ManifestReport]\nWeightOfLetter=nan\n", ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER,
       "ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER\nWeightOfLetter=nan"},
      {"[File]\n[ManifestReport]\nWeightOfLetter=-1\n", ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER,
       "ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER\nWeightOfLetter=-1"},
      {"[File]\n[ManifestReport]\nWeightOfLetter=0,012\n", ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER,
       "ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER\nWeightOfLetter=0,012"},
      {"[File]\nDelimiter=44\nQualifier=,\nFieldNamesOnFirstLine=True\n",
       ERR_VASKREPORTSPEC_INVALID_QUALIFIER, "ERR_VASKREPORTSPEC_INVALID_QUALIFIER\nQualifier=,"},
      {"[File]\n[ManifestReport]\nWeightOfLetter=10.001\n",
       ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER,
       "ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER\nWeightOfLetter=10.001"},
      {"[File]\nFields=100000000\nField1Name=A\nField1Size=1\n",
       ERR_VASKREPORTSPEC_MISSING_FIELD_NAME, "ERR_VASKREPORTSPEC_MISSING_FIELD_NAME\nField2Name"},
      {"[Output]\nOutputDirectory=x\n", ERR_VASKREPORTSPEC_MISSING_FILESECTION,
       "ERR_VASKREPORTSPEC_MISSING_FILESECTION"},
      {"[File]\nFields=1\nField1Name=A\nField1Size=1\n", ERR_VASKREPORTSPEC_MISSING_DPIDFIELD,
       "ERR_VASKREPORTSPEC_MISSING_DPIDFIELD"},
  };
  for (const Case& c : cases) {
    spec_.Clear();
    EXPECT_EQ(c.code, Load(c.text)) << c.text;
    EXPECT_STREQ(c.message, message_) << c.text;
    EXPECT_STREQ(strchr(c.message, '\n') ? strchr(c.message, '\n') + 1 : "", spec_.ErrorDetail);
  }
}

TEST_F(SpecFileTest, FieldNameOver50CharactersIsRefused) {
  std::string name(51, 'n');
  EXPECT_EQ(ERR_VASKREPORTSPEC_FIELDNAME_TOOLONG,
            Load("[File]\nFields=1\nField1Name=" + name + "\nField1Size=1\n"));
  EXPECT_EQ("ERR_VASKREPORTSPEC_FIELDNAME_TOOLONG\nField1Name=" + name, message_);
}

// With "Path=" the 255-character line limit leaves 250 characters for the value.
TEST_F(SpecFileTest, LongestPathThatFitsALineLoads) {
  std::string path(250, 'p');
  ASSERT_EQ(0, Load(std::string(kThreeFields) + "Path=" + path + "\n"));
  EXPECT_EQ(path, spec_.Path);
  EXPECT_EQ(path, spec_.ExpandedPath);
  EXPECT_EQ(ERR_INIFILE_LINE_TOOLONG, Load(std::string(kThreeFields) + "Path=" + path + "q\n"));
  EXPECT_EQ(path, spec_.Path);
}

TEST_F(SpecFileTest, FieldReferencesByNameOrNumber) {
  for (const char* value : {"2", "Bsp", "BSP"}) {
    spec_.Clear();
    ASSERT_EQ(0, Load(std::string(kThreeFields) + "BspField=" + value + "\n")) << value;
    EXPECT_EQ(1, spec_.BspField) << value;
  }
  spec_.Clear();
  ASSERT_EQ(0, Load(std::string(kThreeFields) + "[FileProcessing]\nRemoveField=Bsp, 3\n"));
  ASSERT_NE(nullptr, spec_.RemoveField);
  EXPECT_EQ(1, spec_.RemoveField[0]);
  EXPECT_EQ(2, spec_.RemoveField[1]);
  EXPECT_EQ(-1, spec_.RemoveField[2]);
}

TEST_F(SpecFileTest, RemoveFieldItemNamingNoFieldEndsTheList) {
  EXPECT_EQ(ERR_VASKREPORTSPEC_UNKNOWN_FIELD,
            Load(std::string(kThreeFields) + "[FileProcessing]\nRemoveField=Bsp, Town, 1\n"));
  EXPECT_STREQ("ERR_VASKREPORTSPEC_UNKNOWN_FIELD\nRemoveField=Bsp, Town, 1", message_);
  ASSERT_NE(nullptr, spec_.RemoveField);
  EXPECT_EQ(1, spec_.RemoveField[0]);
  EXPECT_EQ(-1, spec_.RemoveField[1]);
}

TEST_F(SpecFileTest, RoleErrorsComeInKeyOrder) {
  EXPECT_EQ(ERR_VASKREPORTSPEC_UNKNOWN_FIELD,
            Load(std::string(kThreeFields) + "AmendedField=9\nBspField=Town\n"));
  EXPECT_STREQ("ERR_VASKREPORTSPEC_UNKNOWN_FIELD\nBspField=Town", message_);
}

TEST_F(SpecFileTest, ManifestSectionAloneSwitchesTheReportOn) {
  EXPECT_EQ(ERR_VASKREPORTSPEC_MISSING_BSPFIELD, Load(std::string(kThreeFields) + "[ManifestReport]\n"));
  EXPECT_STREQ("ERR_VASKREPORTSPEC_MISSING_BSPFIELD", message_);
  EXPECT_TRUE(spec_.ManifestReport);
  EXPECT_EQ(300, spec_.LettersPerTray);

  spec_.Clear();
  ASSERT_EQ(0, Load(std::string(kThreeFields) + "BspField=Bsp\n[ManifestReport]\n"));
  EXPECT_TRUE(spec_.ManifestReport);
}

TEST_F(SpecFileTest, ManifestValues) {
  ASSERT_EQ(0, Load(std::string(kThreeFields) +
                    "BspField=2\n[ManifestReport]\nLettersPerTray=250 letters\nWeightOfLetter=0.025\n"
                    "State=vic\nCustomerName=Acme Mail\nJobNumber=" + std::string(40, 'j') + "\n"));
  EXPECT_EQ(250, spec_.LettersPerTray);
  EXPECT_DOUBLE_EQ(0.025, spec_.WeightOfLetter);
  EXPECT_EQ(2, spec_.State);
  EXPECT_STREQ("Acme Mail", spec_.CustomerName);
  EXPECT_EQ(std::string(30, 'j'), spec_.JobNumber);
}

TEST_F(SpecFileTest, UnknownStateIsRefusedInBothSections) {
  EXPECT_EQ(ERR_VASKREPORTSPEC_UNKNOWN_STATE,
            Load(std::string(kThreeFields) + "[ManifestReport]\nState=XX\n"));
  EXPECT_STREQ("ERR_VASKREPORTSPEC_UNKNOWN_STATE\nState=XX", message_);
  spec_.Clear();
  EXPECT_EQ(ERR_VASKREPORTSPEC_UNKNOWN_STATE,
            Load(std::string(kThreeFields) + "BspField=2\n[LabelPlanFile]\nState=\n"));
  EXPECT_STREQ("ERR_VASKREPORTSPEC_UNKNOWN_STATE\nState=", message_);
}

TEST_F(SpecFileTest, FlagsAreTrueOnlyForTrue) {
  struct Case {
    const char* value;
    bool flag;
  } cases[] = {{"True", true}, {"TRUE", true}, {"true", true}, {"yes", false},
               {"1", false}, {"", false}, {"True1", false}};
  for (const Case& c : cases) {
    spec_.Clear();
    spec_.SortByBsp = !c.flag;
    ASSERT_EQ(0, Load(std::string(kThreeFields) + "[FileProcessing]\nSortByBsp=" + c.value + "\n"));
    EXPECT_EQ(c.flag, spec_.SortByBsp) << c.value;
  }
}

TEST_F(SpecFileTest, LoadingDoesNotClearFirst) {
  spec_.MatchingReport = true;
  spec_.AmendedField = 0;
  strcpy(spec_.CustomerName, "Kept");
  spec_.LettersPerTray = 123;
  ASSERT_EQ(0, Load(std::string(kThreeFields) + "[FileProcessing]\nSortIntoBdt=True\n"));
  EXPECT_TRUE(spec_.MatchingReport);
  EXPECT_STREQ("Kept", spec_.CustomerName);
  EXPECT_EQ(123, spec_.LettersPerTray);
  EXPECT_TRUE(spec_.SortIntoBdt);
}

TEST_F(SpecFileTest, LabelPlanTextsHoldingACommaOrLineBreakAreRefused) {
  const char* keys[] = {"LabelPlanName", "CustomerName", "CustomerPhone", "JobNumber",
                        "Service",       "MailSize",     "Prefix"};
  for (const char* key : keys) {
    for (const char* value : {"a,b", ",", "a\rb"}) {
      spec_.Clear();
      std::string entry = std::string(key) + "=" + value;
      int code = Load(std::string(kThreeFields) + "BspField=2\n[LabelPlanFile]\n" + entry + "\n");
      bool prefixSafe = strcmp(key, "Prefix") == 0 && value[0] != ',';
      if (prefixSafe) {
        EXPECT_EQ(0, code) << entry;
        continue;
      }
      EXPECT_EQ(ERR_VASKREPORTSPEC_INVALID_LABEL_TEXT, code) << entry;
      EXPECT_EQ("ERR_VASKREPORTSPEC_INVALID_LABEL_TEXT\n" + entry, message_);
    }
  }
  spec_.Clear();
  ASSERT_EQ(0, Load(std::string(kThreeFields) + "BspField=2\n[LabelPlanFile]\nService=" +
                    std::string(50, 's') + ",beyond the kept text\nPrefix=ab\n"));
  EXPECT_EQ(std::string(50, 's'), spec_.Service);
  EXPECT_EQ('a', spec_.Prefix);
}

TEST_F(SpecFileTest, HeaderNamesAreTakenWhenLoading) {
  vrtest::WriteFile(dir_ / "data.txt", "Name,Town,DPID\r\nx,y,z\r\n");
  std::string head = "[File]\nPath=" + dir_ / "data.txt" + "\nDelimiter=44\nFieldNamesOnFirstLine=True\n";
  ASSERT_EQ(0, Load(head + "DpidField=dpid\n"));
  ASSERT_EQ(3, spec_.FieldCount);
  EXPECT_STREQ("DPID", spec_.Fields[2].Name);
  EXPECT_EQ(2, spec_.DpidField);
  EXPECT_EQ(93, spec_.RecordLength);

  spec_.Clear();
  EXPECT_EQ(ERR_VASKREPORTSPEC_FIELDNAMES_OUT,
            Load(head + "Fields=3\nField1Name=Name\nField1Size=5\nField2Name=Street\nField2Size=5\n"
                        "Field3Name=DPID\nField3Size=8\nDpidField=3\n"));
  EXPECT_STREQ("ERR_VASKREPORTSPEC_FIELDNAMES_OUT\nStreet, Town", message_);
}

TEST_F(SpecFileTest, IniErrorsReachTheCallerWithTheirLine) {
  EXPECT_EQ(ERR_INIFILE_DUPLICATE_SECTION, Load("[File]\nPath=x\n[FILE]\n"));
  EXPECT_STREQ("ERR_INIFILE_DUPLICATE_SECTION\n[FILE]", message_);
  EXPECT_STREQ("ERR_INIFILE_DUPLICATE_SECTION\n[FILE]", spec_.ErrorDetail);
  EXPECT_STREQ("", spec_.Path);
}

TEST_F(SpecFileTest, UnopenableFileGivesItsName) {
  std::string path = dir_ / "absent.ini";
  EXPECT_EQ(ERR_VASKREPORTSPEC_SPECFILE_OPEN, spec_.Read(path.c_str(), message_));
  EXPECT_EQ("ERR_VASKREPORTSPEC_SPECFILE_OPEN\n" + path, message_);
  EXPECT_EQ(ERR_VASKREPORTSPEC_SPECFILE_OPEN, spec_.Read(path.c_str(), nullptr));
}

TEST_F(SpecFileTest, WindowsLineEndingsLoad) {
  std::string text = kThreeFields;
  std::string crlf;
  for (char c : text + "[Output]\nOutputDirectory=out\n") crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  ASSERT_EQ(0, Load(crlf)) << message_;
  EXPECT_STREQ("Dpid", spec_.Fields[2].Name);
  EXPECT_STREQ("out", spec_.OutputDirectory);
}

TEST_F(SpecFileTest, IgnoredEntriesAreListedOnSuccessOnly) {
  std::string ignored;
  ASSERT_EQ(0, LoadListingIgnored(std::string(kThreeFields) + "Colour=blue\n[Extra]\nA=1\n"
                                  "[FileProcessing]\nSortByBsp=True\nSortAll=True\n", ignored));
  EXPECT_EQ("The following entries were ignored:\n[File]\nColour=blue\n[Extra]\nA=1\n"
            "[FileProcessing]\nSortAll=True\n", ignored);

  spec_.Clear();
  ASSERT_EQ(0, LoadListingIgnored(kThreeFields, ignored));
  EXPECT_EQ("", ignored);
  EXPECT_EQ(ERR_VASKREPORTSPEC_MISSING_BSPFIELD,
            LoadListingIgnored(std::string(kThreeFields) + "Colour=blue\n[LabelPlanFile]\n", ignored));
  EXPECT_EQ("", ignored);
}

TEST_F(SpecFileTest, EveryFailedAllocationIsReported) {
  vrtest::WriteFile(dir_ / "spec.ini", std::string(kThreeFields) + "[FileProcessing]\nRemoveField=Bsp,3\n");
  bool sawIni = false, sawSpec = false;
  for (int n = 0;; ++n) {
    VaskReportSpec spec;
    std::ifstream in(dir_ / "spec.ini");
    char message[256] = "";
    vrtest::g_AllocationsBeforeFailure = n;
    int code = spec.Read(in, message, nullptr);
    vrtest::g_AllocationsBeforeFailure = -1;
    if (code == 0) break;
    ASSERT_LT(n, 100);
    if (code == ERR_INIFILE_OUT_OF_MEMORY) {
      sawIni = true;
      EXPECT_EQ(0u, std::string(message).find("ERR_INIFILE_OUT_OF_MEMORY\n")) << n;
    } else {
      sawSpec = true;
      EXPECT_EQ(ERR_VASKREPORTSPEC_OUTOFMEMORY, code) << n;
      EXPECT_STREQ("ERR_VASKREPORTSPEC_OUTOFMEMORY", message) << n;
    }
  }
  EXPECT_TRUE(sawIni);
  EXPECT_TRUE(sawSpec);
}

TEST_F(SpecFileTest, ClearedObjectWritesElevenLines) {
  std::string text = Saved(spec_);
  EXPECT_EQ("[File]\nPath=\nDelimiter=0\nFieldNamesOnFirstLine=False\nFields=0\n[Output]\n"
            "OutputDirectory=\n[FileProcessing]\nSortByBsp=False\nSortIntoBdt=False\n"
            "SortIntoStates=False\n", text);
  vrtest::ExpectGolden(text, "specfile/cleared.ini");
}

TEST_F(SpecFileTest, WeightIsWrittenInGeneralNotation) {
  struct Case {
    double weight;
    const char* text;
  } cases[] = {{0.025, "0.025"}, {0.00001, "1e-05"}, {1234567, "1.23457e+06"}, {0, "0"}, {0.5, "0.5"}};
  for (const Case& c : cases) {
    spec_.ManifestReport = true;
    spec_.WeightOfLetter = c.weight;
    std::string text = Saved(spec_);
    EXPECT_NE(std::string::npos, text.find(std::string("\nWeightOfLetter=") + c.text + "\n")) << text;
  }
}

// Every setting the file carries, away from its cleared value.
void FillRich(VaskReportSpec& spec) {
  spec.SetPath("/data/mail list.txt");
  spec.Delimiter = static_cast<char>(200);
  spec.Qualifier = '"';
  delete[] spec.Fields;
  spec.FieldCount = 5;
  spec.Fields = new VaskReportSpec::FieldSpec[5];
  const char* names[] = {"Name", "Dpid", "Bsp", "State", "Amended"};
  for (int i = 0; i < 5; ++i) {
    strcpy(spec.Fields[i].Name, names[i]);
    spec.Fields[i].Size = 10 * (i + 1);
  }
  spec.BspField = 2;
  spec.StateField = 3;
  spec.DpidField = 1;
  spec.AmendedField = 4;
  strcpy(spec.OutputDirectory, "/reports/job 7");
  spec.ManifestReport = true;
  spec.LettersPerTray = 250;
  spec.WeightOfLetter = 0.0125;
  spec.State = 6;
  strcpy(spec.CustomerName, "Acme = Mail");
  strcpy(spec.JobNumber, "J-77");
  spec.MatchingReport = true;
  strcpy(spec.PafVersion, "2024.2");
  strcpy(spec.ProcessDate, "01/02/2024");
  strcpy(spec.CertifiedDate, "03/04/2023");
  strcpy(spec.SoftwareName, "Matcher");
  strcpy(spec.SoftwareVersion, "5.1");
  strcpy(spec.ListProcessor, "Bulk Co; Ltd");
  strcpy(spec.ListName, "Members");
  strcpy(spec.ListOwner, "Club #1");
  spec.SortByBsp = true;
  spec.SortIntoStates = true;
  spec.SortIntoBdt = true;
  spec.RemoveField = new int[3]{0, 4, -1};
  spec.LabelPlanFile = true;
  strcpy(spec.LabelPlanName, "Plan A");
  strcpy(spec.LabelCustomerName, "Acme");
  strcpy(spec.CustomerPhone, "02 9999 0000");
  strcpy(spec.LabelJobNumber, "L-77");
  spec.LabelState = 7;
  strcpy(spec.Service, "R");
  strcpy(spec.MailSize, "S");
  spec.Prefix = 'Z';
}

// The written text carries every saved setting, so equal texts mean equal settings.
void ExpectSameSettings(VaskReportSpec& a, VaskReportSpec& b, const std::string& dir) {
  ASSERT_EQ(0, a.Write((dir + "/a.ini").c_str()));
  ASSERT_EQ(0, b.Write((dir + "/b.ini").c_str()));
  EXPECT_EQ(vrtest::ReadFile(dir + "/a.ini"), vrtest::ReadFile(dir + "/b.ini"));
  EXPECT_STREQ(a.ExpandedPath, b.ExpandedPath);
  EXPECT_EQ(a.State, b.State);
  EXPECT_EQ(a.LabelState, b.LabelState);
}

TEST_F(SpecFileTest, RichSpecificationWritesItsGoldenText) {
  FillRich(spec_);
  std::string text = Saved(spec_);
  vrtest::ExpectGolden(text, "specfile/rich.ini");
  EXPECT_NE(std::string::npos, text.find("\nDelimiter=200\nQualifier=34\n"));
  EXPECT_NE(std::string::npos, text.find("\nRemoveField=Name,Amended\n[LabelPlanFile]\n"));
}

TEST_F(SpecFileTest, RichSpecificationReadsBackToTheSameSettings) {
  FillRich(spec_);
  Saved(spec_);
  VaskReportSpec loaded;
  char message[256] = "";
  ASSERT_EQ(0, loaded.Read((dir_ / "saved.ini").c_str(), message)) << message;
  ExpectSameSettings(spec_, loaded, dir_.path());
  EXPECT_EQ(200, static_cast<unsigned char>(loaded.Delimiter));
  EXPECT_EQ('"', loaded.Qualifier);
  EXPECT_EQ(4, loaded.AmendedField);
  ASSERT_NE(nullptr, loaded.RemoveField);
  EXPECT_EQ(0, loaded.RemoveField[0]);
  EXPECT_EQ(4, loaded.RemoveField[1]);
  EXPECT_EQ(-1, loaded.RemoveField[2]);
  EXPECT_EQ('Z', loaded.Prefix);
}

TEST_F(SpecFileTest, HeaderDetectedSpecificationReadsBack) {
  vrtest::WriteFile(dir_ / "data.txt", "Name|Dpid|Bsp\n");
  spec_.SetPath((dir_ / "data.txt").c_str());
  spec_.Delimiter = '|';
  spec_.FieldNamesOnFirstLine = true;
  ASSERT_EQ(0, spec_.GetAndCheckFieldNames(nullptr));
  spec_.DpidField = 1;
  spec_.BspField = 2;
  spec_.LabelPlanFile = true;
  spec_.State = 0;  // loading defaults it
  spec_.RemoveField = new int[2]{2, -1};
  Saved(spec_);
  VaskReportSpec loaded;
  ASSERT_EQ(0, loaded.Read((dir_ / "saved.ini").c_str(), nullptr));
  ExpectSameSettings(spec_, loaded, dir_.path());
  EXPECT_EQ(3, loaded.FieldCount);
}

// A field whose name would not read back as itself (a comma or edge spaces
// inside the comma-separated list, or a name an earlier field already has)
// is saved by its number, so the saved file loads to the same settings.
TEST_F(SpecFileTest, FieldsWhoseNamesWouldNotReadBackAreSavedByNumber) {
  SetFields(spec_, 5);
  strcpy(spec_.Fields[1].Name, "Bsp,Code");
  strcpy(spec_.Fields[2].Name, "F1");  // the same name as field 1
  strcpy(spec_.Fields[3].Name, " Dpid ");
  strcpy(spec_.Fields[4].Name, "Amended\r");  // its line would end in CR LF
  spec_.DpidField = 3;
  spec_.BspField = 1;
  spec_.StateField = 2;
  spec_.AmendedField = 4;
  spec_.RemoveField = new int[6]{1, 2, 4, 3, 0, -1};
  const std::string text = Saved(spec_);
  EXPECT_NE(std::string::npos, text.find("\nBspField=Bsp,Code\n"));
  EXPECT_NE(std::string::npos, text.find("\nStateField=3\n"));
  EXPECT_NE(std::string::npos, text.find("\nAmendedField=5\n"));
  EXPECT_NE(std::string::npos, text.find("\nRemoveField=2,3,5,4,F1\n"));
  VaskReportSpec loaded;
  char message[256] = "";
  ASSERT_EQ(0, loaded.Read((dir_ / "saved.ini").c_str(), message)) << message;
  EXPECT_EQ(3, loaded.DpidField);
  EXPECT_EQ(1, loaded.BspField);
  EXPECT_EQ(2, loaded.StateField);
  EXPECT_EQ(4, loaded.AmendedField);
  ASSERT_NE(nullptr, loaded.RemoveField);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(spec_.RemoveField[i], loaded.RemoveField[i]) << i;
}

TEST_F(SpecFileTest, WriteLeavesOutIndexesBeyondTheFieldList) {
  SetFields(spec_, 2);
  spec_.BspField = 2;
  spec_.StateField = 7;
  spec_.DpidField = 1;
  spec_.AmendedField = -3;
  spec_.RemoveField = new int[4]{5, 0, 2, -1};
  std::string text = Saved(spec_);
  vrtest::ExpectGolden(text, "specfile/beyond_fields.ini");
  EXPECT_EQ(std::string::npos, text.find("BspField"));
  EXPECT_EQ(std::string::npos, text.find("StateField"));
  EXPECT_EQ(std::string::npos, text.find("AmendedField"));
  EXPECT_NE(std::string::npos, text.find("\nDpidField=F2\n"));
  EXPECT_NE(std::string::npos, text.find("\nRemoveField=F1\n"));

  delete[] spec_.RemoveField;
  spec_.RemoveField = new int[2]{9, -1};
  EXPECT_EQ(std::string::npos, Saved(spec_).find("RemoveField"));
}

TEST_F(SpecFileTest, WriteFailuresAreReported) {
  FillRich(spec_);
  EXPECT_EQ(ERR_VASKREPORTSPEC_SPECFILE_OPEN, spec_.Write((dir_ / "no/such/dir.ini").c_str()));
  EXPECT_EQ(ERR_VASKREPORTSPEC_SPECFILE_OPEN, spec_.Write(nullptr));
  if (vrtest::FileExists("/dev/full")) {
    EXPECT_EQ(ERR_VASKREPORTSPEC_SPECFILE_OPEN, spec_.Write("/dev/full"));
  }
}

}  // namespace

TEST(SpecFileSave, TextsHoldingALineFeedAreNotSavedAndTheOldFileStays) {
  vrtest::TempDir dir;
  const std::string path = dir / "job.ini";
  vrtest::WriteFile(path, "[File]\nPath=old.txt\n");
  // Each would read back as entries or sections the object does not have.
  const char* const injected[] = {"Acme\nLettersPerTray=5", "x\n[FileProcessing]\nSortByBsp=True",
                                  "\n"};
  for (const char* text : injected) {
    VaskReportSpec spec;
    spec.ManifestReport = true;
    strncpyz(spec.CustomerName, text, sizeof spec.CustomerName);
    EXPECT_EQ(ERR_VASKREPORTSPEC_SPECFILE_OPEN, spec.Write(path.c_str())) << text;
    EXPECT_EQ("[File]\nPath=old.txt\n", vrtest::ReadFile(path));
  }
  VaskReportSpec spec;
  spec.SetPath("new.txt");
  spec.Fields = new VaskReportSpec::FieldSpec[1]{};
  spec.FieldCount = 1;
  spec.Fields[0].Size = 1;
  strncpyz(spec.Fields[0].Name, "A\nB", sizeof spec.Fields[0].Name);
  EXPECT_EQ(ERR_VASKREPORTSPEC_SPECFILE_OPEN, spec.Write(path.c_str()));
  // A line longer than the reader takes: a path of 250 characters fits the
  // object but not the line "Path=...".
  spec.Fields[0].Name[0] = 'A';
  spec.Fields[0].Name[1] = '\0';
  spec.SetPath(std::string(251, 'p').c_str());
  EXPECT_EQ(ERR_VASKREPORTSPEC_SPECFILE_OPEN, spec.Write(path.c_str()));
  spec.SetPath(std::string(250, 'p').c_str());
  EXPECT_EQ(0, spec.Write(path.c_str()));
  VaskReportSpec back;
  char message[256];
  back.Read(path.c_str(), message);  // no role for the DPID, which is not the point here
  EXPECT_EQ(std::string(250, 'p'), back.Path) << message;
  spec.SetPath("new.txt");
  // A carriage return reads back as it was, so it is saved.
  strncpyz(spec.Fields[0].Name, "A\rB", sizeof spec.Fields[0].Name);
  EXPECT_EQ(0, spec.Write(path.c_str()));
  EXPECT_NE(std::string::npos, vrtest::ReadFile(path).find("Field1Name=A\rB\n"));
}

TEST(SpecFileSave, ALeftoverLinkBesideTheFileIsReplacedNotWrittenThrough) {
  vrtest::TempDir dir;
  const std::string path = dir / "job.ini";
  const std::string other = dir / "other.txt";
  vrtest::WriteFile(other, "someone else's file\n");
  ASSERT_EQ(0, symlink(other.c_str(), (path + ".new").c_str()));
  VaskReportSpec spec;
  spec.SetPath("new.txt");
  EXPECT_EQ(0, spec.Write(path.c_str()));
  EXPECT_EQ("someone else's file\n", vrtest::ReadFile(other));
  EXPECT_NE(std::string::npos, vrtest::ReadFile(path).find("Path=new.txt\n"));

  // A link to a device, or to nothing, is replaced too: the saved file is a
  // file of its own that holds the specification.
  for (const char* target : {"/dev/null", "nowhere.ini"}) {
    ASSERT_EQ(0, symlink(target, (path + ".new").c_str())) << target;
    EXPECT_EQ(0, spec.Write(path.c_str())) << target;
    struct stat st;
    ASSERT_EQ(0, lstat(path.c_str(), &st));
    EXPECT_TRUE(S_ISREG(st.st_mode)) << target;
    EXPECT_NE(std::string::npos, vrtest::ReadFile(path).find("Path=new.txt\n")) << target;
    EXPECT_FALSE(vrtest::FileExists(dir / "nowhere.ini"));
  }
}

TEST(SpecFileSave, TheSavedFileKeepsItsModeAndANameAtTheLimitIsWrittenInPlace) {
  vrtest::TempDir dir;
  const std::string path = dir / "job.ini";
  VaskReportSpec spec;
  spec.SetPath("new.txt");
  for (mode_t mode : {0600, 0640, 0604}) {
    vrtest::WriteFile(path, "[File]\nPath=old.txt\n");
    ASSERT_EQ(0, chmod(path.c_str(), mode));
    EXPECT_EQ(0, spec.Write(path.c_str()));
    struct stat st;
    ASSERT_EQ(0, stat(path.c_str(), &st));
    EXPECT_EQ(mode, st.st_mode & 07777);
    EXPECT_NE(std::string::npos, vrtest::ReadFile(path).find("Path=new.txt\n"));
  }
  // A file of another group is written in place, keeping its group and mode.
  if (geteuid() == 0) {
    vrtest::WriteFile(path, "[File]\nPath=old.txt\n");
    ASSERT_EQ(0, chown(path.c_str(), 0, 65534));
    ASSERT_EQ(0, chmod(path.c_str(), 0640));
    EXPECT_EQ(0, spec.Write(path.c_str()));
    struct stat st;
    ASSERT_EQ(0, stat(path.c_str(), &st));
    EXPECT_EQ(65534u, st.st_gid);
    EXPECT_EQ(0640u, st.st_mode & 07777);
    EXPECT_NE(std::string::npos, vrtest::ReadFile(path).find("Path=new.txt\n"));
  }
  // A file name of 255 characters leaves no room for a file beside it.
  const std::string longest = dir / (std::string(251, 'a') + ".ini");
  for (const char* data : {"new.txt", "newer.txt"}) {  // a new file, then an existing one
    spec.SetPath(data);
    EXPECT_EQ(0, spec.Write(longest.c_str())) << data;
    EXPECT_NE(std::string::npos, vrtest::ReadFile(longest).find(std::string("Path=") + data))
        << data;
  }
}

TEST(SpecFileSave, FailedSaveLeavesTheOldFileWhole) {
  vrtest::TempDir dir;
  std::string path = dir / "job.ini";
  vrtest::WriteFile(path, "[File]\nPath=old.txt\n");
  // A directory where the file written beside would go makes the save fail.
  ASSERT_EQ(0, mkdir((path + ".new").c_str(), 0755));
  VaskReportSpec spec;
  spec.SetPath("new.txt");
  EXPECT_EQ(ERR_VASKREPORTSPEC_SPECFILE_OPEN, spec.Write(path.c_str()));
  EXPECT_EQ("[File]\nPath=old.txt\n", vrtest::ReadFile(path));
  rmdir((path + ".new").c_str());
  EXPECT_EQ(0, spec.Write(path.c_str()));
  EXPECT_NE(std::string::npos, vrtest::ReadFile(path).find("Path=new.txt\n"));
  EXPECT_FALSE(vrtest::FileExists(path + ".new"));
}
