#pragma once
// The two generating runs of the command line, for their commands and for `quelbrix demo`.

#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/print_options.h"

namespace cli {

struct SheetsOptions {
  std::string types, areas, subAreas, polygons;
  std::vector<std::string> biotopes, habitats;
  bool skipCopies = false, all = false, yes = false, cover = false;
  bool listSelection = false;  // show every selected sheet before the run
  bool changed = false;        // make only the documents whose inputs changed since the last run
  unsigned jobs = 0;           // documents made side by side; 0: one per core
  PrintOptions output;
};

// Selects, shows and makes the clean copies; answers the exit status.
int runSheets(Context& ctx, const SheetsOptions& o);

struct ReportOptions {
  std::string areas, subAreas, polygons;
  bool skipCopies = false, all = false;
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
