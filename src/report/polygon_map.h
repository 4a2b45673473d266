#pragma once
// The map of a cover sheet, apart from the document it is drawn into: the surveyed polygon of a
// shapefile record and its neighbours clipped to a frame, layer by layer, in drawing units (x to
// the right, y downwards; the frame is the polygon's neighbourhood with 75 units all round). The
// cover sheet draws it with the document engine (ffhReportSetPolygon); the report window shows
// the same shapes on the screen.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/run_services.h"
#include "data/cls_dbf_data.h"
#include "word/run_context.h"

namespace report {

struct MapShape {
  // Closed rings, or of the neighbours also open lines: an edge two neighbours share is drawn
  // once. Simplified to the map's resolution.
  std::vector<word::PointList> lines;
  bool marked = false;  // an outer ring of the surveyed polygon: filled grey
  bool own = false;     // a ring of the surveyed polygon: drawn with the strong outline
};

struct PolygonMap {
  float width = 0;  // the frame, from (0, 0) to (width, height)
  float height = 0;
  float resolution = 0;          // a quarter point on the page, in drawing units
  std::vector<MapShape> shapes;  // bottom layer first
  double area = 0;  // of the surveyed polygon, in square metres of the map's projected system
};

// The map of record recordNumber (1-based) of the shapefile at path and its neighbours, in
// metres (the file's coordinates projected as its ".prj" says): the neighbours first, sharing a
// few shapes, then every outer ring of the surveyed polygon marked, its holes and the islands
// in them; neighbours and parts under half a point on the page are left out. nullopt (logged,
// and what is wrong with the record in problem: "fehlt in der Shape-Datei ...", "der
// Shape-Datei ist leer ...") when the record has no polygon to draw. tellCoordinates: say once
// per run what the user must know about the file's coordinates (word::shapefileMapFor). Throws
// what reading or projecting the shapefile throws.
std::optional<PolygonMap> buildPolygonMap(const std::string& path, int32_t recordNumber,
                                          const app::RunServices& run,
                                          std::string* problem = nullptr,
                                          bool tellCoordinates = true);

// The polygon's record in the shapefile's attribute table (the last row with its code), 0 when
// it has none, -1 when the table cannot be queried; area (when given) gets the row's AREA (Null
// when the table has no such column). Throws data::FatalError for an unreadable table.
int32_t shapeRecordOf(const std::string& polygonCode, data::clsDBFData& db,
                      data::Value* area = nullptr);

// The map the polygon's cover sheet gets, from the shapefile of the setting "ShapeFilesPfad";
// nullopt with the cause in German when there is none. Never throws.
std::optional<PolygonMap> coverSheetMap(const std::string& polygonCode, const word::RunContext& run,
                                        std::string& cause);

}  // namespace report
