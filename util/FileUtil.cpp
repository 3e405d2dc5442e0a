#include <dirent.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "util/StrUtil.h"

namespace {

const size_t kMaxPath = 255;

// A directory that appears between the check and the mkdir (another process,
// or a doubled "/" in the path) is as good as one made here.
bool MakeOne(const char* path) { return mkdir_(path) == 0 || DirectoryExists_(path); }

// Cuts the path back to its deepest existing directory; creates the first
// component when none of its ancestors exist.
bool WalkUp(char* path) {
  while (*path && !DirectoryExists_(path)) {
    char* slash = strrchr(path, '/');
    if (!slash) return MakeOne(path);
    *slash = '\0';
  }
  return true;
}

bool WalkDown(char* path, size_t end) {
  for (size_t len = strlen(path); len < end; len = strlen(path)) {
    path[len] = '/';
    if (!MakeOne(path)) return false;
  }
  return true;
}

}  // namespace

void RemoveToRewrite(const char* path) {
  struct stat st;
  if (stat(path, &st) == 0 && S_ISREG(st.st_mode)) std::remove(path);
}

namespace {

// The permissions of both, or false unless both are regular files of the same
// owner and group: only then do the same bits let the same people in. (A
// file of another owner or group would need its owner changed to match, which
// is not done; such files keep the mode they were made with.)
bool ComparablePermissions(const char* path, const char* model, std::filesystem::perms& own,
                           std::filesystem::perms& models) {
  struct stat mine, of;
  if (stat(path, &mine) != 0 || stat(model, &of) != 0) return false;
  if (!S_ISREG(mine.st_mode) || !S_ISREG(of.st_mode)) return false;
  if (mine.st_uid != of.st_uid || mine.st_gid != of.st_gid) return false;
  own = static_cast<std::filesystem::perms>(mine.st_mode & 07777);
  models = static_cast<std::filesystem::perms>(of.st_mode & 07777);
  return true;
}

void SetPermissions(const char* path, std::filesystem::perms wanted) {
  std::error_code ignored;  // best effort: some file systems keep no modes
  std::filesystem::permissions(path, wanted, std::filesystem::perm_options::replace, ignored);
}

}  // namespace

void NarrowPermissions(const char* path, const char* model) {
  std::filesystem::perms own, models;
  if (!ComparablePermissions(path, model, own, models)) return;
  // The owner is the one writing the file and keeps what it was made with.
  const std::filesystem::perms kept = models | (own & std::filesystem::perms::owner_all);
  if ((own & ~kept) != std::filesystem::perms::none) SetPermissions(path, own & kept);
}

void CopyPermissions(const char* path, const char* model) {
  std::filesystem::perms own, models;
  if (!ComparablePermissions(path, model, own, models)) return;
  if (own != models) SetPermissions(path, models);
}

int mkdir_(const char* path) { return mkdir(path, 0775); }

bool DirectoryExists_(const char* path) {
  DIR* dir = opendir(path);
  if (!dir) return false;
  closedir(dir);
  return true;
}

bool CreateDir(const char* path) {
  if (!path || !*path || strlen(path) > kMaxPath) return false;
  char buffer[kMaxPath + 1];
  strncpyz(buffer, path, kMaxPath);
  size_t end = strlen(buffer);
  if (buffer[end - 1] == '/') buffer[--end] = '\0';
  return WalkUp(buffer) && WalkDown(buffer, end);
}

char* fgets_(char* buffer, int size, FILE* stream) {
  if (!fgets(buffer, size, stream)) return nullptr;
  size_t n = strlen(buffer);
  if (n && buffer[n - 1] == '\n') {
    buffer[--n] = '\0';
    if (n && buffer[n - 1] == '\r') buffer[--n] = '\0';
  }
  return buffer;
}

bool FileExists_(const char* path) {
  FILE* f = fopen(path, "r");
  if (!f) return false;
  fclose(f);
  return true;
}

long ftell_(FILE* stream) { return ftell(stream); }

int fseek_(FILE* stream, long long offset, int origin) {
  return fseek(stream, static_cast<long>(offset), origin);
}
