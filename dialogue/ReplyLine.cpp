#include "dialogue/ReplyLine.h"

#include <iostream>
#include <limits>

void ReadReplyLine(char* reply) {
  reply[0] = '\0';
  if (!std::cin.good()) return;
  std::cin.getline(reply, REPLY_MAX + 1);
  // getline fails without reaching the end only when the line did not fit.
  if (std::cin.fail() && !std::cin.eof() && !std::cin.bad()) {
    std::cin.clear();
    std::cin.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
  }
}
