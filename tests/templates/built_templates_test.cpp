// Checks the templates the build produced, as a consumer reads them: packages, parts, page,
// language, and that every bookmark the generation routines write for the survey database is
// there, in the place where the routine can reach it.

#include <gtest/gtest.h>

#include <filesystem>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "data/cls_dbf_data.h"
#include "data/schema/routine_bookmarks.h"
#include "data/schema/sheet_types.h"
#include "data/schema/survey_tables.h"
#include "dotx_inspector.h"

namespace {

const std::filesystem::path kBuilt = QUELBRIX_BUILT_TEMPLATES;

testsupport::DotxPackage openTemplate(const std::string& fileName) {
  return testsupport::DotxPackage::open(kBuilt / fileName);
}

// The sheet type's two tables as the database layer's table catalogue names them.
std::pair<std::string, std::string> tablesOf(const std::string& type) {
  data::clsDBFData db;
  const std::string key = "000000000000" + type;
  std::string first, second;
  EXPECT_TRUE(db.GetTableName(key, 1, first)) << type;
  EXPECT_TRUE(db.GetTableName(key, 2, second)) << type;
  return {first, second};
}

std::vector<std::string> allTemplateFiles() {
  std::vector<std::string> files;
  for (const auto& t : data::schema::documentTemplates()) files.push_back(t.fileName);
  return files;
}

pugi::xml_document parsed(const std::string& xml) {
  pugi::xml_document doc;
  EXPECT_TRUE(doc.load_string(xml.c_str()));
  return doc;
}

TEST(templates_package, zip_holds_the_parts_of_a_template) {
  for (const auto& file : allTemplateFiles()) {
    SCOPED_TRACE(file);
    const auto p = openTemplate(file);
    ASSERT_FALSE(p.partNames().empty());
    EXPECT_EQ(p.partNames().front(), "[Content_Types].xml");
    for (const char* part :
         {"_rels/.rels", "word/_rels/document.xml.rels", "word/document.xml", "word/styles.xml",
          "word/settings.xml", "word/header1.xml", "word/footer1.xml", "docProps/core.xml"})
      EXPECT_TRUE(p.has(part)) << part;

    const auto types = parsed(p.part("[Content_Types].xml"));
    const auto main = types.select_node("//Override[@PartName='/word/document.xml']");
    ASSERT_TRUE(main);
    EXPECT_STREQ(
        main.node().attribute("ContentType").value(),
        "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml");
    // Every relationship target of the main document is a part of the package.
    const auto rels = parsed(p.part("word/_rels/document.xml.rels"));
    for (const auto& rel : rels.select_nodes("//Relationship"))
      EXPECT_TRUE(p.has(std::string("word/") + rel.node().attribute("Target").value()))
          << rel.node().attribute("Target").value();
    // ... and every override names one.
    for (const auto& o : types.select_nodes("//Override"))
      EXPECT_TRUE(p.has(std::string(o.node().attribute("PartName").value()).substr(1)));
  }
}

TEST(templates_page, a4_portrait_with_header_and_footer_in_german_times_new_roman) {
  for (const auto& file : allTemplateFiles()) {
    SCOPED_TRACE(file);
    const auto p = openTemplate(file);
    const auto doc = parsed(p.part("word/document.xml"));
    const auto sect = doc.child("w:document").child("w:body").last_child();
    ASSERT_STREQ(sect.name(), "w:sectPr");
    EXPECT_EQ(sect.child("w:pgSz").attribute("w:w").as_int(), 11906);
    EXPECT_EQ(sect.child("w:pgSz").attribute("w:h").as_int(), 16838);
    for (const char* side : {"w:top", "w:right", "w:bottom", "w:left"}) {
      const int margin = sect.child("w:pgMar").attribute(side).as_int();
      EXPECT_GE(margin, 567) << side;   // at least 1 cm
      EXPECT_LE(margin, 1701) << side;  // at most 3 cm
    }
    EXPECT_TRUE(sect.find_child_by_attribute("w:headerReference", "w:type", "default"));
    EXPECT_TRUE(sect.find_child_by_attribute("w:footerReference", "w:type", "default"));
    const auto styles = parsed(p.part("word/styles.xml"));
    const auto rPr = styles.select_node("/w:styles/w:docDefaults/w:rPrDefault/w:rPr").node();
    EXPECT_STREQ(rPr.child("w:lang").attribute("w:val").value(), "de-DE");
    EXPECT_STREQ(rPr.child("w:rFonts").attribute("w:ascii").value(), "Times New Roman");
    EXPECT_STREQ(rPr.child("w:rFonts").attribute("w:hAnsi").value(), "Times New Roman");
  }
}

// The template build itself refuses a template that lacks a bookmark its routines write, holds
// one twice or has the page number outside header and footer; these tests check the rest.
TEST(templates_bookmarks, ids_unique_and_closed) {
  for (const auto& file : allTemplateFiles()) {
    SCOPED_TRACE(file);
    const auto p = openTemplate(file);
    for (const auto& fault : p.bookmarkFaults()) ADD_FAILURE() << fault;
  }
}

TEST(templates_bookmarks, sheet_bookmarks_where_the_sheet_routines_reach_them) {
  for (const auto& type : data::kSheetTypes) {
    SCOPED_TRACE(type);
    const auto p = openTemplate("TemplateBogenV2" + type + ".dotx");
    // The routines other than the header-and-footer one reach the main text only.
    for (const auto& [name, places] : p.bookmarks())
      if (name != "POLYGONNR_SEITE") {
        EXPECT_EQ(places[0].part, "word/document.xml") << name;
      }

    // The placeholder's length limits the plant-sociology text: room for a few units.
    EXPECT_GE(p.bookmarks().at("PFSOZ")[0].text.size(), 160u);
    // The copy cross is never set on sheets of type X, and X's template offers none.
    EXPECT_EQ(p.bookmarks().count("GBKOPIE"), type == "X" ? 0u : 1u);
  }
}

TEST(templates_bookmarks, report_head_and_lists_outside_the_structure_tables) {
  for (const auto& type : data::kSheetTypes) {
    SCOPED_TRACE(type);
    const auto p = openTemplate("TemplateDatenreportV2" + type + ".dotx");
    // Tables from the third on are tidied after filling; head values and lists must not be
    // there, or their commas and crosses would be rewritten.
    for (const auto& name : data::schema::reportHeadAndFooterBookmarks())
      EXPECT_LE(p.bookmarks().at(name)[0].table, 2) << name;
  }
}

TEST(templates_bookmarks, report_body_in_second_cells_of_structure_tables) {
  for (const auto& type : data::kSheetTypes) {
    SCOPED_TRACE(type);
    const auto [first, second] = tablesOf(type);
    const auto p = openTemplate("TemplateDatenreportV2" + type + ".dotx");
    const auto body = data::schema::reportBodyBookmarks(first, second);
    ASSERT_FALSE(body.empty());
    for (const auto& name : body) {
      const auto& place = p.bookmarks().at(name)[0];
      EXPECT_GE(place.table, 3) << name;
      EXPECT_GE(place.row, 2) << name;  // row 1 is the heading the tidying keeps
      EXPECT_EQ(place.cell, 2) << name;
    }
    // Every structure table row has a second cell for the tidying to read.
    ASSERT_GE(p.tables().size(), 3u);
    for (std::size_t t = 2; t < p.tables().size(); ++t)
      for (int cells : p.tables()[t]) EXPECT_GE(cells, 2) << "table " << t + 1;
  }
}

TEST(templates_bookmarks, report_units_stand_outside_the_value) {
  // A structure bookmark encloses nothing: units and "ja" stand in the cell beside it, so an
  // empty value leaves an empty cell that the tidying removes with its row.
  const auto [first, second] = tablesOf("GN");
  const auto p = openTemplate("TemplateDatenreportV2GN.dotx");
  int percent = 0, crosses = 0;
  for (const auto& table : {first, second}) {
    for (const auto& column : data::schema::surveyTable(table).columns) {
      if (!p.bookmarks().count(column.field.name)) continue;
      const std::string& text = p.bookmarks().at(column.field.name)[0].text;
      if (column.meaning.ends_with(" in %")) {
        EXPECT_EQ(text, "") << column.field.name;
        ++percent;
      } else if (column.meaning.ends_with("(X)")) {
        EXPECT_EQ(text, "") << column.field.name;
        ++crosses;
      }
    }
  }
  EXPECT_GT(percent, 0);
  EXPECT_GT(crosses, 0);
}

TEST(templates_cover_sheet, survey_unit_table_and_room_for_the_map) {
  const auto p = openTemplate("TemplateDatenreportV2Deckblatt.dotx");
  // Rows are appended to table 2 one survey unit after the other, split into three cells.
  ASSERT_GE(p.tables().size(), 2u);
  EXPECT_EQ(p.tables()[1].back(), 3);
  for (const char* name : {"HA", "GBCODE"}) EXPECT_NE(p.bookmarks().at(name)[0].table, 2) << name;

  // The map is placed 100 pt below the page top and is 300 pt high at most; nothing of the
  // body may stand there. Count the page's top margin and the body's paragraphs before the
  // first table with their fixed heights or, for text, generously 20 pt a line.
  const auto doc = parsed(p.part("word/document.xml"));
  const auto body = doc.child("w:document").child("w:body");
  double topPt = body.child("w:sectPr").child("w:pgMar").attribute("w:top").as_double() / 20;
  double textEndPt = topPt;
  bool spacerSeen = false;
  for (pugi::xml_node n = body.first_child(); n && std::string(n.name()) == "w:p";
       n = n.next_sibling()) {
    const auto spacing = n.child("w:pPr").child("w:spacing");
    if (std::string(spacing.attribute("w:lineRule").value()) == "exact") {
      topPt += spacing.attribute("w:line").as_double() / 20;
      spacerSeen = true;
    } else {
      topPt += 20;
      if (!spacerSeen) textEndPt = topPt;
    }
  }
  EXPECT_LE(textEndPt, 100.0);  // the title lines end above the map
  EXPECT_GE(topPt, 400.0);      // the first table starts below it
}

}  // namespace
