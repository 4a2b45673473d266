#pragma once
// Editing the tables of the main text, numbered from 1 in body order (nested tables are part of
// their cell). Rows and cells are numbered from 1 as well. Changing the cell layout of a row
// rebuilds the table grid so that every row still lines up.
// Holds references to the package, the body story and the bookmark editor (owned by the
// document). Every failure throws docx::DocxError before anything is changed.

#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "word/docx/bookmarks.h"
#include "word/docx/package.h"
#include "word/docx/run_format.h"
#include "word/docx/story.h"

namespace docx {

class TableEditor {
 public:
  TableEditor(Package& package, const Story& body, BookmarkEditor& bookmarks);

  int count();
  int rowCount(int table);
  int cellCount(int table, int row);
  // Appends an empty row formatted like the last one (cell layout, properties, fonts).
  void appendRow(int table);
  // Deletes a row; deleting the only row deletes the table.
  void deleteRow(int table, int row);
  // Merges all cells of the row into one spanning the row; texts of non-empty cells follow
  // each other as paragraphs.
  void mergeRow(int table, int row);
  // Makes the row `columns` cells of equal width (the row is merged first; its content stays in
  // the first cell).
  void splitRow(int table, int row, int columns);
  // Cell text, paragraphs separated by "\r".
  std::string cellText(int table, int row, int cell);
  // Replaces the cell's content; "\r" starts a paragraph, "\n" is a line break.
  void setCellText(int table, int row, int cell, std::string_view text,
                   const RunFormat& format = {});
  void setCellFont(int table, int row, int cell, const RunFormat& format);
  void deleteTable(int table);

 private:
  std::vector<pugi::xml_node> tables();
  pugi::xml_node table(int index);
  pugi::xml_node row(int table, int index);
  pugi::xml_node cell(int table, int row, int index);
  void removeKeepingMarkers(pugi::xml_node victim);
  void changed();

  Package& package_;
  const Story& body_;
  BookmarkEditor& bookmarks_;
};

}  // namespace docx
