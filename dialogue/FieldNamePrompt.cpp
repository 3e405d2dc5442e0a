#include <iostream>

#include "dialogue/ReplyLine.h"
#include "spec/VaskReportSpec.h"

void VaskReportSpec::PromptUserFieldName(const char* role, int& field) {
  char reply[REPLY_MAX + 1];
  for (;;) {
    std::cerr << "Name of " << role << " field";
    if (field >= 0 && field < FieldCount) std::cerr << " [" << Fields[field].Name << "]";
    std::cerr << ":";
    ReadReplyLine(reply);
    if (!*reply) {
      if (field < 0) std::cerr << "No field chosen.\n";
      return;
    }
    field = LookupField(reply);
    if (field >= 0) return;
    std::cerr << "No field of name '" << reply << "'.\n Re-enter: ";
  }
}
