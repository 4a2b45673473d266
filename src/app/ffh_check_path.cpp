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

}  // namespace

int16_t FfhCheckPath() {
  const Settings& s = settings();
  const std::string shape = s.get(kShapeFilesPfad);
  if (shape.empty())
    return fail("Der Shpfile-Pfad ist nicht gesetzt.",
                "Der Pfad für ShapeFile-Dateien ist nicht bestimmt.");

  // Shapefiles from DOS-era programs name their parts in capitals ("FFH.SHP", "FFH.SHX").
  if (!base::hasExtensionNoCase(shape, ".shp"))
    return fail("Die ausgewählte Datei ist kein Shapefile: " + shape,
                "Die ausgewählte Datei ist kein Shapefile.");

  if (base::findSiblingNoCase(shape, ".shx").empty()) {
    const fs::path index = base::siblingPath(shape, ".shx");
    return fail("Die shx-Datei fehlt: " + index.string(),
                "Die ShapeFile-Dateien sind nicht vollständig, es fehlt die Datei " +
                    index.filename().string() + ".");
  }

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
                "Der Pfad für die zu generierenden Daten ist nicht bestimmt.");
  if (!fs::is_directory(out, ec))
    return fail("Der Pfad für die zu generierenden Dateien konnte nicht gefunden werden.",
                "Der Pfad für die zu generierenden Dateien konnte nicht gefunden werden.");
  return 100;
}

std::string outputFolderWriteProblem(const fs::path& folder) {
  const base::TemporaryFile probe(folder / "Schreibprobe");
  if (!probe.error()) return {};
  return "In den Ausgabeordner " + folder.string() +
         " kann nicht geschrieben werden: " + base::fileErrorText(probe.error()) + ".";
}

}  // namespace app
