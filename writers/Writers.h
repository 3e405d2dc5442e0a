#ifndef VASKREPORT_WRITERS_WRITERS_H
#define VASKREPORT_WRITERS_WRITERS_H

#include <ostream>

#include "util/Export.h"

class ManifestInfo;
class VaskReportSpec;

// Each writer builds its file names by appending to directory, which is empty
// or ends in "/". message (256 characters, may be null) receives the failing
// file's path.
VR_API int WriteManifestReport(const char* directory, const ManifestInfo& info,
                               const VaskReportSpec& spec, char* message);
VR_API int WriteAddressMatchingSummaryReport(const char* directory, const VaskReportSpec& spec,
                                             unsigned long matched, unsigned long amended,
                                             unsigned long preCleaned,
                                             unsigned long manuallyAmended,
                                             unsigned long notMatched, unsigned long total,
                                             char* message);
VR_API int WriteLodgementInfo(const char* directory, const ManifestInfo& info, char* message);
VR_API int WriteLabelPlanFile(const char* directory, const ManifestInfo& info,
                              const VaskReportSpec& spec, char* message);

// Manifest formatting routines.
VR_API void PrintTextHeading(std::ostream& out, const VaskReportSpec& spec, const char* label,
                             bool leftAlign);
VR_API void PrintTextRule(std::ostream& out, const VaskReportSpec& spec, bool labelRule);
VR_API void PrintHtmlRow(std::ostream& out, const VaskReportSpec& spec, const char* cell1,
                         const char* cell2, const char* cell3, const char* cell4, bool red,
                         bool emphasis);

#endif
