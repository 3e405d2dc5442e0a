// STUB: replaced by the resort work.
#include "engine/Resort.h"
#include "engine/ReportErrors.h"
int SortIntoFiles(const ManifestInfo&, const VaskReportSpec&, char*, int (*)(int), const char*) { return ERR_VASKREPORT_OUTOFMEMORY; }
