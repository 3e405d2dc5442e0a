#ifndef VASKREPORT_DRIVER_REPORTDRIVER_H
#define VASKREPORT_DRIVER_REPORTDRIVER_H

#include "include/vaskreport.h"
#include "util/Export.h"

class VaskReportSpec;

// Runs one whole report job over a validated specification. outputDirectory
// overrides spec.OutputDirectory when non-null and non-empty.
VR_API int CreateReports(const VaskReportSpec& spec, const char* outputDirectory, char* message,
                         int (*progress)(int));
VR_API void LookupReportError(int code, char* message);

struct ReportError {
  int Code;
  const char* Name;
};

// (code, name) pairs in code order, ended by an entry whose Name is null.
extern const ReportError s_ReportErrors[];

#endif
