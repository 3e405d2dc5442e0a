// STUB: replaced by the specification-file work.
#include "spec/VaskReportSpec.h"
int VaskReportSpec::Read(const char*, char*) { return ERR_VASKREPORTSPEC_SPECFILE_OPEN; }
int VaskReportSpec::Write(const char*) { return ERR_VASKREPORTSPEC_SPECFILE_OPEN; }
