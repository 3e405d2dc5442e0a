#include <getopt.h>

#include <csignal>
#include <cstring>
#include <iostream>

#include "Args.h"
#include "Cli.h"

namespace {

struct Command {
  const char* Name;
  int (*Run)(int argc, char** argv);
};

const Command s_Commands[] = {
    {"run", RunCommand},
    {"check", CheckCommand},
    {"edit", EditCommand},
    {"verify", VerifyMain},
};

// What a command printed is its result (the list of files, the JSON, the
// checks, the help); if it could not all be written the command failed.
int Finished(int rc) {
  std::cout.flush();
  if (std::cout) return rc;
  std::cerr << "vaskreport: cannot write standard output\n";
  return rc == EXIT_OK ? EXIT_FAILED : rc;
}

}  // namespace

int main(int argc, char** argv) {
  static const option options[] = {
      {"help", no_argument, nullptr, 'h'},
      {"version", no_argument, nullptr, 'V'},
      {nullptr, 0, nullptr, 0},
  };
  // Past a file size limit a write fails and the library says which file;
  // the signal would end the program with no message and its buckets left.
  std::signal(SIGXFSZ, SIG_IGN);
  opterr = 0;
  // "+": stop at the command, whose own options are parsed by the command.
  for (int c; (c = getopt_long(argc, argv, "+hV", options, nullptr)) != -1;) {
    if (c == 'h') return PrintProgramHelp(), Finished(EXIT_OK);
    if (c == 'V') return PrintVersion(), Finished(EXIT_OK);
    return UsageError(nullptr, RefusedOption(argv, options));
  }
  if (optind >= argc) return UsageError(nullptr, "missing command");
  const char* name = argv[optind];
  for (const Command& command : s_Commands)
    if (strcmp(command.Name, name) == 0) return Finished(command.Run(argc - optind, argv + optind));
  return UsageError(nullptr, std::string("unknown command '") + name + "'");
}
