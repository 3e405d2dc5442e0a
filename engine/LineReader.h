#ifndef VASKREPORT_ENGINE_LINEREADER_H
#define VASKREPORT_ENGINE_LINEREADER_H

#include <cstddef>
#include <cstdio>

// One line of the data file. Text[Length] is NUL; the bytes as read are Text's
// Length characters, then a carriage return when Cr is set.
struct DataLine {
  char* Text;
  size_t Length;
  bool Cr;
};

// Reads a file line by line through one large buffer that grows only for a
// line longer than itself. Lines stay valid until the next call of Next.
class LineReader {
 public:
  enum { LINE = 1, END = 0, READ_ERROR = -1, NO_MEMORY = -2 };

  LineReader();
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  bool Allocate(size_t capacity);
  bool Open(const char* path);
  void Close();
  // LINE with the next line in line, END at end of file, or a failure.
  int Next(DataLine& line);

 private:
  int Fill();
  void Emit(size_t begin, size_t end, DataLine& line);

  FILE* m_File;
  char* m_Buffer;     // m_Capacity characters plus one for a terminator
  size_t m_Capacity;
  size_t m_Begin;     // start of the unread data
  size_t m_Scanned;   // data before this holds no line feed
  size_t m_End;
  bool m_Eof;
};

#endif
