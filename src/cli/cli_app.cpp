#include "cli/cli_app.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <ostream>

#include "app/cls_debug.h"
#include "app/program_objects.h"
#include "app/startup.h"
#include "base/system_error_text.h"
#include "cli/commands.h"
#include "cli/exit_code.h"
#include "cli/german_cli.h"
#include "data/cls_dbf_data.h"
#include "data/provider_error.h"
#include "data/schema/sheet_types.h"

namespace cli {

std::vector<std::string> splitList(const std::string& text) {
  std::vector<std::string> items;
  std::string item;
  auto flush = [&] {
    auto b = item.find_first_not_of(" \t");
    auto e = item.find_last_not_of(" \t");
    if (b != std::string::npos) items.push_back(item.substr(b, e - b + 1));
    item.clear();
  };
  for (char c : text) {
    if (c == ',')
      flush();
    else
      item += c;
  }
  flush();
  return items;
}

std::optional<std::vector<std::string>> sheetTypesOption(const std::string& text,
                                                         std::ostream& err) {
  if (text.empty()) return data::kSheetTypes;
  std::vector<std::string> types = splitList(text);
  for (const auto& t : types) {
    if (std::find(data::kSheetTypes.begin(), data::kSheetTypes.end(), t) ==
        data::kSheetTypes.end()) {
      err << "Unbekannter Bogentyp: " << t << " (bekannt sind ";
      for (const auto& known : data::kSheetTypes)
        err << (&known == &data::kSheetTypes.front() ? "" : ", ") << known;
      err << ")\n";
      return std::nullopt;
    }
  }
  return types;
}

std::string absolutePath(const std::string& path) {
  std::error_code ec;
  std::string full = std::filesystem::absolute(path, ec).lexically_normal().string();
  if (ec) return path;
  while (full.size() > 1 && full.back() == '/') full.pop_back();
  return full;
}

int run(const std::vector<std::string>& args, std::unique_ptr<app::Settings> store,
        std::ostream& out, std::ostream& err) {
  CLI::App cliApp("Quelbrix: Geländebögen (Reinschrift) und Datenreports aus der FFH-Datenbank",
                  "quelbrix");
  speakGerman(cliApp);
  cliApp.require_subcommand(1);
  cliApp.set_version_flag("--version", std::string("quelbrix ") + app::kProgramVersion,
                          "Programmversion anzeigen und beenden");
  std::string db, shape, outDir;
  bool log = false, quiet = false, verbose = false;
  cliApp.add_option("--db", db, "Ordner der DBF-Dateien (statt der Einstellung DbfFilesPfad)")
      ->type_name("ORDNER");
  cliApp.add_option("--shape", shape, "Shapefile (.shp) (statt der Einstellung ShapeFilesPfad)")
      ->type_name("DATEI");
  cliApp
      .add_option("--out", outDir,
                  "Ordner für die erzeugten Dateien (statt der Einstellung DataFilesPfad)")
      ->type_name("ORDNER");
  cliApp.add_flag("--log", log, "Fehlerprotokoll für diesen Lauf einschalten");
  cliApp.add_flag("-q,--quiet", quiet, "nur die Zusammenfassung und Fehler ausgeben");
  cliApp.add_flag("-v,--verbose", verbose, "jedes Dokument nennen, sobald es in Arbeit ist");

  auto overlay = std::make_unique<app::OverlaySettings>(std::move(store));
  app::OverlaySettings& settings = *overlay;
  Context ctx{out, err, settings};
  // Only the program's own stderr can be a terminal; a caller's stream is not.
  ctx.errIsTerminal = &err == &std::cerr && isatty(STDERR_FILENO) != 0;
  Action action;
  addSettingsCommand(cliApp, ctx, action);
  addCheckCommand(cliApp, ctx, action);
  addListCommand(cliApp, ctx, action);
  addSheetsCommand(cliApp, ctx, action);
  addReportCommand(cliApp, ctx, action);
  addSampleDataCommand(cliApp, ctx, action);
  addDemoCommand(cliApp, ctx, action);
  addUmlautTableCommand(cliApp, ctx, action);
  addGuiCommand(cliApp, ctx, action);
  headCommands(cliApp);

  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    cliApp.parse(reversed);
  } catch (const CLI::ParseError& e) {
    // --help and --version end here too, successfully; every wrong call answers 2.
    const int status = cliApp.exit(e, out, err);
    return status == 0 ? kDone : kUsageError;
  }
  if (quiet && verbose) {
    err << "--quiet und --verbose schließen einander aus.\nHilfe: quelbrix --help\n";
    return kUsageError;
  }
  ctx.verbosity = quiet ? Verbosity::Quiet : verbose ? Verbosity::Verbose : Verbosity::Normal;

  if (!db.empty()) settings.override(app::kDbfFilesPfad, absolutePath(db));
  if (!shape.empty()) settings.override(app::kShapeFilesPfad, absolutePath(shape));
  if (!outDir.empty()) settings.override(app::kDataFilesPfad, absolutePath(outDir));
  if (log) settings.override(app::kErrorReport, "0");

  app::installSettings(std::move(overlay));
  app::installUi(std::make_unique<app::ConsoleUserInterface>(err));
  if (ctx.log == LogUse::Runs || (ctx.log == LogUse::OnRequest && log)) app::startLogIfEnabled();
  int status = 1;
  try {
    status = action ? action() : 0;
  } catch (const data::FatalError& e) {
    app::ui().message(app::MessageIcon::Warning, e.what());
    status = kProgramEnded;
  } catch (const data::ProviderError& e) {
    app::ui().message(app::MessageIcon::None,
                      "Unbekannter Fehler! Bitte teilen Sie folgenden Text dem Hersteller mit:\n" +
                          e.description() + "(" + std::to_string(e.number()) + ")");
    status = 1;
  } catch (const std::filesystem::filesystem_error& e) {
    // A file or folder the command could not make or read: the cause in German.
    app::ui().message(app::MessageIcon::Error, base::systemErrorText(e));
    status = 1;
  } catch (const std::exception& e) {
    app::ui().message(app::MessageIcon::None,
                      std::string("Unbekannter Fehler! Bitte teilen Sie folgenden Text dem "
                                  "Hersteller mit:\n") +
                          e.what());
    status = 1;
  }
  // The end of the program: the log writes its closing line.
  app::installSettings(std::make_unique<app::MemorySettings>());
  app::installUi(std::make_unique<app::ConsoleUserInterface>());
  return status;
}

}  // namespace cli
