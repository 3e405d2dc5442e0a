#ifndef VASKREPORT_TESTS_CONSOLECAPTURE_H
#define VASKREPORT_TESTS_CONSOLECAPTURE_H

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "TestUtil.h"

namespace vrtest {

// Feeds standard input from a file holding `input` and captures standard
// error and standard output, for code that talks to the console.
class ConsoleCapture {
 public:
  explicit ConsoleCapture(const std::string& input) {
    WriteFile(dir_ / "stdin", input);
    if (!freopen((dir_ / "stdin").c_str(), "r", stdin)) ADD_FAILURE() << "cannot reopen stdin";
    std::cin.clear();
    savedErr_ = Redirect(2, dir_ / "stderr");
    savedOut_ = Redirect(1, dir_ / "stdout");
  }
  ~ConsoleCapture() { Restore(); }
  ConsoleCapture(const ConsoleCapture&) = delete;
  ConsoleCapture& operator=(const ConsoleCapture&) = delete;

  // Everything written to standard error so far; ends the capture.
  std::string Errors() {
    Restore();
    return ReadFile(dir_ / "stderr");
  }
  std::string Output() {
    Restore();
    return ReadFile(dir_ / "stdout");
  }

 private:
  static void FlushAll() {
    std::cerr.flush();
    std::cout.flush();
    fflush(stderr);
    fflush(stdout);
  }
  static int Redirect(int target, const std::string& path) {
    FlushAll();
    int saved = dup(target);
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(fd, target);
    close(fd);
    return saved;
  }
  void Restore() {
    if (savedErr_ < 0) return;
    FlushAll();
    dup2(savedErr_, 2);
    dup2(savedOut_, 1);
    close(savedErr_);
    close(savedOut_);
    savedErr_ = savedOut_ = -1;
  }

  TempDir dir_;
  int savedErr_ = -1;
  int savedOut_ = -1;
};

}  // namespace vrtest

#endif
