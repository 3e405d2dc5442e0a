#ifndef VASKREPORT_SPEC_SPECTEXT_H
#define VASKREPORT_SPEC_SPECTEXT_H

#include <string>

#include "spec/VaskReportSpec.h"

// The specification file's text for the object, as Write saves it; false
// when a value holds a line feed or makes a line longer than the reader
// takes, so that the text would not read back as the object.
bool SpecFileText(const VaskReportSpec& spec, std::string& text);

#endif
