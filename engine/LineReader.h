#ifndef VASKREPORT_ENGINE_LINEREADER_H
#define VASKREPORT_ENGINE_LINEREADER_H

#include <sys/stat.h>

#include <cstddef>
#include <cstdio>

// One line of the data file. Text[Length] is NUL; the bytes as read are Text's
// Length characters, then a carriage return when Cr is set.
struct DataLine {
  char* Text;
  size_t Length;
  bool Cr;
};

// Cuts the line of length characters at begin (its line feed, if any, not
// among them): drops a final carriage return and puts a NUL after the text.
inline void MakeLine(char* begin, size_t length, DataLine& line) {
  line.Text = begin;
  line.Length = length;
  line.Cr = length > 0 && begin[length - 1] == '\r';
  if (line.Cr) --line.Length;
  begin[line.Length] = '\0';
}

// A run of whole lines, each ending in a line feed except, at end of file,
// the last: the Length characters at Text.
struct DataBlock {
  char* Text;
  size_t Length;
};

// Reads a file line by line through two large buffers in turn, which grow
// only for a line longer than themselves. A line stays valid until the next
// call of Next; a block until the second call of NextBlock after it, so it
// can still be read while the next one is filled.
class LineReader {
 public:
  enum { LINE = 1, END = 0, READ_ERROR = -1, NO_MEMORY = -2 };

  LineReader();
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  bool Allocate(size_t capacity);
  bool Open(const char* path);
  // What the open file is (fstat); false when none is open or fstat fails.
  bool Stat(struct stat& st) const;
  void Close();
  // Reads the open file again from its start, as far as limit bytes; false
  // when it cannot be read again (a pipe).
  bool Restart(unsigned long long limit);
  // Bytes read from the file since it was opened or restarted.
  unsigned long long BytesRead() const { return m_Read; }
  // LINE with the next line in line, END at end of file, or a failure.
  int Next(DataLine& line);
  // LINE with every whole line the buffer holds (at least one) in block, END
  // at end of file, or a failure. The lines may be cut in place by MakeLine.
  int NextBlock(DataBlock& block);

 private:
  int Fill();

  FILE* m_File;
  char* m_Buffer;     // m_Capacity characters plus one for a terminator
  size_t m_Capacity;
  char* m_Other;      // the buffer of the block before, the next to be filled
  size_t m_OtherCapacity;
  size_t m_Begin;     // start of the unread data
  size_t m_Scanned;   // data before this holds no line feed
  size_t m_End;
  bool m_Eof;
  unsigned long long m_Read;
  unsigned long long m_Limit;  // read no further than this
};

#endif
