#include "engine/DirLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "include/vaskreport.h"
#include "util/StrUtil.h"

DirLock::DirLock() : m_Fd(-1) {}

DirLock::~DirLock() { Release(); }

int DirLock::Acquire(const char* directory, char* message) {
  Release();
  const char* path = *directory ? directory : ".";
  int fd = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0) {
    m_Fd = fd;
    return 0;
  }
  const bool held = fd >= 0 && errno == EWOULDBLOCK;
  if (fd >= 0) close(fd);
  if (message) {
    strncpyz(message, path, MAX_TEXT);
    if (held) strncatz(message, ". another run is using this directory", MAX_TEXT);
  }
  return ERR_VASKREPORT_OPEN_SORT_FILE;
}

void DirLock::Release() {
  if (m_Fd < 0) return;
  close(m_Fd);  // closing the only descriptor drops the lock
  m_Fd = -1;
}
