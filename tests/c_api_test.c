/* The C interface, from C: proves the header is C and checks the getter and
   setter rules against the shared library. */
#include <stdio.h>
#include <string.h>

#include "vaskreport.h"

static int failures;

#define CHECK(cond)                                                  \
  do {                                                               \
    if (!(cond)) {                                                   \
      fprintf(stderr, "%s:%d: CHECK failed: %s\n", __FILE__, __LINE__, #cond); \
      ++failures;                                                    \
    }                                                                \
  } while (0)

static void fresh_library_state(void) {
  int letters = 0;
  char name[64] = "x", code[8] = "x";
  CHECK(reportGetLettersPerTray(&letters) == 0 && letters == 300);
  CHECK(reportGetBspField(name) == 0 && name[0] == '\0');
  CHECK(reportGetLodgementState(code) == 0 && code[0] == '\0');
}

static void string_getter_limits(void) {
  char buffer[64];
  memset(buffer, '#', sizeof buffer);
  CHECK(reportPutCustomerName("ABCDEFGHIJKLMNOPQRST") == 0); /* 20 characters */
  CHECK(reportGetCustomerName(buffer, 19) == 20);
  CHECK(buffer[0] == '#');
  CHECK(reportGetCustomerName(buffer, 20) == 0);
  CHECK(strcmp(buffer, "ABCDEFGHIJKLMNOPQRST") == 0);

  CHECK(reportPutJobNumber("0123456789012345678901234567890123456789") == 0);
  CHECK(reportGetJobNumber(buffer, 63) == 0);
  CHECK(strcmp(buffer, "012345678901234567890123456789") == 0);
}

static void field_list(void) {
  char name[64];
  int size = -1, count = -1;
  CHECK(reportPutFieldCount(-1) == ERR_VASKREPORTSPEC_INVALID_NUM_FIELDS);
  CHECK(reportPutFieldCount(2) == 0);
  CHECK(reportPutFieldNames(1, "Name") == 0 && reportPutFieldSizes(1, 40) == 0);
  CHECK(reportPutFieldNames(2, "Dpid") == 0 && reportPutFieldSizes(2, 8) == 0);
  CHECK(reportPutFieldNames(0, "x") == ERR_VASKREPORTSPEC_INVALID_FIELD_NUM && reportPutFieldNames(3, "x") == ERR_VASKREPORTSPEC_INVALID_FIELD_NUM);
  CHECK(reportPutFieldSizes(0, 1) == ERR_VASKREPORTSPEC_INVALID_FIELD_NUM && reportPutFieldSizes(3, 1) == ERR_VASKREPORTSPEC_INVALID_FIELD_NUM);
  CHECK(reportGetFieldNames(3, name) == 0 && name[0] == '\0');
  CHECK(reportGetFieldSizes(0, &size) == 0 && size == 0);

  CHECK(reportPutFieldCount(4) == 0 && reportGetFieldCount(&count) == 0 && count == 4);
  CHECK(reportGetFieldNames(2, name) == 0 && strcmp(name, "Dpid") == 0);
  CHECK(reportGetFieldSizes(1, &size) == 0 && size == 40);
  CHECK(reportGetFieldNames(4, name) == 0 && name[0] == '\0');
  CHECK(reportGetFieldSizes(4, &size) == 0 && size == 0);
  CHECK(reportPutFieldCount(1) == 0);
  CHECK(reportGetFieldNames(1, name) == 0 && strcmp(name, "Name") == 0);
  CHECK(reportGetFieldNames(2, name) == 0 && name[0] == '\0');

  CHECK(reportPutFieldCount(2) == 0 && reportPutFieldNames(2, "Dpid") == 0);
  CHECK(reportPutDpidField("DPID") == 0);
  CHECK(reportGetDpidField(name) == 0 && strcmp(name, "Dpid") == 0);
  CHECK(reportPutDpidField("1") == ERR_VASKREPORTSPEC_UNKNOWN_FIELD);
  CHECK(reportGetDpidField(name) == 0 && strcmp(name, "Dpid") == 0);
  CHECK(reportPutFieldCount(0) == 0 && reportGetFieldCount(&count) == 0 && count == 0);
  /* The role now names no field: the getter shows none. */
  CHECK(reportGetDpidField(name) == 0 && name[0] == '\0');
}

static void values_and_flags(void) {
  char code[8], buffer[300];
  int flag = -1;
  char c = 0;
  double weight = 0;
  CHECK(reportPutLodgementState("vic") == 0);
  CHECK(reportGetLodgementState(code) == 0 && strcmp(code, "VIC") == 0);
  CHECK(reportPutLodgementState("XX") == ERR_VASKREPORTSPEC_UNKNOWN_STATE);
  CHECK(reportGetLodgementState(code) == 0 && strcmp(code, "VIC") == 0);
  CHECK(reportPutSummaryReport(5) == 0 && reportGetSummaryReport(&flag) == 0 && flag == 1);
  CHECK(reportPutSortIntoLevel(0) == 0 && reportGetSortIntoLevel(&flag) == 0 && flag == 0);
  CHECK(reportPutDelimiter((char)200) == 0 && reportGetDelimiter(&c) == 0 && c == (char)200);
  CHECK(reportPutWeightOfLetter(0.025) == 0 && reportGetWeightOfLetter(&weight) == 0 &&
        weight == 0.025);

  memset(buffer, 'a', 256);
  buffer[256] = '\0';
  CHECK(reportPutFileName("/data/job.txt") == 0);
  CHECK(reportPutFileName(buffer) == ERR_VASKREPORTSPEC_FILENAME_TOOLONG);
  CHECK(reportGetFileName(buffer, 255) == 0 && strcmp(buffer, "/data/job.txt") == 0);
}

static void report_on_cleared_spec(void) {
  char message[REPORT_MESSAGE_SIZE];
  /* Stored files and callers keep the numbers. */
  CHECK(ERR_INIFILE_DUPLICATE_ENTRY == 1994 && ERR_VASKREPORTSPEC_OUTOFMEMORY == 11001);
  CHECK(ERR_VASKREPORTSPEC_INVALID_WEIGHT_OF_LETTER == 11029 && ERR_VASKREPORT_OUTOFMEMORY == 11101);
  CHECK(ERR_VASKREPORT_CREATE_DIRECTORY == 11113);
  CHECK(reportClearSpec() == 0);
  CHECK(reportReport(message, NULL) == ERR_VASKREPORTSPEC_MISSING_DPIDFIELD);
  CHECK(strcmp(message, "ERR_VASKREPORTSPEC_MISSING_DPIDFIELD") == 0);
  CHECK(reportReport(NULL, NULL) == ERR_VASKREPORTSPEC_MISSING_DPIDFIELD);
}

int main(void) {
  fresh_library_state();
  string_getter_limits();
  field_list();
  values_and_flags();
  report_on_cleared_spec();
  if (failures) fprintf(stderr, "%d check(s) failed\n", failures);
  return failures ? 1 : 0;
}
