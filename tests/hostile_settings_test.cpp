// Settings a careless or hostile caller can give through the C interface:
// each is refused with its code or runs, and nothing is written outside a
// buffer (the sanitized build checks the second half).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "engine/Tallies.h"
#include "include/vaskreport.h"

using vrtest::ReadFile;
using vrtest::TempDir;
using vrtest::WriteFile;

namespace {

// A message buffer of 256 characters fenced by guard bytes.
class Message {
 public:
  Message() { std::memset(bytes_, kGuard, sizeof bytes_); }
  char* get() { return bytes_ + kFence; }
  std::string text() const { return bytes_ + kFence; }
  bool Intact() const {
    for (int i = 0; i < kFence; ++i)
      if (bytes_[i] != kGuard || bytes_[kFence + 256 + i] != kGuard) return false;
    return true;
  }

 private:
  static const char kGuard = '\x5A';
  static const int kFence = 32;
  char bytes_[256 + 2 * kFence];
};

// A small delimited layout DPID,BSP,STATE over the given data file.
void SmallLayout(const std::string& dataPath) {
  reportClearSpec();
  ASSERT_EQ(0, reportPutFileName(dataPath.c_str()));
  ASSERT_EQ(0, reportPutDelimiter(','));
  ASSERT_EQ(0, reportPutFieldCount(3));
  const char* names[] = {"DPID", "BSP", "STATE"};
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(0, reportPutFieldNames(i + 1, names[i]));
    ASSERT_EQ(0, reportPutFieldSizes(i + 1, 8));
  }
  ASSERT_EQ(0, reportPutDpidField("DPID"));
  ASSERT_EQ(0, reportPutBspField("BSP"));
  ASSERT_EQ(0, reportPutStateField("STATE"));
  ASSERT_EQ(0, reportPutManifestReport(1));
  ASSERT_EQ(0, reportPutLodgementState("NSW"));
}

int Report(Message& message) {
  int rc = reportReport(message.get(), nullptr);
  EXPECT_TRUE(message.Intact());
  return rc;
}

class HostileSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir_ / "job.txt", "1,3,NSW\n1,30,VIC\n,,QLD\n");
    SmallLayout(dir_ / "job.txt");
    ASSERT_EQ(0, reportPutOutputDirectory((dir_ / "out").c_str()));
  }
  void TearDown() override { reportClearSpec(); }
  TempDir dir_;
};

TEST_F(HostileSettings, FieldCountsOutOfRangeAreRefusedAndKeepTheList) {
  for (int count : {-1, -1000, INT_MIN, 1000001, INT_MAX}) {
    EXPECT_EQ(ERR_VASKREPORTSPEC_INVALID_NUM_FIELDS, reportPutFieldCount(count)) << count;
    int kept = 0;
    EXPECT_EQ(0, reportGetFieldCount(&kept));
    EXPECT_EQ(3, kept) << count;
  }
  Message message;
  EXPECT_EQ(0, Report(message)) << message.text();
  // The largest count taken gives that many empty fields, which the run refuses.
  ASSERT_EQ(0, reportPutFieldCount(1000000));
  int count = 0;
  EXPECT_EQ(0, reportGetFieldCount(&count));
  EXPECT_EQ(1000000, count);
  EXPECT_EQ(ERR_VASKREPORTSPEC_INVALID_FIELD_SIZE, Report(message));
}

TEST_F(HostileSettings, RolesBeyondAShrunkenFieldListAreRefusedByTheRun) {
  // Field 3 holds the state role; a list cut to two leaves it naming nothing.
  ASSERT_EQ(0, reportPutFieldCount(2));
  char name[51] = "untouched";
  EXPECT_EQ(0, reportGetStateField(name));
  EXPECT_STREQ("", name);
  Message message;
  EXPECT_EQ(ERR_VASKREPORTSPEC_UNKNOWN_FIELD, Report(message));
  EXPECT_EQ("ERR_VASKREPORTSPEC_UNKNOWN_FIELD", message.text());
  // Growing the list again brings back an empty third field, and the role with it.
  ASSERT_EQ(0, reportPutFieldCount(3));
  ASSERT_EQ(0, reportPutFieldSizes(3, 8));
  EXPECT_EQ(0, Report(message)) << message.text();
}

