#include "table_layout.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

#include "form_error.h"

namespace forms {

void fitRows(Table& table, double widthMm) {
  int number = 0;
  for (Row& row : table.rows) {
    ++number;
    double fixed = 0;
    int open = 0;
    for (const Cell& cell : row.cells) {
      if (cell.widthMm > 0)
        fixed += cell.widthMm;
      else
        ++open;
    }
    const double rest = widthMm - fixed;
    if (rest < -0.05 || (open > 0 && rest < 3.0 * open))
      throw FormError("row " + std::to_string(number) + " of a table is " + std::to_string(fixed) +
                      " mm wide, more than the " + std::to_string(widthMm) +
                      " mm between the margins");
    for (Cell& cell : row.cells)
      if (cell.widthMm <= 0) cell.widthMm = rest / open;
    if (open == 0 && rest > 0.05 && !row.cells.empty()) row.cells.back().widthMm += rest;
  }
}

Grid gridOf(const Table& table) {
  std::set<int> edges{0};
  std::vector<std::vector<int>> rowEdges;
  for (const Row& row : table.rows) {
    std::vector<int> here{0};
    double position = 0;
    for (const Cell& cell : row.cells) {
      position += cell.widthMm;
      here.push_back(static_cast<int>(std::lround(position * kTwipsPerMm)));
    }
    edges.insert(here.begin(), here.end());
    rowEdges.push_back(std::move(here));
  }
  Grid grid;
  const std::vector<int> all(edges.begin(), edges.end());
  for (std::size_t i = 1; i < all.size(); ++i) grid.columns.push_back(all[i] - all[i - 1]);
  grid.total = all.back();
  for (const auto& here : rowEdges) {
    std::vector<int> spans;
    std::vector<int> widths;
    for (std::size_t c = 1; c < here.size(); ++c) {
      const auto from = std::lower_bound(all.begin(), all.end(), here[c - 1]);
      const auto to = std::lower_bound(all.begin(), all.end(), here[c]);
      spans.push_back(static_cast<int>(to - from));
      widths.push_back(here[c] - here[c - 1]);
    }
    grid.spans.push_back(std::move(spans));
    grid.widths.push_back(std::move(widths));
  }
  return grid;
}

}  // namespace forms
