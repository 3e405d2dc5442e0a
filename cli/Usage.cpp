#include <cstring>
#include <iostream>

#include "Cli.h"

namespace {

const char s_Version[] = "1.0.0";

struct CommandHelp {
  const char* Name;
  const char* Text;
};

const char s_ProgramHelp[] =
    "Usage: vaskreport COMMAND [OPTIONS] SPEC\n"
    "Lodgement documents for a presorted, barcoded letter mailing.\n"
    "\n"
    "Commands:\n"
    "  run SPEC     write the documents and files that SPEC asks for\n"
    "  check SPEC   load and validate SPEC and describe what a run would do\n"
    "  edit SPEC    fill or change SPEC by answering questions, then save it\n"
    "  verify SPEC  check a finished run's documents and files against the data\n"
    "               file and each other\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help (or a command's: vaskreport COMMAND --help)\n"
    "  -V, --version  show the version\n"
    "\n"
    "Exit status: 0 success, 1 failure, 2 usage error.\n";

const CommandHelp s_CommandHelp[] = {
    {"run",
     "Usage: vaskreport run SPEC [--output-dir DIR] [--quiet] [--json]\n"
     "Loads the specification SPEC, reads its data file once and writes every\n"
     "document and file it asks for, then lists the files written.\n"
     "\n"
     "  -o, --output-dir DIR  write the reports into DIR, not SPEC's OutputDirectory\n"
     "  -q, --quiet           draw no progress on standard error\n"
     "      --json            print the run's figures and the files written as JSON\n"
     "                        on standard output instead of the list\n"
     "  -h, --help            show this help\n"
     "\n"
     "The data file is read and resorted on two threads; VASKREPORT_THREADS=1\n"
     "in the environment keeps the run on one.\n"},
    {"check",
     "Usage: vaskreport check SPEC\n"
     "Loads SPEC, lists the entries it ignores, validates it and describes the\n"
     "data file, its layout, the state of lodgement and the files a run writes.\n"
     "Exits 0 when SPEC is valid, 1 when it is not.\n"
     "\n"
     "  -h, --help  show this help\n"},
    {"edit",
     "Usage: vaskreport edit SPEC\n"
     "Asks for every setting on the console (questions on standard error,\n"
     "replies on standard input; an empty reply keeps the value shown) and saves\n"
     "the result to SPEC. An existing SPEC is loaded first.\n"
     "\n"
     "  -h, --help  show this help\n"},
    {"verify",
     "Usage: vaskreport verify SPEC [--output-dir DIR]\n"
     "After a run of SPEC: recounts the data file and checks every figure and\n"
     "setting of every document (text, HTML, CSV, label plan), the split files and\n"
     "the resorted data file against the recount, the specification and each\n"
     "other. Prints one line per check, \"OK\", \"DIFF\" with both values or\n"
     "\"SKIP\" with the reason, then a count of checks, differences and skips.\n"
     "Exits 0 when nothing differs, 1 when anything does or no run's documents\n"
     "are there.\n"
     "\n"
     "  -o, --output-dir DIR  the run's output directory, when it was given to run\n"
     "  -h, --help            show this help\n"},
};

}  // namespace

void PrintProgramHelp() { std::cout << s_ProgramHelp; }

void PrintCommandHelp(const char* command) {
  for (const CommandHelp& help : s_CommandHelp)
    if (strcmp(help.Name, command) == 0) std::cout << help.Text;
}

void PrintVersion() { std::cout << "vaskreport " << s_Version << "\n"; }

int UsageError(const char* command, const std::string& problem) {
  std::cerr << "vaskreport" << (command ? " " : "") << (command ? command : "") << ": " << problem
            << "; try 'vaskreport " << (command ? command : "") << (command ? " " : "")
            << "--help'\n";
  return EXIT_USAGE;
}
