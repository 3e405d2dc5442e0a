#ifndef VASKREPORT_ENGINE_REPLACEFILE_H
#define VASKREPORT_ENGINE_REPLACEFILE_H

#include <sys/stat.h>

// Replaces the data file by the resort copy (63.tmp in tempDirectory) in one
// rename, by way of a copy beside the data file when the two lie on different
// file systems. On failure the data file is untouched, 63.tmp stays, and the
// result is ERR_VASKREPORT_RENAME_FILE with "63.tmp path -> data-file path"
// in message. read, when not null, is what stat said of the data file when
// it was opened: a file that has changed or been replaced since holds
// records the copy lacks, so it is not replaced (the same code); nor is
// anything but a regular file.
int ReplaceDataFile(const char* tempDirectory, const char* dataPath, const struct stat* read,
                    char* message);

#endif
