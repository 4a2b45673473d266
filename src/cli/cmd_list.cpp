#include <CLI/CLI.hpp>
#include <ostream>

#include "app/program_objects.h"
#include "base/visible_text.h"
#include "cli/commands.h"
#include "data/cls_dbf_data.h"

namespace cli {
namespace {

void printTree(std::ostream& out, const data::AreaRoots& roots) {
  for (const auto& [area, root] : roots) {
    out << "FFH-Gebiet " << root->getNodeValue() << "\n";
    for (const auto& [subValue, sub] : root->children()) {
      out << "  Teilgebiet " << sub->getNodeValue() << "\n";
      for (const auto& [polygonValue, polygon] : sub->children())
        out << "    Polygon " << polygon->getNodeValue() << "\n";
    }
  }
}

}  // namespace

void addListCommand(CLI::App& app, Context& ctx, Action& action) {
  auto* cmd =
      app.add_subcommand("list", "Gebietsbaum und Geländebögen der gewählten Bogentypen auflisten");
  auto types = std::make_shared<std::string>();
  auto report = std::make_shared<bool>(false);
  cmd->add_option("--types", *types, "Bogentypen, z. B. F,GN (Vorgabe: alle)");
  cmd->add_flag("--report", *report, "Bogencodes wie im Datenreport statt Bogenschlüsseln");
  cmd->callback([&ctx, &action, types, report] {
    action = [&ctx, types, report] {
      const auto chosen = sheetTypesOption(*types, ctx.err);
      if (!chosen) return 1;
      data::clsDBFData db;
      db.useSurveyFolder(ctx.settings.get(app::kDbfFilesPfad));
      db.ConnectDBDaten();
      data::TextSet sheets;
      data::AreaRoots roots;
      const int16_t status = *report ? db.GetReportBogenNumbers(*chosen, sheets, roots)
                                     : db.GetBogenNumbers(*chosen, sheets, roots);
      if (status != 100) {
        ctx.err << "Die Geländebögen konnten nicht ermittelt werden"
                << " (Einzelheiten im Fehlerprotokoll, Option --log).\n";
        return 1;
      }
      printTree(ctx.out, roots);
      ctx.out << "\n";
      for (const auto& [key, type] : sheets) ctx.out << base::visibleText(key) << "\n";
      return 0;
    };
  });
}

}  // namespace cli
