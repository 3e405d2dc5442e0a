#ifndef VASKREPORT_UTIL_STRUTIL_H
#define VASKREPORT_UTIL_STRUTIL_H

#include <cstddef>
#include <cstdio>
#include <ctime>
#include <cwchar>

#include "util/Export.h"

// Bounded copy: copies at most n characters and always terminates; dst holds n + 1.
char* strncpyz(char* dst, const char* src, size_t n);
// Bounded append: keeps strlen(dst) <= n; appends nothing when dst already holds n or more.
char* strncatz(char* dst, const char* src, size_t n);

// Removes path when it names a regular file (or a link to one), so that an
// output written there next is a new file rather than an old one truncated.
// File systems such as ext4 write a truncated and rewritten file out to disk
// as soon as it is closed, which makes a run wait for the disk; a new file
// is written back later like any other, and a link to another file is not
// written through. Failing to remove leaves the file to be truncated.
void RemoveToRewrite(const char* path);

// Files that hold a mailing's records are readable by no more users than the
// mailing itself: NarrowPermissions takes from path every group and other
// permission the file model lacks; CopyPermissions gives path exactly
// model's. Both act only on regular files of the same owner and group, and
// leave the file as it is when the change fails.
void NarrowPermissions(const char* path, const char* model);
void CopyPermissions(const char* path, const char* model);

// Text and file helpers named after the platform calls they stand in for.
VR_API char* RTrim_(char* text);
VR_API char* Trim_(char* text, char c);
VR_API char* Trim_(char* text, const char* set);
VR_API char** Split_(const char* text, char separator);
VR_API void FreeArray_(char** list);
VR_API void FreeArray_(wchar_t** list);
VR_API bool CreateDir(const char* path);
VR_API int mkdir_(const char* path);
VR_API bool DirectoryExists_(const char* path);
VR_API char* fgets_(char* buffer, int size, FILE* stream);

// Frees the array the pointer refers to, if any, and sets the pointer to null.
template <typename T>
VR_API void delete_array_and_null(T*& p);
extern template VR_API void delete_array_and_null<char>(char*&);
extern template VR_API void delete_array_and_null<char*>(char**&);

VR_API char* strupr_(char* text);
VR_API char* strlwr_(char* text);
VR_API wchar_t* wcsupr_(wchar_t* text);
VR_API char* itoa_(int value, char* buffer, int radix);
VR_API int iscsym_(int c);
VR_API char* strrev_(char* text);
VR_API int wcsicmp_(const wchar_t* a, const wchar_t* b);
VR_API int wcsnicmp_(const wchar_t* a, const wchar_t* b, unsigned long n);
VR_API bool Localtime(const long* t, tm& out);
VR_API bool Ctime(const long* t, char* buffer);
VR_API long ftell_(FILE* stream);
VR_API int fseek_(FILE* stream, long long offset, int origin);
VR_API bool FileExists_(const char* path);
VR_API bool GetComputerName_(char* buffer, unsigned long size);
VR_API int GetNumberOfProcessors_();
VR_API void GetVersionOfThisFile(int& major, int& minor, int& release, int& build, void* module);
VR_API bool FilePatternExists_(const char* pattern);
VR_API char** Dir_(const char* pattern);
VR_API char* ConcatStrings(char* buffer, unsigned long size, const char* a, const char* b,
                           const char* c, const char* d);
VR_API char* ConcatStrings_(char* buffer, const char* text, unsigned long& room);
VR_API char* ConcatStrings(char* buffer, unsigned long size, const char* a, const char* b, long n);
VR_API char* ConcatStrings(char* buffer, unsigned long size, const char* a, long n, const char* b);
VR_API char* strcatc(char* text, char c);

#endif
