// STUB: replaced by the documents work.
#include "writers/Writers.h"
#include "engine/ReportErrors.h"
int WriteManifestReport(const char*, const ManifestInfo&, const VaskReportSpec&, char*) { return ERR_VASKREPORT_OPEN_FILE; }
