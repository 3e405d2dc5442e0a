#ifndef VASKREPORT_CLI_ARGS_H
#define VASKREPORT_CLI_ARGS_H

#include <string>

struct CommandArgs {
  std::string Spec;
  std::string OutputDirectory;
  bool Quiet = false;
  bool Json = false;
};

// The options a command admits besides --help.
enum : unsigned {
  ARG_OUTPUT_DIR = 1u << 0,  // -o, --output-dir DIR
  ARG_QUIET = 1u << 1,       // -q, --quiet
  ARG_JSON = 1u << 2,        // --json
};

struct option;

// What getopt_long just refused, for a usage error: an unknown option as
// written, or a long option given a value it does not take.
std::string RefusedOption(char** argv, const option* longOptions);

// Parses "COMMAND SPEC [options]" with the options in admitted. Returns -1 to
// go on, or the exit code when help was shown or the arguments were wrong.
int ParseCommandArgs(int argc, char** argv, unsigned admitted, CommandArgs& args);

#endif
