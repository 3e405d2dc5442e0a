#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "spec/VaskReportSpec.h"

namespace {

void SetFields(VaskReportSpec& spec, std::initializer_list<std::pair<const char*, int>> fields) {
  delete[] spec.Fields;
  spec.FieldCount = static_cast<int>(fields.size());
  spec.Fields = new VaskReportSpec::FieldSpec[fields.size()];
  int i = 0;
  for (const auto& f : fields) {
    strcpy(spec.Fields[i].Name, f.first);
    spec.Fields[i].Size = f.second;
    ++i;
  }
}

}  // namespace

TEST(SpecModel, ClearedObjectHasDefaultsAndFailsValidation) {
  VaskReportSpec spec;
  EXPECT_EQ(spec.LettersPerTray, 300);
  EXPECT_EQ(spec.BspField, -1);
  EXPECT_EQ(spec.StateField, -1);
  EXPECT_EQ(spec.DpidField, -1);
  EXPECT_EQ(spec.AmendedField, -1);
  EXPECT_EQ(spec.State, -1);
  EXPECT_EQ(spec.LabelState, -1);
  EXPECT_EQ(spec.FieldCount, 0);
  EXPECT_EQ(spec.Fields, nullptr);
  char message[256] = "untouched";
  EXPECT_EQ(spec.Validate(message), ERR_VASKREPORTSPEC_MISSING_DPIDFIELD);
  EXPECT_STREQ(message, "ERR_VASKREPORTSPEC_MISSING_DPIDFIELD");
}

TEST(SpecModel, ClearKeepsRecordLengthAndErrorDetail) {
  VaskReportSpec spec;
  SetFields(spec, {{"a", 4}});
  spec.CalculateFieldOffsets();
  strcpy(spec.ErrorDetail, "Fields=0");
  spec.ManifestReport = true;
  spec.Clear();
  EXPECT_EQ(spec.RecordLength, 5);
  EXPECT_STREQ(spec.ErrorDetail, "Fields=0");
  EXPECT_FALSE(spec.ManifestReport);
  EXPECT_EQ(spec.FieldCount, 0);
}

TEST(SpecModel, ValidateDefaultsStateOnlyWhenEveryCheckPasses) {
  VaskReportSpec spec;
  SetFields(spec, {{"Dpid", 8}});
  spec.DpidField = 0;
  char message[256] = "kept";
  EXPECT_EQ(spec.Validate(message), 0);
  EXPECT_STREQ(message, "kept");
  EXPECT_EQ(spec.State, 0);
  EXPECT_EQ(spec.Validate(message), 0);
  EXPECT_EQ(spec.State, 0);

  VaskReportSpec failing;
  SetFields(failing, {{"Dpid", 8}});
  failing.DpidField = 0;
  failing.MatchingReport = true;
  EXPECT_EQ(failing.Validate(nullptr), ERR_VASKREPORTSPEC_MISSING_FLAGFIELD);
  EXPECT_EQ(failing.State, -1);
}

TEST(SpecModel, ValidationChecksComeInTheirOrder) {
  struct Case {
    const char* what;
    bool manifest, matching, labels;
    int bsp, amended;
    int lettersPerTray;
    int secondSize;
    int expected;
  };
  const Case cases[] = {
      {"manifest without BSP before the flag check", true, true, false, -1, -1, 300, 5,
       ERR_VASKREPORTSPEC_MISSING_BSPFIELD},
      {"summary without flag", false, true, false, -1, -1, 300, 5,
       ERR_VASKREPORTSPEC_MISSING_FLAGFIELD},
      {"label plan without BSP", false, false, true, -1, -1, 300, 5,
       ERR_VASKREPORTSPEC_MISSING_BSPFIELD},
      {"size below 1", false, false, false, -1, -1, 300, 0, ERR_VASKREPORTSPEC_INVALID_FIELD_SIZE},
      {"negative size", false, false, false, -1, -1, 300, -7,
       ERR_VASKREPORTSPEC_INVALID_FIELD_SIZE},
      {"record length beyond an int", false, false, false, -1, -1, 300, INT_MAX - 3,
       ERR_VASKREPORTSPEC_INVALID_FIELD_SIZE},
      {"role index past the field list", false, false, false, 2, -1, 300, 5,
       ERR_VASKREPORTSPEC_UNKNOWN_FIELD},
      {"letters per tray 0", false, false, false, -1, -1, 0, 5,
       ERR_VASKREPORTSPEC_INVALID_LETTERS_PER_TRAY},
      {"letters per tray negative", false, false, false, -1, -1, -300, 5,
       ERR_VASKREPORTSPEC_INVALID_LETTERS_PER_TRAY},
      {"all reports with every role", true, true, true, 1, 1, 300, 5, 0},
  };
  for (const Case& c : cases) {
    VaskReportSpec spec;
    SetFields(spec, {{"Dpid", 8}, {"Bsp", c.secondSize}});
    spec.DpidField = 0;
    spec.ManifestReport = c.manifest;
    spec.MatchingReport = c.matching;
    spec.LabelPlanFile = c.labels;
    spec.BspField = c.bsp;
    spec.AmendedField = c.amended;
    spec.LettersPerTray = c.lettersPerTray;
    EXPECT_EQ(spec.Validate(nullptr), c.expected) << c.what;
  }
}

