#include <gtest/gtest.h>

#include <random>

#include "engine/RoleScanner.h"

namespace {

const std::string kGuard(16, '\x5A');

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
    buffer_ = kGuard + std::string(spec_.RecordLength, kGuard[0]) + kGuard;
  }
  int Read(const std::string& line) { return spec_.ReadRecord(record(), line.c_str()); }
  std::vector<std::string> Fields() const {
    std::vector<std::string> out;
    for (int i = 0; i < spec_.FieldCount; ++i) out.emplace_back(&buffer_[kGuard.size() + spec_.Fields[i].Offset]);
    return out;
  }
  bool GuardsIntact() const {
    return buffer_.compare(0, kGuard.size(), kGuard) == 0 &&
           buffer_.compare(buffer_.size() - kGuard.size(), kGuard.size(), kGuard) == 0;
  }
  char* record() { return &buffer_[kGuard.size()]; }
  VaskReportSpec& spec() { return spec_; }

 private:
  VaskReportSpec spec_;
  std::string buffer_;
};

using Fields = std::vector<std::string>;
using Sizes = std::vector<int>;

TEST(ReadRecord, LinesSplitByDelimiterQualifierOrColumns) {
  const int bad = ERR_READRECORD_INVALID_RECORD;
  const Sizes s3 = {10, 10, 10}, s2 = {10, 10}, fixed = {3, 4};
  const struct {
    std::string line;
    Sizes sizes;
    char delimiter, qualifier;
    int rc;
    Fields expected;  // the leading fields, also those kept before a malformed one
  } cases[] = {
      {"ab,,ef,", Sizes(5, 10), ',', '"', 0, {"ab", "", "ef", "", ""}}, {"ab,cd,ef", s2, ',', '"', 0, {"ab", "cd"}},
      {"  a , abcdefghijklmno ", s2, ',', '"', 0, {"a", "abcdefghij"}}, {"", s3, ',', '"', 0, {"", "", ""}},
      {"\"a,b\"   ,\"  say \"\"hi\"\"  \"", s2, ',', '"', 0, {"a,b", "  say \"hi\""}},
      {"ab,\"abcdefghijklmno\"", s2, ',', '"', 0, {"ab", "abcdefghij"}}, {"\"ab\"\"\"", {10}, ',', '"', 0, {"ab\""}},
      {"a\"b,\"c", s2, ',', 0, 0, {"a\"b", "\"c"}}, {"a\t,b\r", s2, ',', '"', 0, {"a\t", "b\r"}},
      {"abcd\"e,xy", {3, 3}, ',', '"', 0, {"abc", "xy"}}, {"ab    cd  ef", s3, ' ', 0, 0, {"ab", "cd", "ef"}},
      {"ab\xA6\xFE" "c\xA6" "d\xFE\xFE\xFE\xA6\xE9t\xE9", s3, '\xA6', '\xFE', 0, {"ab", "c\xA6" "d\xFE", "\xE9t\xE9"}},
      {"ab,\"cd", s2, ',', '"', bad, {"ab"}}, {"ab,cd,\"ef", s3, ',', '"', bad, {"ab", "cd"}},
      {"\"ab\"x,cd", s2, ',', '"', bad, {}}, {"a\"b,cd", s2, ',', '"', bad, {}},
      {"a\xFE" "b", s3, '\xA6', '\xFE', bad, {}}, {"ab cdef", fixed, 0, '"', 0, {"ab", "cdef"}},
      {"ab   cdef", fixed, 0, '"', 0, {"ab", "  cd"}}, {"ab", fixed, 0, '"', 0, {"ab", ""}},
      {"abc", fixed, 0, '"', 0, {"abc", ""}}, {"abcdefgXYZ", fixed, 0, '"', 0, {"abc", "defg"}},
      {"", fixed, 0, '"', 0, {"", ""}}, {"a,\"bcd", fixed, 0, '"', 0, {"a,\"", "bcd"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    Reader reader(c.sizes, c.delimiter, c.qualifier);
    EXPECT_EQ(c.rc, reader.Read(c.line));
    const Fields got = reader.Fields();
    EXPECT_EQ(c.expected, Fields(got.begin(), got.begin() + c.expected.size()));
    EXPECT_TRUE(reader.GuardsIntact());
  }
  Reader reader(s2, ',', '"');  // an earlier record leaves nothing behind
  ASSERT_EQ(0, reader.Read("abcdefghij,klmnopqrst"));
  ASSERT_EQ(0, reader.Read("x"));
  EXPECT_EQ(Fields({"x", ""}), reader.Fields());
  VaskReportSpec spec;  // no fields: the buffer is not touched
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

  }
}

// The read pass's scanner reads the role fields of whole stretches of lines
// straight from the data; each value must be the field ReadRecord gives.
TEST(RoleScanner, RoleValuesAreTheFieldsReadRecordGives) {
  std::mt19937 random(20261208);
  const char delimiters[] = {',', '\t', '|', '\xB5'};
  for (int round = 0; round < 1500; ++round) {
    const char delimiter = delimiters[random() % 4];
    // Now and then a wide layout and a line of hundreds of delimiters.
    const bool wide = round % 25 == 0;
    std::vector<int> sizes(wide ? 300 : 1 + random() % 14);
    for (int& size : sizes) size = static_cast<int>(random() % 12);
    Reader reader(sizes, delimiter, 0);
    VaskReportSpec& spec = reader.spec();
    int* roles[ROLE_COUNT] = {&spec.DpidField, &spec.AmendedField, &spec.BspField,
                              &spec.StateField};
    for (int* role : roles)  // now and then unset, past the fields, or shared
      *role = random() % 8 == 0 ? -1 : static_cast<int>(random() % (wide ? 255 : sizes.size() + 1));
    ASSERT_TRUE(RoleScanner::Handles(spec));

    const char alphabet[] = {'a', 'b', ' ', delimiter, delimiter, '\r', 'Z', '\0'};
    std::string stretch;
    std::vector<std::string> texts;  // each line as the reader presents it
    std::vector<bool> crs;
    // Now and then a stretch of many 64-byte blocks, lines crossing chunks of them.
    const bool many = round % 20 == 1;
    const int lines = many ? 60 : 1 + static_cast<int>(random() % 6);
    for (int n = 0; n < lines; ++n) {
      std::string raw(random() % (wide && n == 0 ? 1500 : many ? 900 : n == 0 && round % 7 == 0 ? 200 : 40), 'a');
      for (char& c : raw) c = alphabet[random() % (random() % 40 == 0 ? 8 : 7)];
      if (wide && n == 0)
        for (size_t i = 0; i < raw.size(); i += 2) raw[i] = delimiter;
      if (random() % 4 == 0) raw += '\r';
      const bool cr = !raw.empty() && raw.back() == '\r';
      texts.push_back(cr ? raw.substr(0, raw.size() - 1) : raw);
      crs.push_back(cr);
      stretch += raw;
      if (n + 1 < lines || random() % 2) {
        stretch += '\n';
      } else if (raw.empty()) {  // nothing after the last line feed is no line
        texts.pop_back();
        crs.pop_back();
      }
    }

    // Every way of finding the delimiters this processor has reads alike.
    const MaskFinderList finders = AvailableMaskFinders();
    for (int f = 0; f < finders.Count; ++f) {
      SCOPED_TRACE(finders.Name[f]);
      RoleScanner scanner(spec, finders.Finder[f]);
      size_t seen = 0;
      const int rc = scanner.Scan(&stretch[0], &stretch[0] + stretch.size(),
                                  [&](const DataLine& line, const LineRoles& values) {
        EXPECT_LT(seen, texts.size());
        if (seen >= texts.size()) return 1;
        const std::string& text = texts[seen];
        EXPECT_EQ(text, std::string(line.Text, line.Length));
        EXPECT_EQ(crs[seen], line.Cr);
        const Fields expected = PlainModel(text, delimiter, sizes);
        for (int role = 0; role < ROLE_COUNT; ++role) {
          const int field = *roles[role];
          const FieldValue& value = values.Value[role];
          if (field < 0 || field >= spec.FieldCount) {
            EXPECT_EQ(nullptr, value.Text) << "role " << role;
            continue;
          }
          EXPECT_NE(nullptr, value.Text);
          if (!value.Text) return 1;
          EXPECT_EQ(expected[field], std::string(value.Text, value.Length))
              << "role " << role << " field " << field << " of '" << text << "'";
        }
        ++seen;
        return 0;
      });
      ASSERT_EQ(0, rc);
      ASSERT_EQ(texts.size(), seen) << "round " << round;
      if (testing::Test::HasFailure()) return;
    }
  }
}

TEST(RoleScanner, EveryMaskFinderMarksTheBytesOneByOneWould) {
  std::mt19937 random(20261207);
  const MaskFinderList finders = AvailableMaskFinders();
  ASSERT_GE(finders.Count, 1);
  std::string bytes(64 * 9, 'x');
  for (int round = 0; round < 200; ++round) {
    const unsigned char delimiter = static_cast<unsigned char>(random());
    // Mostly the three bytes looked for, so every lane sees each of them.
    const unsigned char pick[] = {delimiter, '\n', 0, 'a', 0xFF, 0x80};
    for (char& c : bytes)
      c = static_cast<char>(random() % 3 ? pick[random() % 6] : random());
    const char* at = bytes.data() + round % 7;  // unaligned too
    const size_t blocks = 8;
    for (int f = 0; f < finders.Count; ++f) {
      ByteMasks got[8];
      finders.Finder[f](at, blocks, delimiter, got);
      for (size_t b = 0; b < blocks; ++b) {
        ByteMasks want;
        ScalarMasks(at + 64 * b, 64, delimiter, want);
        ASSERT_EQ(want.Delimiters, got[b].Delimiters) << finders.Name[f] << " block " << b;
        ASSERT_EQ(want.Feeds, got[b].Feeds) << finders.Name[f] << " block " << b;
        ASSERT_EQ(want.Nuls, got[b].Nuls) << finders.Name[f] << " block " << b;
      }
    }
  }
}

TEST(RoleScanner, OnlyPlainLayoutsAreScanned) {
  Reader qualified({4, 4}, ',', '"');
  Reader fixed({4, 4}, '\0', 0);
  Reader spaced({4, 4}, ' ', 0);
  Reader carriage({4, 4}, '\r', 0);
  Reader plain({4, 4}, ';', 0);
  EXPECT_FALSE(RoleScanner::Handles(qualified.spec()));
  EXPECT_FALSE(RoleScanner::Handles(fixed.spec()));
  EXPECT_FALSE(RoleScanner::Handles(spaced.spec()));
  EXPECT_FALSE(RoleScanner::Handles(carriage.spec()));
  EXPECT_TRUE(RoleScanner::Handles(plain.spec()));
  Reader wide(std::vector<int>(300, 1), ',', 0);
  wide.spec().BspField = 280;
  EXPECT_FALSE(RoleScanner::Handles(wide.spec()));
}

}  // namespace
