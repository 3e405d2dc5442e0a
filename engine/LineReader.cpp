#include "engine/LineReader.h"

#include <cstdlib>
#include <cstring>
#include <utility>

LineReader::LineReader()
    : m_File(nullptr), m_Buffer(nullptr), m_Capacity(0), m_Other(nullptr), m_OtherCapacity(0),
      m_Begin(0), m_Scanned(0), m_End(0), m_Eof(false), m_Read(0),
      m_Limit(~0ull) {}

LineReader::~LineReader() {
  Close();
  std::free(m_Buffer);
  std::free(m_Other);
}

bool LineReader::Allocate(size_t capacity) {
  std::free(m_Buffer);
  std::free(m_Other);
  m_Other = nullptr;
  m_OtherCapacity = 0;
  if (capacity == 0) capacity = 1;
  m_Buffer = static_cast<char*>(std::malloc(capacity + 1));
  m_Capacity = m_Buffer ? capacity : 0;
  return m_Buffer != nullptr;
}

bool LineReader::Open(const char* path) {
  Close();
  m_File = std::fopen(path, "rb");
  m_Begin = m_Scanned = m_End = 0;
  m_Eof = false;
  m_Read = 0;
  m_Limit = ~0ull;
  return m_File != nullptr;
}

bool LineReader::Restart(unsigned long long limit) {
  if (!m_File || std::fseek(m_File, 0, SEEK_SET) != 0) return false;
  m_Begin = m_Scanned = m_End = 0;
  m_Eof = false;
  m_Read = 0;
  m_Limit = limit;
  return true;
}

bool LineReader::Stat(struct stat& st) const {
  return m_File && fstat(fileno(m_File), &st) == 0;
}

void LineReader::Close() {
  if (m_File) std::fclose(m_File);
  m_File = nullptr;
}

int LineReader::Next(DataLine& line) {
  for (;;) {
    const void* found = std::memchr(m_Buffer + m_Scanned, '\n', m_End - m_Scanned);
    if (found) {
      size_t end = static_cast<const char*>(found) - m_Buffer;
      MakeLine(m_Buffer + m_Begin, end - m_Begin, line);
      m_Begin = m_Scanned = end + 1;
      return LINE;
    }
    m_Scanned = m_End;
    if (m_Eof) {
      if (m_Begin == m_End) return END;
      MakeLine(m_Buffer + m_Begin, m_End - m_Begin, line);
      m_Begin = m_End;
      return LINE;
    }
    if (int rc = Fill()) return rc;
  }
}

int LineReader::NextBlock(DataBlock& block) {
  for (;;) {
    // The last line feed ends the block; only the partial line after it is
    // scanned backwards, and it is short unless a line is long.
    size_t end = m_End;
    while (end > m_Scanned && m_Buffer[end - 1] != '\n') --end;
    if (end > m_Scanned || (m_Eof && m_Begin < m_End)) {
      if (end <= m_Scanned) end = m_End;
      block.Text = m_Buffer + m_Begin;
      block.Length = end - m_Begin;
      m_Begin = m_Scanned = end;
      return LINE;
    }
    m_Scanned = m_End;
    if (m_Eof) return END;
    if (int rc = Fill()) return rc;
  }
}

// Reads more behind the data. A full buffer whose lines have been handed out
// passes its partial line to the other buffer, whose lines are older, so the
// ones handed out last stay where they are; a buffer that one partial line
// fills (nothing of it handed out) grows in place.
int LineReader::Fill() {
  if (m_End == m_Capacity && m_Begin == 0) {
    const size_t grown = m_Capacity * 2;
    char* bigger = static_cast<char*>(std::realloc(m_Buffer, grown + 1));
    if (!bigger) return NO_MEMORY;
    m_Buffer = bigger;
    m_Capacity = grown;
  } else if (m_End == m_Capacity) {
    if (m_OtherCapacity < m_Capacity) {
      std::free(m_Other);
      m_Other = static_cast<char*>(std::malloc(m_Capacity + 1));
      m_OtherCapacity = m_Other ? m_Capacity : 0;
      if (!m_Other) return NO_MEMORY;
    }
    const size_t partial = m_End - m_Begin;
    std::memcpy(m_Other, m_Buffer + m_Begin, partial);
    std::swap(m_Buffer, m_Other);
    std::swap(m_Capacity, m_OtherCapacity);
    m_End = partial;
    m_Scanned -= m_Begin;
    m_Begin = 0;
  }
  size_t room = m_Capacity - m_End;
  if (m_Limit - m_Read < room) room = static_cast<size_t>(m_Limit - m_Read);
  size_t got = room ? std::fread(m_Buffer + m_End, 1, room, m_File) : 0;
  m_Read += got;
  if (got == 0) {
    if (std::ferror(m_File)) return READ_ERROR;
    m_Eof = true;
  }
  m_End += got;
  return 0;
}
