#include "writers/NumberFormat.h"

#include <iomanip>
#include <locale>
#include <sstream>

namespace {

std::ostringstream ClassicStream() {
  std::ostringstream s;
  s.imbue(std::locale::classic());
  return s;
}

}  // namespace

std::string FormatCount(uint64_t value) {
  std::ostringstream s = ClassicStream();
  s << value;
  return s.str();
}

std::string FormatFixed(double value, int decimals) {
  std::ostringstream s = ClassicStream();
  s << std::fixed << std::setprecision(decimals) << value;
  return s.str();
}

std::string FormatGeneral(double value) {
  std::ostringstream s = ClassicStream();
  s << value;
  return s.str();
}
