#include "verify/JsonRun.h"

#include <utility>

#include "base/States.h"
#include "engine/Tallies.h"
#include "spec/VaskReportSpec.h"
#include "verify/JsonWriter.h"
#include "verify/Recount.h"

namespace {

void WriteLine(JsonWriter& json, const DetailLine& line) {
  json.BeginObject();
  json.Key("volume");
  json.Number(static_cast<uint64_t>(line.Volume));
  json.Key("trays");
  json.Number(static_cast<uint64_t>(line.Trays));
  json.Key("weight");
  json.Weight(line.Weight);
  json.EndObject();
}

// The levels of one aggregate, named as in the manifest's CSV.
void WriteTotalMembers(JsonWriter& json, const TotalLine& total) {
  const std::pair<const char*, const DetailLine*> members[] = {
      {"BDT", &total.Direct},         {"BR", &total.BarcodedResidue},
      {"UR", &total.UnbarcodedResidue}, {"barcoded", &total.Barcoded},
      {"total", &total.Total},
  };
  for (const auto& [name, line] : members) {
    json.Key(name);
    WriteLine(json, *line);
  }
}

void WriteTotal(JsonWriter& json, const char* key, const TotalLine& total) {
  json.Key(key);
  json.BeginObject();
  WriteTotalMembers(json, total);
  json.EndObject();
}

void WriteSettings(JsonWriter& json, const VaskReportSpec& spec) {
  json.Key("settings");
  json.BeginObject();
  json.Key("dataFile");
  json.String(spec.ExpandedPath);
  json.Key("stateOfLodgement");
  json.String(NumberToState(spec.State));
  json.Key("lettersPerTray");
  json.Number(spec.LettersPerTray);
  json.Key("weightOfLetter");
  json.Number(spec.WeightOfLetter);
  json.EndObject();
}

// Every BSP with letters; a residue BSP's trays are pooled with its state's.
void WriteBsps(JsonWriter& json, const VaskReportSpec& spec, const ManifestInfo& info,
               const Recount& recount) {
  json.Key("bsps");
  json.BeginArray();
  for (int bsp = 1; bsp <= RECOUNT_BSPS; ++bsp) {
    const uint64_t volume = recount.BspVolumes[bsp];
    if (!volume) continue;
    const bool direct = info.BspLine[bsp].Volume != 0;
    json.BeginObject();
    json.Key("bsp");
    json.Number(bsp);
    json.Key("state");
    json.String(NumberToState(BspState(bsp)));
    json.Key("sortLevel");
    json.String(direct ? "BDT" : "BR");
    json.Key("volume");
    json.Number(volume);
    json.Key("trays");
    if (direct)
      json.Number(static_cast<uint64_t>(info.BspLine[bsp].Trays));
    else
      json.Null();
    json.Key("weight");
    json.Weight(direct ? info.BspLine[bsp].Weight : static_cast<double>(volume) * spec.WeightOfLetter);
    json.EndObject();
  }
  json.EndArray();
}

void WriteStates(JsonWriter& json, const ManifestInfo& info) {
  json.Key("states");
  json.BeginArray();
  for (int state = 0; state < RECOUNT_STATES; ++state) {
    json.BeginObject();
    json.Key("state");
    json.String(NumberToState(state));
    WriteTotalMembers(json, info.StateTotal[state]);
    json.EndObject();
  }
  json.EndArray();
}

void WriteMatching(JsonWriter& json, const Recount& recount) {
  const std::pair<const char*, uint64_t> counts[] = {
      {"matched", recount.Matched},
      {"amended", recount.Amended},
      {"preCleaned", recount.PreCleaned},
      {"manuallyAmended", recount.ManuallyAmended},
      {"notMatched", recount.NotMatched},
      {"total", recount.Read},
  };
  json.Key("addressMatching");
  json.BeginObject();
  for (const auto& [name, value] : counts) {
    json.Key(name);
    json.Number(value);
  }
  json.EndObject();
}

void WriteFiles(JsonWriter& json, const std::vector<std::string>& files) {
  json.Key("files");
  json.BeginArray();
  for (const std::string& file : files) json.String(file);
  json.EndArray();
}

}  // namespace

void WriteRunJson(const VaskReportSpec& spec, const std::vector<std::string>& filesWritten,
                  std::ostream& out) {
  JsonWriter json(out);
  json.BeginObject();
  WriteSettings(json, spec);
  Recount recount;
  std::string problem;
  if (RecountDataFile(spec, recount, problem)) {
    json.Key("error");
    json.String(problem);
  } else {
    ManifestInfo info;
    info.Calculate(spec, recount.BspVolumes, recount.UnbarcodedVolumes);
    WriteBsps(json, spec, info, recount);
    WriteStates(json, info);
    WriteTotal(json, "sameState", info.SameState);
    WriteTotal(json, "otherStates", info.OtherStates);
    WriteTotal(json, "mailingTotal", info.MailingTotal);
    WriteMatching(json, recount);
    json.Key("rejectedLines");
    json.Number(recount.Invalid);
  }
  WriteFiles(json, filesWritten);
  json.EndObject();
  json.Finish();
}
