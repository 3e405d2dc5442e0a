#include "spec/TextLine.h"

bool ReadTextLine(std::istream& in, char* buffer, size_t keep, size_t& length) {
  size_t count = 0;
  bool any = false;
  bool endsInReturn = false;
  char c;
  while (in.get(c)) {
    any = true;
    if (c == '\n') break;
    if (count < keep) buffer[count] = c;
    ++count;
    endsInReturn = c == '\r';
  }
  if (endsInReturn) --count;
  length = count;
  buffer[count < keep ? count : keep] = '\0';
  return any;
}
