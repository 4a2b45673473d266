#pragma once
// The two generating runs of the command line, for their commands and for `quelbrix demo`.

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/print_options.h"

namespace cli {

// The areas of a generating run: FFH areas, sub-areas and polygons as the lists show them
// (comma-separated), or all of them.
struct AreaOptions {
  std::string areas, subAreas, polygons;
  bool all = false;
  bool noneNamed() const { return areas.empty() && subAreas.empty() && polygons.empty(); }
};

// --areas, --subareas, --polygons (described by polygonsHelp) and --all.
void addAreaOptions(CLI::App& command, AreaOptions& areas, const std::string& polygonsHelp);
// False (after saying so) when --all comes with areas named: the call is wrong.
bool areaOptionsAgree(const AreaOptions& areas, std::ostream& err);
// "Unbekannter Wert für --areas: 123", one line for each value of option no list holds; answers
// whether there was none.
bool allValuesKnown(const char* option, const std::vector<std::string>& unknown, std::ostream& err);

// The exit status of a generating run: kDone only when everything asked for is complete.
inline int runStatus(bool complete) {
  return complete ? kDone : kNotAllDone;
}

struct SheetsOptions {
  std::string types;
  AreaOptions where;
  std::vector<std::string> biotopes, habitats;
  bool skipCopies = false, yes = false, cover = false;
  bool listSelection = false;  // show every selected sheet before the run
  bool changed = false;        // make only the documents whose inputs changed since the last run
  unsigned jobs = 0;           // documents made side by side; 0: one per core
  PrintOptions output;
};

// Selects, shows and makes the clean copies; answers the exit status.
int runSheets(Context& ctx, const SheetsOptions& o);

struct ReportOptions {
  AreaOptions where;
  bool skipCopies = false;
  bool dossier = false;  // one PDF per polygon: cover sheet, then its reports
  bool changed = false;  // make only the documents whose inputs changed since the last run
  unsigned jobs = 0;     // documents made side by side; 0: one per core
  PrintOptions output;
};

// Selects the polygons and makes their cover sheets and reports; answers the exit status.
int runReport(Context& ctx, const ReportOptions& o);

// The progress display of a generating run on ctx.err, for its verbosity and terminal; label
// names an item ("Geländebogen"), jobs the run's --jobs.
ProgressDisplay progressFor(const Context& ctx, const std::string& label, unsigned jobs);
// "Ausgabeordner: …", the last line of a generating run.
void printOutputFolder(const Context& ctx);

// The option --jobs of the generating commands.
void addJobsOption(CLI::App& command, unsigned& jobs);
// The option --changed of the generating commands.
void addChangedOption(CLI::App& command, bool& changed);

}  // namespace cli
