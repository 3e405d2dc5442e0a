#ifndef VASKREPORT_VERIFY_DOCUMENTS_H
#define VASKREPORT_VERIFY_DOCUMENTS_H

#include <string>
#include <vector>

#include "verify/Lodgement.h"

namespace verify {

// What could be read from a document; Problems are lines that fit no layout.
struct Document {
  bool Found = false;
  Figures Values;
  std::vector<std::string> Problems;
};

Document ReadManifestCsv(const std::string& path);
Document ReadLodgementInfo(const std::string& path);
Document ReadLabelPlan(const std::string& path, char prefix);
Document ReadMatchingSummary(const std::string& path);

}  // namespace verify

#endif
