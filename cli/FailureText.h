#ifndef VASKREPORT_CLI_FAILURETEXT_H
#define VASKREPORT_CLI_FAILURETEXT_H

// What a library code is about, which decides the file its message names.
enum FailureSubject {
  ABOUT_NOTHING,     // no file: out of memory, interrupted
  ABOUT_SPEC,        // the specification file; the detail is an entry or a line
  ABOUT_DATA,        // the data file; the detail is a name or a line of it
  ABOUT_READ,        // the detail is a file that could not be opened or read
  ABOUT_WRITE,       // the detail is a file or directory that could not be made
  ABOUT_WITH_REASON  // the detail is "<file>. <reason>"
};

struct FailureText {
  int Code;
  FailureSubject Subject;
  const char* Reason;  // said when the system gives no better one
};

// The entry for code, or null for a code the front end does not know.
const FailureText* FindFailureText(int code);

#endif
