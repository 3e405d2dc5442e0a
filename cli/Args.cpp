#include "Args.h"

#include <getopt.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "Cli.h"

namespace {

enum { OPT_JSON = 256 };

struct OptionSpec {
  unsigned Flag;
  option Long;
  const char* Short;
};

const OptionSpec s_Options[] = {
    {ARG_OUTPUT_DIR, {"output-dir", required_argument, nullptr, 'o'}, "o:"},
    {ARG_QUIET, {"quiet", no_argument, nullptr, 'q'}, "q"},
    {ARG_JSON, {"json", no_argument, nullptr, OPT_JSON}, ""},
};

}  // namespace

std::string RefusedOption(char** argv, const option* longOptions) {
  // A known option's value in optopt means a long option was given a value
  // it does not take; an unknown long option leaves optopt 0.
  for (const option* o = longOptions; o->name; ++o)
    if (optopt != 0 && o->val == optopt && o->has_arg == no_argument)
      return std::string("option '--") + o->name + "' takes no value";
  if (optopt > ' ' && optopt < 127) return std::string("unknown option '-") + char(optopt) + "'";
  if (optopt != 0) {  // a byte of some other character, in a cluster or alone
    char code[8];
    snprintf(code, sizeof code, "0x%02x", static_cast<unsigned char>(optopt));
    return std::string("unknown option byte ") + code;
  }
  return std::string("unknown option '") + argv[optind - 1] + "'";
}

int ParseCommandArgs(int argc, char** argv, unsigned admitted, CommandArgs& args) {
  const char* command = argv[0];
  std::vector<option> options;
  std::string shortOptions = ":h";
  for (const OptionSpec& spec : s_Options) {
    if (!(admitted & spec.Flag)) continue;
    options.push_back(spec.Long);
    shortOptions += spec.Short;
  }
  options.push_back({"help", no_argument, nullptr, 'h'});
  options.push_back({nullptr, 0, nullptr, 0});
  optind = 0;  // glibc: start a fresh scan over the command's own arguments
  opterr = 0;
  for (int c; (c = getopt_long(argc, argv, shortOptions.c_str(), options.data(), nullptr)) != -1;) {
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
      case OPT_JSON:
        args.Json = true;
        break;
      case ':':
        return UsageError(command, std::string("option '") + argv[optind - 1] + "' needs a value");
      default:
        return UsageError(command, RefusedOption(argv, options.data()));
    }
  }
  if (optind >= argc) return UsageError(command, "missing SPEC");
  if (optind + 1 < argc) return UsageError(command, std::string("unexpected '") + argv[optind + 1] + "'");
  args.Spec = argv[optind];
  return -1;
}
