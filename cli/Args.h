#ifndef VASKREPORT_CLI_ARGS_H
#define VASKREPORT_CLI_ARGS_H

#include <string>

struct CommandArgs {
  std::string Spec;
  std::string OutputDirectory;
  bool Quiet = false;
};

// Parses "COMMAND SPEC [options]". withRunOptions admits --output-dir and
// --quiet. Returns -1 to go on, or the exit code when help was shown or the
// arguments were wrong.
int ParseCommandArgs(int argc, char** argv, bool withRunOptions, CommandArgs& args);

#endif
