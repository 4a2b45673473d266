#include <CLI/CLI.hpp>
#include <ostream>

#include "app/program_objects.h"
#include "base/visible_text.h"
#include "cli/commands.h"
#include "cli/exit_code.h"
#include "cli/open_survey.h"
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

// One row per sheet, for a spreadsheet or `cut`: the code's parts, then the sheet type and key
// (or, for the report, the sheet code alone).
void printTable(std::ostream& out, const data::TextSet& sheets, bool report) {
  out << (report ? "FFH-Gebiet\tTeilgebiet\tPolygon\tTeil\tBogencode\n"
                 : "FFH-Gebiet\tTeilgebiet\tPolygon\tTeil\tBogentyp\tBogenschlüssel\n");
  // The selection hands on well-formed codes only; a short one still gives a row, not a crash.
  const auto part = [](const std::string& key, std::size_t at, std::size_t n = std::string::npos) {
    return at < key.size() ? key.substr(at, n) : std::string();
  };
  for (const auto& [key, type] : sheets) {
    out << part(key, 0, 3) << "\t" << part(key, 3, 3) << "\t" << part(key, 6, 5) << "\t"
        << part(key, 11, 1);
    if (!report) out << "\t" << part(key, 12);
    out << "\t" << key << "\n";
  }
}

}  // namespace

void addListCommand(CLI::App& app, Context& ctx, Action& action) {
  auto* cmd =
      app.add_subcommand("list", "Gebietsbaum und Geländebögen der gewählten Bogentypen auflisten");
  auto types = std::make_shared<std::string>();
  auto report = std::make_shared<bool>(false);
  auto format = std::make_shared<std::string>("text");
  cmd->add_option("--types", *types, "Bogentypen, z. B. F,GN (Vorgabe: alle)")->type_name("TYPEN");
  cmd->add_flag("--report", *report, "Bogencodes wie im Datenreport statt Bogenschlüsseln");
  cmd->add_option("--format", *format,
                  "text: Gebietsbaum, dann die Bögen; tsv: eine Zeile je Bogen, durch "
                  "Tabulatoren getrennt (Vorgabe: text)")
      ->type_name("FORMAT")
      ->check(CLI::Validator(
          [](std::string& value) -> std::string {
            return value == "text" || value == "tsv" ? "" : value + " ist weder text noch tsv";
          },
          "text oder tsv"));
  cmd->callback([&ctx, &action, types, report, format] {
    // Listing reads the survey and writes nothing: no log.
    ctx.log = LogUse::OnRequest;
    action = [&ctx, types, report, format] {
      const auto chosen = sheetTypesOption(*types, ctx.err);
      if (!chosen) return kUsageError;
      data::clsDBFData db;
      if (!openSurveyTables(db)) return kNotAllDone;
      data::TextSet sheets;
      data::AreaRoots roots;
      const int16_t status = *report ? db.GetReportBogenNumbers(*chosen, sheets, roots)
                                     : db.GetBogenNumbers(*chosen, sheets, roots);
      if (status != 100) {
        ctx.err << "Die Geländebögen konnten nicht ermittelt werden"
                << " (Einzelheiten im Fehlerprotokoll, Option --log).\n";
        return kNotAllDone;
      }
      if (*format == "tsv") {
        printTable(ctx.out, sheets, *report);
        return kDone;
      }
      printTree(ctx.out, roots);
      ctx.out << "\n";
      for (const auto& [key, type] : sheets) ctx.out << base::visibleText(key) << "\n";
      return kDone;
    };
  });
}

}  // namespace cli
