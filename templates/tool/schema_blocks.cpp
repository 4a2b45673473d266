#include "schema_blocks.h"

#include <utility>

#include "form_error.h"
#include "form_reader.h"
#include "schema_columns.h"

namespace forms {

namespace {

constexpr double kBoxMm = 6.0;
constexpr int kChecksPerRow = 4;

struct Column {
  std::string name;
  ColumnPresentation look;
};

// The columns a generation routine writes (all but the first), not yet placed in the form.
std::vector<Column> writtenColumns(const std::string& table, std::set<std::string>& used) {
  std::vector<Column> out;
  const auto& columns = schemaTable(table).columns;
  for (std::size_t i = 1; i < columns.size(); ++i) {
    const std::string& name = columns[i].field.name;
    if (!used.insert(name).second) continue;
    out.push_back({name, presentColumn(columns[i])});
  }
  return out;
}

Inline bookmark(const std::string& name, const std::string& placeholder) {
  Inline mark;
  mark.kind = Inline::Kind::kBookmark;
  mark.name = name;
  mark.text = placeholder;
  return mark;
}

Cell textCell(std::vector<Inline> inlines, double widthMm, Cell::Kind kind = Cell::Kind::kText) {
  Cell cell;
  cell.kind = kind;
  cell.widthMm = widthMm;
  cell.inlines = std::move(inlines);
  return cell;
}

Block tableBlock(Table table) {
  Block block;
  block.kind = Block::Kind::kTable;
  block.table = std::move(table);
  return block;
}

}  // namespace

std::vector<Block> sheetBodyBlocks(const std::vector<std::string>& tables, double widthMm,
                                   std::set<std::string>& used) {
  std::vector<Column> values;
  std::vector<Column> crosses;
  for (const auto& table : tables)
    for (auto& column : writtenColumns(table, used))
      (column.look.flag ? crosses : values).push_back(std::move(column));

  std::vector<Block> blocks;
  const double captionMm = widthMm * 0.22;
  const double valueMm = widthMm / 2 - captionMm;
  if (!values.empty()) {
    Table fields;
    for (std::size_t i = 0; i < values.size(); i += 2) {
      Row row;
      row.minHeightMm = 7;
      for (std::size_t j = i; j < i + 2 && j < values.size(); ++j) {
        std::vector<Inline> value{bookmark(values[j].name, "")};
        std::string caption = values[j].look.caption;
        if (!values[j].look.unit.empty()) caption += " (" + values[j].look.unit + ")";
        row.cells.push_back(textCell(parseInlines(caption), captionMm, Cell::Kind::kCaption));
        row.cells.push_back(textCell(std::move(value), j + 1 < i + 2 ? valueMm : 0));
      }
      if (row.cells.size() == 2) row.cells.back().widthMm = 0;  // the last field takes the row
      fields.rows.push_back(std::move(row));
    }
    blocks.push_back(tableBlock(std::move(fields)));
  }
  if (!crosses.empty()) {
    Block note;
    note.paragraph.style = ParagraphStyle::kNote;
    note.paragraph.inlines = parseInlines("Zutreffendes ankreuzen:");
    blocks.push_back(std::move(note));
    Table checks;
    checks.gridLines = false;
    const double gapMm = 1.2;
    const double labelMm = widthMm / kChecksPerRow - kBoxMm;
    for (std::size_t i = 0; i < crosses.size(); i += kChecksPerRow) {
      if (i > 0) {
        Row gap;
        gap.minHeightMm = gapMm;
        gap.exactHeight = true;
        gap.cells.emplace_back();
        checks.rows.push_back(std::move(gap));
      }
      Row row;
      row.minHeightMm = 6;
      for (std::size_t j = i; j < i + kChecksPerRow && j < crosses.size(); ++j) {
        Cell box = textCell({bookmark(crosses[j].name, "")}, kBoxMm, Cell::Kind::kBox);
        row.cells.push_back(std::move(box));
        row.cells.push_back(
            textCell(parseInlines(crosses[j].look.caption), labelMm, Cell::Kind::kCaption));
      }
      checks.rows.push_back(std::move(row));
    }
    blocks.push_back(tableBlock(std::move(checks)));
  }
  return blocks;
}

// Width of the cell beside a structure value that holds its unit or fixed word.
constexpr double kUnitCellMm = 16;

Block reportStructureTable(const std::string& table, const std::string& heading, double widthMm,
                           std::set<std::string>& used) {
  const auto columns = writtenColumns(table, used);
  if (columns.empty()) throw FormError("the structure table of " + table + " would have no rows");
  Table out;
  Row head;
  head.cells.push_back(textCell(parseInlines(heading), widthMm * 0.45, Cell::Kind::kHeading));
  head.cells.push_back(textCell(parseInlines("Angabe"), 0, Cell::Kind::kHeading));
  head.cells.push_back(textCell({}, kUnitCellMm, Cell::Kind::kHeading));
  out.rows.push_back(std::move(head));
  for (const auto& column : columns) {
    Row row;
    row.cells.push_back(
        textCell(parseInlines(column.look.caption), widthMm * 0.45, Cell::Kind::kCaption));
    // The bookmark encloses nothing: an empty value leaves an empty cell, and the clean-up
    // after filling removes the row. The unit or "ja" stands in a cell of its own.
    row.cells.push_back(textCell({bookmark(column.name, "")}, 0));
    row.cells.push_back(
        textCell(parseInlines(column.look.flag ? std::string("ja") : std::string(column.look.unit)),
                 kUnitCellMm));
    out.rows.push_back(std::move(row));
  }
  return tableBlock(std::move(out));
}

}  // namespace forms
