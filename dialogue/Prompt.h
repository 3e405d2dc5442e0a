#ifndef VASKREPORT_DIALOGUE_PROMPT_H
#define VASKREPORT_DIALOGUE_PROMPT_H

#include "util/Export.h"

// Questions on standard error, replies from standard input. Each shows the
// setting's current value as the default; an empty reply keeps it.
VR_API void PromptString(const char* question, char* text, unsigned int maxLength);
VR_API void PromptInt(const char* question, int* value, int lowest, int highest);
VR_API void PromptDouble(const char* question, double* value);
VR_API void PromptYesNo(const char* question, bool* value);
VR_API void PromptState(const char* question, int* state);
VR_API char* Trim(char* text);

// The complaint after a reply that is not accepted.
extern const char s_InvalidReply[];

#endif
