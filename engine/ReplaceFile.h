#ifndef VASKREPORT_ENGINE_REPLACEFILE_H
#define VASKREPORT_ENGINE_REPLACEFILE_H

// Replaces the data file by the resort copy (63.tmp in tempDirectory) in one
// rename, by way of a copy beside the data file when the two lie on different
// file systems. On failure the data file is untouched, 63.tmp stays, and the
// result is 11111 with "63.tmp path -> data-file path" in message.
int ReplaceDataFile(const char* tempDirectory, const char* dataPath, char* message);

#endif
