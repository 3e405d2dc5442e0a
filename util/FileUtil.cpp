#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cstdio>
#include <cstring>

#include "util/StrUtil.h"

namespace {

const size_t kMaxPath = MAX_TEXT;

// A directory that appears between the check and the mkdir (another process,
// or a doubled "/" in the path) is as good as one made here.
// A directory made here stays one the run can write in, whatever the umask.
bool MakeOne(const char* path) {
  if (mkdir_(path) != 0) return DirectoryExists_(path);
  struct stat st;
  if (stat(path, &st) == 0 && (st.st_mode & (S_IWUSR | S_IXUSR)) != (S_IWUSR | S_IXUSR) &&
      chmod(path, (st.st_mode & 07777) | S_IRWXU) != 0) {
  }
  return true;
}

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

// The permissions of both, or false unless both are regular files of the same
// owner and group: only then do the same bits let the same people in. (A
// file of another owner or group would need its owner changed to match, which
// is not done; such files keep the mode they were made with.)
bool ComparablePermissions(const struct stat& mine, const char* model, mode_t& own,
                           mode_t& models) {
  struct stat of;
  if (stat(model, &of) != 0) return false;
  if (!S_ISREG(mine.st_mode) || !S_ISREG(of.st_mode)) return false;
  if (mine.st_uid != of.st_uid || mine.st_gid != of.st_gid) return false;
  own = mine.st_mode & 07777;
  models = of.st_mode & 07777;
  return true;
}

// The owner is the one writing the file and keeps what it was made with.
mode_t Narrowed(mode_t own, mode_t models) { return own & (models | S_IRWXU); }

// Best effort: some file systems keep no modes.
void SetMode(int fd, mode_t mode) {
  if (fchmod(fd, mode) != 0) {
  }
}

}  // namespace

void FitPermissions(int fd, const char* model, FileMode how) {
  struct stat mine;
  mode_t own, models;
  if (how == MODE_AS_MADE || !model || fstat(fd, &mine) != 0 ||
      !ComparablePermissions(mine, model, own, models))
    return;
  const mode_t wanted = how == MODE_NARROWED ? Narrowed(own, models) : models;
  if (wanted != own) SetMode(fd, wanted);
}

namespace {

// A file of an earlier run that cannot be removed (its directory is closed
// to the runner, the file is not) is emptied instead: only a regular file of
// the runner's own, of one name, never through a link; a file of another
// owner would let that owner read what is written.
int TruncateLeftover(const char* path, const struct stat& leftover, bool readable) {
  if (!S_ISREG(leftover.st_mode) || leftover.st_nlink != 1 || leftover.st_uid != geteuid())
    return -1;
  const int fd = open(path, (readable ? O_RDWR : O_WRONLY) | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
  struct stat opened;
  if (fd >= 0 && (fstat(fd, &opened) != 0 || opened.st_dev != leftover.st_dev ||
                  opened.st_ino != leftover.st_ino)) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

int CreateNewFile(const char* path, const char* model, FileMode how, bool readable) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    // Whatever is at the name (a file of an earlier run, a link planted
    // there) is removed, never written through; a directory stays and fails.
    struct stat st;
    const bool found = lstat(path, &st) == 0 && !S_ISDIR(st.st_mode);
    if (found && unlink(path) != 0 && (errno == EACCES || errno == EPERM)) {
      const int fd = TruncateLeftover(path, st, readable);
      if (fd >= 0) FitPermissions(fd, model, how);
      return fd;
    }
    int fd = open(path, (readable ? O_RDWR : O_WRONLY) | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                  0666);
    if (fd >= 0) {
      FitPermissions(fd, model, how);
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  return -1;
}

bool OpenNewStream(std::ofstream& out, const char* path, const char* model, FileMode how,
                   std::ios::openmode mode) {
  const int fd = CreateNewFile(path, model, how);
  if (fd < 0) return false;
  // The stream opens the very file made above, whatever the name holds now.
  // Opening it again checks its mode, which a umask may have made read-only
  // (the first open, which made it, was let write): the owner may write it
  // while it is opened.
  struct stat made {};
  const bool readOnly = fstat(fd, &made) == 0 && !(made.st_mode & S_IWUSR);
  if (readOnly) SetMode(fd, (made.st_mode & 07777) | S_IWUSR);
  char self[64];
  snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
  out.open(self, mode | std::ios::out | std::ios::trunc);
  if (!out.is_open()) {
    // Without /proc, by name, neither creating nor truncating should the name
    // have been replaced in between; the file must still be the one made.
    out.clear();
    out.open(path, (mode & ~std::ios::trunc) | std::ios::in | std::ios::out);
    struct stat now;
    if (out.is_open() && (lstat(path, &now) != 0 || made.st_dev != now.st_dev ||
                          made.st_ino != now.st_ino))
      out.close();
  }
  if (readOnly) SetMode(fd, made.st_mode & 07777);
  close(fd);
  return out.is_open();
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

void SplitPath(const char* path, char* directory, char* name) {
  size_t cut = strlen(path);
  while (cut > 0 && !strchr("/\\:", path[cut - 1])) --cut;
  strncpyz(directory, path, cut < MAX_TEXT ? cut : static_cast<size_t>(MAX_TEXT));
  strncpyz(name, path + cut, MAX_TEXT);
}
