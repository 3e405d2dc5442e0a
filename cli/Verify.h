#ifndef VASKREPORT_CLI_VERIFY_H
#define VASKREPORT_CLI_VERIFY_H

#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "Recount.h"

class VaskReportSpec;

// Checks a finished run's documents and files against each other and against
// a fresh recount of the data file. Prints "OK  <check>" or
// "DIFF <check>: <left> vs <right>" lines; returns 0 only when all agree.
int VerifyCommand(const std::string& specPath, std::ostream& out);
// The same for a loaded, validated specification; outputDirectory empty means
// the specification's own.
int VerifyLodgement(const VaskReportSpec& spec, const std::string& outputDirectory,
                    std::ostream& out);

// Before a run that rewrites the data file: keeps a digest of its record lines
// in the output directory (empty: the specification's), made if missing.
// Returns 0, or ERR_VASKREPORT_CREATE_DIRECTORY, ERR_VASKREPORT_OPEN_FILE,
// ERR_VASKREPORT_READ_FILE or ERR_VASKREPORT_WRITE_FILE.
int WriteRunDigest(const VaskReportSpec& spec, const std::string& outputDirectory);

// WriteRunDigest beside a run: the data file is opened by Start, so the
// digest is of the original even when the run replaces it, and read by a
// thread of its own while the run reads it too. Finish waits and writes the
// digest file, with WriteRunDigest's results.
class RunDigestTask {
 public:
  RunDigestTask();
  ~RunDigestTask();
  RunDigestTask(const RunDigestTask&) = delete;
  RunDigestTask& operator=(const RunDigestTask&) = delete;

  int Start(const VaskReportSpec& spec, const std::string& outputDirectory);
  int Finish();

 private:
  struct State;
  std::unique_ptr<State> m_State;
};

// The run's figures, from a pass of its own over the data file, as one JSON
// document.
void WriteRunJson(const VaskReportSpec& spec, const std::vector<std::string>& filesWritten,
                  std::ostream& out);

namespace verify {

enum { LEVEL_BDT, LEVEL_BR, LEVEL_UR, LEVEL_COUNT };

struct Count {
  uint64_t Volume = 0;
  uint64_t Trays = 0;
};

struct LevelCounts {
  Count Level[LEVEL_COUNT];
  Count Total;
};

// Volumes and trays worked out here from a recount, not by the run's tallies.
struct Lodgement {
  Count Bsp[RECOUNT_BSPS + 1];  // direct-tray BSPs only
  LevelCounts State[RECOUNT_STATES];
  LevelCounts Same;
  LevelCounts Other;
  LevelCounts Mailing;
};

Lodgement Tally(const VaskReportSpec& spec, const Recount& recount);
bool IsDirect(const VaskReportSpec& spec, uint64_t volume);

extern const char* const LEVEL_NAMES[LEVEL_COUNT];
std::string StateName(int state);
// Figure names shared by the documents: "BDT BSP 03 trays", "BR NSW volume".
std::string BspKey(int bsp, const char* what);
std::string StateKey(int level, int state, const char* what);

// Named figures of one document or of the recount, e.g. "BR NSW trays".
using Figures = std::map<std::string, uint64_t>;

// What could be read from a document; Problems are lines that fit no layout.
struct Document {
  bool Found = false;
  Figures Values;
  std::vector<std::string> Problems;
};

Document ReadManifestCsv(const std::string& path);
Document ReadLodgementInfo(const std::string& path);
Document ReadLabelPlan(const std::string& path, char prefix);
Document ReadMatchingSummary(const std::string& path);

Figures ExpectedManifestCsv(const Lodgement& lodgement);
Figures ExpectedLodgementInfo(const Lodgement& lodgement);
Figures ExpectedLabelPlan(const Lodgement& lodgement);
Figures ExpectedMatchingSummary(const Recount& recount);
// Cross-document views of a read manifest CSV.
Figures CsvTrays(const Figures& csv);
Figures CsvLevelTotals(const Figures& csv);
Figures Subset(const Figures& figures, const Figures& keys);

class CheckLog {
 public:
  explicit CheckLog(std::ostream& out) : m_Out(out) {}
  void Ok(const std::string& check);
  void Diff(const std::string& check, const std::string& left, const std::string& right);
  // One DIFF per differing figure, or one OK.
  void Compare(const std::string& check, const Figures& left, const Figures& right);
  // A document's own problems, then its figures against what they should be.
  void CompareDocument(const std::string& name, const Document& document, const Figures& expected,
                       const std::string& against);
  bool Failed() const { return m_Failed; }

 private:
  std::ostream& m_Out;
  bool m_Failed = false;
};

// Split files and the resorted data file against the recount.
void CheckSplitFiles(const VaskReportSpec& spec, const Lodgement& lodgement,
                     const Recount& recount, CheckLog& log);
void CheckResortedFile(const VaskReportSpec& spec, const std::string& outputDirectory,
                       const Lodgement& lodgement, const Recount& recount, CheckLog& log);

// The output directory a run uses: the given one or the specification's,
// with a final "/" when not empty.
std::string RunDirectory(const VaskReportSpec& spec, const std::string& outputDirectory);

}  // namespace verify

#endif
