/*
 * vaskreport: lodgement documents for a presorted, barcoded letter mailing.
 *
 * Conventions of this interface:
 * - The library keeps one process-wide report specification; every function
 *   works on it. Call from one thread at a time.
 * - Every function returns 0 for success or an error code (enum reportError).
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

/* Message and path buffers: 255 characters and the terminator. */
#define REPORT_MESSAGE_SIZE 256

/* Every code a function of this interface returns besides 0. Numbered
   explicitly and only ever appended: stored files and callers keep them. */
enum reportError {
  /* Reading a specification file (reportLoadSpec). */
  ERR_INIFILE_DUPLICATE_ENTRY = 1994,
  ERR_INIFILE_DUPLICATE_SECTION = 1995,
  ERR_INIFILE_LINE_OUTOF_SECTION = 1996,
  ERR_INIFILE_INVALID_LINE = 1997,
  ERR_INIFILE_LINE_TOOLONG = 1998,
  ERR_INIFILE_OUT_OF_MEMORY = 1999,

  /* The specification, its file and the record layout. */
  ERR_VASKREPORTSPEC_OUTOFMEMORY = 11001,
  ERR_VASKREPORTSPEC_MISSING_FILESECTION = 11002,
  ERR_VASKREPORTSPEC_FILENAME_TOOLONG = 11003,
  ERR_VASKREPORTSPEC_INVALID_DELIMITER = 11004,
  ERR_VASKREPORTSPEC_DELIMITER_TOOLONG = 11005,
  ERR_VASKREPORTSPEC_INVALID_QUALIFIER = 11006,
  ERR_VASKREPORTSPEC_QUALIFIER_TOOLONG = 11007,
  ERR_VASKREPORTSPEC_INVALID_NUM_FIELDS = 11008,
  ERR_VASKREPORTSPEC_FIELDNAME_TOOLONG = 11009,
  ERR_VASKREPORTSPEC_INVALID_FIELD_SIZE = 11010,
  ERR_VASKREPORTSPEC_MISSING_FIELD_SIZE = 11011,
  ERR_VASKREPORTSPEC_MISSING_FIELD_NAME = 11012,
  ERR_VASKREPORTSPEC_MISSING_DPIDFIELD = 11013,
  ERR_VASKREPORTSPEC_MISSING_FLAGFIELD = 11014,
  ERR_VASKREPORTSPEC_UNKNOWN_FIELD = 11015,
  ERR_VASKREPORTSPEC_MISSING_BSPFIELD = 11016,
  ERR_VASKREPORTSPEC_UNKNOWN_STATE = 11017,
  ERR_VASKREPORTSPEC_TEXTFILE_OPEN = 11018,
  ERR_VASKREPORTSPEC_LINE_TOOLONG = 11019,
  ERR_VASKREPORTSPEC_FIELDNAMES_OUT = 11020,
  /* 11021 is unused and has no name. */
  ERR_READRECORD_NO_FIELDS = 11022,
  ERR_READRECORD_INVALID_RECORD = 11023,
  ERR_VASKREPORTSPEC_SPECFILE_OPEN = 11024,
  ERR_VASKREPORTSPEC_INVALID_FIELD_NUM = 11025,
  ERR_VASKREPORTSPEC_READ = 11026,
  ERR_VASKREPORTSPEC_INVALID_LETTERS_PER_TRAY = 11027,
  ERR_VASKREPORTSPEC_INVALID_LABEL_TEXT = 11028,
  ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER = 11029,

  /* A report run (reportReport). */
  ERR_VASKREPORT_OUTOFMEMORY = 11101,
  ERR_VASKREPORT_NO_FILE = 11102,
  ERR_VASKREPORT_OPEN_FILE = 11103,
  ERR_VASKREPORT_OPEN_SORT_FILE = 11104,
  ERR_VASKREPORT_OPEN_OUTPUT_FILE = 11105,
  ERR_VASKREPORT_DELETE_FILE = 11106,
  ERR_VASKREPORT_NO_RECORD_LENGTH = 11107,
  ERR_VASKREPORT_NO_DPIDFIELD = 11108,
  ERR_VASKREPORT_READ_FILE = 11109,
  ERR_VASKREPORT_WRITE_FILE = 11110,
  ERR_VASKREPORT_RENAME_FILE = 11111,
  ERR_VASKREPORT_USER_CANCELLED = 11112,
  ERR_VASKREPORT_CREATE_DIRECTORY = 11113
};

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
