#include "driver/ReportDriver.h"

#include <sys/stat.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "engine/BucketFiles.h"
#include "engine/DirLock.h"
#include "engine/LineReader.h"
#include "engine/ReadPass.h"
#include "engine/RegionSort.h"
#include "engine/ReplaceFile.h"
#include "engine/Resort.h"
#include "engine/Tallies.h"
#include "engine/TempFiles.h"
#include "spec/VaskReportSpec.h"
#include "util/StrUtil.h"
#include "writers/Writers.h"

const ReportError s_ReportErrors[] = {
    {ERR_VASKREPORT_OUTOFMEMORY, "ERR_VASKREPORT_OUTOFMEMORY"},
    {ERR_VASKREPORT_NO_FILE, "ERR_VASKREPORT_NO_FILE"},
    {ERR_VASKREPORT_OPEN_FILE, "ERR_VASKREPORT_OPEN_FILE"},
    {ERR_VASKREPORT_OPEN_SORT_FILE, "ERR_VASKREPORT_OPEN_SORT_FILE"},
    {ERR_VASKREPORT_OPEN_OUTPUT_FILE, "ERR_VASKREPORT_OPEN_OUTPUT_FILE"},
    {ERR_VASKREPORT_DELETE_FILE, "ERR_VASKREPORT_DELETE_FILE"},
    {ERR_VASKREPORT_NO_RECORD_LENGTH, "ERR_VASKREPORT_NO_RECORD_LENGTH"},
    {ERR_VASKREPORT_NO_DPIDFIELD, "ERR_VASKREPORT_NO_DPIDFIELD"},
    {ERR_VASKREPORT_READ_FILE, "ERR_VASKREPORT_READ_FILE"},
    {ERR_VASKREPORT_WRITE_FILE, "ERR_VASKREPORT_WRITE_FILE"},
    {ERR_VASKREPORT_RENAME_FILE, "ERR_VASKREPORT_RENAME_FILE"},
    {ERR_VASKREPORT_USER_CANCELLED, "ERR_VASKREPORT_USER_CANCELLED"},
    {ERR_VASKREPORT_CREATE_DIRECTORY, "ERR_VASKREPORT_CREATE_DIRECTORY"},
    {0, nullptr},
};

void LookupReportError(int code, char* message) {
  if (!message) return;
  *message = '\0';
  for (const ReportError* entry = s_ReportErrors; entry->Name; ++entry) {
    if (entry->Code != code) continue;
    strncpyz(message, entry->Name, MAX_TEXT);
    return;
  }
}

