#ifndef VASKREPORT_ENGINE_BUCKETFILES_H
#define VASKREPORT_ENGINE_BUCKETFILES_H

#include <cstddef>
#include <cstdio>

#include "engine/LineReader.h"
#include "engine/TempFiles.h"

// The temporary files the read pass writes: 00 to 62 and the unrouted 64,
// each behind its own buffer so that a record costs one copy. Or, for a data
// file that can be read again, only each line's bucket, one byte a line in
// 65, and how many bytes each bucket takes: the buckets stay empty.
class BucketFiles {
 public:
  enum { SLOTS = TEMP_UNROUTED + 1, BUFFER_SIZE = 65536 };

  BucketFiles();
  ~BucketFiles();
  BucketFiles(const BucketFiles&) = delete;
  BucketFiles& operator=(const BucketFiles&) = delete;

  // Creates every bucket empty, in ascending order; on failure
  // ERR_VASKREPORT_OPEN_SORT_FILE with the name. Given the data file, the
  // buckets are no more readable than it.
  int Create(const char* tempDirectory, char* message, const char* dataFile = nullptr,
             bool routesOnly = false);
  // Appends the line as read and a line feed; false once writing has failed.
  bool Write(int index, const DataLine& line);
  bool RoutesOnly() const { return m_Routes >= 0; }
  // With routesOnly, the routes of count lines at once, whose bytes by
  // bucket are bytes; false once writing has failed.
  bool AddRoutes(const unsigned char* routes, size_t count, const unsigned long long* bytes);
  // Flushes and closes every bucket; ERR_VASKREPORT_WRITE_FILE when any
  // write failed.
  int Close();
  // After a failed write, the name of the bucket that could not be written.
  void NameFailure(const char* tempDirectory, char* message) const;
  // Removes every bucket name in the directory, created by this run or not.
  static void Remove(const char* tempDirectory);
  static bool IsBucket(int index) { return index != TEMP_RESORT_COPY; }

  // After Close, with routesOnly: the routes file, open for reading, and the
  // bytes of each bucket's lines with their line feeds.
  int Routes() const { return m_Routes; }
  unsigned long long Bytes(int index) const { return m_Bytes[index]; }

 private:
  bool FlushRoutes();

  void Fail(int index);
  bool Flush(int index);
  bool Put(int index, const char* bytes, size_t length);

  FILE* m_Files[SLOTS];
  char* m_Buffers;
  size_t m_Used[SLOTS];
  bool m_Failed;
  int m_FailedIndex;
  int m_Routes;  // -1 unless routesOnly
  size_t m_RoutesUsed;
  unsigned long long m_Bytes[SLOTS];
};

#endif
