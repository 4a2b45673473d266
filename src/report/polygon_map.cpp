#include <filesystem>
#include <limits>

#include "app/program_objects.h"
#include "report/error_text.h"
#include "report/map_index_cache.h"
#include "report/mod_ffh_report_bogen.h"
#include "shape/c_file_name.h"
#include "shape/c_shape_file.h"
#include "shape/shape_error.h"
#include "word/cls_word_doc.h"
#include "word/shape_subs.h"

namespace report {
namespace {

// Room the scale bar needs behind the last map shape (label and bar).
constexpr int16_t kScaleBarShapes = 2;

// The clipping edges in the order the map cuts a neighbour: right, bottom, left, top.
constexpr int16_t kClipOrder[] = {2, 4, 1, 3};

}  // namespace

int16_t ffhReportSetPolygon(int32_t recordNumber, data::clsDBFData& /*db*/) {
  app::clsDebug& log = app::g_Debug();
  word::clsWordDoc& doc = word::g_WordDoc();
  int16_t result = 101;
  try {
    const std::string path = app::settings().get(app::kShapeFilesPfad);
    std::error_code ec;
    if (!path.empty() && !std::filesystem::exists(path, ec)) {
      log.Ausgabe(2,
                  "ffhReportSetPolygon: Fehler! Der Pfad für die Shape-Dateien konnten nicht "
                  "gefunden werden.");
      return 101;
    }
    shape::CFileName name;
    name.SetFileSpec(path);
    shape::CShapeFile file;
    file.SetFileSpec(name, shape::CShapeFile::OPENIT, shape::CShapeFile::kPolygon);

    word::NeighbourCollection records;
    word::Box box;
    word::CollectNeighbourPolygons(*partExtentsFor(path, file), recordNumber, records, box);
    if (records.empty()) {
      // The attribute table and the geometry disagree; an empty frame would pass for a map.
      log.Ausgabe(2, "ffhReportSetPolygon: Fehler! Der Datensatz " + std::to_string(recordNumber) +
                         " ist in der Shape-Datei kein Polygon.");
      return 101;
    }

    const double W = box.Right - box.Left;
    const double H = box.Top - box.Bottom;
    const double frameWidth = W + 150;
    const double frameHeight = H + 150;
    const float fw = static_cast<float>(frameWidth);
    const float fh = static_cast<float>(frameHeight);
    const word::PointList frame = {{0, fh}, {0, 0}, {fw, 0}, {fw, fh}, {0, fh}};
    int16_t counter = 1;
    doc.AddPolyline(counter, frame);
    counter = 2;

    for (int32_t record : records) {
      std::shared_ptr<shape::IShape> item;
      try {
        item = file.Item(record);
      } catch (const shape::ShapeError& e) {
        // The surveyed polygon itself must be drawable; a neighbour that cannot be read is
        // left out of the map.
        if (record == recordNumber) throw;
        log.Ausgabe(2,
                    "ffhReportSetPolygon: Fehler! Der Datensatz " + std::to_string(record) +
                        " der Shape-Datei ist nicht lesbar und wird übergangen: " + errorText(e));
        continue;
      }
      const auto* polygon = dynamic_cast<const shape::PartShape*>(item.get());
      if (!polygon) continue;
      bool firstPart = true;
      for (const auto& part : *polygon) {
        if (counter > std::numeric_limits<int16_t>::max() - kScaleBarShapes - 1) {
          log.Ausgabe(3,
                      "ffhReportSetPolygon: Warnung! Die Karte enthält zu viele Teilflächen; "
                      "weitere werden nicht gezeichnet.");
          break;
        }
        word::Ring ring;
        ring.reserve(static_cast<std::size_t>(part->Count()));
        for (const auto& point : *part)
          ring.push_back({static_cast<float>(point->X() - box.Left + 75),
                          static_cast<float>(box.Top - point->Y() + 75)});
        app::ui().processEvents();
        if (record == recordNumber) {
          word::PointList points;
          points.reserve(ring.size());
          for (const auto& p : ring) points.push_back({p.x, p.y});
          doc.AddPolyline(counter, points);
          if (firstPart) doc.MarkPolygon(counter);
          ++counter;
        } else {
          bool drawn = true;
          for (int16_t direction : kClipOrder) {
            bool outside = false;
            if (word::ClipRingEdge(direction, frameWidth, frameHeight, ring, outside) != 100 ||
                outside) {
              drawn = false;
              break;
            }
          }
          if (drawn) {
            word::PointList points;
            points.reserve(ring.size());
            for (const auto& p : ring) points.push_back({p.x, p.y});
            doc.AddPolyline(counter, points);
            ++counter;
          }
        }
        firstPart = false;
      }
    }

    float width = 0;
    float height = 0;
    for (const auto& p : frame) {
      width = std::max(width, p[0]);
      height = std::max(height, p[1]);
    }
    if (doc.SetScaleBar(width, height, 75, 0, counter) != 100)
      log.Ausgabe(2, "Fehler! Die Maßeinheit konnte nicht gesetzt werden.");
    if (doc.MovePolygon(counter, 300) != 100)
      log.Ausgabe(2, "Fehler! Das Polygon konnte nicht korrekt gesetzt werden.");
    result = 100;
  } catch (const std::exception& e) {
    log.Ausgabe(2, "FfhReportSetPolygon: Fehler! Nicht abgefangener Fehler." + errorText(e));
  }
  return result;
}

}  // namespace report
