#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "spec/VaskReportSpec.h"

namespace {

struct Field {
  const char* name;
  int size;
};

class FieldNamesTest : public ::testing::Test {
 protected:
  // Points the specification at a data file holding `content`.
  void DataFile(const std::string& content) {
    vrtest::WriteFile(dir_ / "data.txt", content);
    spec_.SetPath((dir_ / "data.txt").c_str());
  }
  void Define(const std::vector<Field>& fields) {
    delete[] spec_.Fields;
    spec_.Fields = new VaskReportSpec::FieldSpec[fields.size()];
    spec_.FieldCount = static_cast<int>(fields.size());
    for (size_t i = 0; i < fields.size(); ++i) {
      strncpy(spec_.Fields[i].Name, fields[i].name, 50);
      spec_.Fields[i].Size = fields[i].size;
    }
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (int i = 0; i < spec_.FieldCount; ++i) names.push_back(spec_.Fields[i].Name);
    return names;
  }
  int Run() {
    strcpy(detail_, "stale");
    return spec_.GetAndCheckFieldNames(detail_);
  }

  vrtest::TempDir dir_;
  VaskReportSpec spec_;
  char detail_[256];
};

using NameList = std::vector<std::string>;

TEST_F(FieldNamesTest, DelimitedHeaderGivesFieldsOfSize30) {
  spec_.Delimiter = ',';
  DataFile("Name, Street ,DPID\nFred,1 Main St,12345678\n");
  ASSERT_EQ(0, Run());
  EXPECT_EQ((NameList{"Name", "Street", "DPID"}), Names());
  for (int i = 0; i < spec_.FieldCount; ++i) EXPECT_EQ(30, spec_.Fields[i].Size);
}

TEST_F(FieldNamesTest, QualifiersAroundAWholeNameAreRemoved) {
  spec_.Delimiter = ',';
  spec_.Qualifier = '"';
  DataFile("\"Name\",\"Street,DPID\",\"\",\"a\"\"b\",\"\n");
  ASSERT_EQ(0, Run());
  EXPECT_EQ((NameList{"Name", "\"Street", "DPID\"", "", "a\"\"b", ""}), Names());
}

TEST_F(FieldNamesTest, WithoutQualifierQuotesStay) {
  spec_.Delimiter = ',';
  DataFile("\"Name\",DPID\n");
  ASSERT_EQ(0, Run());
  EXPECT_EQ((NameList{"\"Name\"", "DPID"}), Names());
}

TEST_F(FieldNamesTest, TrailingDelimiterGivesAnEmptyName) {
  spec_.Delimiter = ',';
  DataFile("Name,DPID,\n");
  ASSERT_EQ(0, Run());
  EXPECT_EQ((NameList{"Name", "DPID", ""}), Names());
}

TEST_F(FieldNamesTest, DelimiterAbove127Splits) {
  spec_.Delimiter = static_cast<char>(0xFE);
  DataFile("Name\xFE" "DPID\n");
  ASSERT_EQ(0, Run());
  EXPECT_EQ((NameList{"Name", "DPID"}), Names());
}

TEST_F(FieldNamesTest, NameOver50CharactersIsRefusedAndNothingChanges) {
  spec_.Delimiter = ',';
  std::string longName(51, 'n');
  DataFile("Name," + longName + "\n");
  EXPECT_EQ(ERR_VASKREPORTSPEC_FIELDNAME_TOOLONG, Run());
  EXPECT_EQ(longName, detail_);
  EXPECT_EQ(0, spec_.FieldCount);
  EXPECT_EQ(nullptr, spec_.Fields);

  DataFile("Name," + std::string(50, 'n') + "\n");
  EXPECT_EQ(0, Run());
  EXPECT_EQ(2, spec_.FieldCount);
}

TEST_F(FieldNamesTest, DelimitedHeaderIsCheckedAgainstDefinedFields) {
  struct Case {
    const char* header;
    std::vector<Field> fields;
    int code;
    const char* detail;
  } cases[] = {
      {"Name,Street,DPID", {{"name", 5}, {"street", 5}, {"dpid", 8}}, 0, "stale"},
      {"Name,Street,DPID", {{"Name", 5}, {"Street", 5}, {"Dpid", 8}, {"Bsp", 3}}, 0, "stale"},
      {"Name,Street,DPID", {{"Name", 5}, {"Street", 5}, {"Dpid", 8}, {"Bsp", 3}, {"State", 3}},
       ERR_VASKREPORTSPEC_FIELDNAMES_OUT, "Bsp"},
      {"Name,Street,DPID", {{"Name", 5}, {"Street", 5}}, ERR_VASKREPORTSPEC_FIELDNAMES_OUT, "DPID"},
      {"Name,Town,DPID", {{"Name", 5}, {"Street", 5}, {"DPID", 8}},
       ERR_VASKREPORTSPEC_FIELDNAMES_OUT, "Street, Town"},
      {"Name,Street,DPID,", {{"Name", 5}, {"Street", 5}, {"DPID", 8}},
       ERR_VASKREPORTSPEC_FIELDNAMES_OUT, ""},
  };
  for (const Case& c : cases) {
    spec_.Delimiter = ',';
    Define(c.fields);
    DataFile(std::string(c.header) + "\n");
    EXPECT_EQ(c.code, Run()) << c.header;
    EXPECT_STREQ(c.detail, detail_) << c.header;
    EXPECT_EQ(c.fields.size(), static_cast<size_t>(spec_.FieldCount));
    EXPECT_STREQ(c.fields[0].name, spec_.Fields[0].Name);
  }
}

TEST_F(FieldNamesTest, FixedWidthHeaderIsCheckedCellByCell) {
  struct Case {
    const char* header;
    int code;
    const char* detail;
  } cases[] = {
      {"NameStreet", 0, "stale"},
      {"nameSTREET  and more", 0, "stale"},
      {"Name  Street", ERR_VASKREPORTSPEC_FIELDNAMES_OUT, "Street,   Stre"},
      {"Name", ERR_VASKREPORTSPEC_FIELDNAMES_OUT, "Street, "},
      {" NameStreet", ERR_VASKREPORTSPEC_FIELDNAMES_OUT, "Name,  Nam"},
      {"Nam Street", ERR_VASKREPORTSPEC_FIELDNAMES_OUT, "Name, Nam"},
  };
  for (const Case& c : cases) {
    Define({{"Name", 4}, {"Street", 6}});
    DataFile(std::string(c.header) + "\n");
    EXPECT_EQ(c.code, Run()) << c.header;
    EXPECT_STREQ(c.detail, detail_) << c.header;
  }
}

TEST_F(FieldNamesTest, FixedWidthCellWiderThanItsNameIsTrimmed) {
  Define({{"Name", 6}, {"Wide", 300}, {"Last", 4}});
  DataFile("Name  Wide" + std::string(296, ' ') + "Last\n");
  EXPECT_EQ(0, Run());

  std::string cell = "Wide" + std::string(296, 'x');
  DataFile("Name  " + cell + "Last\n");
  EXPECT_EQ(ERR_VASKREPORTSPEC_FIELDNAMES_OUT, Run());
  EXPECT_EQ(("Wide, " + cell).substr(0, 255), detail_);
}

TEST_F(FieldNamesTest, FixedWidthWithoutFieldsCannotBeSplit) {
  DataFile("NameStreet\n");
  EXPECT_EQ(ERR_VASKREPORTSPEC_MISSING_FIELD_SIZE, Run());
  EXPECT_STREQ("", detail_);
  EXPECT_EQ(0, spec_.FieldCount);
  EXPECT_EQ(nullptr, spec_.Fields);
}

TEST_F(FieldNamesTest, CarriageReturnEndingTheHeaderIsNotPartOfIt) {
  spec_.Delimiter = ',';
  DataFile("Name,DPID\r\nx,y\r\n");
  ASSERT_EQ(0, Run());
  EXPECT_EQ((NameList{"Name", "DPID"}), Names());

  spec_.Delimiter = 0;
  Define({{"Name", 4}, {"Street", 6}});
  DataFile("NameStreet\r\n");
  EXPECT_EQ(0, Run());
}

TEST_F(FieldNamesTest, MissingDataFileGivesPathAndSystemText) {
  spec_.SetPath((dir_ / "absent.txt").c_str());
  EXPECT_EQ(ERR_VASKREPORTSPEC_TEXTFILE_OPEN, Run());
  EXPECT_EQ(dir_ / "absent.txt" + ". No such file or directory", detail_);
}

TEST_F(FieldNamesTest, HeaderThatCannotBeReadIsRefused) {
  // A header of short names, `length` characters long.
  auto header = [](size_t length) {
    std::string h;
    while (h.size() < length) h += h.empty() ? "a" : ",a";
    return h.substr(0, length);
  };
  struct Case {
    std::string content;
    int code;
  } cases[] = {
      {"", ERR_VASKREPORTSPEC_READ},
      {header(2998) + "\n", 0},
      {header(2998) + "\r\n", 0},
      {header(2998), 0},
      {header(2999) + "\n", ERR_VASKREPORTSPEC_LINE_TOOLONG},
      {header(2999), ERR_VASKREPORTSPEC_LINE_TOOLONG},
      {header(3000) + "\n", ERR_VASKREPORTSPEC_READ},
      {header(100000) + "\n", ERR_VASKREPORTSPEC_READ},
  };
  for (const Case& c : cases) {
    spec_.Delimiter = ',';
    Define({});
    DataFile(c.content);
    EXPECT_EQ(c.code, Run()) << c.content.size();
    if (c.code) {
      EXPECT_STREQ("", detail_);
      EXPECT_EQ(0, spec_.FieldCount);
    }
  }
}

TEST_F(FieldNamesTest, NullMessageIsAllowed) {
  spec_.Delimiter = ',';
  Define({{"Name", 4}});
  DataFile("Town\n");
  EXPECT_EQ(ERR_VASKREPORTSPEC_FIELDNAMES_OUT, spec_.GetAndCheckFieldNames(nullptr));
  spec_.SetPath((dir_ / "absent").c_str());
  EXPECT_EQ(ERR_VASKREPORTSPEC_TEXTFILE_OPEN, spec_.GetAndCheckFieldNames(nullptr));
}

TEST_F(FieldNamesTest, ValidateReportsTheHeaderMismatchWithItsName) {
  spec_.Delimiter = ',';
  spec_.FieldNamesOnFirstLine = true;
  Define({{"Name", 5}, {"Street", 5}, {"DPID", 8}});
  spec_.DpidField = 2;
  DataFile("Name,Town,DPID\n");
  char message[256] = "";
  EXPECT_EQ(ERR_VASKREPORTSPEC_FIELDNAMES_OUT, spec_.Validate(message));
  EXPECT_STREQ("ERR_VASKREPORTSPEC_FIELDNAMES_OUT\nStreet, Town", message);

  DataFile("Name,Street,DPID\n");
  EXPECT_EQ(0, spec_.Validate(message));
}

}  // namespace
