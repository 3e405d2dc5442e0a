#include <iostream>

#include "Cli.h"

int ReportFailure(int code, const char* message) {
  if (message && *message)
    std::cerr << "vaskreport: " << message << "\n";
  else
    std::cerr << "vaskreport: error " << code << "\n";
  return EXIT_FAILED;
}
