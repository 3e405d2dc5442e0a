#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "Fixtures.h"
#include "spec/VaskReportSpec.h"

namespace {

using vrtest::ConsoleCapture;

// Runs the whole dialogue on spec with the given replies; returns what it wrote.
std::string Dialogue(VaskReportSpec& spec, const std::string& replies, int* rc = nullptr) {
  ConsoleCapture console(replies);
  int code = spec.PromptUserSpec();
  if (rc) *rc = code;
  std::string errors = console.Errors();
  EXPECT_EQ("", console.Output()) << "the dialogue writes nothing to standard output";
  return errors;
}

void SetFields(VaskReportSpec& spec, std::initializer_list<std::pair<const char*, int>> fields) {
  delete[] spec.Fields;
  spec.FieldCount = static_cast<int>(fields.size());
  spec.Fields = new VaskReportSpec::FieldSpec[fields.size()];
  int i = 0;
  for (const auto& f : fields) {
    snprintf(spec.Fields[i].Name, sizeof spec.Fields[i].Name, "%s", f.first);
    spec.Fields[i++].Size = f.second;
  }
}

size_t Count(const std::string& text, const std::string& piece) {
  size_t n = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

bool Has(const std::string& text, const std::string& piece) {
  return text.find(piece) != std::string::npos;
}

TEST(Dialogue, ClearedSpecAtEndOfInputAsksEachAlwaysQuestionOnceAndChangesNothing) {
  VaskReportSpec spec;
  int rc = -1;
  std::string errors = Dialogue(spec, "", &rc);
  EXPECT_EQ(0, rc);
  EXPECT_EQ(
      "File containing data on which to report :"
      "File Format:\n"
      "\tDelimiter (9=tab, 44=comma, 59=semi-colon, 0=fixed-width) [0]:"
      "\tAre the field names on the first line(Y/N)? [N]:"
      "\tNumber of fields per record/line [0]:"
      "Name of BSP field:No field chosen.\n"
      "Name of DPID field:No field chosen.\n"
      "Name of State field:No field chosen.\n"
      "Name of Amended field:No field chosen.\n"
      "Directory in which to place report files :"
      "Create Manifest Report(Y/N)? [N]:"
      "Create Address Matching Summary Report(Y/N)? [N]:"
      "Resort the data file by Sort-Level and BSP(Y/N)? [N]:"
      "Create separate files, one per Sort-Level(Y/N)? [N]:"
      "Create separate files, one per State(Y/N)? [N]:"
      "Create Label Plan File (.lpf)(Y/N)? [N]:",
      errors);
  EXPECT_EQ(0, spec.FieldCount);
  EXPECT_EQ(nullptr, spec.Fields);
  EXPECT_EQ(300, spec.LettersPerTray);
  EXPECT_EQ(-1, spec.State);
  EXPECT_EQ(-1, spec.BspField);
  EXPECT_EQ(-1, spec.DpidField);
  EXPECT_FALSE(spec.ManifestReport || spec.MatchingReport || spec.LabelPlanFile);
}

TEST(Dialogue, FillsADelimitedSpecificationByHand) {
  VaskReportSpec spec;
  const std::string replies =
      "data/job.txt\n"  // path
      "44\n34\n"        // delimiter, qualifier
      "y\n"             // names on first line
      "n\n"             // read NOW: no
      "3\nName\nDpid\nBsp\n"
      "40\n8\n3\n"      // sizes
      "bsp\n2\n\n\n"    // roles: BSP by name, DPID by number, no state, no amended
      "out\n"
      "y\n250\n25\nvic\nHarbour Energy\nHE-117\n"
      "n\n"
      "y\nn\ny\n"
      "y\nPlan A\nHarbour\n02 9555 0142\nJ-1\nR\nS\nA\nnsw\n";
  int rc = -1;
  std::string errors = Dialogue(spec, replies, &rc);
  EXPECT_EQ(0, rc);
  EXPECT_STREQ("data/job.txt", spec.Path);
  EXPECT_STREQ("data/job.txt", spec.ExpandedPath);
  EXPECT_EQ(',', spec.Delimiter);
  EXPECT_EQ('"', spec.Qualifier);
  EXPECT_TRUE(spec.FieldNamesOnFirstLine);
  ASSERT_EQ(3, spec.FieldCount);
  EXPECT_STREQ("Name", spec.Fields[0].Name);
  EXPECT_STREQ("Bsp", spec.Fields[2].Name);
  EXPECT_EQ(40, spec.Fields[0].Size);
  EXPECT_EQ(3, spec.Fields[2].Size);
  EXPECT_EQ(2, spec.BspField);
  EXPECT_EQ(1, spec.DpidField);
  EXPECT_EQ(-1, spec.StateField);
  EXPECT_STREQ("out", spec.OutputDirectory);
  EXPECT_TRUE(spec.ManifestReport);
  EXPECT_EQ(250, spec.LettersPerTray);
  EXPECT_EQ(0.025, spec.WeightOfLetter);
  EXPECT_EQ(2, spec.State);
  EXPECT_STREQ("Harbour Energy", spec.CustomerName);
  EXPECT_STREQ("HE-117", spec.JobNumber);
  EXPECT_FALSE(spec.MatchingReport);
  EXPECT_TRUE(spec.SortByBsp);
  EXPECT_FALSE(spec.SortIntoBdt);
  EXPECT_TRUE(spec.SortIntoStates);
  EXPECT_TRUE(spec.LabelPlanFile);
  EXPECT_STREQ("Plan A", spec.LabelPlanName);
  EXPECT_STREQ("02 9555 0142", spec.CustomerPhone);
  EXPECT_STREQ("S", spec.MailSize);
  EXPECT_EQ('A', spec.Prefix);
  EXPECT_EQ(1, spec.LabelState);
  EXPECT_TRUE(Has(errors, "\tRead field names NOW from file(Y/N)? [N]:"
                          "\tNumber of fields per record/line [0]:"));
  EXPECT_TRUE(Has(errors, "\tField 1 name :\tField 2 name :\tField 3 name :"));
  EXPECT_TRUE(Has(errors, "\tField 'Name' maxsize [0]:\tField 'Dpid' maxsize [0]:"));
  EXPECT_TRUE(Has(errors, "Name of State field:No field chosen.\n"));
  EXPECT_TRUE(Has(errors, "Weight per letter (in grams) [0]:"));
}

TEST(Dialogue, FixedWidthSkipsQualifierAndDetectionAndAsksPlainSize) {
  VaskReportSpec spec;
  spec.Qualifier = '"';
  std::string errors = Dialogue(spec, "job.txt\n0\ny\n1\nDpid\n8\n");
  EXPECT_FALSE(Has(errors, "Text qualifier"));
  EXPECT_FALSE(Has(errors, "Read field names NOW"));
  EXPECT_TRUE(Has(errors, "\tField 'Dpid' size [0]:"));
  EXPECT_FALSE(Has(errors, "maxsize"));
  EXPECT_EQ('"', spec.Qualifier);
  EXPECT_EQ(8, spec.Fields[0].Size);
}

TEST(Dialogue, DetectionIsOfferedOnlyWithNamesDelimiterAndPath) {
  struct Case {
    const char* name;
    std::string replies;
    bool asked;
  } cases[] = {
      {"all three", "job.txt\n44\n0\ny\n", true},
      {"no path", "\n44\n0\ny\n", false},
      {"no names line", "job.txt\n44\n0\nn\n", false},
      {"fixed width", "job.txt\n0\ny\n", false},
  };
  for (const Case& c : cases) {
    VaskReportSpec spec;
    EXPECT_EQ(c.asked, Has(Dialogue(spec, c.replies), "Read field names NOW")) << c.name;
  }
}

TEST(Dialogue, ReadsFieldNamesNowFromTheDataFile) {
  vrtest::TempDir dir;
  vrtest::WriteFile(dir / "job.txt", "Name,Street,DPID\nA,B,12345678\n");
  VaskReportSpec spec;
  SetFields(spec, {{"Old", 5}});
  std::string errors = Dialogue(spec, dir / "job.txt" + "\n44\n0\ny\ny\n\n12\n\n");
  EXPECT_TRUE(Has(errors, "\tField names detected:\n\tName, Street, DPID\n"));
  EXPECT_FALSE(Has(errors, "Number of fields"));
  EXPECT_TRUE(Has(errors, "\tField 'Name' maxsize [30]:\tField 'Street' maxsize [30]:"));
  ASSERT_EQ(3, spec.FieldCount);
  EXPECT_STREQ("DPID", spec.Fields[2].Name);
  EXPECT_EQ(30, spec.Fields[0].Size);
  EXPECT_EQ(12, spec.Fields[1].Size);
}

TEST(Dialogue, FailedDetectionIsReportedAndFieldsAreAskedByHand) {
  vrtest::TempDir dir;
  VaskReportSpec spec;
  SetFields(spec, {{"Old", 5}});
  std::string errors = Dialogue(spec, dir / "missing.txt" + "\n44\n0\ny\ny\n1\nDpid\n8\n");
  EXPECT_TRUE(Has(errors, "Error# 11018 in auto-detect:"));
  EXPECT_TRUE(Has(errors, "\n\tNumber of fields per record/line [0]:"));
  ASSERT_EQ(1, spec.FieldCount);
  EXPECT_STREQ("Dpid", spec.Fields[0].Name);
}

TEST(Dialogue, SameFieldCountKeepsTheFieldsAndAnotherCountClearsThem) {
  VaskReportSpec kept;
  SetFields(kept, {{"Name", 40}, {"Dpid", 8}});
  std::string errors = Dialogue(kept, "\n\nn\n2\n");
  EXPECT_TRUE(Has(errors, "\tField 1 name [Name] :\tField 2 name [Dpid] :"));
  EXPECT_TRUE(Has(errors, "\tField 'Name' size [40]:"));
  ASSERT_EQ(2, kept.FieldCount);
  EXPECT_STREQ("Dpid", kept.Fields[1].Name);
  EXPECT_EQ(40, kept.Fields[0].Size);

  VaskReportSpec replaced;
  SetFields(replaced, {{"Name", 40}, {"Dpid", 8}});
  errors = Dialogue(replaced, "\n\nn\n3\n");
  EXPECT_TRUE(Has(errors, "\tField 1 name :"));
  ASSERT_EQ(3, replaced.FieldCount);
  EXPECT_STREQ("", replaced.Fields[0].Name);
  EXPECT_EQ(0, replaced.Fields[1].Size);
}

TEST(Dialogue, RefusedCountsAndSizesNeverReachTheSpecification) {
  VaskReportSpec spec;
  spec.Delimiter = ',';
  std::string errors =
      Dialogue(spec, "\n300\n\n\nn\n-5\n0\n1\nDpid\n0\n-3\n6\n\n\n\n\n\ny\n0\n\n");
  EXPECT_EQ(',', spec.Delimiter);
  ASSERT_EQ(1, spec.FieldCount);
  EXPECT_EQ(6, spec.Fields[0].Size);
  EXPECT_EQ(300, spec.LettersPerTray);
  EXPECT_TRUE(Has(errors, "(9=tab, 44=comma, 59=semi-colon, 0=fixed-width) [44]:"
                          "Invalid reponse. Re-enter:\n"
                          "\tDelimiter (9=tab, 44=comma, 59=semi-colon, 0=fixed-width) [44]:"));
  EXPECT_EQ(2u, Count(errors, "Number of fields per record/line [0]:Invalid reponse."));
  EXPECT_EQ(2u, Count(errors, "\tField 'Dpid' maxsize [0]:Invalid reponse."));
  EXPECT_TRUE(Has(errors, "Letters per tray [300]:Invalid reponse. Re-enter:\nLetters per tray [300]:"));
}

TEST(Dialogue, WeightIsAskedInGramsAndStoredInKilograms) {
  struct Case {
    double start;
    const char* reply;
    const char* shown;
    double expected;
  } cases[] = {
      {0.02, "25", "[20]", 0.025},
      {0.02, "", "[20]", 0.02},
      {0.0123, "", "[12.3]", 0.0123},
      {0.02, "10000", "[20]", 10.0},
      // Refused, then asked again from the weight before, which the end of
      // the replies keeps.
      {0.02, "-5", "[20]", 0.02},
      {0.02, "10000.5", "[20]", 0.02},
  };
  for (const Case& c : cases) {
    VaskReportSpec spec;
    spec.WeightOfLetter = c.start;
    std::string errors = Dialogue(spec, std::string("\n\n\n\n\n\n\n\n\ny\n\n") + c.reply + "\n");
    EXPECT_TRUE(Has(errors, std::string("Weight per letter (in grams) ") + c.shown + ":"))
        << c.reply;
    EXPECT_EQ(c.expected, spec.WeightOfLetter) << c.reply;
    EXPECT_EQ(c.expected == c.start && *c.reply,
              Has(errors, std::string("(in grams) ") + c.shown + ":Invalid reponse. Re-enter:\n"))
        << c.reply;
  }
}

TEST(Dialogue, APathWhoseExpansionIsTooLongIsAskedAgain) {
  vrtest::TempDir dir;
  vrtest::WriteFile(dir / "zelnor", "Paths/LONG=" + std::string(244, 'd') + "\n");
  vrtest::ScopedEnv config("ZELNOR_CONFIG_FILE", (dir / "zelnor").c_str());
  VaskReportSpec spec;
  spec.SetPath("job.csv");
  std::string errors = Dialogue(spec, "$LONG$/mailing.csv\n");
  EXPECT_STREQ("job.csv", spec.Path);
  EXPECT_STREQ("job.csv", spec.ExpandedPath);
  EXPECT_TRUE(Has(errors, "Maximum length is 255\nRe-enter: File containing data on which to "
                          "report [job.csv] :"));
}

TEST(Dialogue, RoleQuestionTakesNameOrNumberAndRepeatsOnUnknown) {
  VaskReportSpec spec;
  SetFields(spec, {{"Name", 40}, {"Dpid", 8}, {"BSP", 3}, {"State", 3}});
  spec.DpidField = 1;
  // Count kept, names and sizes kept; then BSP: 0 (refused), then 3.
  std::string errors = Dialogue(spec, "\n\nn\n4\n\n\n\n\n\n\n\n\n0\n3\n\nState \nstate\n\n");
  EXPECT_TRUE(Has(errors, "Name of BSP field:No field of name '0'.\n Re-enter: Name of BSP field:"));
  EXPECT_EQ(2, spec.BspField);
  EXPECT_TRUE(Has(errors, "Name of DPID field [Dpid]:"));
  EXPECT_EQ(1, spec.DpidField);
  // Replies to role questions are not trimmed: "State " names no field.
  EXPECT_TRUE(Has(errors, "No field of name 'State '.\n Re-enter: Name of State field:"));
  EXPECT_EQ(3, spec.StateField);
  EXPECT_EQ(-1, spec.AmendedField);

  VaskReportSpec byName;
  SetFields(byName, {{"Name", 40}, {"BSP", 3}});
  Dialogue(byName, "\n\nn\n2\n\n\n\n\nbsp\n");
  EXPECT_EQ(1, byName.BspField);
}

TEST(Dialogue, AnswersNoSkipTheirReportsQuestionsAndKeepTheirSettings) {
  VaskReportSpec spec;
  spec.LettersPerTray = 200;
  snprintf(spec.CustomerName, sizeof spec.CustomerName, "Kept");
  snprintf(spec.Service, sizeof spec.Service, "R");
  std::string errors = Dialogue(spec, "\n\n\n\n\n\n\n\n\nn\ny\n1/2/2024\n\n\n\n\n\n\n\n\n\n\nn\n");
  EXPECT_FALSE(Has(errors, "Letters per tray"));
  EXPECT_FALSE(Has(errors, "Label Plan Name"));
  EXPECT_TRUE(Has(errors, "Owner of address list :"
                          "Now for some information about the softare used to generate the "
                          "barcodes:\nSoftware name :"));
  EXPECT_TRUE(errors.size() > 0 &&
              errors.compare(errors.size() - 40, 40, "Create Label Plan File (.lpf)(Y/N)? [N]:") == 0);
  EXPECT_EQ(200, spec.LettersPerTray);
  EXPECT_STREQ("Kept", spec.CustomerName);
  EXPECT_STREQ("R", spec.Service);
  EXPECT_TRUE(spec.MatchingReport);
  EXPECT_STREQ("1/2/2024", spec.ProcessDate);
}

TEST(Dialogue, PrefixIsOneCharacterTextAndEmptyReplyKeepsIt) {
  VaskReportSpec spec;
  spec.LabelPlanFile = true;
  spec.Prefix = 'B';
  const std::string toLabelPlan(15, '\n');
  std::string errors = Dialogue(spec, toLabelPlan + "\n\n\n\n\n\nAB\n\n");
  EXPECT_TRUE(Has(errors, "BSP prefix [B] :String entered is too long. Maximum length is 1\n"
                          "Re-enter: BSP prefix [B] :State of lodgement:"));
  EXPECT_EQ('B', spec.Prefix);
}

}  // namespace
