#pragma once
// Column geometry of form tables. Every row states its own cell widths; the table grid is the
// union of all cell edges, so rows of different divisions share one table. Throws FormError
// when a row does not fit the text width.

#include <vector>

#include "form_model.h"

namespace forms {

constexpr double kTwipsPerMm = 1440.0 / 25.4;

// Gives cells without a width an equal share of the rest of the row, and widens the last cell
// of a row that ends short of `widthMm`.
void fitRows(Table& table, double widthMm);

struct Grid {
  std::vector<int> columns;              // widths of the grid columns in twips
  std::vector<std::vector<int>> spans;   // per row and cell: grid columns covered
  std::vector<std::vector<int>> widths;  // per row and cell: width in twips
  int total = 0;
};
Grid gridOf(const Table& table);

}  // namespace forms
