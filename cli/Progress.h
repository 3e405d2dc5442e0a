#ifndef VASKREPORT_CLI_PROGRESS_H
#define VASKREPORT_CLI_PROGRESS_H

// Progress of one run, drawn on standard error when draw is true. The library
// calls ProgressCallback with records read (0, 1000, ...) and then with -1 to
// -63 for the resort steps; it returns non-zero after an interrupt (Ctrl-C) so
// the run stops cleanly and removes its temporary files. Once the data file
// is read (readAll, or the first resort step), the reading line is drawn at
// 100% with the number of records and left standing.
void StartProgress(bool draw, const char* dataFile, bool header);
int ProgressCallback(int value);
void FinishProgress(bool readAll);
bool ProgressInterrupted();

#endif
