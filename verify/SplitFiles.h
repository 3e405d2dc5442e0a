#ifndef VASKREPORT_VERIFY_SPLITFILES_H
#define VASKREPORT_VERIFY_SPLITFILES_H

#include <string>

#include "verify/CheckLog.h"
#include "verify/Lodgement.h"
#include "verify/Recount.h"

class VaskReportSpec;

namespace verify {

// Split files and the resorted data file against the recount.
void CheckSplitFiles(const VaskReportSpec& spec, const Lodgement& lodgement,
                     const Recount& recount, CheckLog& log);
void CheckResortedFile(const VaskReportSpec& spec, const std::string& outputDirectory,
                       const Lodgement& lodgement, const Recount& recount, CheckLog& log);

}  // namespace verify

#endif
