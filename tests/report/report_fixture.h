#pragma once
// A complete setting for report tests: a survey database written with the real dBASE writer in
// the sample layout, a polygon shapefile drawn by the test, small report templates carrying the
// bookmarks the report routines fill, and a started log. Documents are read back with the
// engine.

#include <map>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "app/app_fixture.h"
#include "data/cls_dbf_data.h"
#include "docx/test_package.h"
#include "word/docx/document.h"

namespace reporttest {

// Column name → value ("" or absent = Null). Logical columns take "T"/"F", dates "YYYYMMDD".
using Row = std::map<std::string, std::string>;

// One polygon of the test shapefile: rings of (x, y) in map units, one per part.
struct ShapePolygon {
  std::string code;  // POLYGONNR
  std::string area;  // AREA in m², "" = Null
  std::vector<std::vector<std::pair<double, double>>> parts;
};

// A closed square ring.
std::vector<std::pair<double, double>> square(double left, double bottom, double size);

class ReportFixture : public testsupport::AppFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Rows of a survey table by its catalogue name ("GBogen", "bgg", ...); tables not given stay
  // empty. Writes all 28 tables and connects the database.
  void writeDatabase(const std::map<std::string, std::vector<Row>>& tables);
  // Connects db_ to the tables in <dir>/db.
  void connect();
  // Writes <dir>/shape/polygone.shp/.shx/.dbf in record order; AREA is N(14, areaDecimals),
  // left out for areaDecimals < 0.
  void writeShapefile(const std::vector<ShapePolygon>& polygons, int areaDecimals = 2);
  // Writes Templates/<file> below the program folder with the body XML given.
  void writeTemplate(const std::string& file, const std::string& body);
  // The report templates of the given types and the cover-sheet template.
  void writeStandardTemplates(const std::vector<std::string>& types = {"F", "GN", "GT"});

  std::filesystem::path out() const { return dir_.path() / "out"; }
  std::filesystem::path reportFile(const std::string& base) const {
    return out() / "Report" / (base + ".docx");
  }
  std::filesystem::path shapePath() const { return dir_.path() / "shape" / "polygone.shp"; }
  std::vector<std::string> log() const { return logLines(out()); }
  bool logged(const std::string& line) const;
  std::ptrdiff_t loggedStarting(const std::string& prefix) const;  // lines beginning so
  std::string mark(const std::string& name) const;  // main-text bookmark of the last read
  // Opens a saved document; mark() then reads its bookmarks.
  docx::Document& read(const std::filesystem::path& file);

  std::unique_ptr<data::clsDBFData> db_;
  std::unique_ptr<docx::Document> doc_;  // the last document read
  std::vector<std::string> messages_;
};

// XML helpers for templates.
using docx::test::bookmark;
using docx::test::table;
std::string paragraphOfMarks(int& id, const std::vector<std::string>& names,
                             const std::string& content = "~");

// The format of the first run inside a main-text bookmark of a saved document.
docx::RunFormat markFormat(const std::filesystem::path& file, const std::string& name);

// The cover-sheet map as the saved main part holds it.
struct MapGroup {
  bool found = false;
  double width = 0, height = 0, top = 0;  // points
  double left = 0;  // points; centred: left + width / 2 is the middle of the page
  bool aligned = false;
  int shapes = 0;
  std::vector<int> patterned;      // 1-based positions of shapes with a pattern fill
  std::string labels;              // texts of the labels
  double labelHeight = 0;          // points on the page, of the first label
  int rings = 0;                   // outlines drawn, over all shapes
  std::vector<double> lineWidths;  // points, per shape in order
  // Points on the page, of the first patterned shape (the surveyed polygon's first part).
  double markedLeft = 0, markedTop = 0, markedWidth = 0, markedHeight = 0;
};
MapGroup mapOf(const std::filesystem::path& file);

}  // namespace reporttest
