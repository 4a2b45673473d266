#pragma once
// Keeps single-table queries in the table's stored order. SQLite is free to return rows in
// index order once a key column has an index (LIKE and DISTINCT use them), but the callers
// rely on stored order, so such a query gets an explicit order by row number.

#include <string>

namespace data {

// For "SELECT [DISTINCT] list FROM table [WHERE ...][;]" on one table, the same query ordered
// by row number (DISTINCT becomes a grouping ordered by each group's first row). Any other
// query (joins, several tables, ORDER BY, GROUP BY, "DISTINCT *") comes back unchanged.
std::string inStoredOrder(const std::string& sql);

}  // namespace data
