// STUB: replaced by the documents work.
#include "writers/Writers.h"
#include "engine/ReportErrors.h"
int WriteLodgementInfo(const char*, const ManifestInfo&, char*) { return ERR_VASKREPORT_OPEN_FILE; }
