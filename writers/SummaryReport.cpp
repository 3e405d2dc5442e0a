// STUB: replaced by the documents work.
#include "writers/Writers.h"
#include "engine/ReportErrors.h"
int WriteAddressMatchingSummaryReport(const char*, const VaskReportSpec&, unsigned long, unsigned long, unsigned long, unsigned long, unsigned long, unsigned long, char*) { return ERR_VASKREPORT_OPEN_FILE; }