TEST_F(HostileSettings, NullTextsAreRefusedOrTakenAsEmpty) {
  EXPECT_EQ(ERR_VASKREPORTSPEC_UNKNOWN_FIELD, reportPutBspField(nullptr));
  EXPECT_EQ(0, reportPutFieldNames(1, nullptr));
  char name[51] = "untouched";
  EXPECT_EQ(0, reportGetFieldNames(1, name));
  EXPECT_STREQ("", name);
  EXPECT_EQ(0, reportPutCustomerName(nullptr));
  EXPECT_EQ(ERR_VASKREPORTSPEC_UNKNOWN_STATE, reportPutLodgementState(nullptr));
  Message message;
  EXPECT_EQ(ERR_VASKREPORTSPEC_SPECFILE_OPEN, reportLoadSpec(nullptr, message.get()));
  EXPECT_TRUE(message.Intact());
  EXPECT_EQ(ERR_VASKREPORTSPEC_SPECFILE_OPEN, reportSaveSpec(nullptr));
  EXPECT_EQ(0, reportPutFileName(nullptr));
  ASSERT_EQ(0, reportClearSpec());
  EXPECT_EQ(ERR_VASKREPORTSPEC_MISSING_DPIDFIELD, reportReport(nullptr, nullptr));
}

TEST_F(HostileSettings, FieldSizesThatMisplaceFieldsAreRefusedByTheRun) {
  struct Case {
    int Field, Size;
  } cases[] = {{1, 0}, {2, -5}, {3, INT_MIN}, {1, INT_MAX}, {2, INT_MAX - 8}};
  for (const Case& c : cases) {
    SmallLayout(dir_ / "job.txt");
    ASSERT_EQ(0, reportPutFieldSizes(c.Field, c.Size));
    Message message;
    EXPECT_EQ(ERR_VASKREPORTSPEC_INVALID_FIELD_SIZE, Report(message)) << c.Size;
    EXPECT_EQ("ERR_VASKREPORTSPEC_INVALID_FIELD_SIZE", message.text());
  }
  for (int number : {0, -1, 4, INT_MAX, INT_MIN}) {
    EXPECT_EQ(ERR_VASKREPORTSPEC_INVALID_FIELD_NUM, reportPutFieldSizes(number, 5)) << number;
    EXPECT_EQ(ERR_VASKREPORTSPEC_INVALID_FIELD_NUM, reportPutFieldNames(number, "X")) << number;
    int size = -7;
    char name[51] = "untouched";
    EXPECT_EQ(0, reportGetFieldSizes(number, &size));
    EXPECT_EQ(0, size);
    EXPECT_EQ(0, reportGetFieldNames(number, name));
    EXPECT_STREQ("", name);
  }
}

TEST_F(HostileSettings, TenThousandFieldsRunAndCount) {
  const int count = 10000;
  ASSERT_EQ(0, reportPutFieldCount(count));
  for (int i = 1; i <= count; ++i) {
    ASSERT_EQ(0, reportPutFieldNames(i, ("F" + std::to_string(i)).c_str()));
    ASSERT_EQ(0, reportPutFieldSizes(i, 3));
  }
  ASSERT_EQ(0, reportPutDpidField("F1"));
  ASSERT_EQ(0, reportPutBspField("F9999"));
  ASSERT_EQ(0, reportPutStateField("F10000"));
  std::string line = "1";
  for (int i = 2; i <= count; ++i) line += i == 9999 ? ",3" : i == count ? ",NSW" : ",x";
  std::string data;
  for (int i = 0; i < 301; ++i) data += line + "\n";
  WriteFile(dir_ / "job.txt", data);
  Message message;
  ASSERT_EQ(0, Report(message)) << message.text();
  const std::string csv = ReadFile(dir_ / "out/ManifestReport.csv");
  EXPECT_NE(std::string::npos, csv.find("301")) << csv;
}

TEST_F(HostileSettings, EmptyAndOverlongNamesStayInsideTheirBuffers) {
  const std::string longName(255, 'N');
  ASSERT_EQ(0, reportPutFieldNames(1, ""));
  ASSERT_EQ(0, reportPutFieldNames(2, longName.c_str()));
  char name[51];
  ASSERT_EQ(0, reportGetFieldNames(2, name));
  EXPECT_EQ(std::string(50, 'N'), name);
  EXPECT_EQ(ERR_VASKREPORTSPEC_UNKNOWN_FIELD, reportPutBspField(longName.c_str()));
  EXPECT_EQ(0, reportPutBspField(std::string(50, 'N').c_str()));
  // The DPID role still names field 1 by index; its name is now empty.
  ASSERT_EQ(0, reportGetDpidField(name));
  EXPECT_STREQ("", name);
  Message message;
  EXPECT_EQ(0, Report(message)) << message.text();
  for (auto put : {reportPutCustomerName, reportPutJobNumber, reportPutListName,
                   reportPutSoftwareName, reportPutProcessDate}) {
    EXPECT_EQ(0, put(longName.c_str()));
    EXPECT_EQ(0, put(""));
  }
}

