/*
 * vaskreport: lodgement documents for a presorted, barcoded letter mailing.
 *
 * Conventions of this interface:
 * - The library keeps one process-wide report specification; every function
 *   works on it. Call from one thread at a time.
 * - Every function returns 0 for success or an error code.
 * - Message buffers hold 256 characters (255 and the terminator) or are NULL;
 *   on failure they receive the error's name and, after "\n", a detail.
 * - Field numbers count from 1.
 * - A string getter copies the value when it has at most maxLength
 *   characters (buffer holds maxLength + 1) and returns 0; otherwise it copies
 *   nothing and returns the length the caller must allow for.
 * - String setters cut values longer than the setting holds.
 * - Yes/no settings are ints: 0 no, anything else yes; getters give 0 or 1.
 * - The progress callback receives the number of records read (every 1000,
 *   0 included) and then -1 .. -63 while files are resorted; returning
 *   non-zero cancels the run.
 */
#ifndef VASKREPORT_H
#define VASKREPORT_H

#if defined(__GNUC__)
#define VASKREPORT_API __attribute__((visibility("default")))
#else
#define VASKREPORT_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef int (*reportProgress)(int value);

VASKREPORT_API int reportGetCustomerName(char* buffer, int maxLength);
VASKREPORT_API int reportPutCustomerName(const char* value);
VASKREPORT_API int reportGetOutputDirectory(char* buffer, int maxLength);
VASKREPORT_API int reportPutOutputDirectory(const char* value);
VASKREPORT_API int reportGetJobNumber(char* buffer, int maxLength);
VASKREPORT_API int reportPutJobNumber(const char* value);
VASKREPORT_API int reportGetPafVersion(char* buffer, int maxLength);
VASKREPORT_API int reportPutPafVersion(const char* value);
VASKREPORT_API int reportGetProcessDate(char* buffer, int maxLength);
VASKREPORT_API int reportPutProcessDate(const char* value);
VASKREPORT_API int reportGetCertifiedDate(char* buffer, int maxLength);
VASKREPORT_API int reportPutCertifiedDate(const char* value);
VASKREPORT_API int reportGetSoftwareName(char* buffer, int maxLength);
VASKREPORT_API int reportPutSoftwareName(const char* value);
VASKREPORT_API int reportGetSoftwareVersion(char* buffer, int maxLength);
VASKREPORT_API int reportPutSoftwareVersion(const char* value);
VASKREPORT_API int reportGetListProcessor(char* buffer, int maxLength);
VASKREPORT_API int reportPutListProcessor(const char* value);
VASKREPORT_API int reportGetListName(char* buffer, int maxLength);
VASKREPORT_API int reportPutListName(const char* value);
VASKREPORT_API int reportGetListOwner(char* buffer, int maxLength);
VASKREPORT_API int reportPutListOwner(const char* value);

/* The data file's path as written; an alias "$NAME$" is expanded when set. */
VASKREPORT_API int reportGetFileName(char* buffer, int maxLength);
VASKREPORT_API int reportPutFileName(const char* name);

VASKREPORT_API int reportGetQualifier(char* qualifier);
VASKREPORT_API int reportPutQualifier(char qualifier);
VASKREPORT_API int reportGetDelimiter(char* delimiter);
VASKREPORT_API int reportPutDelimiter(char delimiter);
VASKREPORT_API int reportGetFieldNamesOnFirstLine(int* flag);
VASKREPORT_API int reportPutFieldNamesOnFirstLine(int flag);
VASKREPORT_API int reportGetManifestReport(int* flag);
VASKREPORT_API int reportPutManifestReport(int flag);
VASKREPORT_API int reportGetSummaryReport(int* flag);
VASKREPORT_API int reportPutSummaryReport(int flag);
VASKREPORT_API int reportGetResortFile(int* flag);
VASKREPORT_API int reportPutResortFile(int flag);
VASKREPORT_API int reportGetSortIntoStates(int* flag);
VASKREPORT_API int reportPutSortIntoStates(int flag);
VASKREPORT_API int reportGetSortIntoLevel(int* flag);
VASKREPORT_API int reportPutSortIntoLevel(int flag);
VASKREPORT_API int reportGetLettersPerTray(int* letters);
VASKREPORT_API int reportPutLettersPerTray(int letters);
/* Kilograms, from 0 to 10; any other value (negative, infinite, NaN) is
   refused with 11029 and the weight before is kept. */
VASKREPORT_API int reportGetWeightOfLetter(double* weight);
VASKREPORT_API int reportPutWeightOfLetter(double weight);

VASKREPORT_API int reportGetFieldCount(int* count);
VASKREPORT_API int reportPutFieldCount(int count);
/* name holds 51 characters. */
VASKREPORT_API int reportGetFieldNames(int fieldNumber, char* name);
VASKREPORT_API int reportPutFieldNames(int fieldNumber, const char* name);
VASKREPORT_API int reportGetFieldSizes(int fieldNumber, int* size);
VASKREPORT_API int reportPutFieldSizes(int fieldNumber, int size);

/* code holds 4 characters: NT, NSW, VIC, QLD, SA, WA, TAS, ACT. */
VASKREPORT_API int reportGetLodgementState(char* code);
VASKREPORT_API int reportPutLodgementState(const char* code);

/* Role fields by name; name holds 51 characters. */
VASKREPORT_API int reportGetBspField(char* name);
VASKREPORT_API int reportPutBspField(const char* name);
VASKREPORT_API int reportGetStateField(char* name);
VASKREPORT_API int reportPutStateField(const char* name);
VASKREPORT_API int reportGetDpidField(char* name);
VASKREPORT_API int reportPutDpidField(const char* name);
VASKREPORT_API int reportGetAmendedField(char* name);
VASKREPORT_API int reportPutAmendedField(const char* name);

/* Loading does not clear first: call reportClearSpec for a fresh load. */
VASKREPORT_API int reportLoadSpec(const char* fileName, char* message);
VASKREPORT_API int reportSaveSpec(const char* fileName);
VASKREPORT_API int reportClearSpec(void);

/* Validates the specification, then reads the data file once and writes
   every document it asks for. progress may be NULL. The work is done on the
   caller's thread, unless VASKREPORT_THREADS=2 (or more) in the environment
   lets the library use one more thread of its own during the call. */
VASKREPORT_API int reportReport(char* message, reportProgress progress);

#ifdef __cplusplus
}
#endif

#endif
