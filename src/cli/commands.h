#pragma once
// The sub-commands of `quelbrix`, each registered on the CLI11 application.

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "cli/exit_code.h"
#include "cli/progress_display.h"

namespace CLI {
class App;
}

namespace cli {

// When a command keeps the log: a run or check whenever it is switched on (the stored
// "ErrorReport" or --log); a command that only reads or stores settings, lists or writes
// sample data only when --log asks for it; `gui` never, as the desktop program keeps its own.
enum class LogUse { Runs, OnRequest, Never };

// What every command needs: the streams and the settings (with this run's overrides), how much
// to say, whether stderr is a terminal, and when the log is kept (set as a command is chosen).
struct Context {
  std::ostream& out;
  std::ostream& err;
  app::OverlaySettings& settings;
  Verbosity verbosity = Verbosity::Normal;
  bool errIsTerminal = false;
  LogUse log = LogUse::Runs;
};

// A command registers its options and sets action to the code that runs once parsing is done.
using Action = std::function<int()>;

void addSettingsCommand(CLI::App& app, Context& ctx, Action& action);
void addCheckCommand(CLI::App& app, Context& ctx, Action& action);
void addListCommand(CLI::App& app, Context& ctx, Action& action);
void addSheetsCommand(CLI::App& app, Context& ctx, Action& action);
void addReportCommand(CLI::App& app, Context& ctx, Action& action);
void addSampleDataCommand(CLI::App& app, Context& ctx, Action& action);
void addDemoCommand(CLI::App& app, Context& ctx, Action& action);
void addUmlautTableCommand(CLI::App& app, Context& ctx, Action& action);
void addGuiCommand(CLI::App& app, Context& ctx, Action& action);

// The desktop program that `quelbrix gui` starts: quelbrix-gui beside this executable.
std::filesystem::path guiExecutable();

// Where `sample-data DIR` puts the polygon shapefile.
std::filesystem::path sampleShapefile(const std::filesystem::path& dir);

// Paths from the command line are taken from the current folder; the program works with
// absolute paths without a trailing separator, as the settings dialog stores them.
std::string absolutePath(const std::string& path);

// "F,GN" → {"F", "GN"}; blanks around items are dropped, empty items skipped.
std::vector<std::string> splitList(const std::string& text);

// The sheet types an option names ("F,GN"), all of them for an empty text; nullopt, after
// naming the unknown one on err, when it names a type that does not exist.
std::optional<std::vector<std::string>> sheetTypesOption(const std::string& text,
                                                         std::ostream& err);

}  // namespace cli
