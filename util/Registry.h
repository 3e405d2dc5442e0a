#ifndef VASKREPORT_UTIL_REGISTRY_H
#define VASKREPORT_UTIL_REGISTRY_H

#include <cstdio>

#include "util/Export.h"

// Results of LookUpRegistry_.
enum {
  REGISTRY_KEY_TOOLONG = 1300,
  REGISTRY_NO_CONFIG_FILE = 1301,
  REGISTRY_KEY_NOT_FOUND = 1302,
};

// Opens the first configuration file of the search order, or returns null.
VR_API FILE* OpenConfigFile();
VR_API int LookUpRegistry_(const char* section, const char* key, char* value, int& capacity,
                           bool flag);
VR_API bool LookUpRegistryI_(const char* section, const char* key, unsigned int& value, bool flag);
VR_API void EnumerateRegistry_(const char* section, char*** names, char*** values);
VR_API int EnumerateRegistryKeys_(const char* section);
VR_API int SetRegistryValue_(const char* section, const char* key, const char* value);
// dst holds 256 characters; an alias "$NAME$rest" is resolved through the Paths section.
VR_API void ExpandZelnorPath(char* dst, const char* src);
// ExpandZelnorPath; false when the expansion was cut to fit dst.
bool ExpandPathWhole(char* dst, const char* src);

#endif
