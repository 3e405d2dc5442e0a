#include "Progress.h"

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

enum { RESORT_STEPS = 63, SAMPLE_BYTES = 65536 };
const std::chrono::milliseconds s_RedrawInterval(100);

struct ProgressState {
  bool Draw = false;
  bool Drawn = false;
  double BytesPerRecord = 0;  // from the start of the data file
  double FileBytes = 0;
  long Records = 0;
  int Step = 0;
  Clock::time_point Start;
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

std::string ReadingLine() {
  double seconds = std::chrono::duration<double>(Clock::now() - s_State.Start).count();
  char line[160];
  int n = snprintf(line, sizeof line, "Reading: %ld records", s_State.Records);
  if (seconds > 0.05)
    n += snprintf(line + n, sizeof line - n, ", %.0f records/s", s_State.Records / seconds);
  if (s_State.BytesPerRecord > 0 && s_State.FileBytes > 0) {
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

}  // namespace

void StartProgress(bool draw, const char* dataFile) {
  s_State = ProgressState();
  s_State.Draw = draw;
  s_State.Start = s_State.LastDraw = Clock::now();
  s_Interrupted = 0;
  std::signal(SIGINT, OnInterrupt);
  if (draw) EstimateRecordSize(dataFile);
}

int ProgressCallback(int value) {
  if (value >= 0)
    s_State.Records = value;
  else
    s_State.Step = -value;
  if (s_State.Draw) {
    bool last = s_State.Step == RESORT_STEPS;
    if (last || Clock::now() - s_State.LastDraw >= s_RedrawInterval)
      Draw(s_State.Step ? ResortLine() : ReadingLine());
  }
  return s_Interrupted ? 1 : 0;
}

void FinishProgress() {
  std::signal(SIGINT, SIG_DFL);
  if (!s_State.Drawn) return;
  Draw("");
  fprintf(stderr, "\r");
  fflush(stderr);
}

bool ProgressInterrupted() { return s_Interrupted != 0; }
