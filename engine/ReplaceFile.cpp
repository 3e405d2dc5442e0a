#include "engine/ReplaceFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "engine/ReportErrors.h"
#include "engine/Resort.h"
#include "util/StrUtil.h"

namespace {

enum { SIDE_NAME_ATTEMPTS = 100 };

bool CopyContent(FILE* from, FILE* to) {
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[COPY_BUFFER_SIZE]);
  if (!buffer) return false;
  while (size_t got = std::fread(buffer.get(), 1, COPY_BUFFER_SIZE, from))
    if (std::fwrite(buffer.get(), 1, got, to) != got) return false;
  return !std::ferror(from);
}

// Creates a file of a fresh name beside the data file; "x" never reuses one.
FILE* CreateSideFile(const char* dataPath, std::string& name) {
  char directory[256], base[256];
  SplitPath(dataPath, directory, base);
  for (int attempt = 0; attempt < SIDE_NAME_ATTEMPTS; ++attempt) {
    name = std::string(directory) + "." + base + ".resort" + std::to_string(attempt);
    if (FILE* file = std::fopen(name.c_str(), "wbx")) return file;
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

// Whether the file at path is still the one described by read: the same
// file and, for a regular file, of the same size and modification time (a
// pipe's time moves as it is written to).
bool Unchanged(const char* path, const struct stat* read) {
  struct stat now;
  if (!read) return true;
  if (stat(path, &now) != 0 || now.st_dev != read->st_dev || now.st_ino != read->st_ino)
    return false;
  return !S_ISREG(read->st_mode) ||
         (now.st_size == read->st_size && now.st_mtim.tv_sec == read->st_mtim.tv_sec &&
          now.st_mtim.tv_nsec == read->st_mtim.tv_nsec);
}

bool ReplaceAcrossFileSystems(const char* copyName, const char* dataPath,
                              const struct stat* read) {
  SelfClosingFILE from;
  if (!from.Open(copyName, "rb", false)) return false;
  std::string sideName;
  FILE* side = CreateSideFile(dataPath, sideName);
  if (!side) return false;
  CopyPermissions(sideName.c_str(), dataPath);
  bool copied = CopyContent(from.f(), side);
  if (std::fclose(side) != 0) copied = false;
  // The copy took a while; the data file must still be the one read.
  if (copied && Unchanged(dataPath, read) && std::rename(sideName.c_str(), dataPath) == 0)
    return true;
  std::remove(sideName.c_str());
  return false;
}

}  // namespace

int ReplaceDataFile(const char* tempDirectory, const char* dataPath, const struct stat* read,
                    char* message) {
  char copyName[TEMP_NAME_SIZE];
  MakeTempFileName(copyName, TEMP_RESORT_COPY, tempDirectory);
  // The resorted file keeps the mode of the file it replaces.
  CopyPermissions(copyName, dataPath);
  const bool same = Unchanged(dataPath, read);
  if (same && std::rename(copyName, dataPath) == 0) return 0;
  if (same && errno == EXDEV && ReplaceAcrossFileSystems(copyName, dataPath, read)) {
    std::remove(copyName);
    return 0;
  }
  if (message) {
    strncpyz(message, copyName, 255);
    strncatz(message, " -> ", 255);
    strncatz(message, dataPath, 255);
  }
  return ERR_VASKREPORT_RENAME_FILE;
}
