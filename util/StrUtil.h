#ifndef VASKREPORT_UTIL_STRUTIL_H
#define VASKREPORT_UTIL_STRUTIL_H

#include <cstddef>
#include <cstdio>
#include <ctime>
#include <cwchar>
#include <fstream>

#include "include/vaskreport.h"
#include "util/Export.h"

// Every path and message of the interface: at most MAX_TEXT characters in a
// buffer of TEXT_SIZE, the public header's REPORT_MESSAGE_SIZE.
enum { TEXT_SIZE = REPORT_MESSAGE_SIZE, MAX_TEXT = TEXT_SIZE - 1 };

// Bounded copy: copies at most n characters and always terminates; dst holds n + 1.
char* strncpyz(char* dst, const char* src, size_t n);
// Bounded append: keeps strlen(dst) <= n; appends nothing when dst already holds n or more.
char* strncatz(char* dst, const char* src, size_t n);

// Files that hold a mailing's records are readable by no more users than the
// mailing itself. How the mode of the file open at fd follows the file
// model: not at all; narrowed (every group and other permission model lacks
// is taken away); or copied exactly. Only between regular files of the same
// owner and group; a change that fails leaves the file as it is.
enum FileMode { MODE_AS_MADE, MODE_NARROWED, MODE_COPIED };
void FitPermissions(int fd, const char* model, FileMode how);

// Makes a new, empty file at path for writing, whatever held that name
// before: a leftover is removed and a link at the name is never followed
// (a directory stays, and the call fails). Its mode is fitted to model on the
// descriptor before anything is written. A new file rather than an old one
// truncated also spares the run a wait: ext4 writes a truncated and
// rewritten file out to disk as soon as it is closed. Returns the
// descriptor, or -1 with errno set; with readable, it is open for reading too.
int CreateNewFile(const char* path, const char* model, FileMode how, bool readable = false);
// CreateNewFile, then out opened on that file with mode (binary or not).
bool OpenNewStream(std::ofstream& out, const char* path, const char* model, FileMode how,
                   std::ios::openmode mode);

// Text and file helpers named after the platform calls they stand in for.
VR_API char* RTrim_(char* text);
VR_API char* Trim_(char* text, char c);
VR_API char* Trim_(char* text, const char* set);
VR_API char** Split_(const char* text, char separator);
VR_API void FreeArray_(char** list);
VR_API void FreeArray_(wchar_t** list);
VR_API bool CreateDir(const char* path);
// Cuts path after its last "/", "\\" or ":": directory and name hold 256 characters.
VR_API void SplitPath(const char* path, char* directory, char* name);
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
