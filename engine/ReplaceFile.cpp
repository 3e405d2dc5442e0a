#include "engine/ReplaceFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "engine/SelfClosingFILE.h"
#include "engine/TempFiles.h"
#include "include/vaskreport.h"
#include "util/StrUtil.h"

namespace {

enum { SIDE_NAME_ATTEMPTS = 100, COPY_BUFFER_SIZE = 1048576 };

bool CopyContent(FILE* from, FILE* to) {
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[COPY_BUFFER_SIZE]);
  if (!buffer) return false;
  while (size_t got = std::fread(buffer.get(), 1, COPY_BUFFER_SIZE, from))
    if (std::fwrite(buffer.get(), 1, got, to) != got) return false;
  return !std::ferror(from);
}

// Creates a file of a fresh name beside the data file; "x" never reuses one.
FILE* CreateSideFile(const char* dataPath, std::string& name) {
  const std::string path(dataPath);
  const size_t cut = path.find_last_of('/') + 1;  // 0 without a directory
  for (int attempt = 0; attempt < SIDE_NAME_ATTEMPTS; ++attempt) {
    name = path.substr(0, cut) + "." + path.substr(cut) + ".resort" + std::to_string(attempt);
    if (FILE* file = std::fopen(name.c_str(), "wbx")) return file;
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

// Whether the file at path is a regular file and, given read, still the one
// read: the same file, of the same size and modification time. Nothing is
// renamed over a pipe, a device or a directory.
bool Unchanged(const char* path, const struct stat* read) {
  struct stat now;
  if (lstat(path, &now) != 0 || !S_ISREG(now.st_mode)) return false;
  if (!read) return true;
  return now.st_dev == read->st_dev && now.st_ino == read->st_ino &&
         now.st_size == read->st_size && now.st_mtim.tv_sec == read->st_mtim.tv_sec &&
         now.st_mtim.tv_nsec == read->st_mtim.tv_nsec;
}

// The file a rename must replace: a data file given as a symbolic link is
// replaced where the link points, and the link stays a link.
std::string RenameTarget(const char* dataPath) {
  struct stat st;
  if (lstat(dataPath, &st) != 0 || !S_ISLNK(st.st_mode)) return dataPath;
  char* resolved = realpath(dataPath, nullptr);
  if (!resolved) return dataPath;
  std::string target(resolved);
  std::free(resolved);
  return target;
}

// The resorted file keeps the mode of the file it replaces; set on the copy
// itself, never through a link at its name.
void TakeModeOf(const char* copyName, const char* model) {
  const int fd = open(copyName, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  FitPermissions(fd, model, MODE_COPIED);
  close(fd);
}

bool ReplaceAcrossFileSystems(const char* copyName, const char* dataPath,
                              const struct stat* read) {
  SelfClosingFILE from;
  if (!from.Open(copyName, "rb", false)) return false;
  std::string sideName;
  FILE* side = CreateSideFile(dataPath, sideName);
  if (!side) return false;
  FitPermissions(fileno(side), dataPath, MODE_COPIED);
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
  const std::string target = RenameTarget(dataPath);
  TakeModeOf(copyName, target.c_str());
  const bool same = Unchanged(target.c_str(), read);
  if (same && std::rename(copyName, target.c_str()) == 0) return 0;
  if (same && errno == EXDEV && ReplaceAcrossFileSystems(copyName, target.c_str(), read)) {
    std::remove(copyName);
    return 0;
  }
  if (message) {
    strncpyz(message, copyName, MAX_TEXT);
    strncatz(message, " -> ", MAX_TEXT);
    strncatz(message, dataPath, MAX_TEXT);
  }
  return ERR_VASKREPORT_RENAME_FILE;
}
