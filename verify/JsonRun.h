#ifndef VASKREPORT_VERIFY_JSONRUN_H
#define VASKREPORT_VERIFY_JSONRUN_H

#include <ostream>
#include <string>
#include <vector>

class VaskReportSpec;

// The run's figures, from a pass of its own over the data file, as one JSON
// document.
void WriteRunJson(const VaskReportSpec& spec, const std::vector<std::string>& filesWritten,
                  std::ostream& out);

#endif
