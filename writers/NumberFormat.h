#ifndef VASKREPORT_WRITERS_NUMBERFORMAT_H
#define VASKREPORT_WRITERS_NUMBERFORMAT_H

#include <cstdint>
#include <string>

// Formatting in the classic locale, whatever the process's locale is.
std::string FormatCount(uint64_t value);              // decimal, in full
std::string FormatFixed(double value, int decimals);  // as printf "%.<decimals>f"
std::string FormatGeneral(double value);              // as printf "%g"

#endif
