#ifndef VASKREPORT_SPEC_SPECSECTIONS_H
#define VASKREPORT_SPEC_SPECSECTIONS_H

#include "spec/IniFile.h"
#include "spec/VaskReportSpec.h"

// The steps of loading a specification file, in the order they must run.

// Path, Delimiter, Qualifier, FieldNamesOnFirstLine, Fields and Field<N> keys.
int ReadFileLayout(VaskReportSpec& spec, IniSection& file);
// BspField, StateField, DpidField, AmendedField; needs the final field list.
int ReadFieldRoles(VaskReportSpec& spec, IniSection& file);
// Output, ManifestReport, MatchingReport, FileProcessing, LabelPlanFile.
int ReadReportSections(VaskReportSpec& spec, IniFile& ini);

#endif
