#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "spec/RecordFields.h"
#include "spec/VaskReportSpec.h"

namespace {

const char kGuard = '\x5A';
const size_t kGuardSize = 16;

// A specification with the given field sizes and a record buffer fenced by
// guard bytes, so a write outside the RecordLength characters shows.
class Reader {
 public:
  Reader(std::vector<int> sizes, char delimiter, char qualifier) {
    spec_.Delimiter = delimiter;
    spec_.Qualifier = qualifier;
    spec_.FieldCount = static_cast<int>(sizes.size());
    spec_.Fields = new VaskReportSpec::FieldSpec[sizes.size()];
    for (size_t i = 0; i < sizes.size(); ++i) spec_.Fields[i].Size = sizes[i];
    spec_.CalculateFieldOffsets();
    buffer_.assign(spec_.RecordLength + 2 * kGuardSize, kGuard);
  }

  int Read(const std::string& line) { return spec_.ReadRecord(record(), line.c_str()); }

  std::vector<std::string> Fields() const {
    std::vector<std::string> out;
    for (int i = 0; i < spec_.FieldCount; ++i)
      out.emplace_back(buffer_.data() + kGuardSize + spec_.Fields[i].Offset);
    return out;
  }

  bool GuardsIntact() const {
    for (size_t i = 0; i < kGuardSize; ++i)
      if (buffer_[i] != kGuard || buffer_[buffer_.size() - 1 - i] != kGuard) return false;
    return true;
  }

  char* record() { return buffer_.data() + kGuardSize; }
  VaskReportSpec& spec() { return spec_; }

