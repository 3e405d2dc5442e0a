#include "spec/VaskReportSpec.h"
#include "verify/Verify.h"

namespace verify {

std::string RunDirectory(const VaskReportSpec& spec, const std::string& outputDirectory) {
  std::string directory = outputDirectory.empty() ? spec.OutputDirectory : outputDirectory;
  if (!directory.empty() && directory.back() != '/') directory += '/';
  return directory;
}

}  // namespace verify