TEST(SpecModel, LabelPlanTextsThatWouldShiftFieldsAreRefused) {
  const char* bad[] = {"Smith, Sons", "two\nlines", "cr\r"};
  for (const char* text : bad) {
    VaskReportSpec spec;
    SetFields(spec, {{"Dpid", 8}, {"Bsp", 2}});
    spec.DpidField = 0;
    spec.BspField = 1;
    spec.LabelPlanFile = true;
    strcpy(spec.Service, text);
    EXPECT_EQ(spec.Validate_(), ERR_VASKREPORTSPEC_INVALID_LABEL_TEXT) << text;
    spec.LabelPlanFile = false;
    EXPECT_EQ(spec.Validate_(), 0) << "only checked when the label plan is wanted";
  }
  VaskReportSpec spec;
  SetFields(spec, {{"Dpid", 8}, {"Bsp", 2}});
  spec.DpidField = 0;
  spec.BspField = 1;
  spec.LabelPlanFile = true;
  spec.Prefix = ',';
  EXPECT_EQ(spec.Validate_(), ERR_VASKREPORTSPEC_INVALID_LABEL_TEXT);
}

TEST(SpecModel, FieldLookupByNameThenNumber) {
  VaskReportSpec spec;
  SetFields(spec, {{"Name", 5}, {"Bsp", 3}, {"3", 10}});
  EXPECT_EQ(spec.FindField("bsp"), 1);
  EXPECT_EQ(spec.FindField("1"), -1);
  EXPECT_EQ(spec.FindField("3"), 2);
  EXPECT_EQ(spec.LookupField("2"), 1);
  EXPECT_EQ(spec.LookupField("2abc"), 1);
  EXPECT_EQ(spec.LookupField("0"), -1);
  EXPECT_EQ(spec.LookupField("4"), -1);
  EXPECT_EQ(spec.LookupField("Street"), -1);
  // A field named 3 wins over field number 3.
  EXPECT_EQ(spec.LookupField("3"), 2);
  SetFields(spec, {{"Name", 5}, {"2", 3}, {"Dpid", 10}});
  EXPECT_EQ(spec.LookupField("2"), 1);
  EXPECT_EQ(spec.LookupField("3"), 2);
}

TEST(SpecModel, OffsetsLeaveOneTerminatorAfterEachField) {
  VaskReportSpec spec;
  spec.CalculateFieldOffsets();
  EXPECT_EQ(spec.RecordLength, 0);
  SetFields(spec, {{"a", 5}, {"b", 3}, {"c", 10}});
  spec.CalculateFieldOffsets();
  EXPECT_EQ(spec.Fields[0].Offset, 0);
  EXPECT_EQ(spec.Fields[1].Offset, 6);
  EXPECT_EQ(spec.Fields[2].Offset, 10);
  EXPECT_EQ(spec.RecordLength, 21);
}

TEST(SpecModel, SetPathCutsAndReexpands) {
  VaskReportSpec spec;
  spec.SetPath("/data/job.txt");
  EXPECT_STREQ(spec.Path, "/data/job.txt");
  EXPECT_STREQ(spec.ExpandedPath, "/data/job.txt");
  strcpy(spec.ExpandedPath, "stale");
  spec.SetPath(nullptr);
  EXPECT_STREQ(spec.Path, "/data/job.txt");
  EXPECT_STREQ(spec.ExpandedPath, "/data/job.txt");
  std::string longPath(300, 'p');
  spec.SetPath(longPath.c_str());
  EXPECT_EQ(strlen(spec.Path), 255u);
}

TEST(SpecModel, LookupErrorNamesOnlySpecificationCodes) {
  char message[256];
  VaskReportSpec::LookupError(ERR_VASKREPORTSPEC_UNKNOWN_FIELD, message);
  EXPECT_STREQ(message, "ERR_VASKREPORTSPEC_UNKNOWN_FIELD");
  VaskReportSpec::LookupError(ERR_VASKREPORTSPEC_INVALID_LETTERS_PER_TRAY, message);
  EXPECT_STREQ(message, "ERR_VASKREPORTSPEC_INVALID_LETTERS_PER_TRAY");
  for (int code : {11021, 1997, 0, 11101}) {
    strcpy(message, "x");
    VaskReportSpec::LookupError(code, message);
    EXPECT_STREQ(message, "") << code;
  }
  // Every code of the range except the unused 11021 has a name.
  for (int code = 11001; code <= 11030; ++code) {
    VaskReportSpec::LookupError(code, message);
    if (code == 11021 || code == 11030)
      EXPECT_STREQ(message, "") << code;
    else
      EXPECT_EQ(strncmp(message, "ERR_", 4), 0) << code;
  }
}
