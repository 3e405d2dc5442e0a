#include "engine/BucketFiles.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "include/vaskreport.h"
#include "util/StrUtil.h"

BucketFiles::BucketFiles()
    : m_Files{}, m_Buffers(nullptr), m_Used{}, m_Failed(false), m_FailedIndex(-1), m_Routes(-1),
      m_RoutesUsed(0), m_Bytes{} {}

BucketFiles::~BucketFiles() {
  for (FILE*& file : m_Files)
    if (file) std::fclose(file);
  if (m_Routes >= 0) close(m_Routes);
  delete[] m_Buffers;
}

int BucketFiles::Create(const char* tempDirectory, char* message, const char* dataFile,
                        bool routesOnly) {
  // The routes need one buffer, the buckets one each.
  const size_t buffers = routesOnly ? 1 : SLOTS;
  if (!m_Buffers) m_Buffers = new (std::nothrow) char[buffers * BUFFER_SIZE];
  if (!m_Buffers) return ERR_VASKREPORT_OUTOFMEMORY;
  char name[TEMP_NAME_SIZE];
  // Every bucket name is made even when nothing is written to it: a leftover
  // of that name is gone, and the join finds each of them in its turn.
  for (int i = 0; i <= (routesOnly ? TEMP_ROUTES : TEMP_UNROUTED); ++i) {
    if (!IsBucket(i)) continue;
    MakeTempFileName(name, i, tempDirectory);
    const int fd = CreateNewFile(name, dataFile, MODE_NARROWED, i == TEMP_ROUTES);
    FILE* file = fd >= 0 && !routesOnly ? fdopen(fd, "wb") : nullptr;
    if (fd < 0 || (!routesOnly && !file)) {
      if (fd >= 0) close(fd);
      if (message) strncpyz(message, name, MAX_TEXT);
      return ERR_VASKREPORT_OPEN_SORT_FILE;
    }
    if (i == TEMP_ROUTES) {
      m_Routes = fd;
    } else if (routesOnly) {
      close(fd);
    } else {
      // Our own buffer already batches the writes.
      std::setvbuf(file, nullptr, _IONBF, 0);
      m_Files[i] = file;
      m_Used[i] = 0;
    }
  }
  return 0;
}

bool BucketFiles::FlushRoutes() {
  for (size_t done = 0; done < m_RoutesUsed;) {
    const ssize_t wrote = write(m_Routes, m_Buffers + done, m_RoutesUsed - done);
    if (wrote <= 0) {
      Fail(TEMP_ROUTES);
      break;
    }
    done += static_cast<size_t>(wrote);
  }
  m_RoutesUsed = 0;
  return !m_Failed;
}

void BucketFiles::Fail(int index) {
  if (!m_Failed) m_FailedIndex = index;
  m_Failed = true;
}

void BucketFiles::NameFailure(const char* tempDirectory, char* message) const {
  char name[TEMP_NAME_SIZE];
  if (message && m_FailedIndex >= 0)
    strncpyz(message, MakeTempFileName(name, m_FailedIndex, tempDirectory), MAX_TEXT);
}

bool BucketFiles::Flush(int index) {
  size_t used = m_Used[index];
  m_Used[index] = 0;
  if (used && std::fwrite(m_Buffers + static_cast<size_t>(index) * BUFFER_SIZE, 1, used,
                          m_Files[index]) != used)
    Fail(index);
  return !m_Failed;
}

bool BucketFiles::Put(int index, const char* bytes, size_t length) {
  if (m_Used[index] + length > BUFFER_SIZE && !Flush(index)) return false;
  if (length > BUFFER_SIZE) {
    if (std::fwrite(bytes, 1, length, m_Files[index]) != length) Fail(index);
    return !m_Failed;
  }
  std::memcpy(m_Buffers + static_cast<size_t>(index) * BUFFER_SIZE + m_Used[index], bytes, length);
  m_Used[index] += length;
  return true;
}

bool BucketFiles::Write(int index, const DataLine& line) {
  if (m_Failed) return false;
  if (m_Routes >= 0) {
    m_Bytes[index] += line.Length + (line.Cr ? 2 : 1);
    if (m_RoutesUsed == BUFFER_SIZE && !FlushRoutes()) return false;
    m_Buffers[m_RoutesUsed++] = static_cast<char>(index);
    return true;
  }
  static const char crlf[] = "\r\n";
  if (!Put(index, line.Text, line.Length)) return false;
  return line.Cr ? Put(index, crlf, 2) : Put(index, crlf + 1, 1);
}

bool BucketFiles::AddRoutes(const unsigned char* routes, size_t count,
                            const unsigned long long* bytes) {
  if (m_Failed) return false;
  for (int i = 0; i < SLOTS; ++i) m_Bytes[i] += bytes[i];
  while (count > 0) {
    if (m_RoutesUsed == BUFFER_SIZE && !FlushRoutes()) return false;
    const size_t take = std::min(count, static_cast<size_t>(BUFFER_SIZE) - m_RoutesUsed);
    std::memcpy(m_Buffers + m_RoutesUsed, routes, take);
    m_RoutesUsed += take;
    routes += take;
    count -= take;
  }
  return true;
}

int BucketFiles::Close() {
  if (m_Routes >= 0) FlushRoutes();
  for (int i = 0; i < SLOTS; ++i) {
    if (!m_Files[i]) continue;
    Flush(i);
    if (std::fclose(m_Files[i]) != 0) Fail(i);
    m_Files[i] = nullptr;
  }
  return m_Failed ? ERR_VASKREPORT_WRITE_FILE : 0;
}

void BucketFiles::Remove(const char* tempDirectory) {
  char name[TEMP_NAME_SIZE];
  for (int i = 0; i <= TEMP_ROUTES; ++i) {
    if (!IsBucket(i)) continue;
    std::remove(MakeTempFileName(name, i, tempDirectory));
  }
}
