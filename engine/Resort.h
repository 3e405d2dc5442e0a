#ifndef VASKREPORT_ENGINE_RESORT_H
#define VASKREPORT_ENGINE_RESORT_H

#include <cstdio>
#include <fstream>

#include "util/Export.h"

class ManifestInfo;
class VaskReportSpec;

enum {
  TEMP_FIRST_UNBARCODED = 54,  // 54 + state number
  TEMP_UNKNOWN_STATE = 62,
  TEMP_BUCKET_COUNT = 63,      // buckets 00..62 written during the read pass
  TEMP_RESORT_COPY = 63,       // the data file in lodgement order
  TEMP_UNROUTED = 64,          // lines that reach no other bucket
  COPY_BUFFER_SIZE = 1048576,
  // A temporary file name is the output directory (at most 256 characters
  // with its "/"), two digits and ".tmp"; buffers of this size always hold it.
  TEMP_NAME_SIZE = 272,
};

// Owns one stdio stream and closes it on destruction.
class VR_API SelfClosingFILE {
 public:
  SelfClosingFILE();
  ~SelfClosingFILE();
  SelfClosingFILE(const SelfClosingFILE&) = delete;
  SelfClosingFILE& operator=(const SelfClosingFILE&) = delete;
  void Close();
  bool Open(const char* name, const char* mode, bool reportFailure);
  FILE* f() const;

 private:
  FILE* m_File;
};

VR_API int SortIntoFiles(const ManifestInfo& info, const VaskReportSpec& spec, char* message,
                         int (*progress)(int), const char* tempDirectory);
// SortIntoFiles; with removeCopied, each bucket is removed as soon as it has
// been copied, so its pages serve the files still to be written (the run
// removes every bucket afterwards anyway).
int SortBuckets(const ManifestInfo& info, const VaskReportSpec& spec, char* message,
                int (*progress)(int), const char* tempDirectory, bool removeCopied);
VR_API int AppendTempFile(char* buffer, int index, std::ofstream& out, bool alsoResort,
                          std::ofstream& resort, char* message, const char* tempDirectory);
VR_API int OpenOutputFile(std::ofstream& out, const char* fileName, const VaskReportSpec& spec,
                          char* message);
// dst holds TEMP_NAME_SIZE characters.
VR_API char* MakeTempFileName(char* dst, int index, const char* tempDirectory);
VR_API void SplitPath(const char* path, char* directory, char* name);

#endif
