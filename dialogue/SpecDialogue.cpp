// STUB: replaced by the dialogue work.
#include "spec/VaskReportSpec.h"
int VaskReportSpec::PromptUserSpec() { return 0; }
