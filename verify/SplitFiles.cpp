#include "verify/SplitFiles.h"

#include <sys/stat.h>

#include <utility>

#include "spec/VaskReportSpec.h"
#include "util/StrUtil.h"
#include "verify/Verify.h"

namespace verify {

namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// Names of the split files, composed as the run composes them.
class SplitNames {
 public:
  explicit SplitNames(const VaskReportSpec& spec) : m_Spec(spec) {
    char directory[256], name[256];
    SplitPath(spec.ExpandedPath, directory, name);
    m_Directory = directory;
    m_Name = name;
  }
  std::string Slot(int level, int state) const {
    std::string path = m_Directory;
    if (m_Spec.SortIntoBdt) path += LEVEL_PREFIXES[level];
    if (m_Spec.SortIntoStates) path += StateName(state) + "_";
    return path + m_Name;
  }
  std::string Special(const char* prefix) const { return m_Directory + prefix + m_Name; }

 private:
  const VaskReportSpec& m_Spec;
  std::string m_Directory;
  std::string m_Name;
};

// The file a route's lines go to; "" for the unrouted lines' own file.
std::string RouteFile(const VaskReportSpec& spec, const SplitNames& names,
                      const Lodgement& lodgement, int route) {
  const int residue = spec.SortIntoBdt ? LEVEL_BR : 0;
  const int unbarcoded = spec.SortIntoBdt ? LEVEL_UR : 0;
  if (route < ROUTE_FIRST_UNBARCODED) {
    const int bsp = route + 1;
    const int level = lodgement.Bsp[bsp].Volume ? LEVEL_BDT : residue;
    return names.Slot(level, spec.SortIntoStates ? BspState(bsp) : 0);
  }
  if (route < ROUTE_UNKNOWN_STATE)
    return names.Slot(unbarcoded, spec.SortIntoStates ? route - ROUTE_FIRST_UNBARCODED : 0);
  if (route == ROUTE_UNKNOWN_STATE)
    return spec.SortIntoStates ? names.Special("ERR_UR_") : names.Slot(unbarcoded, 0);
  return names.Special("ERR_");
}

// Where a route comes in lodgement order.
int RouteRank(const Lodgement& lodgement, int route) {
  if (route < ROUTE_FIRST_UNBARCODED) return (lodgement.Bsp[route + 1].Volume ? 0 : 100) + route;
  return 200 + route;
}

std::string RouteName(const Lodgement& lodgement, int route) {
  if (route < ROUTE_FIRST_UNBARCODED)
    return (lodgement.Bsp[route + 1].Volume ? "direct BSP " : "residue BSP ") +
           std::to_string(route + 1);
  if (route < ROUTE_UNKNOWN_STATE) return "unbarcoded " + StateName(route - ROUTE_FIRST_UNBARCODED);
  if (route == ROUTE_UNKNOWN_STATE) return "unbarcoded of unknown state";
  return "lines without a sort level";
}

void CheckOrder(const Lodgement& lodgement, const Recount& recount, CheckLog& log) {
  const std::string check = "resorted data file order";
  if (recount.RunsOverflow) return log.Diff(check, "records of one sort plan apart", "lodgement order");
  for (size_t i = 1; i < recount.Runs.size(); ++i) {
    const int before = recount.Runs[i - 1], after = recount.Runs[i];
    if (RouteRank(lodgement, after) > RouteRank(lodgement, before)) continue;
    return log.Diff(check, RouteName(lodgement, after) + " after " + RouteName(lodgement, before),
                    "lodgement order");
  }
  log.Ok(check);
}

}  // namespace

void CheckSplitFiles(const VaskReportSpec& spec, const Lodgement& lodgement,
                     const Recount& recount, CheckLog& log) {
  const SplitNames names(spec);
  std::vector<std::pair<std::string, LineDigest>> files;  // in the run's order of creation
  auto expect = [&files](const std::string& path) -> LineDigest& {
    for (auto& file : files)
      if (file.first == path) return file.second;
    files.emplace_back(path, LineDigest());
    return files.back().second;
  };
  const int levels = spec.SortIntoBdt ? LEVEL_COUNT : 1;
  const int states = spec.SortIntoStates ? RECOUNT_STATES : 1;
  for (int level = 0; level < levels; ++level)
    for (int state = 0; state < states; ++state) expect(names.Slot(level, state));
  if (spec.SortIntoStates) expect(names.Special("ERR_UR_"));
  for (int route = 0; route < ROUTE_COUNT; ++route) {
    if (route == ROUTE_UNKNOWN_STATE + 1) continue;  // no route of its own
    if (route == ROUTE_UNROUTED && !recount.Routes[route].Count) continue;
    expect(RouteFile(spec, names, lodgement, route)) += recount.Routes[route];
  }
  for (const auto& [path, wanted] : files) {
    LineDigest found;
    if (!DigestFile(path, spec.FieldNamesOnFirstLine, false, found))
      log.Diff(path + " vs recount", "missing", wanted.Describe());
    else if (found != wanted)
      log.Diff(path + " vs recount", found.Describe(), wanted.Describe());
    else
      log.Ok(path + " vs recount: " + found.Describe());
  }
  const std::string unrouted = names.Special("ERR_");
  if (!recount.Routes[ROUTE_UNROUTED].Count && Exists(unrouted))
    log.Diff(unrouted, "present", "absent, since every record has its sort level");
}

void CheckResortedFile(const VaskReportSpec& spec, const std::string& outputDirectory,
                       const Lodgement& lodgement, const Recount& recount, CheckLog& log) {
  const std::string path = RunDirectory(spec, outputDirectory) + RUN_DIGEST_NAME;
  const std::string check = "resorted data file vs original (" + path + ")";
  RunDigestFile digest;
  if (!Exists(path))
    log.Skip(check, "no digest of the original records, so they cannot be compared record for "
                    "record (a run through the C interface keeps none; vaskreport run records it)");
  else if (!ReadRunDigestFile(path, digest))
    log.Diff(path, "unreadable", "the digest the run keeps of the data file");
  else if (digest.DataFile != spec.ExpandedPath)
    log.Diff(path + " data file", digest.DataFile, spec.ExpandedPath);
  else if (recount.Lines != digest.Records)
    log.Diff(check, recount.Lines.Describe(), digest.Records.Describe());
  else
    log.Ok(check + ": " + recount.Lines.Describe());
  CheckOrder(lodgement, recount, log);
}

}  // namespace verify
