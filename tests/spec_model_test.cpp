#include "Fixtures.h"
#include "engine/Tallies.h"
#include "base/States.h"
#include "spec/IniFile.h"
#include "util/Registry.h"

namespace {

void SetFields(VaskReportSpec& spec, const std::vector<std::pair<const char*, int>>& fields) {
  delete[] spec.Fields;
  spec.FieldCount = static_cast<int>(fields.size());
  spec.Fields = fields.empty() ? nullptr : new VaskReportSpec::FieldSpec[fields.size()];
  for (size_t i = 0; i < fields.size(); ++i) {
    strncpyz(spec.Fields[i].Name, fields[i].first, 50);
    spec.Fields[i].Size = fields[i].second;
  }
}

// Reads text as a specification file; gives the message, "" when untouched.
std::string ReadIni(IniFile& ini, const std::string& text) {
  vrtest::TempDir dir;
  vrtest::WriteFile(dir / "spec.ini", text);
  std::ifstream in(dir / "spec.ini");
  char message[256] = "";
  const int code = ini.Read(in, message);
  char name[256] = "stale";
  IniFile::LookupError(code, name);  // the message starts with the code's name, "" for 0
  return std::string(message).find(name) == 0 ? message : "wrong name " + std::string(name);
}

TEST(IniFile, EntriesGrowAndKeepWhetherTheyWereAskedFor) {
  IniFile ini;
  EXPECT_EQ("ERR_INIFILE_DUPLICATE_ENTRY\nA=2", ReadIni(ini, "[File]\nPath=a\nColour=blue\n[Extra]\nA=1\nA=2\nB=3\n"));
  ASSERT_TRUE(ini.FindSection("FILE")->FindEntry("path") && !ini.FindSection("extra")->FindEntry("B"));
  IniSection* extra = ini.FindSection("Extra");
  for (int i = 0; i < 50; ++i)  // from strings that are gone once it returns
    ASSERT_EQ(0, extra->NewEntry(("K" + std::to_string(i)).c_str(), std::to_string(i * 7).c_str()));
  EXPECT_EQ(ERR_INIFILE_DUPLICATE_ENTRY, extra->NewEntry("k49", "x"));
  EXPECT_STREQ("84", extra->FindEntry("k12")->Value);
  EXPECT_EQ(ERR_INIFILE_DUPLICATE_SECTION, ini.NewSection("file"));
  std::ostringstream out;
  ini.ShowUnaccessedEntries(out, "Ignored:");
  EXPECT_EQ(0u, out.str().find("Ignored:\n[File]\nColour=blue\n[Extra]\nA=1\nK0=0\nK1=7\n")) << out.str();
  EXPECT_EQ(std::string::npos, out.str().find("\nK12=84\n"));
  extra->Free();
  EXPECT_TRUE(!extra->Entries && !extra->EntryCount && !extra->Name);
  IniFile other, crs;
  EXPECT_EQ("ERR_INIFILE_LINE_TOOLONG\n" + std::string(230, 'x'), ReadIni(other, "[S]\n" + std::string(200000, 'x')));
  EXPECT_EQ("", ReadIni(crs, "[S]\r\nK=a\rb\r\nTwo=v\r\r\n"));  // only the carriage return of a line end goes
  EXPECT_EQ("a\rb|v\r", std::string(crs.Sections[0].Entries[0].Value) + "|" + crs.Sections[0].Entries[1].Value);
}

TEST(IniFile, FailedAllocationIsReportedWithTheLine) {
  IniFile ini;
  vrtest::g_AllocationsBeforeFailure = 1;  // the name copy succeeds, the section array fails
  const std::string read = ReadIni(ini, "[File]\nPath=x\n");
  vrtest::g_AllocationsBeforeFailure = -1;
  EXPECT_EQ("ERR_INIFILE_OUT_OF_MEMORY\n[File]", read);
  ASSERT_EQ(0, ini.NewSection("S"));
  vrtest::g_AllocationsBeforeFailure = 2;
  EXPECT_EQ(ERR_INIFILE_OUT_OF_MEMORY, ini.Sections[0].NewEntry("K", "V"));
  vrtest::g_AllocationsBeforeFailure = -1;
  EXPECT_EQ(0, ini.Sections[0].EntryCount);
}

TEST(SpecModel, ClearedSpecFailsValidationAndAValidOneGetsItsState) {
  VaskReportSpec spec;
  SetFields(spec, {{"a", 4}});
  spec.CalculateFieldOffsets();
  spec.Clear();  // keeps the record length; every role unset
  const int kept[] = {spec.RecordLength, spec.LettersPerTray, spec.FieldCount, spec.BspField, spec.StateField,
                      spec.DpidField, spec.AmendedField, spec.State, spec.LabelState};
  EXPECT_EQ(std::vector<int>({5, 300, 0, -1, -1, -1, -1, -1, -1}), std::vector<int>(kept, kept + 9));
  char message[256] = "untouched";
  EXPECT_EQ(ERR_VASKREPORTSPEC_MISSING_DPIDFIELD, spec.Validate(message));
  EXPECT_STREQ("ERR_VASKREPORTSPEC_MISSING_DPIDFIELD", message);
  // Label texts that would shift the plan's fields, refused only when the plan is wanted.
  const int text = ERR_VASKREPORTSPEC_INVALID_LABEL_TEXT;
  const struct { bool labels; const char* service; char prefix; int expected; } cases[] = {
      {true, "", 0, 0}, {true, "a\nb", 0, text}, {true, "cr\r", 0, text}, {true, "", ',', text}, {false, "a,b", ',', 0}};
  for (const auto& c : cases) {
    SetFields(spec, {{"Dpid", 8}, {"Bsp", 2}, {"Flag", 1}});
    spec.DpidField = 0;
    spec.BspField = 1;
    spec.AmendedField = 2;
    spec.ManifestReport = spec.MatchingReport = true;
    spec.LabelPlanFile = c.labels;
    strcpy(spec.Service, c.service);
    spec.Prefix = c.prefix;
    strcpy(message, "kept");
    EXPECT_EQ(c.expected, spec.Validate(message)) << c.service;
    EXPECT_EQ(c.expected ? -1 : 0, spec.State) << c.service;
    spec.State = -1;
  }
  EXPECT_STREQ("kept", message);
}

TEST(SpecModel, FieldsByNameThenNumberAndTheirOffsets) {
  VaskReportSpec spec;
  SetFields(spec, {{"Name", 5}, {"Bsp", 3}, {"3", 10}});
  const struct { const char* text; int found, looked; } fields[] = {  // name 3 before number 3
      {"bsp", 1, 1}, {"1", -1, 0}, {"3", 2, 2}, {"2abc", -1, 1}, {"0", -1, -1}, {"4", -1, -1}, {"Street", -1, -1}};
  for (const auto& f : fields)
    EXPECT_EQ(std::make_pair(f.found, f.looked), std::make_pair(spec.FindField(f.text), spec.LookupField(f.text)));
  spec.CalculateFieldOffsets();
  const int offsets[] = {spec.Fields[0].Offset, spec.Fields[1].Offset, spec.Fields[2].Offset, spec.RecordLength};
  EXPECT_EQ(std::vector<int>({0, 6, 10, 21}), std::vector<int>(offsets, offsets + 4));
}

// Each length limit: `fits` characters are taken whole, one more are not.
TEST(Limits, EachLengthLimitTakesItsLastCharacterAndRefusesTheNext) {
  vrtest::TempDir dir;
  vrtest::ScopedEnv config("ZELNOR_CONFIG_FILE", (dir / "cfg").c_str());  // no .zelnor in the test directory
  const std::string base = dir.path() + "/";
  VaskReportSpec spec;
  char text[256];
  int size = sizeof text;
  const struct { const char* what; size_t fits; std::function<bool(size_t)> takes; } limits[] = {
      {"directory", 255, [&](size_t n) { return CreateDir((base + std::string(n - base.size(), 'd')).c_str()); }},
      {"path", 255, [&](size_t n) { return ExpandPathWhole(text, std::string(n, 'p').c_str()); }},
      {"expanded alias", 255, [&](size_t n) {
         vrtest::WriteFile(dir / "cfg", "Paths/D=" + std::string(240, 'v') + "\n");
         return ExpandPathWhole(text, ("$D$/" + std::string(n - 241, 'x')).c_str());
       }},
      {"registry line", 255, [&](size_t n) {
         vrtest::WriteFile(dir / "cfg", "S/K=" + std::string(n - 11, 'v') + "S/M=cut\n");
         EXPECT_NE(0, LookUpRegistry_("S", "M", text, size, false));  // nor is a cut line's rest
         return !LookUpRegistry_("S", "K", text, size, false) && strlen(text) == n - 4;
       }},
      {"registry key", 254, [&](size_t n) {
         return LookUpRegistry_(nullptr, std::string(n, 'k').c_str(), text, size, false) != REGISTRY_KEY_TOOLONG;
       }},
      {"data file path", 255, [&](size_t n) { return spec.SetPath(std::string(n, 'p').c_str()), strlen(spec.Path) == n; }},
  };
  for (const auto& l : limits) {
    EXPECT_TRUE(l.takes(l.fits)) << l.what;
    EXPECT_FALSE(l.takes(l.fits + 1)) << l.what;
  }
}

TEST(Tallies, LinesRoundTraysUpAndAreResidueBelow300LettersAnd4Kilograms) {
  const struct { unsigned long volume; double weight; int perTray; uint64_t trays; bool residue; } cases[] = {
      {0, 0, 300, 0, true},      {1, 0, 300, 1, true},      {299, 0, 300, 1, true},   {300, 0, 300, 1, false},
      {301, 0, 300, 2, false},   {601, 0, 300, 3, false},   {79, 0.05, 300, 1, true}, {80, 0.05, 300, 1, false},
      {299, 0.001, 300, 1, true}, {299, 0, 100, 3, true},   {1000, 0, 0, 1, false},   {1000, 0, -5, 1, false},
      {0, 0, -5, 0, true},
  };
  for (const auto& c : cases) {
    VaskReportSpec spec;
    spec.WeightOfLetter = c.weight;
    spec.LettersPerTray = c.perTray;
    DetailLine line;
    line.Set(c.volume, spec);
    EXPECT_EQ(std::make_tuple(c.volume, c.trays, c.volume * c.weight, c.residue),
              std::make_tuple(line.Volume, line.Trays, line.Weight, line.Residue)) << c.volume << " " << c.perTray;
  }
}

TEST(States, CodesAndNumbersConvertBothWays) {
  for (int s = 0; s < STATE_COUNT; ++s) EXPECT_EQ(s, StateToNumber(NumberToState(s)));
  for (const char* code : {"", "NSW ", "Victoria", static_cast<const char*>(nullptr)}) EXPECT_EQ(-1, StateToNumber(code));
  EXPECT_EQ("|", std::string(NumberToState(-1)) + "|" + NumberToState(STATE_COUNT));
  const int labels[] = {NumberToLabelState(STATE_NT), NumberToLabelState(STATE_ACT), NumberToLabelState(-1), NumberToLabelState(8)};
  EXPECT_EQ(std::vector<int>({8, 1, 0, 0}), std::vector<int>(labels, labels + 4));
}

}  // namespace
