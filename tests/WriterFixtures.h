#ifndef VASKREPORT_TESTS_WRITERFIXTURES_H
#define VASKREPORT_TESTS_WRITERFIXTURES_H

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/Tallies.h"
#include "spec/VaskReportSpec.h"
#include "util/StrUtil.h"

namespace vrtest {

using Volumes = std::vector<std::pair<int, unsigned long>>;

// Tallies through the engine, from letter counts by BSP and unbarcoded counts by state.
inline ManifestInfo Tally(const VaskReportSpec& spec, const Volumes& bsp,
                          const Volumes& unbarcoded) {
  unsigned long bspVolumes[BSP_COUNT + 1] = {};
  unsigned long unbarcodedVolumes[STATE_COUNT] = {};
  for (const auto& v : bsp) bspVolumes[v.first] = v.second;
  for (const auto& v : unbarcoded) unbarcodedVolumes[v.first] = v.second;
  ManifestInfo info;
  info.Calculate(spec, bspVolumes, unbarcodedVolumes);
  return info;
}

// Direct, residue and unbarcoded letters over several states, lodged in VIC.
// NSW: direct and unbarcoded; ACT: direct only; VIC: all three; QLD: residue
// only; SA: residue and unbarcoded; TAS and NT: unbarcoded only.
inline ManifestInfo SeveralStates(VaskReportSpec& spec) {
  spec.State = STATE_VIC;
  return Tally(spec, {{3, 650}, {19, 320}, {22, 450}, {23, 100}, {24, 250}, {2, 40}, {45, 30}},
               {{STATE_NSW, 10}, {STATE_VIC, 500}, {STATE_SA, 7}, {STATE_TAS, 20}, {STATE_NT, 5}});
}

// The NSW example with weights: BSP 3 direct (1200 letters, 24 kg), BSPs 4
// and 5 pooled into 180 letters of residue (3.6 kg).
inline ManifestInfo NswWithWeights(VaskReportSpec& spec) {
  spec.WeightOfLetter = 0.02;
  spec.State = STATE_NSW;
  return Tally(spec, {{3, 1200}, {4, 100}, {5, 80}}, {});
}

inline std::string Spaces(int n) { return std::string(n, ' '); }
inline std::string Dashes(int n) { return std::string(n, '-'); }

struct ChildResult {
  int Code;
  std::string Message;
};

// Runs write in a child whose files may not grow past limit bytes, with
// SIGXFSZ ignored so that writes fail with EFBIG instead of killing it.
inline ChildResult RunWithFileSizeLimit(rlim_t limit, const std::function<int(char*)>& write) {
  int fds[2];
  if (pipe(fds) != 0) return {-1, "pipe"};
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit rl = {limit, limit};
    setrlimit(RLIMIT_FSIZE, &rl);
    char message[256] = "unchanged";
    int code = write(message);
    std::string reply = std::to_string(code) + "\n" + message;
    if (::write(fds[1], reply.data(), reply.size()) < 0) _exit(2);
    _exit(0);
  }
  close(fds[1]);
  std::string reply;
  char buffer[512];
  ssize_t n;
  while ((n = read(fds[0], buffer, sizeof buffer)) > 0) reply.append(buffer, n);
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  size_t newline = reply.find('\n');
  if (newline == std::string::npos) return {-1, "child failed"};
  return {std::stoi(reply.substr(0, newline)), reply.substr(newline + 1)};
}

// A directory of about length characters below base, made of nested parts
// each short enough for the file system; returned with its trailing "/".
inline std::string LongDirectory(const std::string& base, size_t length) {
  std::string dir = base;
  while (dir.size() + 2 < length) {
    size_t part = std::min<size_t>(100, length - dir.size() - 2);
    dir += "/" + std::string(part, 'd');
    mkdir(dir.c_str(), 0700);
  }
  return dir + "/";
}

}  // namespace vrtest

#endif
