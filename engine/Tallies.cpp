// STUB: replaced by the tallies work.
#include "engine/Tallies.h"
DetailLine::DetailLine() : Volume(0), Trays(0), Weight(0.0), Residue(false) {}
TotalLine::TotalLine() {}
ManifestInfo::ManifestInfo() {}
