#ifndef VASKREPORT_ENGINE_OUTPUTFILE_H
#define VASKREPORT_ENGINE_OUTPUTFILE_H

#include <fstream>
#include <string>

#include "util/Export.h"

class VaskReportSpec;

// Makes fileName anew for a resorted or split copy (never writing through
// what held the name) and writes the header line when the data file has one;
// ERR_VASKREPORT_OPEN_OUTPUT_FILE with the name in message when it cannot be made.
VR_API int OpenOutputFile(std::ofstream& out, const char* fileName, const VaskReportSpec& spec,
                          char* message);

// The header line of every resorted or split copy, with its line feed, when
// the data file has one; else empty.
std::string HeaderLine(const VaskReportSpec& spec);

#endif
