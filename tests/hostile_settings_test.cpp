// Settings a careless or hostile caller can give through the C interface
// only: each is refused with its code or runs, and nothing is written
// outside a buffer (the sanitized build checks the second half). What a
// specification file can carry is in the hostile_* case folders.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <sstream>
#include <string>

#include "Fixtures.h"
#include "driver/ReportDriver.h"
#include "engine/Tallies.h"
#include "include/vaskreport.h"

using vrtest::ReadFile;
using vrtest::TempDir;
using vrtest::WriteFile;

namespace {

// A message buffer of 256 characters fenced by guard bytes.
struct Message {
  char bytes[256 + 64];
  Message() { std::memset(bytes, 'Z', sizeof bytes); }
  char* get() { return bytes + 32; }
  bool Intact() const {
    const std::string fence(32, 'Z');
    return fence == std::string(bytes, 32) && fence == std::string(bytes + 288, 32);
  }
};

// A delimited layout DPID,BSP,STATE over the given data file, with a manifest.
void SmallLayout(const std::string& dataPath, const std::string& out) {
  WriteFile(dataPath + ".ini", "[File]\nPath=" + dataPath + "\nDelimiter=44\nFields=3\nField1Name=DPID\n"
            "Field1Size=8\nField2Name=BSP\nField2Size=8\nField3Name=STATE\nField3Size=8\nDpidField=DPID\n"
            "BspField=BSP\nStateField=STATE\n[Output]\nOutputDirectory=" + out + "\n[ManifestReport]\nState=NSW\n");
  reportClearSpec();
  ASSERT_EQ(0, reportLoadSpec((dataPath + ".ini").c_str(), nullptr));
}

int Report() {
  Message message;
  int rc = reportReport(message.get(), nullptr);
  EXPECT_TRUE(message.Intact());
  return rc;
}

class HostileSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir_ / "job.txt", "1,3,NSW\n1,30,VIC\n,,QLD\n");
    SmallLayout(dir_ / "job.txt", dir_ / "out");
  }
  void TearDown() override { reportClearSpec(); }
  TempDir dir_;
};

// "NAME/SIZE" of a field as the getters give it.
std::string Field(int number) {
  char name[51] = "untouched";
  int size = -7;
  EXPECT_EQ(0, reportGetFieldNames(number, name));
  EXPECT_EQ(0, reportGetFieldSizes(number, &size));
  return std::string(name) + "/" + std::to_string(size);
}

int FieldCount() {
  int count = -7;
  EXPECT_EQ(0, reportGetFieldCount(&count));
  return count;
}

TEST_F(HostileSettings, FieldListSettersRefuseWhatTheRunCouldNotUse) {
  for (int count : {-1, INT_MIN, 1000001, INT_MAX}) {
    EXPECT_EQ(ERR_VASKREPORTSPEC_INVALID_NUM_FIELDS, reportPutFieldCount(count)) << count;
    EXPECT_EQ(3, FieldCount()) << count;
  }
  for (int number : {0, -1, 4, INT_MAX, INT_MIN}) {
    EXPECT_EQ(ERR_VASKREPORTSPEC_INVALID_FIELD_NUM, reportPutFieldSizes(number, 5)) << number;
    EXPECT_EQ(ERR_VASKREPORTSPEC_INVALID_FIELD_NUM, reportPutFieldNames(number, "X")) << number;
    EXPECT_EQ("/0", Field(number)) << number;
  }
  EXPECT_EQ(0, Report());
  // Sizes that would misplace the fields are refused by the run.
  for (int size : {0, -5, INT_MIN, INT_MAX, INT_MAX - 8}) {
    SmallLayout(dir_ / "job.txt", dir_ / "out");
    ASSERT_EQ(0, reportPutFieldSizes(2, size));
    EXPECT_EQ(ERR_VASKREPORTSPEC_INVALID_FIELD_SIZE, Report()) << size;
  }
  // A list cut to two leaves the state role on field 3 naming nothing;
  // growing it again brings back an empty third field, and the role with it.
  SmallLayout(dir_ / "job.txt", dir_ / "out");
  ASSERT_EQ(0, reportPutFieldCount(2));
  char name[51] = "untouched";
  EXPECT_EQ(0, reportGetStateField(name));
  EXPECT_STREQ("", name);
  EXPECT_EQ(ERR_VASKREPORTSPEC_UNKNOWN_FIELD, Report());
  ASSERT_EQ(0, reportPutFieldCount(3));
  EXPECT_EQ("BSP/8", Field(2));
  EXPECT_EQ("/0", Field(3));
  ASSERT_EQ(0, reportPutFieldSizes(3, 8));
  EXPECT_EQ(0, Report());
  // The largest count taken gives that many empty fields, which the run refuses.
  ASSERT_EQ(0, reportPutFieldCount(1000000));
  EXPECT_EQ(1000000, FieldCount());
  EXPECT_EQ(ERR_VASKREPORTSPEC_INVALID_FIELD_SIZE, Report());
}

