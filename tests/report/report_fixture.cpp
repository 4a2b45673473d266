#include "report_fixture.h"

#include <algorithm>
#include <set>

#include "app/resource_folder.h"
#include "data/dbf/dbf_file.h"
#include "data/schema/survey_tables.h"
#include "docx/test_package.h"
#include "sample/sample_database.h"
#include "shape/c_file_name.h"
#include "shape/c_shape_file.h"
#include "word/cls_word_doc.h"
#include "word/part_extent_cache.h"

namespace fs = std::filesystem;

namespace reporttest {
namespace {

data::Value valueFor(const data::dbf::FieldDescriptor& field, const std::string& text) {
  if (text.empty()) return {};
  switch (field.type) {
    case 'N':
    case 'F':
      return field.decimals ? data::Value::real(std::stod(text))
                            : data::Value::integer(std::stoll(text));
    case 'L':
      return data::Value::boolean(text == "T");
    case 'D':
      return data::Value::date({std::stoi(text.substr(0, 4)), std::stoi(text.substr(4, 2)),
                                std::stoi(text.substr(6, 2))});
    default:
      return data::Value::text(text);
  }
}

}  // namespace

std::vector<std::pair<double, double>> square(double left, double bottom, double size) {
  return {{left, bottom},
          {left, bottom + size},
          {left + size, bottom + size},
          {left + size, bottom},
          {left, bottom}};
}

std::string paragraphOfMarks(int& id, const std::vector<std::string>& names,
                             const std::string& content) {
  std::string xml;
  for (const auto& n : names) xml += "<w:p>" + bookmark(id++, n, content) + "</w:p>";
  return xml;
}

void ReportFixture::SetUp() {
  AppFixture::SetUp();
  for (const char* sub : {"out", "db", "prog/Templates", "prog/data", "shape"})
    fs::create_directories(dir_.path() / sub);
  settings().set(app::kDataFilesPfad, out().string());
  settings().set(app::kDbfFilesPfad, (dir_.path() / "db").string());
  settings().set(app::kShapeFilesPfad, fs::absolute(shapePath()).string());
  settings().set(app::kErrorReport, "0");
  ASSERT_TRUE(app::g_Debug().Init());
  app::setResourceFolder(dir_.path() / "prog");
  sample::writeUmlautTable(dir_.path() / "prog" / "data" / "umlaute2.dbf");
  word::resetWordDoc();
  word::forgetPartExtents();
  // The report driver checks the paths, the shapefile's among them, before every sheet.
  writeShapefile({{"99999999999", "", {square(0, 0, 1)}}});
}

void ReportFixture::TearDown() {
  doc_.reset();
  word::resetWordDoc();
  word::forgetPartExtents();
  app::setResourceFolder({});
  AppFixture::TearDown();
}

void ReportFixture::writeDatabase(const std::map<std::string, std::vector<Row>>& tables) {
  for (const auto& schema : data::schema::surveySchema()) {
    const auto fields = schema.fields();
    data::dbf::DbfWriter writer(dir_.path() / "db" / (schema.name + ".dbf"), fields);
    if (auto it = tables.find(schema.name); it != tables.end()) {
      for (const Row& row : it->second) {
        for (const auto& [column, value] : row)
          if (schema.position(column) < 0) ADD_FAILURE() << schema.name << " has no " << column;
        std::vector<data::Value> values;
        for (const auto& f : fields) {
          auto v = row.find(f.name);
          values.push_back(valueFor(f, v == row.end() ? "" : v->second));
        }
        writer.append(values);
      }
    }
    writer.finish();
  }
  connect();
}

void ReportFixture::connect() {
  db_ = std::make_unique<data::clsDBFData>();
  db_->useSurveyFolder((dir_.path() / "db").string());
  db_->ConnectDBDaten();
}

void ReportFixture::writeShapefile(const std::vector<ShapePolygon>& polygons, int areaDecimals) {
  shape::CFileName spec;
  spec.SetFileSpec(fs::absolute(shapePath()).string());
  shape::CShapeFile file;
  file.SetFileSpec(spec, shape::CShapeFile::CREATEIT, shape::CShapeFile::kPolygon);
  std::vector<data::dbf::FieldDescriptor> fields = {{"POLYGONNR", 'C', 11, 0}};
  if (areaDecimals >= 0) fields.push_back({"AREA", 'N', 14, static_cast<uint8_t>(areaDecimals)});
  data::dbf::DbfWriter table(dir_.path() / "shape" / "polygone.dbf", fields);
  for (const auto& p : polygons) {
    shape::CPolygon polygon;
    for (const auto& ring : p.parts) {
      auto part = std::make_shared<shape::CPart>();
      for (const auto& [x, y] : ring) part->Add(std::make_shared<shape::CPoint>(x, y));
      polygon.Add(part);
    }
    file.Add(polygon);
    data::Value area;
    if (!p.area.empty())
      area = areaDecimals ? data::Value::real(std::stod(p.area))
                          : data::Value::integer(std::stoll(p.area));
    if (areaDecimals >= 0)
      table.append({data::Value::text(p.code), area});
    else
      table.append({data::Value::text(p.code)});
  }
  table.finish();
}

void ReportFixture::writeTemplate(const std::string& file, const std::string& body) {
  docx::test::TemplateParts parts;
  parts.body = body;
  docx::test::writeFile(dir_.path() / "prog" / "Templates" / file,
                        docx::test::buildTemplate(parts));
}

void ReportFixture::writeStandardTemplates(const std::vector<std::string>& types) {
  for (const auto& type : types) {
    int id = 1;
    std::vector<std::string> head = {"GBCODE",           "NAME",
                                     "CODE_EG",          "CODE_EG2",
                                     "LEBENSRAUMNAME",   "LEBENSRAUMNAME2",
                                     "BIOHAUPTTYPNAME",  "BIONEBENTYPNAME",
                                     "BIONEBENTYP2NAME", "BIONEBENTYP3NAME",
                                     "BIONEBENTYP4NAME", "BIONEBENTYP5NAME"};
    std::set<std::string> seen(head.begin(), head.end());
    for (const auto& c : data::schema::surveyTable("GBogen").columns)
      if (seen.insert(c.field.name).second) head.push_back(c.field.name);
    std::string body = paragraphOfMarks(id, head);
    // The body's bookmarks: the columns of the type's two tables; a number's unit stands
    // outside its bookmark.
    data::clsDBFData catalogue;
    std::string first, second;
    catalogue.GetTableName("000000000000" + type, 1, first);
    catalogue.GetTableName("000000000000" + type, 2, second);
    for (const auto& name : {first, second}) {
      for (const auto& c : data::schema::surveyTable(name).columns) {
        if (!seen.insert(c.field.name).second) continue;
        body += "<w:p>" + bookmark(id++, c.field.name, c.field.type == 'N' ? "" : "~") +
                (c.field.type == 'N' ? " %" : "") + "</w:p>";
      }
    }
    body += paragraphOfMarks(id, {"ANMERKUNGEN", "PFLANZENSOZ", "BAUMARTEN", "PFLANZEN", "FLECHTEN",
                                  "MOOSE", "ROTELISTE"});
    body += table({{"Kopf", "", ""}}) + table({{"Bogen", "", ""}}) +
            table({{"Struktur", "Codes", ""}, {"a", "XL-Hecke, Xerophyten", ""}, {"b", "-", ""}});
    writeTemplate("TemplateDatenreportV2" + type + ".dotx", body);
  }
  writeTemplate("TemplateDatenreportV2Deckblatt.dotx",
                "<w:p>" + bookmark(1, "GBCODE", "000 000 00000") + "</w:p><w:p>" +
                    bookmark(2, "HA", "~") + "</w:p>" + table({{"Polygon", "", ""}}) +
                    table({{"Erfassungseinheiten", "", ""}}));
}

bool ReportFixture::logged(const std::string& line) const {
  const auto lines = log();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::ptrdiff_t ReportFixture::loggedStarting(const std::string& prefix) const {
  return std::ranges::count_if(log(), [&](const std::string& l) { return l.starts_with(prefix); });
}

docx::Document& ReportFixture::read(const fs::path& file) {
  doc_ = std::make_unique<docx::Document>(docx::Document::open(file));
  return *doc_;
}

std::string ReportFixture::mark(const std::string& name) const {
  return doc_->bookmarks().text(name, docx::BookmarkScope::kMainText);
}

static std::unique_ptr<pugi::xml_document> mainPart(const fs::path& file) {
  return docx::test::partXml(testsupport::readFile(file), "word/document.xml");
}

docx::RunFormat markFormat(const fs::path& file, const std::string& name) {
  return docx::test::firstRunFormat(*mainPart(file), name);
}

MapGroup mapOf(const fs::path& file) {
  constexpr double kEmuPerPoint = 12700;
  MapGroup m;
  auto xml = mainPart(file);
  for (pugi::xpath_node n : xml->select_nodes("//wp:anchor[.//wpg:wgp]")) {
    pugi::xml_node anchor = n.node();
    m.found = true;
    m.width = anchor.child("wp:extent").attribute("cx").as_double() / kEmuPerPoint;
    m.height = anchor.child("wp:extent").attribute("cy").as_double() / kEmuPerPoint;
    m.top = anchor.child("wp:positionV").child("wp:posOffset").text().as_double() / kEmuPerPoint;
    pugi::xml_node h = anchor.child("wp:positionH");
    m.aligned = std::string(h.child("wp:align").text().as_string()) == "center";
    m.left = h.child("wp:posOffset").text().as_double() / kEmuPerPoint;
    pugi::xml_node groupXfrm = anchor.select_node(".//wpg:grpSpPr/a:xfrm").node();
    const double scaleY = groupXfrm.child("a:ext").attribute("cy").as_double() /
                          groupXfrm.child("a:chExt").attribute("cy").as_double();
    const double scaleX = groupXfrm.child("a:ext").attribute("cx").as_double() /
                          groupXfrm.child("a:chExt").attribute("cx").as_double();
    int k = 0;
    for (pugi::xpath_node s : anchor.select_nodes(".//wpg:wgp/wps:wsp")) {
      ++k;
      pugi::xml_node spPr = s.node().child("wps:spPr");
      m.rings += static_cast<int>(spPr.select_nodes(".//a:moveTo").size());
      m.lineWidths.push_back(spPr.child("a:ln").attribute("w").as_double() / kEmuPerPoint);
      if (spPr.child("a:pattFill") && m.patterned.empty()) {
        auto emu = [&](const char* child, const char* a) {
          return spPr.child("a:xfrm").child(child).attribute(a).as_double();
        };
        auto child = [&](const char* a) {
          return groupXfrm.child("a:chOff").attribute(a).as_double();
        };
        // The test templates' page is 11906 twips wide.
        const double groupLeft = m.aligned ? (11906 / 20.0 - m.width) / 2 : m.left;
        m.markedLeft = groupLeft + (emu("a:off", "x") - child("x")) * scaleX / kEmuPerPoint;
        m.markedTop = m.top + (emu("a:off", "y") - child("y")) * scaleY / kEmuPerPoint;
        m.markedWidth = emu("a:ext", "cx") * scaleX / kEmuPerPoint;
        m.markedHeight = emu("a:ext", "cy") * scaleY / kEmuPerPoint;
      }
      if (spPr.child("a:pattFill")) m.patterned.push_back(k);
      if (s.node().child("wps:txbx") && m.labelHeight == 0)
        m.labelHeight =
            spPr.child("a:xfrm").child("a:ext").attribute("cy").as_double() * scaleY / kEmuPerPoint;
      for (pugi::xpath_node t : s.node().select_nodes(".//w:t")) m.labels += t.node().text().get();
    }
    m.shapes = k;
  }
  return m;
}

}  // namespace reporttest
