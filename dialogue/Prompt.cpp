#include "dialogue/Prompt.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "base/States.h"
#include "dialogue/ReplyLine.h"
#include "util/StrUtil.h"

const char s_InvalidReply[] = "Invalid reponse. Re-enter:\n";

namespace {

// Reads a reply and trims it; false when the reply is empty (keep the value).
bool ReadTrimmedReply(char* reply) {
  ReadReplyLine(reply);
  Trim(reply);
  return *reply != '\0';
}

bool ParseInt(const char* reply, int lowest, int highest, int* value) {
  char* end = nullptr;
  errno = 0;
  long number = strtol(reply, &end, 10);
  if (end == reply || *end != '\0' || errno == ERANGE) return false;
  if (number < lowest || number > highest) return false;
  *value = static_cast<int>(number);
  return true;
}

bool ParseDouble(const char* reply, double* value) {
  char* end = nullptr;
  double number = strtod(reply, &end);
  // Infinity and NaN read as numbers but no letter weighs that.
  if (end == reply || *end != '\0' || !std::isfinite(number)) return false;
  *value = number;
  return true;
}

}  // namespace

char* Trim(char* text) {
  size_t start = strspn(text, " ");
  size_t length = strlen(text + start);
  memmove(text, text + start, length + 1);
  while (length > 0 && text[length - 1] == ' ') text[--length] = '\0';
  return text;
}

void PromptString(const char* question, char* text, unsigned int maxLength) {
  char reply[REPLY_MAX + 1];
  for (;;) {
    std::cerr << question;
    if (*text) std::cerr << " [" << text << "]";
    std::cerr << " :";
    if (!ReadTrimmedReply(reply)) return;
    if (strlen(reply) <= maxLength) {
      strncpyz(text, reply, maxLength);
      return;
    }
    std::cerr << "String entered is too long. Maximum length is " << maxLength << "\nRe-enter: ";
  }
}

void PromptInt(const char* question, int* value, int lowest, int highest) {
  char reply[REPLY_MAX + 1];
  for (;;) {
    std::cerr << question << " [" << *value << "]:";
    if (!ReadTrimmedReply(reply) || ParseInt(reply, lowest, highest, value)) return;
    std::cerr << s_InvalidReply;
  }
}

void PromptDouble(const char* question, double* value) {
  char reply[REPLY_MAX + 1];
  for (;;) {
    std::cerr << question << " [" << *value << "]:";
    if (!ReadTrimmedReply(reply) || ParseDouble(reply, value)) return;
    std::cerr << s_InvalidReply;
  }
}

void PromptYesNo(const char* question, bool* value) {
  char reply[REPLY_MAX + 1];
  for (;;) {
    std::cerr << question << "(Y/N)? [" << (*value ? "Y" : "N") << "]:";
    if (!ReadTrimmedReply(reply)) return;
    if (*reply == 'Y' || *reply == 'y' || *reply == 'N' || *reply == 'n') {
      *value = *reply == 'Y' || *reply == 'y';
      return;
    }
    std::cerr << s_InvalidReply;
  }
}

void PromptState(const char* question, int* state) {
  char reply[REPLY_MAX + 1];
  for (;;) {
    const char* code = NumberToState(*state);
    std::cerr << question;
    if (*code) std::cerr << " [" << code << "]";
    std::cerr << ":";
    if (!ReadTrimmedReply(reply)) return;
    int number = StateToNumber(reply);
    if (number >= 0) {
      *state = number;
      return;
    }
    std::cerr << s_InvalidReply;
  }
}