TEST_F(HostileSettings, NullAndOverlongTextsStayInsideTheirBuffers) {
  const std::string longName(255, 'N');
  EXPECT_EQ(ERR_VASKREPORTSPEC_UNKNOWN_FIELD, reportPutBspField(nullptr));
  ASSERT_EQ(0, reportPutFieldNames(1, nullptr));
  ASSERT_EQ(0, reportPutFieldNames(2, longName.c_str()));
  EXPECT_EQ("/8", Field(1));
  EXPECT_EQ(std::string(50, 'N') + "/8", Field(2));
  EXPECT_EQ(ERR_VASKREPORTSPEC_UNKNOWN_FIELD, reportPutBspField(longName.c_str()));
  EXPECT_EQ(0, reportPutBspField(std::string(50, 'N').c_str()));
  char name[51] = "untouched";
  ASSERT_EQ(0, reportGetDpidField(name));  // still field 1, by index; its name is now empty
  EXPECT_STREQ("", name);
  EXPECT_EQ(0, Report());
  for (auto put : {reportPutCustomerName, reportPutJobNumber, reportPutListName,
                   reportPutSoftwareName, reportPutProcessDate}) {
    EXPECT_EQ(0, put(longName.c_str()));
    EXPECT_EQ(0, put(nullptr));
  }
  EXPECT_EQ(ERR_VASKREPORTSPEC_UNKNOWN_STATE, reportPutLodgementState(nullptr));
  Message message;
  EXPECT_EQ(ERR_VASKREPORTSPEC_SPECFILE_OPEN, reportLoadSpec(nullptr, message.get()));
  EXPECT_EQ(ERR_VASKREPORTSPEC_SPECFILE_OPEN,
            reportLoadSpec((dir_ / std::string(300, 's')).c_str(), message.get()));
  EXPECT_TRUE(message.Intact());
  EXPECT_EQ(ERR_VASKREPORTSPEC_SPECFILE_OPEN, reportSaveSpec(nullptr));
  EXPECT_EQ(0, reportPutFileName(nullptr));
  ASSERT_EQ(0, reportClearSpec());
  EXPECT_EQ(ERR_VASKREPORTSPEC_MISSING_DPIDFIELD, reportReport(nullptr, nullptr));
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
  ASSERT_EQ(0, Report());
  EXPECT_NE(std::string::npos, ReadFile(dir_ / "out/ManifestReport.csv").find(",301,2,"));
}

// A path under base of exactly length characters, in components short
// enough for any file system, ending in "/" when asked; its parents are made.
std::string PathOfLength(const std::string& base, size_t length, bool slash, bool make) {
  std::string path = base;
  const size_t end = slash ? length - 1 : length;
  while (path.size() < end) {
    if (make && path != base) mkdir(path.c_str(), 0755);
    path += "/" + std::string(std::min<size_t>(60, end - path.size() - 1), 'p');
  }
  return slash ? path + "/" : path;
}

