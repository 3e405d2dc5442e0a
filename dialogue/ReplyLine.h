#ifndef VASKREPORT_DIALOGUE_REPLYLINE_H
#define VASKREPORT_DIALOGUE_REPLYLINE_H

#include "util/StrUtil.h"

// Longest reply kept; a reply buffer holds this many characters and the terminator.
enum { REPLY_MAX = MAX_TEXT };

// Reads one reply line from standard input into reply (REPLY_MAX + 1
// characters). At the end of input, or when the stream has failed, the reply
// is empty. A longer line is cut and the rest of it skipped, so later replies
// are read as usual.
void ReadReplyLine(char* reply);

#endif
