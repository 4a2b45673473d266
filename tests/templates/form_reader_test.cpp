// The form language: inline pieces, tables and their grid, schema references, and the errors
// that stop a wrong form source before it becomes a template.

#include "form_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "form_error.h"
#include "schema_columns.h"
#include "support/expect_throw.h"
#include "table_layout.h"

using ::testing::HasSubstr;

namespace {

using forms::Cell;
using forms::Form;
using forms::FormError;
using forms::Inline;

Form read(const std::string& text, const forms::Variables& vars = {}) {
  return forms::readFormText(text, "test.form", vars);
}

std::string errorOf(const std::string& text, const forms::Variables& vars = {}) {
  return testsupport::thrownValue<FormError>([&] { read(text, vars); }, &FormError::what)
      .value_or("");
}

// Each piece as kind letter (t text, b bookmark, p page, n page count, l line break), "*" when
// bold, bookmark name, ":" and text.
std::string describe(const std::vector<Inline>& pieces) {
  std::string out;
  for (const Inline& p : pieces)
    out += std::string(1, "tbpnlT"[static_cast<int>(p.kind)]) + (p.bold ? "*" : "") + p.name + ":" +
           p.text + "|";
  return out;
}

TEST(forms_inline, bookmarks_columns_fields_and_bold) {
  EXPECT_EQ(
      describe(forms::parseInlines("Nr. [[GBCODE]] **[[HA:ha]]** {PAGE}/{NUMPAGES}\\n[[P:_4]]")),
      "t:Nr. |bGBCODE:|t: |b*HA:ha|t: |p:|t:/|n:|l:|bP:____|");
  // A column position names the sheet column.
  EXPECT_EQ(describe(forms::parseInlines("[[@26]] [[@40]]")), "bGBLAGE:|t: |bGBKOPVON:|");
  EXPECT_THROW(forms::parseInlines("[[@99]]"), FormError);
  EXPECT_THROW(forms::parseInlines("[[open"), FormError);
}

TEST(forms_reader, variables_and_conditions) {
  const std::string text =
      "title Bogen ${TYPE}\n"
      "if TYPE=K\ntext nur K\nendif\n"
      "if TYPE!=X\ntext nicht X\nendif\n";
  const Form k = read(text, {{"TYPE", "K"}});
  ASSERT_EQ(k.body.size(), 3u);
  EXPECT_EQ(k.body[0].paragraph.inlines[0].text, "Bogen K");
  const Form x = read(text, {{"TYPE", "X"}});
  EXPECT_EQ(x.body.size(), 1u);
  EXPECT_THAT(errorOf("title ${NOPE}\n"), HasSubstr("unknown variable ${NOPE}"));
  EXPECT_THAT(errorOf("if TYPE=K\ntext a\n", {{"TYPE", "K"}}), HasSubstr("without \"endif\""));
}

TEST(forms_reader, errors_name_file_and_line) {
  EXPECT_EQ(errorOf("title a\n\nfrobnicate x\n"), "test.form:3: unknown directive \"frobnicate\"");
  EXPECT_THAT(errorOf("table\nrow a\n"), HasSubstr("without \"end\""));
  EXPECT_THAT(errorOf("table\nend\n"), HasSubstr("a table without rows"));
  EXPECT_THAT(errorOf("table\nrow a @100 | b @80\nend\n"), HasSubstr("more than the"));
}

TEST(forms_reader, boxes_and_widths) {
  const Form f =
      read("table plain\nrow:7 !Nr. @30 | #GBCODENr1..3 | – @4 | #GBHNr5 | _[[NAME]]\nend\n");
  ASSERT_EQ(f.body.size(), 1u);
  const auto& row = f.body[0].table.rows.at(0);
  ASSERT_EQ(row.cells.size(), 7u);
  EXPECT_EQ(row.cells[0].kind, Cell::Kind::kCaption);
  EXPECT_DOUBLE_EQ(row.cells[0].widthMm, 30);
  EXPECT_EQ(row.cells[1].kind, Cell::Kind::kBox);
  EXPECT_EQ(row.cells[3].inlines[0].name, "GBCODENr3");
  EXPECT_EQ(row.cells[5].inlines[0].name, "GBHNr5");
  EXPECT_TRUE(row.cells[6].line);
  // The fill-in line takes what the margins leave: 170 mm of text width.
  EXPECT_NEAR(row.cells[6].widthMm, 170 - 30 - 15 - 4 - 5, 1e-9);
  EXPECT_DOUBLE_EQ(row.minHeightMm, 7);
}

TEST(forms_reader, crosses_follow_the_values_of_their_column) {
  // GBWASSER holds 1 to 4: one box per value, named column + value.
  const Form f = read(
      "choices @11 1=trocken; 2=frisch; 3=feucht; 4=nass\n"
      "table plain\nrow !Wasserhaushalt @34 | %@11 @28\nend\n");
  const auto& cells = f.body[0].table.rows[0].cells;
  ASSERT_EQ(cells.size(), 9u);
  EXPECT_EQ(cells[1].inlines[0].name, "GBWASSER1");
  EXPECT_EQ(cells[7].inlines[0].name, "GBWASSER4");
  EXPECT_EQ(cells[8].inlines[0].text, "nass");

  // Labels for other values than the column holds are refused, naming the right ones.
  EXPECT_NE(errorOf("choices @11 1=trocken; 2=nass\n").find("for the values 1, 2, 3, 4"),
            std::string::npos);
  EXPECT_THAT(errorOf("table\nrow %@11\nend\n"), HasSubstr("no \"choices\" line"));
}

TEST(forms_schema, cross_values_from_the_column_description) {
  data::schema::ColumnSchema range{{"A", 'C', 1, 0}, "Relief 1-4 (Kreuz)"};
  EXPECT_EQ(forms::crossValues(range), (std::vector<std::string>{"1", "2", "3", "4"}));
  data::schema::ColumnSchema letters{{"B", 'C', 1, 0}, "Erhaltungszustand A, B, C (Kreuz)"};
  EXPECT_EQ(forms::crossValues(letters), (std::vector<std::string>{"A", "B", "C"}));
  data::schema::ColumnSchema part{{"C", 'C', 1, 0},
                                  "Komplexbogen: Bestandteil 1, Wert 1-4 (Kreuz)"};
  EXPECT_EQ(forms::crossValues(part).size(), 4u);
  data::schema::ColumnSchema none{{"D", 'C', 1, 0}, "Gemeinde"};
  EXPECT_THROW(forms::crossValues(none), FormError);
}

TEST(forms_schema, caption_unit_and_cross_of_a_column) {
  auto look = [](const char* meaning) { return forms::presentColumn({{"X", 'N', 3, 0}, meaning}); };
  EXPECT_EQ(look("Felshöhe in m").caption, "Felshöhe");
  EXPECT_EQ(look("Felshöhe in m").unit, "m");
  EXPECT_EQ(look("Wasserfläche in m²").unit, "m²");
  EXPECT_EQ(look("Bestandsalter in Jahren").unit, "Jahre");
  EXPECT_EQ(look("Moosdeckung in %").unit, "%");
  EXPECT_TRUE(look("mäandrierend (X)").flag);
  EXPECT_EQ(look("mäandrierend (X)").caption, "Mäandrierend");
  EXPECT_EQ(look("Gesteinsart").unit, "");
}

TEST(forms_layout, grid_is_the_union_of_the_rows_edges) {
  forms::Table t;
  forms::Row a, b;
  a.cells.resize(2);
  a.cells[0].widthMm = 50;
  a.cells[1].widthMm = 120;
  b.cells.resize(3);
  b.cells[0].widthMm = 30;
  b.cells[1].widthMm = 40;
  t.rows = {a, b};
  forms::fitRows(t, 170);
  EXPECT_DOUBLE_EQ(t.rows[1].cells[2].widthMm, 100);  // the open cell takes the rest
  const auto grid = forms::gridOf(t);
  ASSERT_EQ(grid.columns.size(), 4u);  // edges at 0, 30, 50, 70, 170 mm
  EXPECT_EQ(grid.spans[0], (std::vector<int>{2, 2}));
  EXPECT_EQ(grid.spans[1], (std::vector<int>{1, 2, 1}));
  int total = 0;
  for (int w : grid.columns) total += w;
  EXPECT_EQ(total, grid.total);
  EXPECT_EQ(grid.total, 9638);  // 170 mm in twips
}

}  // namespace
