#include "app/ffh_check_path.h"

#include <filesystem>
#include <string>

#include "app/program_objects.h"
#include "base/atomic_write.h"
#include "base/file_lookup.h"
#include "base/temporary_file.h"

namespace fs = std::filesystem;

namespace app {
namespace {

int16_t fail(const std::string& logLine, const std::string& userMessage) {
  g_Debug().Ausgabe(2, "mod_subs.FfhCheckPath: Fehler! " + logLine);
  ui().message(MessageIcon::Error, userMessage + "\nBitte überprüfen Sie die Pfade.");
  return 101;
}

bool pathExists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

}  // namespace

int16_t FfhCheckPath() {
  const Settings& s = settings();
  const std::string shape = s.get(kShapeFilesPfad);
  if (shape.empty())
    return fail("Der Shpfile-Pfad ist nicht gesetzt.",
                "Der Pfad für ShapeFile-Dateien ist nicht bestimmt.");

  const std::string fileName = fs::path(shape).filename().string();
  const auto dot = fileName.rfind('.');
  if (dot == std::string::npos || fileName.substr(dot + 1) != "shp")
    return fail("Die ausgewählte Datei ist kein Shapefile: " + shape,
                "Die ausgewählte Datei ist kein Shapefile.");

  std::string index = shape;
  for (std::size_t pos = 0; (pos = index.find(".shp", pos)) != std::string::npos; pos += 4)
    index.replace(pos, 4, ".shx");
  if (!pathExists(index))
    return fail("Die shx-Datei fehlt: " + index,
                "Die ShapeFile-Dateien sind nicht vollständig, es fehlt die Datei " +
                    fs::path(index).filename().string() + ".");

  const std::string dbf = s.get(kDbfFilesPfad);
  if (dbf.empty())
    return fail("Der Pfad für die Programm-Daten ist nicht gesetzt.",
                "Der Pfad für Programm-Daten ist nicht bestimmt.");
  std::error_code ec;
  if (fs::is_directory(dbf, ec) && base::findFileNoCase(dbf, "Polygone.dbf").empty())
    return fail("Die Programm-Daten (DBF) konnten nicht gefunden werden, Pfad: " + dbf + "/" +
                    "Polygone.dbf",
                "Die Programm-Daten konnten nicht gefunden werden.");

  const std::string out = s.get(kDataFilesPfad);
  if (out.empty())
    return fail("Der Pfad für die zu generierenden Daten ist nicht gesetzt.",
                "Der Pfad für zu generierenden Daten ist nicht bestimmt.");
  if (!fs::is_directory(out, ec))
    return fail("Der Pfad für die zu generierenden Dateien konnten nicht gefunden werden.",
                "Der Pfad für die zu generierenden Dateien konnten nicht gefunden werden.");
  return 100;
}

std::string outputFolderWriteProblem(const fs::path& folder) {
  const base::TemporaryFile probe(folder / "Schreibprobe");
  if (!probe.error()) return {};
  return "In den Ausgabeordner " + folder.string() +
         " kann nicht geschrieben werden: " + base::fileErrorText(probe.error()) + ".";
}

}  // namespace app