 private:
  VaskReportSpec spec_;
  std::vector<char> buffer_;
};

using Fields = std::vector<std::string>;

struct DelimitedCase {
  const char* name;
  std::string line;
  int fieldCount;
  char qualifier;
  int rc;
  Fields expected;  // checked only when rc is 0
};

TEST(ReadRecord, DelimitedLinesSplitByCommaAndQuote) {
  const DelimitedCase cases[] = {
      {"three fields", "ab,cd,ef", 3, '"', 0, {"ab", "cd", "ef"}},
      {"missing fields empty", "ab,cd,ef", 5, '"', 0, {"ab", "cd", "ef", "", ""}},
      {"extra values ignored", "ab,cd,ef", 2, '"', 0, {"ab", "cd"}},
      {"empty middle field", "ab,,ef", 3, '"', 0, {"ab", "", "ef"}},
      {"trailing delimiter", "ab,", 3, '"', 0, {"ab", "", ""}},
      {"spaces around", "  a , b ", 2, '"', 0, {"a", "b"}},
      {"long value cut", "abcdefghijklmno,xy", 2, '"', 0, {"abcdefghij", "xy"}},
      {"qualified comma", "\"a,b\",c", 2, '"', 0, {"a,b", "c"}},
      {"doubled qualifier", "\"say \"\"hi\"\"\",c", 2, '"', 0, {"say \"hi\"", "c"}},
      {"doubled at end", "\"ab\"\"\"", 1, '"', 0, {"ab\""}},
      {"spaces after closing", "\"ab\"   ,cd", 2, '"', 0, {"ab", "cd"}},
      {"spaces inside trimmed", "\"  ab  \",cd", 2, '"', 0, {"  ab", "cd"}},
      {"qualified cut at size", "\"abcdefghijklmno\",xy", 2, '"', 0, {"abcdefghij", "xy"}},
      {"qualified last", "ab,\"cd\"", 2, '"', 0, {"ab", "cd"}},
      {"quote ordinary without qualifier", "a\"b,\"c", 2, 0, 0, {"a\"b", "\"c"}},
      {"tab and cr stay", "a\t,b\r", 2, '"', 0, {"a\t", "b\r"}},
      {"empty line", "", 3, '"', 0, {"", "", ""}},
      {"unclosed qualifier", "ab,\"cd", 2, '"', ERR_READRECORD_INVALID_RECORD, {}},
      {"text after closing", "\"ab\"x,cd", 2, '"', ERR_READRECORD_INVALID_RECORD, {}},
      {"qualifier in plain", "a\"b,cd", 2, '"', ERR_READRECORD_INVALID_RECORD, {}},
  };
  for (const DelimitedCase& c : cases) {
    SCOPED_TRACE(c.name);
    Reader reader(std::vector<int>(c.fieldCount, 10), ',', c.qualifier);
    EXPECT_EQ(c.rc, reader.Read(c.line));
    if (c.rc == 0) {
      EXPECT_EQ(c.expected, reader.Fields());
    }
    EXPECT_TRUE(reader.GuardsIntact());
  }
}

TEST(ReadRecord, QualifierBeyondKeptCharactersOfPlainValueIsAccepted) {
  Reader reader({3, 3}, ',', '"');
  EXPECT_EQ(0, reader.Read("abcd\"e,xy"));
  EXPECT_EQ(Fields({"abc", "xy"}), reader.Fields());
}

TEST(ReadRecord, FieldsBeforeMalformedOneAreKept) {
  Reader reader({10, 10, 10}, ',', '"');
  EXPECT_EQ(ERR_READRECORD_INVALID_RECORD, reader.Read("ab,cd,\"ef"));
  EXPECT_EQ("ab", reader.Fields()[0]);
  EXPECT_EQ("cd", reader.Fields()[1]);
}

TEST(ReadRecord, SpaceDelimiterTreatsRunsAsOneSeparator) {
  Reader reader({10, 10, 10}, ' ', 0);
  EXPECT_EQ(0, reader.Read("ab    cd  ef"));
  EXPECT_EQ(Fields({"ab", "cd", "ef"}), reader.Fields());
}

TEST(ReadRecord, DelimiterAndQualifierAbove127Work) {
  Reader reader({10, 10, 10}, '\xA6', '\xFE');
  EXPECT_EQ(0, reader.Read("ab\xA6\xFE" "c\xA6" "d\xFE\xFE\xFE\xA6\xE9t\xE9"));
  EXPECT_EQ(Fields({"ab", "c\xA6" "d\xFE", "\xE9t\xE9"}), reader.Fields());
  EXPECT_EQ(ERR_READRECORD_INVALID_RECORD, reader.Read("a\xFE" "b"));
}

struct FixedCase {
  const char* name;
  std::string line;
  Fields expected;
};

TEST(ReadRecord, FixedWidthLinesCutByColumns) {
  const FixedCase cases[] = {
      {"trailing spaces trimmed", "ab cdef", {"ab", "cdef"}},
      {"leading spaces stay", "ab   cdef", {"ab", "  cd"}},
      {"short line", "ab", {"ab", ""}},
      {"line ends at field", "abc", {"abc", ""}},
      {"characters after last field ignored", "abcdefgXYZ", {"abc", "defg"}},
      {"empty line", "", {"", ""}},
      {"separators are data", "a,\"bcd", {"a,\"", "bcd"}},
  };
  for (const FixedCase& c : cases) {
    SCOPED_TRACE(c.name);
    Reader reader({3, 4}, 0, '"');
    EXPECT_EQ(0, reader.Read(c.line));
    EXPECT_EQ(c.expected, reader.Fields());
    EXPECT_TRUE(reader.GuardsIntact());
  }
}

TEST(ReadRecord, EarlierRecordLeavesNothingBehind) {
  Reader reader({10, 10}, ',', '"');
  ASSERT_EQ(0, reader.Read("abcdefghij,klmnopqrst"));
  ASSERT_EQ(0, reader.Read("x"));
  EXPECT_EQ(Fields({"x", ""}), reader.Fields());
}

TEST(ReadRecord, NoFieldsLeavesBufferUntouched) {
  VaskReportSpec spec;
  spec.Delimiter = ',';
  char record[8] = "keepme";
  EXPECT_EQ(ERR_READRECORD_NO_FIELDS, spec.ReadRecord(record, "ab,cd"));
  EXPECT_STREQ("keepme", record);
}

TEST(ReadRecord, NeverWritesOutsideBufferForAnyLine) {
  const std::string huge(100000, 'x');
  const std::string lines[] = {huge, huge + "," + huge, "\"" + huge + "\"," + huge,
                               std::string(5000, ','), std::string(5000, ' ')};
  for (char delimiter : {'\0', ',', ' '}) {
    for (const std::string& line : lines) {
      Reader reader({1, 2, 3}, delimiter, '"');
      reader.Read(line);
      EXPECT_TRUE(reader.GuardsIntact());
    }
  }
}

TEST(ReadRecord, StaleOffsetsStayInsideBuffer) {
  Reader reader({4, 4}, ',', 0);
  reader.spec().Fields[1].Size = 50;  // layout changed without recomputing offsets
  EXPECT_EQ(0, reader.Read("ab," + std::string(100, 'y')));
  EXPECT_TRUE(reader.GuardsIntact());
  EXPECT_EQ("yyyy", reader.Fields()[1]);
}

// How an unqualified delimited line reads, said the slow way: each field runs
// to the next delimiter, loses its leading spaces, is cut to its size and then
// loses its trailing spaces.
Fields PlainModel(const std::string& line, char delimiter, const std::vector<int>& sizes) {
  Fields fields(sizes.size());
  const std::string text = line.substr(0, line.find('\0'));
  size_t start = 0;
  for (size_t i = 0; i < sizes.size() && start < text.size(); ++i) {
    size_t end = text.find(delimiter, start);
    if (end == std::string::npos) end = text.size();
    size_t begin = text.find_first_not_of(' ', start);
    if (begin == std::string::npos || begin > end) begin = end;
    std::string value = text.substr(begin, end - begin).substr(0, sizes[i]);
    value.erase(value.find_last_not_of(' ') + 1);
    fields[i] = value;
    start = end + 1;
  }
  return fields;
}

TEST(ReadRecord, PlainLinesOfAnyShapeReadAsTheModelSays) {
  std::mt19937 random(20261207);
  const char delimiters[] = {',', '\t', '|', '\xB5'};
  for (int round = 0; round < 3000; ++round) {
    const char delimiter = delimiters[random() % 4];
    std::vector<int> sizes(1 + random() % (round % 50 == 0 ? 300 : 14));
    for (int& size : sizes) size = static_cast<int>(random() % 12);
    const char alphabet[] = {'a', 'b', ' ', delimiter, delimiter, 'Z', '\0'};
    std::string line(random() % 70, 'a');
    for (char& c : line) c = alphabet[random() % (random() % 40 == 0 ? 7 : 6)];

    Reader reader(sizes, delimiter, 0);
    const Fields expected = PlainModel(line, delimiter, sizes);
    ASSERT_EQ(0, reader.Read(line));
    ASSERT_EQ(expected, reader.Fields()) << "line '" << line << "'";
    ASSERT_TRUE(reader.GuardsIntact());

    // The read pass's reader: listed fields only, over a buffer holding the
    // previous record, must give the same listed fields.
    std::vector<int> listed;
    for (int i = 0; i < static_cast<int>(sizes.size()); ++i)
      if (random() % 3 == 0) listed.push_back(i);
    if (listed.empty()) continue;
    std::string other(line.rbegin(), line.rend());
    reader.Read(other);
    ASSERT_EQ(0, ReadRecordFields(reader.spec(), reader.record(), line.c_str(), listed.data(),
                                  static_cast<int>(listed.size())));
    const Fields got = reader.Fields();
    for (int i : listed) ASSERT_EQ(expected[i], got[i]) << "field " << i << " of '" << line << "'";
    ASSERT_TRUE(reader.GuardsIntact());
  }
}

TEST(ReadRecordFields, OtherLayoutsGiveReadRecordsResultAndCode) {
  Reader reader({4, 4, 4}, ',', '"');
  const int listed[] = {1};
  EXPECT_EQ(ERR_READRECORD_INVALID_RECORD,
            ReadRecordFields(reader.spec(), reader.record(), "a,\"b,c", listed, 1));
  EXPECT_EQ(0, ReadRecordFields(reader.spec(), reader.record(), "a,\"b,\",c", listed, 1));
  EXPECT_EQ("b,", reader.Fields()[1]);
  Reader fixed({2, 3}, '\0', 0);
  EXPECT_EQ(0, ReadRecordFields(fixed.spec(), fixed.record(), "abcde", listed, 1));
  EXPECT_EQ("cde", fixed.Fields()[1]);
}

}  // namespace
