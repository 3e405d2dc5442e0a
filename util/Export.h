#ifndef VASKREPORT_UTIL_EXPORT_H
#define VASKREPORT_UTIL_EXPORT_H

// Marks a class or function as part of the library's ABI. Everything else is
// built with hidden visibility and stays internal.
#define VR_API __attribute__((visibility("default")))

#endif