TEST_F(HostileSettings, PathsOf255CharactersWorkAnd256AreRefused) {
  // A data file whose whole path is exactly 255 characters.
  std::string path = dir_.path() + "/";
  path += std::string(255 - path.size() - 4, 'd') + ".txt";
  ASSERT_EQ(255u, path.size());
  WriteFile(path, "1,3,NSW\n");
  EXPECT_EQ(0, reportPutFileName(path.c_str()));
  char buffer[256];
  EXPECT_EQ(255, reportGetFileName(buffer, 254));
  EXPECT_EQ(0, reportGetFileName(buffer, 255));
  EXPECT_EQ(path, buffer);
  const std::string tooLong = path + "x";
  EXPECT_EQ(ERR_VASKREPORTSPEC_FILENAME_TOOLONG, reportPutFileName(tooLong.c_str()));
  EXPECT_EQ(0, reportGetFileName(buffer, 255));
  EXPECT_EQ(path, buffer) << "a refused name keeps the one before";

  // Resorting with an output directory near 255 characters: every bucket name
  // is composed whole, so no record is lost.
  std::string out = dir_.path() + "/";
  while (out.size() < 250) out += std::string(std::min<size_t>(60, 250 - out.size()), 'o') + "/";
  ASSERT_EQ(0, reportPutOutputDirectory(out.c_str()));
  ASSERT_EQ(0, reportPutResortFile(1));
  WriteFile(path, "1,30,VIC\n,,QLD\n1,3,NSW\nbad,\n");
  Message message;
  ASSERT_EQ(0, Report(message)) << message.text();
  EXPECT_EQ("1,3,NSW\n1,30,VIC\n,,QLD\nbad,\n", ReadFile(path));

  Message loadMessage;
  EXPECT_EQ(ERR_VASKREPORTSPEC_SPECFILE_OPEN,
            reportLoadSpec((out + std::string(300, 's')).c_str(), loadMessage.get()));
  EXPECT_TRUE(loadMessage.Intact());
}

// An alias whose configuration line was cut is not found, and an expansion
// longer than 255 characters is refused where the path is set: a cut path
// would name, and the resort rewrite, another file.
TEST_F(HostileSettings, AliasesThatDoNotFitAreNeverOpenedCut) {
  std::string data = dir_.path();
  while (data.size() < 244) data += "/" + std::string(std::min<size_t>(60, 243 - data.size()), 'd');
  ASSERT_EQ(244u, data.size());
  ASSERT_EQ(0, system(("mkdir -p '" + data + "'").c_str()));
  WriteFile(data + "/mailing.cs", "1,3,NSW\n");  // what a cut path would name
  WriteFile(dir_ / "zelnor", "Paths/FITS=" + data + "\nPaths/CUT=" + data + "xx\n");
  vrtest::ScopedEnv config("ZELNOR_CONFIG_FILE", (dir_ / "zelnor").c_str());
  ASSERT_EQ(0, reportPutResortFile(1));
  struct Case {
    const char* Path;
    int Code;
  } cases[] = {{"$FITS$/mailing.c", 0},
               {"$FITS$/mailing.csv", ERR_VASKREPORTSPEC_FILENAME_TOOLONG},
               {"$CUT$/mailing.csv", 0}};  // not found, so taken as written
  for (const Case& c : cases) {
    ASSERT_EQ(0, reportPutFileName((dir_ / "job.txt").c_str()));
    EXPECT_EQ(c.Code, reportPutFileName(c.Path)) << c.Path;
    char kept[256];
    ASSERT_EQ(0, reportGetFileName(kept, 255));
    EXPECT_EQ(c.Code ? dir_ / "job.txt" : c.Path, kept) << c.Path;
    WriteFile(dir_ / "spec.ini", "[File]\nPath=" + std::string(c.Path) +
                                     "\nDelimiter=44\nFields=1\nField1Name=D\nField1Size=8\n"
                                     "DpidField=D\n[FileProcessing]\nSortByBsp=True\n");
    Message message;
    ASSERT_EQ(0, reportClearSpec());
    EXPECT_EQ(c.Code, reportLoadSpec((dir_ / "spec.ini").c_str(), message.get())) << c.Path;
    if (c.Code) {
      EXPECT_EQ("ERR_VASKREPORTSPEC_FILENAME_TOOLONG\nPath=" + std::string(c.Path),
                message.text());
      // The path stays as written, but nothing may open its cut expansion.
      ASSERT_EQ(0, reportPutFieldCount(1));
      ASSERT_EQ(0, reportPutFieldSizes(1, 8));
      ASSERT_EQ(0, reportPutFieldNames(1, "D"));
      ASSERT_EQ(0, reportPutDpidField("D"));
      EXPECT_EQ(ERR_VASKREPORT_NO_FILE, Report(message)) << c.Path;
    }
    EXPECT_EQ("1,3,NSW\n", ReadFile(data + "/mailing.cs")) << c.Path;
  }
}