TEST(HostileLimits, PathsOf255CharactersWorkAndLongerAreRefused) {
  struct Case {
    char kind;  // data File, Output directory, Specification file
    size_t length;
    bool slash;
    int code;
  } cases[] = {{'F', 255, false, 0}, {'F', 256, false, ERR_VASKREPORTSPEC_FILENAME_TOOLONG},
               {'O', 255, true, 0},  {'O', 255, false, ERR_VASKREPORT_CREATE_DIRECTORY},
               {'O', 256, true, ERR_VASKREPORT_CREATE_DIRECTORY},
               {'O', 256, false, ERR_VASKREPORT_CREATE_DIRECTORY},
               {'S', 255, false, 0}, {'S', 256, false, 0}};
  const std::string data = "1,30,VIC\n,,QLD\n1,3,NSW\nbad,\n", sorted = "1,3,NSW\n1,30,VIC\n,,QLD\nbad,\n";
  for (const Case& c : cases) {
    const std::string what = c.kind + std::to_string(c.length) + (c.slash ? "/" : "");
    TempDir dir;
    std::string dataPath = dir / "job.txt", out = dir / "out";
    const std::string path = PathOfLength(dir.path(), c.length, c.slash, c.kind != 'O');
    ASSERT_EQ(c.length, path.size());
    WriteFile(dataPath, data);
    SmallLayout(dataPath, out);
    ASSERT_EQ(0, reportPutResortFile(1));
    char kept[256];
    if (c.kind == 'F') {
      WriteFile(path, data);
      EXPECT_EQ(c.code, reportPutFileName(path.c_str())) << what;
      if (!c.code) {
        dataPath = path;
        EXPECT_EQ(255, reportGetFileName(kept, 254)) << "a buffer too small is refused";
        // A resort with an output directory near 255 characters composes every name whole.
        out = PathOfLength(dir.path(), 250, true, false);
        ASSERT_EQ(0, reportPutOutputDirectory(out.c_str()));
      }
      ASSERT_EQ(0, reportGetFileName(kept, 255));
      EXPECT_EQ(dataPath, kept) << what << ": a refused name keeps the one before";
    } else if (c.kind == 'O') {
      ASSERT_EQ(0, reportPutOutputDirectory(path.c_str()));
      ASSERT_EQ(0, reportGetOutputDirectory(kept, 255));
      EXPECT_EQ(path.substr(0, 255), kept) << what << ": the setter keeps 255 characters";
      out = path;
    } else {
      ASSERT_EQ(0, reportPutCustomerName("Long Path Pty Ltd"));
      ASSERT_EQ(0, reportSaveSpec(path.c_str())) << what;
      ASSERT_EQ(0, reportClearSpec());
      EXPECT_EQ(0, reportLoadSpec(path.c_str(), nullptr)) << what;
      ASSERT_EQ(0, reportGetCustomerName(kept, 50));
      EXPECT_STREQ("Long Path Pty Ltd", kept) << what;
    }
    const int code = c.kind == 'O' ? c.code : 0;
    EXPECT_EQ(code, Report()) << what;
    EXPECT_EQ(code ? data : sorted, ReadFile(dataPath)) << what;
    EXPECT_EQ(code == 0, vrtest::FileExists(out + "/ManifestReport.txt")) << what;
  }
  reportClearSpec();
}

TEST_F(HostileSettings, WeightsThatCannotBePrintedAreRefusedAndKeepTheWeightBefore) {
  for (double weight : {0.0, -0.0, 10.0, 0.02, -1.0, 10.0001, 1e30, HUGE_VAL, std::nan("")}) {
    const bool taken = weight >= 0 && weight <= 10;
    ASSERT_EQ(0, reportPutWeightOfLetter(0.5));
    EXPECT_EQ(taken ? 0 : ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER,
              reportPutWeightOfLetter(weight)) << weight;
    double kept = -7;
    ASSERT_EQ(0, reportGetWeightOfLetter(&kept));
    EXPECT_EQ(taken ? weight : 0.5, kept) << weight;
    EXPECT_FALSE(std::signbit(kept)) << weight;
    EXPECT_EQ(0, Report()) << weight;
  }
  // A billion of the heaviest letters still print apart from the Trays column.
  DetailLine line;
  line.Volume = line.Trays = 1000000000;
  line.Weight = 1e9 * 10.0;
  std::ostringstream text;
  line.PrintText("Total", text, true);
  EXPECT_NE(std::string::npos, text.str().find("1000000000 10000000000.00\n")) << text.str();
}

}  // namespace
