// STUB: replaced by the specification-file work.
#include "spec/VaskReportSpec.h"
int VaskReportSpec::GetAndCheckFieldNames(char*) { return ERR_VASKREPORTSPEC_TEXTFILE_OPEN; }
