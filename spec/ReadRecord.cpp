// STUB: replaced by the record-reader work.
#include "spec/VaskReportSpec.h"
int VaskReportSpec::ReadRecord(char*, const char*) const { return ERR_READRECORD_NO_FIELDS; }
