#ifndef VASKREPORT_ENGINE_REPORTDRIVER_H
#define VASKREPORT_ENGINE_REPORTDRIVER_H

#include "engine/ReportErrors.h"
#include "util/Export.h"

class VaskReportSpec;

// Runs one whole report job over a validated specification. outputDirectory
// overrides spec.OutputDirectory when non-null and non-empty.
VR_API int CreateReports(const VaskReportSpec& spec, const char* outputDirectory, char* message,
                         int (*progress)(int));
VR_API void LookupReportError(int code, char* message);

#endif
