#ifndef VASKREPORT_SPEC_SPECTEXT_H
#define VASKREPORT_SPEC_SPECTEXT_H

#include <string>

#include "spec/VaskReportSpec.h"

// The specification file's text for the object, as Write saves it.
std::string SpecFileText(const VaskReportSpec& spec);

#endif
