#include <CLI/CLI.hpp>
#include <ostream>

#include "cli/commands.h"

namespace cli {
namespace {

const char* const kKeys[] = {app::kShapeFilesPfad, app::kDbfFilesPfad, app::kDataFilesPfad,
                             app::kDataFilesPrint, app::kErrorReport};

bool isKnownKey(const std::string& key) {
  for (const char* k : kKeys)
    if (key == k) return true;
  return false;
}

}  // namespace

void addSettingsCommand(CLI::App& app, Context& ctx, Action& action) {
  auto* cmd = app.add_subcommand("settings", "Einstellungen anzeigen oder speichern");
  auto key = std::make_shared<std::string>();
  auto value = std::make_shared<std::string>();
  auto* valueOpt = cmd->add_option("key", *key, "Name der Einstellung");
  cmd->add_option("value", *value, "neuer Wert");
  auto* valueGiven = cmd->get_option("value");
  (void)valueOpt;
  cmd->callback([&ctx, &action, key, value, valueGiven] {
    action = [&ctx, key, value, valueGiven] {
      if (key->empty()) {
        for (const char* k : kKeys) ctx.out << k << "=" << ctx.settings.get(k) << "\n";
        return 0;
      }
      if (!isKnownKey(*key)) {
        ctx.err << "Unbekannte Einstellung: " << *key << "\nBekannt sind: ShapeFilesPfad, "
                << "DbfFilesPfad, DataFilesPfad, DataFilesPrint, ErrorReport\n";
        return 1;
      }
      if (valueGiven->count() == 0) {
        ctx.out << ctx.settings.get(*key) << "\n";
        return 0;
      }
      const bool isPath =
          *key == app::kShapeFilesPfad || *key == app::kDbfFilesPfad || *key == app::kDataFilesPfad;
      ctx.settings.set(*key, isPath && !value->empty() ? absolutePath(*value) : *value);
      ctx.out << *key << "=" << ctx.settings.get(*key) << " gespeichert\n";
      return 0;
    };
  });
}

}  // namespace cli
