#include "Args.h"

#include <getopt.h>

#include "Cli.h"

namespace {

const option s_RunOptions[] = {
    {"output-dir", required_argument, nullptr, 'o'},
    {"quiet", no_argument, nullptr, 'q'},
    {"help", no_argument, nullptr, 'h'},
    {nullptr, 0, nullptr, 0},
};
const option s_PlainOptions[] = {
    {"help", no_argument, nullptr, 'h'},
    {nullptr, 0, nullptr, 0},
};

}  // namespace

int ParseCommandArgs(int argc, char** argv, bool withRunOptions, CommandArgs& args) {
  const char* command = argv[0];
  const option* options = withRunOptions ? s_RunOptions : s_PlainOptions;
  const char* shortOptions = withRunOptions ? ":o:qh" : ":h";
  optind = 0;  // glibc: start a fresh scan over the command's own arguments
  opterr = 0;
  for (int c; (c = getopt_long(argc, argv, shortOptions, options, nullptr)) != -1;) {
    switch (c) {
      case 'h':
        PrintCommandHelp(command);
        return EXIT_OK;
      case 'o':
        args.OutputDirectory = optarg;
        if (args.OutputDirectory.empty()) return UsageError(command, "empty output directory");
        break;
      case 'q':
        args.Quiet = true;
        break;
      case ':':
        return UsageError(command, std::string("option '") + argv[optind - 1] + "' needs a value");
      default:
        return UsageError(command, std::string("unknown option '") + argv[optind - 1] + "'");
    }
  }
  if (optind >= argc) return UsageError(command, "missing SPEC");
  if (optind + 1 < argc) return UsageError(command, std::string("unexpected '") + argv[optind + 1] + "'");
  args.Spec = argv[optind];
  return -1;
}
