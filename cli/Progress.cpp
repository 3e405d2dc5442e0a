#include "Progress.h"

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

enum { RESORT_STEPS = 63, SAMPLE_BYTES = 65536 };
const std::chrono::milliseconds s_RedrawInterval(100);

struct ProgressState {
  bool Draw = false;
  bool Drawn = false;
  bool ReadingEnded = false;
  bool Header = false;
  std::string DataFile;
  double BytesPerRecord = 0;  // from the start of the data file
  double FileBytes = 0;
  long Records = 0;
  bool AtLeast = false;  // Records is the last call's, the total unknown
  int Step = 0;
  // The rate counts from the first call: before it the run opens its files
  // and reads the first block, which would make the first rate far too low.
  long BaseRecords = -1;
  Clock::time_point Base;
  Clock::time_point LastDraw;
};

ProgressState s_State;
volatile std::sig_atomic_t s_Interrupted = 0;

void OnInterrupt(int) {
  s_Interrupted = 1;
  std::signal(SIGINT, SIG_DFL);  // a second Ctrl-C ends the program at once
}

// Average line length of the file's first 64 KiB, to turn records into bytes.
void EstimateRecordSize(const char* dataFile) {
  struct stat st;
  if (stat(dataFile, &st) != 0 || st.st_size <= 0) return;
  s_State.FileBytes = static_cast<double>(st.st_size);
  std::ifstream in(dataFile, std::ios::binary);
  std::string sample(SAMPLE_BYTES, '\0');
  in.read(&sample[0], SAMPLE_BYTES);
  sample.resize(static_cast<size_t>(in.gcount()));
  size_t lines = 0;
  for (char c : sample) lines += c == '\n';
  if (lines > 0) s_State.BytesPerRecord = static_cast<double>(sample.size()) / lines;
}

size_t TerminalWidth() {
  winsize size;
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1) return size.ws_col;
  return 80;
}

// The records of the data file, which the library's calls give only to the
// last thousand: its lines but blank ones and the header (a line the layout
// cannot read counts too). A pipe or a device is not read again (a pipe has
// given its lines to the run): false, and the last count stands.
bool CountRecords(long& records) {
  struct stat st;
  if (stat(s_State.DataFile.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  std::ifstream in(s_State.DataFile, std::ios::binary);
  std::string block(1 << 20, '\0');
  long lines = 0;
  size_t length = 0;  // of the line read so far
  char last = '\0';
  // Blank: nothing before its line feed but a carriage return, if that.
  auto endLine = [&] { lines += length > 1 || (length == 1 && last != '\r'); };
  while (in.read(&block[0], static_cast<std::streamsize>(block.size())) || in.gcount() > 0) {
    const size_t got = static_cast<size_t>(in.gcount());
    for (size_t i = 0; i < got; ++i) {
      if (block[i] == '\n') {
        endLine();
        length = 0;
        continue;
      }
      last = block[i];
      ++length;
    }
  }
  endLine();
  records = lines - (s_State.Header && lines > 0);
  return true;
}

std::string ReadingLine(bool ended, Clock::time_point now) {
  double seconds = std::chrono::duration<double>(now - s_State.Base).count();
  char line[160];
  int n = snprintf(line, sizeof line, "Reading: %s%ld records", s_State.AtLeast ? "at least " : "",
                   s_State.Records);
  if (s_State.BaseRecords >= 0 && seconds > 0.05)
    n += snprintf(line + n, sizeof line - n, ", %.0f records/s",
                  (s_State.Records - s_State.BaseRecords) / seconds);
  if (ended) {
    snprintf(line + n, sizeof line - n, ", 100%%");
  } else if (s_State.BytesPerRecord > 0 && s_State.FileBytes > 0) {
    double percent = 100.0 * s_State.Records * s_State.BytesPerRecord / s_State.FileBytes;
    snprintf(line + n, sizeof line - n, ", about %.0f%%", percent > 99 ? 99.0 : percent);
  }
  return line;
}

std::string ResortLine() {
  char line[80];
  snprintf(line, sizeof line, "Resorting: step %d of %d", s_State.Step, RESORT_STEPS);
  return line;
}

void Draw(const std::string& text) {
  size_t width = TerminalWidth() - 1;
  std::string line = text.substr(0, width);
  line.resize(width, ' ');  // wipes what a longer line left behind
  fprintf(stderr, "\r%s", line.c_str());
  fflush(stderr);
  s_State.Drawn = true;
  s_State.LastDraw = Clock::now();
}

// The last reading line, with the total, stays above what follows.
void EndReading() {
  if (s_State.ReadingEnded) return;
  s_State.ReadingEnded = true;
  const Clock::time_point now = Clock::now();
  s_State.AtLeast = !CountRecords(s_State.Records);
  Draw(ReadingLine(true, now));
  fprintf(stderr, "\n");
  s_State.Drawn = false;
}

}  // namespace

void StartProgress(bool draw, const char* dataFile, bool header) {
  s_State = ProgressState();
  s_State.Draw = draw;
  s_State.DataFile = dataFile;
  s_State.Header = header;
  s_State.LastDraw = Clock::now();
  s_Interrupted = 0;
  std::signal(SIGINT, OnInterrupt);
  if (draw) EstimateRecordSize(dataFile);
}

int ProgressCallback(int value) {
  if (value > 0 && s_State.BaseRecords < 0) {
    s_State.BaseRecords = value;
    s_State.Base = Clock::now();
  }
  if (value >= 0)
    s_State.Records = value;
  else
    s_State.Step = -value;
  if (s_State.Draw) {
    if (s_State.Step) EndReading();
    bool last = s_State.Step == RESORT_STEPS;
    if (last || Clock::now() - s_State.LastDraw >= s_RedrawInterval)
      Draw(s_State.Step ? ResortLine() : ReadingLine(false, Clock::now()));
  }
  return s_Interrupted ? 1 : 0;
}

void FinishProgress(bool readAll) {
  std::signal(SIGINT, SIG_DFL);
  if (s_State.Draw && readAll) EndReading();
  if (!s_State.Drawn) return;
  Draw("");
  fprintf(stderr, "\r");
  fflush(stderr);
}

bool ProgressInterrupted() { return s_Interrupted != 0; }
