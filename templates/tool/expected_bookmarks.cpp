#include "expected_bookmarks.h"

#include <set>

#include "schema_columns.h"

namespace forms {

namespace {

void numbered(std::vector<std::string>& out, const std::string& prefix, int count) {
  for (int i = 1; i <= count; ++i) out.push_back(prefix + std::to_string(i));
}

void columnAt(std::vector<std::string>& out, int position) {
  out.push_back(sheetColumn(position));
}

// Bookmarks named column + value, one for every value the column can hold.
void crossesAt(std::vector<std::string>& out, int position) {
  sheetColumn(position);  // throws FormError for a position the table does not have
  const auto& column = sheetTable().columns[static_cast<std::size_t>(position)];
  for (const auto& value : crossValues(column)) out.push_back(column.field.name + value);
}

void tableColumns(std::vector<std::string>& out, std::set<std::string>& seen,
                  const std::string& table) {
  const auto& columns = schemaTable(table).columns;
  for (std::size_t i = 1; i < columns.size(); ++i)
    if (seen.insert(columns[i].field.name).second) out.push_back(columns[i].field.name);
}

const std::vector<std::string> kSpeciesLists = {"BAUMARTEN", "PFLANZEN", "FLECHTEN", "MOOSE",
                                                "ROTELISTE"};

}  // namespace

std::vector<std::string> sheetBookmarks(const std::string& type, const std::string& table1,
                                        const std::string& table2) {
  std::vector<std::string> out;
  numbered(out, "GBGebietNr", 7);
  out.push_back("NAME");
  numbered(out, "GBCODENr", 12);
  out.push_back("GBVAR5");
  for (const char* prefix : {"GBHNr", "GBN1Nr", "GBN2Nr", "GBN3Nr", "GBN4Nr", "GBN5Nr"})
    numbered(out, prefix, 5);
  numbered(out, "GBFFH1Nr", 4);
  numbered(out, "GBFFH2Nr", 4);
  for (int position : {26, 24, 25, 17, 29, 46, 47, 48, 49, 22, 23}) columnAt(out, position);
  if (type != "X") columnAt(out, 27);
  for (int position = 10; position <= 16; ++position) crossesAt(out, position);
  for (int position : {20, 21}) crossesAt(out, position);
  if (type == "K")
    for (int position : {34, 35, 36}) crossesAt(out, position);
  std::set<std::string> seen(out.begin(), out.end());
  tableColumns(out, seen, table1);
  tableColumns(out, seen, table2);
  for (const char* name : {"SONSTIGES", "PFSOZ"}) out.push_back(name);
  out.insert(out.end(), kSpeciesLists.begin(), kSpeciesLists.end());
  out.push_back(kPageHeaderBookmark);
  return out;
}

std::vector<std::string> reportHeadAndFooterBookmarks() {
  std::vector<std::string> out = {"GBCODE", "NAME"};
  for (int position : {40, 26, 24, 25, 29, 46, 47, 48, 49, 20, 21, 17, 22, 23})
    columnAt(out, position);
  for (int position = 3; position <= 8; ++position) columnAt(out, position);
  for (const char* name :
       {"CODE_EG", "LEBENSRAUMNAME", "CODE_EG2", "LEBENSRAUMNAME2", "BIOHAUPTTYPNAME",
        "BIONEBENTYPNAME", "BIONEBENTYP2NAME", "BIONEBENTYP3NAME", "BIONEBENTYP4NAME",
        "BIONEBENTYP5NAME", "ANMERKUNGEN", "PFLANZENSOZ"})
    out.push_back(name);
  out.insert(out.end(), kSpeciesLists.begin(), kSpeciesLists.end());
  return out;
}

std::vector<std::string> reportBodyBookmarks(const std::string& table1, const std::string& table2) {
  std::vector<std::string> out;
  std::set<std::string> seen;
  tableColumns(out, seen, table1);
  tableColumns(out, seen, table2);
  return out;
}

std::vector<std::string> coverSheetBookmarks() {
  return {"HA", "GBCODE"};
}

}  // namespace forms
