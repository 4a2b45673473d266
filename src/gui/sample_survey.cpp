#include "gui/sample_survey.h"

#include <QDir>
#include <filesystem>

#include "app/program_objects.h"
#include "base/system_error_text.h"
#include "tools/sample_database.h"
#include "tools/sample_shapefile.h"

namespace fs = std::filesystem;

namespace gui {

QString sampleFolder() {
  return QDir::homePath() + "/Quelbrix-Beispiel";
}

QString useSampleSurvey(const QString& folder) {
  const fs::path root = folder.toStdString();
  const fs::path survey = root / "Erfassung";
  const fs::path shape = survey / "shape" / "ffh_flaechen.shp";
  const fs::path documents = root / "Dokumente";
  try {
    fs::create_directories(shape.parent_path());
    fs::create_directories(documents);
    const sample::SampleOptions options;
    const sample::SampleResult result = sample::writeSampleDatabase(survey, options);
    sample::writeUmlautTable(survey / "umlaute2.dbf");
    std::vector<std::string> codes;
    codes.reserve(result.polygons.size());
    for (const auto& p : result.polygons) codes.push_back(p.code);
    sample::writeSampleShapefile(shape, codes, options.seed);
  } catch (const fs::filesystem_error& e) {
    return QString::fromStdString(
        "Die Beispieldaten konnten nicht nach " + root.string() +
        " geschrieben werden: " + base::systemErrorText(e.code().value()) + ".");
  } catch (const std::exception& e) {
    return QString::fromStdString("Die Beispieldaten konnten nicht nach " + root.string() +
                                  " geschrieben werden: " + e.what());
  }
  app::Settings& settings = app::settings();
  settings.set(app::kShapeFilesPfad, shape.string());
  settings.set(app::kDbfFilesPfad, survey.string());
  settings.set(app::kDataFilesPfad, documents.string());
  return {};
}

}  // namespace gui
