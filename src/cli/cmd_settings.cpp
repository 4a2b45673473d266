#include <CLI/CLI.hpp>
#include <filesystem>
#include <ostream>

#include "cli/commands.h"
#include "cli/exit_code.h"

namespace fs = std::filesystem;

namespace cli {
namespace {

const char* const kKeys[] = {app::kShapeFilesPfad, app::kDbfFilesPfad, app::kDataFilesPfad,
                             app::kDataFilesPrint, app::kErrorReport};

bool isKnownKey(const std::string& key) {
  for (const char* k : kKeys)
    if (key == k) return true;
  return false;
}

// Why value cannot be stored under key ("" when it can). An empty value clears the setting.
// The shapefile must pass the checks a run makes of it, the folders must exist, the two
// switches are "0" or "1".
std::string refusal(const std::string& key, const std::string& value) {
  if (value.empty()) return {};
  std::error_code ec;
  if (key == app::kDbfFilesPfad || key == app::kDataFilesPfad)
    return fs::is_directory(value, ec) ? "" : "Der Ordner " + value + " existiert nicht.";
  if (key == app::kShapeFilesPfad) {
    const fs::path file(value);
    if (file.extension() != ".shp") return "Die Datei " + value + " ist kein Shapefile (.shp).";
    if (!fs::is_regular_file(file, ec)) return "Die Datei " + value + " existiert nicht.";
    fs::path index = file;
    if (!fs::exists(index.replace_extension(".shx"), ec))
      return "Die ShapeFile-Dateien sind nicht vollständig, es fehlt die Datei " +
             index.filename().string() + ".";
    return {};
  }
  if (value != "0" && value != "1")
    return key + " ist 0 oder 1" +
           (key == app::kErrorReport ? " (0: Fehlerprotokoll an, 1: aus)." : " (1: drucken).");
  return {};
}

}  // namespace

void addSettingsCommand(CLI::App& app, Context& ctx, Action& action) {
  auto* cmd = app.add_subcommand("settings", "Einstellungen anzeigen oder speichern");
  auto key = std::make_shared<std::string>();
  auto value = std::make_shared<std::string>();
  cmd->add_option("SCHLÜSSEL", *key, "Name der Einstellung")->type_name("");
  auto* valueGiven = cmd->add_option("WERT", *value, "neuer Wert")->type_name("");
  cmd->callback([&ctx, &action, key, value, valueGiven] {
    // Reading or storing a setting is no run: nothing for the log.
    ctx.log = LogUse::OnRequest;
    action = [&ctx, key, value, valueGiven] {
      if (key->empty()) {
        for (const char* k : kKeys) ctx.out << k << "=" << ctx.settings.get(k) << "\n";
        return kDone;
      }
      if (!isKnownKey(*key)) {
        ctx.err << "Unbekannte Einstellung: " << *key << "\nBekannt sind: ShapeFilesPfad, "
                << "DbfFilesPfad, DataFilesPfad, DataFilesPrint, ErrorReport\n";
        return kUsageError;
      }
      if (valueGiven->count() == 0) {
        ctx.out << ctx.settings.get(*key) << "\n";
        return kDone;
      }
      const bool isPath =
          *key == app::kShapeFilesPfad || *key == app::kDbfFilesPfad || *key == app::kDataFilesPfad;
      const std::string stored = isPath && !value->empty() ? absolutePath(*value) : *value;
      if (const std::string why = refusal(*key, stored); !why.empty()) {
        ctx.err << why << " Nichts gespeichert.\n";
        return kUsageError;
      }
      ctx.settings.set(*key, stored);
      ctx.out << *key << "=" << ctx.settings.get(*key) << " gespeichert\n";
      return kDone;
    };
  });
}

}  // namespace cli
