#ifndef VASKREPORT_WRITERS_REPORTFILE_H
#define VASKREPORT_WRITERS_REPORTFILE_H

#include <fstream>
#include <string>

// directory (empty or ending in "/") + name + extension, never cut.
std::string ReportPath(const char* directory, const char* name, const char* extension);

// Empties message when given.
void ClearMessage(char* message);

// Makes path anew for writing, in the classic locale; ERR_VASKREPORT_OPEN_FILE
// with the path in message when it cannot be made.
int OpenReport(std::ofstream& out, const std::string& path, char* message);

// Flushes and closes out; ERR_VASKREPORT_WRITE_FILE with the path in message
// when any write or the close failed.
int CloseReport(std::ofstream& out, const std::string& path, char* message);

#endif
