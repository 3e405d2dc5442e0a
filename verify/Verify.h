#ifndef VASKREPORT_VERIFY_VERIFY_H
#define VASKREPORT_VERIFY_VERIFY_H

#include <ostream>
#include <string>

class VaskReportSpec;

// The lodgement check: it reads the data file again on its own (Recount) and
// works the volumes, trays and weights out with its own arithmetic (Tally),
// never with the library's record reader or tallies, so that a fault there
// cannot hide itself; its tables are held against the library's by one test.
// It reads each document against what it should say (Page), printed the way
// its writer prints it but without the writer's code. run --json
// reports the same recount through the library's tallies.

// Checks a finished run's documents and files against each other, against
// the specification and against a fresh recount of the data file. Prints
// "OK  <check>", "DIFF <check>: <found> vs <wanted>" or "SKIP <check>:
// <reason>" lines, then a count of each; returns 0 when nothing differs.
// Before any run, one line says so and 1 is returned.
int VerifyCommand(const std::string& specPath, std::ostream& out);
// The same for a loaded, validated specification; outputDirectory empty means
// the specification's own.
int VerifyLodgement(const VaskReportSpec& spec, const std::string& outputDirectory,
                    std::ostream& out);

namespace verify {

// The output directory a run uses: the given one or the specification's,
// with a final "/" when not empty.
std::string RunDirectory(const VaskReportSpec& spec, const std::string& outputDirectory);

}  // namespace verify

#endif
