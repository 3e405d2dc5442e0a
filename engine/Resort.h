#ifndef VASKREPORT_ENGINE_RESORT_H
#define VASKREPORT_ENGINE_RESORT_H

#include <fstream>

#include "util/Export.h"

class ManifestInfo;
class VaskReportSpec;

// The buckets are joined through a buffer of this size.
enum { COPY_BUFFER_SIZE = 1048576 };

// Joins the buckets in lodgement order into the split files and the resort
// copy (63.tmp), calling progress with -1 .. -63.
VR_API int SortIntoFiles(const ManifestInfo& info, const VaskReportSpec& spec, char* message,
                         int (*progress)(int), const char* tempDirectory);
// SortIntoFiles; with removeCopied, each bucket is removed as soon as it has
// been copied, so its pages serve the files still to be written (the run
// removes every bucket afterwards anyway).
int SortBuckets(const ManifestInfo& info, const VaskReportSpec& spec, char* message,
                int (*progress)(int), const char* tempDirectory, bool removeCopied);
VR_API int AppendTempFile(char* buffer, int index, std::ofstream& out, bool alsoResort,
                          std::ofstream& resort, char* message, const char* tempDirectory);

#endif
