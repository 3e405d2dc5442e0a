#ifndef VASKREPORT_ENGINE_DIRLOCK_H
#define VASKREPORT_ENGINE_DIRLOCK_H

// An advisory lock on a directory, so that two runs never share its
// temporary files. Released on destruction.
class DirLock {
 public:
  DirLock();
  ~DirLock();
  DirLock(const DirLock&) = delete;
  DirLock& operator=(const DirLock&) = delete;

  // Takes the lock without waiting; the empty directory is the current one.
  // ERR_VASKREPORT_OPEN_SORT_FILE with the directory as detail when it
  // cannot be had, and with ". another run is using this directory" after
  // it when another run holds it.
  int Acquire(const char* directory, char* message);
  void Release();
  bool Held() const { return m_Fd >= 0; }

 private:
  int m_Fd;
};

#endif