// A path under base of exactly length characters, in components short
// enough for any file system; it ends in "/" when asked.
std::string PathOfLength(const std::string& base, size_t length, bool slash) {
  std::string path = base;
  const size_t end = slash ? length - 1 : length;
  while (path.size() < end) {
    path += "/";
    path += std::string(std::min<size_t>(60, end - path.size()), 'p');
  }
  return slash ? path + "/" : path;
}

TEST_F(HostileSettings, OutputDirectoryOf255CharactersWorksOnlyWithItsSlash) {
  struct Case {
    size_t Length;
    bool Slash;
    int Code;
  } cases[] = {{255, true, 0}, {255, false, ERR_VASKREPORT_CREATE_DIRECTORY},
               {256, true, ERR_VASKREPORT_CREATE_DIRECTORY},
               {256, false, ERR_VASKREPORT_CREATE_DIRECTORY}};
  for (const Case& c : cases) {
    TempDir dir;
    WriteFile(dir / "job.txt", "1,3,NSW\n,,QLD\n");
    SmallLayout(dir / "job.txt");
    ASSERT_EQ(0, reportPutResortFile(1));
    const std::string out = PathOfLength(dir.path(), c.Length, c.Slash);
    ASSERT_EQ(c.Length, out.size());
    ASSERT_EQ(0, reportPutOutputDirectory(out.c_str()));
    char kept[256];
    ASSERT_EQ(0, reportGetOutputDirectory(kept, 255));
    EXPECT_EQ(out.substr(0, 255), kept) << "the setter keeps 255 characters";
    Message message;
    const std::string what = std::to_string(c.Length) + (c.Slash ? " with /" : " without /");
    EXPECT_EQ(c.Code, Report(message)) << what << ": " << message.text();
    EXPECT_EQ("1,3,NSW\n,,QLD\n", ReadFile(dir / "job.txt")) << what;
    EXPECT_EQ(c.Code == 0, vrtest::FileExists(out + "/ManifestReport.txt")) << what;
    if (c.Code) {
      EXPECT_EQ("ERR_VASKREPORT_CREATE_DIRECTORY", message.text()) << what;
    }
  }
}

TEST_F(HostileSettings, SpecificationFileOf255And256CharactersSavesAndLoads) {
  ASSERT_EQ(0, reportPutCustomerName("Long Path Pty Ltd"));
  for (size_t length : {255u, 256u}) {
    const std::string file = PathOfLength(dir_.path(), length, false);
    for (size_t slash = file.find('/', dir_.path().size() + 1); slash != std::string::npos;
         slash = file.find('/', slash + 1))
      mkdir(file.substr(0, slash).c_str(), 0755);
    ASSERT_EQ(0, reportSaveSpec(file.c_str())) << length;
    ASSERT_EQ(0, reportClearSpec());
    Message message;
    EXPECT_EQ(0, reportLoadSpec(file.c_str(), message.get())) << length << ": " << message.text();
    EXPECT_TRUE(message.Intact());
    char name[51];
    ASSERT_EQ(0, reportGetCustomerName(name, 50));
    EXPECT_STREQ("Long Path Pty Ltd", name) << length;
    EXPECT_EQ(0, Report(message)) << length << ": " << message.text();
  }
}

