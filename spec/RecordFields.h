#ifndef VASKREPORT_SPEC_RECORDFIELDS_H
#define VASKREPORT_SPEC_RECORDFIELDS_H

class VaskReportSpec;

// Reads a data-file line as VaskReportSpec::ReadRecord does, but only the
// fields listed (ascending, distinct, each below FieldCount) need to come out
// right: the read pass looks at no others. Each listed field ends up the same
// C string ReadRecord gives it, and the result code is ReadRecord's.
int ReadRecordFields(const VaskReportSpec& spec, char* record, const char* line,
                     const int* fields, int count);

#endif