namespace {

enum {
  READ_BUFFER_SIZE = 1048576,
  DIRECTORY_SIZE = MAX_TEXT + 2,  // the directory, the appended "/" and the terminator
};

void SetDetail(char* message, const char* text) {
  if (message) strncpyz(message, text, MAX_TEXT);
}

bool SortingOn(const VaskReportSpec& spec) {
  return spec.SortByBsp || spec.SortIntoBdt || spec.SortIntoStates;
}

// The override or the setting, with a final "/", created with its parents.
int PrepareDirectory(const VaskReportSpec& spec, const char* override, char* directory,
                     char* message) {
  const char* chosen = override && *override ? override : spec.OutputDirectory;
  strncpyz(directory, chosen, MAX_TEXT);
  size_t length = strlen(directory);
  if (length == 0) return 0;
  if (directory[length - 1] != '/') strncpyz(directory + length, "/", 1);
  // A longer text cut to 255 characters would name some other directory.
  if (strlen(chosen) > MAX_TEXT || !CreateDir(directory)) {
    SetDetail(message, directory);
    return ERR_VASKREPORT_CREATE_DIRECTORY;
  }
  return 0;
}

int CheckSpec(const VaskReportSpec& spec) {
  if (!*spec.ExpandedPath) return ERR_VASKREPORT_NO_FILE;
  if (spec.RecordLength < 1) return ERR_VASKREPORT_NO_RECORD_LENGTH;
  if (spec.DpidField < 0 || spec.DpidField >= spec.FieldCount) return ERR_VASKREPORT_NO_DPIDFIELD;
  return 0;
}

bool SameFile(const struct stat& a, const char* path) {
  struct stat b;
  return stat(path, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A data file that bears a temporary file's name would be emptied by the
// run that creates the buckets, and then removed with them.
int CheckDataIsNoTempFile(const char* directory, const struct stat& data, char* message) {
  char name[TEMP_NAME_SIZE];
  for (int i = 0; i <= TEMP_ROUTES; ++i) {
    if (!SameFile(data, MakeTempFileName(name, i, directory))) continue;
    SetDetail(message, name);
    return ERR_VASKREPORT_OPEN_SORT_FILE;
  }
  return 0;
}

// Nor may the data file be one of the documents the run is about to write
// over it, with every record read but none kept.
int CheckDataIsNoReport(const VaskReportSpec& spec, const char* directory, const struct stat& data,
                        char* message) {
  static const struct {
    const char* Name;
    bool VaskReportSpec::*Wanted;
  } s_Reports[] = {
      {"AddressMatchingSummaryReport.txt", &VaskReportSpec::MatchingReport},
      {"AddressMatchingSummaryReport.htm", &VaskReportSpec::MatchingReport},
      {"ManifestReport.txt", &VaskReportSpec::ManifestReport},
      {"ManifestReport.htm", &VaskReportSpec::ManifestReport},
      {"ManifestReport.csv", &VaskReportSpec::ManifestReport},
      {"LodgementInfo.txt", &VaskReportSpec::ManifestReport},
      {"LodgementInfo.htm", &VaskReportSpec::ManifestReport},
      {"LabelPlanFile.lpf", &VaskReportSpec::LabelPlanFile},
  };
  for (const auto& report : s_Reports) {
    if (!(spec.*report.Wanted)) continue;
    const std::string path = std::string(directory) + report.Name;
    if (!SameFile(data, path.c_str())) continue;
    SetDetail(message, path.c_str());
    return ERR_VASKREPORT_OPEN_FILE;
  }
  return 0;
}

// A pipe or a device can be read only once and cannot be renamed over, so a
// resort of one would lose its records.
int CheckDataCanBeReplaced(const VaskReportSpec& spec, const struct stat& data, char* message) {
  if (!spec.SortByBsp || S_ISREG(data.st_mode)) return 0;
  SetDetail(message, spec.ExpandedPath);
  if (message) strncatz(message, ". not a regular file", MAX_TEXT);
  return ERR_VASKREPORT_OPEN_FILE;
}

int SkipHeaderLine(LineReader& reader) {
  DataLine header;
  int got = reader.Next(header);
  if (got == LineReader::NO_MEMORY) return ERR_VASKREPORT_OUTOFMEMORY;
  return got == LineReader::READ_ERROR ? ERR_VASKREPORT_READ_FILE : 0;
}

// What the join needs of the read pass: with routes, the data file, still
// open, and how much of it was read; else the buckets hold the lines.
struct ReadResult {
  const RunCounts& Counts;
  const BucketFiles& Buckets;
  LineReader& Reader;
  bool Routes;
  unsigned long long DataBytes;
};

int Join(const ManifestInfo& info, const VaskReportSpec& spec, const char* directory,
         const ReadResult& read, char* message, int (*progress)(int)) {
  if (!read.Routes) return SortBuckets(info, spec, message, progress, directory, true);
  return SortIntoRegions(info, spec, message, progress, directory, read.Reader, read.DataBytes,
                         read.Buckets);
}

int WriteOutputs(const VaskReportSpec& spec, const char* directory, const ReadResult& read,
                 const struct stat* data, char* message, int (*progress)(int)) {
  const RunCounts& counts = read.Counts;
  ManifestInfo info;
  RunCounts volumes = counts;  // Calculate takes its arrays as non-const
  info.Calculate(spec, volumes.BspVolumes, volumes.UnbarcodedVolumes);
  if (SortingOn(spec)) {
    int rc = Join(info, spec, directory, read, message, progress);
    read.Reader.Close();
    if (rc) return rc;
  }
  if (spec.MatchingReport)
    if (int rc = WriteAddressMatchingSummaryReport(
            directory, spec, counts.Matched, counts.Amended, counts.PreCleaned,
            counts.ManuallyAmended, counts.NotMatched, counts.Read, message))
      return rc;
  if (spec.ManifestReport) {
    if (int rc = WriteManifestReport(directory, info, spec, message)) return rc;
    if (int rc = WriteLodgementInfo(directory, info, message)) return rc;
  }
  if (spec.LabelPlanFile)
    if (int rc = WriteLabelPlanFile(directory, info, spec, message)) return rc;
  if (spec.SortByBsp) return ReplaceDataFile(directory, spec.ExpandedPath, data, message);
  return 0;
}

// Read pass and outputs; the buckets are removed before the lock is let go.
int Run(const VaskReportSpec& spec, const char* directory, char* message, int (*progress)(int)) {
  LineReader reader;
  std::unique_ptr<char[]> record(new (std::nothrow) char[spec.RecordLength + 1]);
  if (!reader.Allocate(READ_BUFFER_SIZE) || !record) return ERR_VASKREPORT_OUTOFMEMORY;
  // Refused before the open, which would wait for a pipe's writer.
  struct stat data;
  if (stat(spec.ExpandedPath, &data) == 0)
    if (int rc = CheckDataCanBeReplaced(spec, data, message)) return rc;
  if (!reader.Open(spec.ExpandedPath)) {
    SetDetail(message, spec.ExpandedPath);
    return ERR_VASKREPORT_OPEN_FILE;
  }
  // The file as it is read; the resort replaces it only if it is still so.
  const bool found = reader.Stat(data);
  if (found)
    if (int rc = CheckDataCanBeReplaced(spec, data, message)) return rc;
  if (spec.FieldNamesOnFirstLine)
    if (int rc = SkipHeaderLine(reader)) return rc;
  const bool sorting = SortingOn(spec);
  if (found)
    if (int rc = CheckDataIsNoReport(spec, directory, data, message)) return rc;
  DirLock lock;
  if (sorting) {
    if (int rc = lock.Acquire(directory, message)) return rc;
    if (found)
      if (int rc = CheckDataIsNoTempFile(directory, data, message)) return rc;
  }
  // A file that can be read again is, instead of being copied to buckets.
  const bool routes = sorting && found && S_ISREG(data.st_mode);
  BucketFiles buckets;
  int rc = sorting ? buckets.Create(directory, message, spec.ExpandedPath, routes) : 0;
  RunCounts counts = {};
  if (!rc) rc = ReadDataFile(spec, reader, record.get(), sorting ? &buckets : nullptr, counts,
                             progress);
  const ReadResult read = {counts, buckets, reader, routes, reader.BytesRead()};
  if (!routes) reader.Close();
  int closed = buckets.Close();
  if (!rc) rc = closed;
  if (rc == ERR_VASKREPORT_WRITE_FILE) buckets.NameFailure(directory, message);
  if (!rc) rc = WriteOutputs(spec, directory, read, found ? &data : nullptr, message, progress);
  if (sorting) BucketFiles::Remove(directory);
  return rc;
}

// The code's name, then "\n" and the detail already in message when both fit.
void ComposeMessage(int rc, char* message) {
  char name[TEXT_SIZE];
  LookupReportError(rc, name);
  if (*name && *message && strlen(name) + strlen(message) + 1 <= MAX_TEXT - 1) {
    char detail[TEXT_SIZE];
    strncpyz(detail, message, MAX_TEXT);
    strncpyz(message, name, MAX_TEXT);
    strncatz(message, "\n", MAX_TEXT);
    strncatz(message, detail, MAX_TEXT);
    return;
  }
  strncpyz(message, name, MAX_TEXT);
}

}  // namespace

int CreateReports(const VaskReportSpec& spec, const char* outputDirectory, char* message,
                  int (*progress)(int)) {
  if (message) *message = '\0';
  char directory[DIRECTORY_SIZE];
  int rc = PrepareDirectory(spec, outputDirectory, directory, message);
  if (!rc) rc = CheckSpec(spec);
  if (!rc) rc = Run(spec, directory, message, progress);
  if (rc && message) ComposeMessage(rc, message);
  return rc;
}