TEST_F(HostileSettings, LettersPerTrayBelowOneIsRefused) {
  for (int letters : {0, -1, INT_MIN}) {
    ASSERT_EQ(0, reportPutLettersPerTray(letters));
    Message message;
    EXPECT_EQ(ERR_VASKREPORTSPEC_INVALID_LETTERS_PER_TRAY, Report(message)) << letters;
  }
  ASSERT_EQ(0, reportPutLettersPerTray(INT_MAX));
  Message message;
  EXPECT_EQ(0, Report(message)) << message.text();
}

TEST_F(HostileSettings, WeightsThatCannotBePrintedAreRefusedAndKeepTheWeightBefore) {
  struct Case {
    double Weight;
    int Code;
  } cases[] = {{0.0, 0},
               {-0.0, 0},
               {10.0, 0},
               {0.02, 0},
               {-1.0, ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER},
               {10.0001, ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER},
               {1e30, ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER},
               {HUGE_VAL, ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER},
               {std::nan(""), ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER}};
  for (const Case& c : cases) {
    ASSERT_EQ(0, reportPutWeightOfLetter(0.5));
    EXPECT_EQ(c.Code, reportPutWeightOfLetter(c.Weight)) << c.Weight;
    double kept = -7;
    ASSERT_EQ(0, reportGetWeightOfLetter(&kept));
    EXPECT_EQ(c.Code ? 0.5 : c.Weight, kept) << c.Weight;
    EXPECT_FALSE(std::signbit(kept)) << c.Weight;
    Message message;
    EXPECT_EQ(0, Report(message)) << c.Weight << ": " << message.text();
  }
  // A billion of the heaviest letters still print apart from the Trays column.
  DetailLine line;
  line.Volume = line.Trays = 1000000000;
  line.Weight = 1e9 * 10.0;
  std::ostringstream text;
  line.PrintText("Total", text, true);
  EXPECT_NE(std::string::npos, text.str().find("1000000000 10000000000.00\n")) << text.str();
}

TEST_F(HostileSettings, OddDelimitersDoNotStopTheRun) {
  WriteFile(dir_ / "job.txt", "1\xB5" "3\xB5NSW\n");
  ASSERT_EQ(0, reportPutDelimiter('\xB5'));
  ASSERT_EQ(0, reportPutQualifier('\xFF'));
  Message message;
  EXPECT_EQ(0, Report(message)) << message.text();
  EXPECT_NE(std::string::npos, ReadFile(dir_ / "out/ManifestReport.csv").find(",1,"));
}

std::vector<std::string> SortedLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

TEST_F(HostileSettings, SeparatorsThatClashKeepEveryRecordOfAResortOrAreRefused) {
  struct Case {
    char Delimiter, Qualifier;
    int Code;
  } cases[] = {{',', ',', ERR_VASKREPORTSPEC_INVALID_QUALIFIER},
               {'\n', 0, 0},
               {'\r', '"', 0},
               {'"', '"', ERR_VASKREPORTSPEC_INVALID_QUALIFIER},
               {'\xFF', '\xFF', ERR_VASKREPORTSPEC_INVALID_QUALIFIER},
               {0, ',', 0}};
  const std::string data =
      "1,3,NSW\r\n\"1\",\"30\"\n,,QLD\n\xFF\xFF,\"\n,\",\"\"\",\n1234567890123\n";
  for (const Case& c : cases) {
    WriteFile(dir_ / "job.txt", data);
    SmallLayout(dir_ / "job.txt");
    ASSERT_EQ(0, reportPutOutputDirectory((dir_ / "out").c_str()));
    ASSERT_EQ(0, reportPutDelimiter(c.Delimiter));
    ASSERT_EQ(0, reportPutQualifier(c.Qualifier));
    ASSERT_EQ(0, reportPutResortFile(1));
    Message message;
    const std::string what = std::to_string(c.Delimiter) + "/" + std::to_string(c.Qualifier);
    EXPECT_EQ(c.Code, Report(message)) << what << ": " << message.text();
    EXPECT_EQ(c.Code ? data : ReadFile(dir_ / "job.txt"), ReadFile(dir_ / "job.txt")) << what;
    EXPECT_EQ(SortedLines(data), SortedLines(ReadFile(dir_ / "job.txt")))
        << what << ": the resort lost or changed a record";
  }
}

}  // namespace
