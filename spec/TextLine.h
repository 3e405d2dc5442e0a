#ifndef VASKREPORT_SPEC_TEXTLINE_H
#define VASKREPORT_SPEC_TEXTLINE_H

#include <cstddef>
#include <istream>

// Reads one line without its line feed; a carriage return ending the line is
// not part of it. The first `keep` characters land in `buffer` (which holds
// keep + 1) and are terminated; `length` receives the whole line's length,
// however long. Returns false at the end of the stream when no line was left.
bool ReadTextLine(std::istream& in, char* buffer, size_t keep, size_t& length);

#endif
