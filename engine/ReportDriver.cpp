// STUB: replaced by the report-run work.
#include "engine/ReportDriver.h"
int CreateReports(const VaskReportSpec&, const char*, char*, int (*)(int)) { return ERR_VASKREPORT_NO_FILE; }
void LookupReportError(int, char* m) { if (m) *m = 0; }
