#include "spec/SpecValues.h"

#include <strings.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

CharacterValue ParseCharacter(const char* value, char& out) {
  long code = strtol(value, nullptr, 10);
  if (code != 0) {
    if (code < 1 || code > UCHAR_MAX) return CHARACTER_BAD_CODE;
    out = static_cast<char>(static_cast<unsigned char>(code));
    return CHARACTER_OK;
  }
  size_t n = strlen(value);
  if (n > 1) return CHARACTER_TOO_LONG;
  out = n == 1 && value[0] != '0' ? value[0] : '\0';
  return CHARACTER_OK;
}

bool ParseFlag(const char* value) { return strcasecmp(value, "True") == 0; }

int ParseNumber(const char* value) {
  long number = strtol(value, nullptr, 10);
  if (number > INT_MAX) return INT_MAX;
  if (number < INT_MIN) return INT_MIN;
  return static_cast<int>(number);
}

bool ParseCount(const char* value, int& out) {
  errno = 0;
  long number = strtol(value, nullptr, 10);
  if (errno == ERANGE || number > INT_MAX || number < INT_MIN) return false;
  out = static_cast<int>(number);
  return true;
}

bool WeightOfLetterFits(double kilograms) {
  return kilograms >= 0.0 && kilograms <= kMaxWeightOfLetter;  // false for NaN
}

bool ParseWeight(const char* value, double& out) {
  char* end = nullptr;
  const double number = strtod(value, &end);
  const bool empty = end == value;
  while (*end == ' ' || *end == '\t') ++end;
  if (*end) return false;
  out = empty ? 0.0 : number;
  return true;
}

bool BreaksLabelPlanText(const char* text) { return strpbrk(text, ",\r\n") != nullptr; }
