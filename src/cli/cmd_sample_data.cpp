#include <CLI/CLI.hpp>
#include <cctype>
#include <chrono>
#include <ostream>

#include "cli/commands.h"
#include "cli/exit_code.h"
#include "sample/sample_database.h"
#include "sample/sample_messy.h"
#include "sample/sample_shapefile.h"

namespace cli {

std::filesystem::path sampleShapefile(const std::filesystem::path& dir) {
  return dir / "shape" / "ffh_flaechen.shp";
}

namespace {

void printMessy(std::ostream& out, const sample::MessyResult& m) {
  out << "Unordentlich gemacht: " << m.badCodes.size()
      << " fehlerhafte Bogennummern, Bogen ohne Typdaten: " << m.untypedKey << "\n"
      << "Bogen unbekannten Typs: " << m.unknownTypeKey << "\n"
      << "Bogen zweimal gespeichert: " << m.duplicateKey << "\n"
      << "Bogen mit fremdem Polygon: " << m.strayKey << "\n"
      << "Bogen mit unmöglichem Datum: " << m.badDateKey << " (Datensatz " << m.badDateRecord
      << ")\n"
      << "FFH-Gebiet ohne Eintrag in ffhnum: " << m.missingArea << "\n"
      << "Kopf von GBogen.dbf: " << m.headerCount << " von " << m.records << " Datensätzen\n"
      << "Biotoptyp ohne Katalogeintrag: " << m.unknownBiotope << " (Bogen " << m.strayKey << ")\n"
      << "Lebensraumtyp ohne Katalogeintrag: " << m.unknownHabitat << " (Bogen " << m.strayKey
      << ")\n"
      << "Pflanzenart ohne Katalogeintrag: " << m.unknownPlant << " (Bogen " << m.strayKey << ")\n"
      << "Zeilen ohne Bogen: " << m.orphanCode << " (anmerk, artenbew, pfsozbew, bgs)\n"
      << "Memoverweis hinter dem Ende der Memodatei: anmerk.dbf, Datensatz " << m.badMemoRecord
      << "\n"
      << "Bogen mit Datum in der Zukunft: " << m.futureDateKey << "\n"
      << "Bogen ohne Kartierer: " << m.emptySurveyorKey << "\n"
      << "Kopf von pflsozio.dbf: " << m.shortHeaderCount << " von " << m.shortRecords
      << " Datensätzen, Memodatei fehlt, Text in Datensatz 1 nicht lesbar\n"
      << "Polygone mit fehlerhafter Geometrie: " << sample::kUnclosedRingPolygon << " bis "
      << sample::kRefusedRecordPolygon << "\n";
}

// Renames the shapefile's three files to capitals, name and extension ("ffh_flaechen.shp"
// becomes "FFH_FLAECHEN.SHP"); answers the new ".SHP".
std::filesystem::path toCapitals(const std::filesystem::path& shp) {
  auto upper = [](std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
  };
  const std::string stem = shp.stem().string();
  for (const std::string ext : {"shp", "shx", "dbf"})
    std::filesystem::rename(shp.parent_path() / (stem + "." + ext),
                            shp.parent_path() / (upper(stem) + "." + upper(ext)));
  return shp.parent_path() / (upper(stem) + ".SHP");
}

}  // namespace

void addSampleDataCommand(CLI::App& app, Context& ctx, Action& action) {
  auto* cmd = app.add_subcommand(
      "sample-data", "Beispiel-Datenbank (28 DBF-Tabellen, Umlaute-Tabelle, Shapefile) schreiben");
  auto dir = std::make_shared<std::string>();
  auto options = std::make_shared<sample::SampleOptions>();
  cmd->add_option("ORDNER", *dir, "Zielordner (wird angelegt)")->required()->type_name("");
  cmd->add_option("--polygons", options->polygons, "Anzahl der Polygone")->capture_default_str();
  cmd->add_option("--seed", options->seed, "Startwert des Zufallsgenerators")
      ->capture_default_str();
  cmd->add_option("--code-page", options->codePage, "Codepage der Tabellen, z. B. CP1252, CP850")
      ->type_name("CODEPAGE")
      ->capture_default_str();
  auto crs = std::make_shared<int>(0);
  cmd->add_option("--crs", *crs,
                  "das Shapefile in diesem Koordinatensystem, mit .prj-Datei: 31467 (Gauß-Krüger), "
                  "25832 (ETRS89/UTM 32N) oder 4326 (WGS 84, Grad)")
      ->type_name("EPSG")
      ->check(CLI::Validator(
          [](std::string& input) -> std::string {
            for (int code : sample::kSampleCoordinateSystems)
              if (input == std::to_string(code)) return {};
            return input + " ist keiner der Codes 31467, 25832 und 4326";
          },
          "31467, 25832 oder 4326"));
  auto messy = std::make_shared<bool>(false);
  cmd->add_flag("--messy", *messy,
                "wie in echten Kartierordnern: DOS-Codepage ohne Kennung, Bögen mit zwei Typen, "
                "ungeordnete und gelöschte Sätze, fehlerhafte Bogennummern");
  cmd->callback([&ctx, &action, dir, options, messy, crs] {
    ctx.log = LogUse::OnRequest;
    action = [&ctx, dir, options, messy, crs] {
      const auto start = std::chrono::steady_clock::now();
      const std::filesystem::path folder = *dir;
      const sample::SampleResult result = sample::writeSampleDatabase(folder, *options);
      sample::writeUmlautTable(folder / "umlaute2.dbf");
      if (*messy) printMessy(ctx.out, sample::makeMessy(folder));
      std::vector<std::string> codes;
      codes.reserve(result.polygons.size());
      for (const auto& p : result.polygons) codes.push_back(p.code);
      std::filesystem::path shape = sampleShapefile(folder);
      std::filesystem::create_directories(shape.parent_path());
      sample::ShapefileForm form;
      form.nullRecord = *messy;
      form.faultyRecords = *messy;
      form.crs = *crs;
      sample::writeSampleShapefile(shape, codes, options->seed, form);
      // A messy folder's shapefile is named in capitals, as DOS-era exports are.
      if (*messy) shape = toCapitals(shape);
      const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count();
      ctx.out << result.polygons.size() << " Polygone und " << result.sheets << " Geländebögen in "
              << ms << " ms geschrieben.\n"
              << "DBF-Tabellen: " << folder.string() << "\n"
              << "Shapefile:    " << shape.string() << "\n"
              << "Weiter mit:   quelbrix --db " << folder.string() << " --shape " << shape.string()
              << " --out AUSGABEORDNER check\n";
      return kDone;
    };
  });
}

// Writes the program's own umlaut table; the build puts it beside the executable.
void addUmlautTableCommand(CLI::App& app, Context& ctx, Action& action) {
  auto* cmd = app.add_subcommand("write-umlaut-table", "");
  cmd->group("");  // for the build, not for users
  auto file = std::make_shared<std::string>();
  cmd->add_option("file", *file)->required();
  cmd->callback([&ctx, &action, file] {
    ctx.log = LogUse::OnRequest;
    action = [&ctx, file] {
      std::filesystem::create_directories(std::filesystem::path(*file).parent_path());
      sample::writeUmlautTable(*file);
      ctx.out << *file << "\n";
      return kDone;
    };
  });
}

}  // namespace cli
