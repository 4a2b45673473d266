#include "data/schema/routine_bookmarks.h"

#include <set>

#include "data/schema/gbogen_columns.h"
#include "data/schema/survey_tables.h"

namespace data::schema {

namespace {

const ColumnSchema& sheetColumn(int position) {
  return surveyTable("GBogen").columns.at(static_cast<std::size_t>(position));
}

void numbered(std::vector<std::string>& out, const std::string& prefix, int count) {
  for (int i = 1; i <= count; ++i) out.push_back(prefix + std::to_string(i));
}

void columnAt(std::vector<std::string>& out, int position) {
  out.push_back(sheetColumn(position).field.name);
}

void columnsFrom(std::vector<std::string>& out, int first, int last) {
  for (int position = first; position <= last; ++position) columnAt(out, position);
}

// Bookmarks named column + value, one for every value the column can hold.
void crossesAt(std::vector<std::string>& out, int position) {
  const ColumnSchema& column = sheetColumn(position);
  for (const auto& value : crossValues(column)) out.push_back(column.field.name + value);
}

void tableColumns(std::vector<std::string>& out, std::set<std::string>& seen,
                  const std::string& table) {
  const auto& columns = surveyTable(table).columns;
  for (std::size_t i = 1; i < columns.size(); ++i)
    if (seen.insert(columns[i].field.name).second) out.push_back(columns[i].field.name);
}

const std::vector<std::string> kSpeciesLists = {"BAUMARTEN", "PFLANZEN", "FLECHTEN", "MOOSE",
                                                "ROTELISTE"};

}  // namespace

std::vector<std::string> sheetBookmarks(const std::string& type, const std::string& table1,
                                        const std::string& table2) {
  using namespace gbogen;
  std::vector<std::string> out;
  numbered(out, "GBGebietNr", 7);
  out.push_back("NAME");
  numbered(out, "GBCODENr", 12);
  out.push_back("GBVAR5");
  for (const char* prefix : {"GBHNr", "GBN1Nr", "GBN2Nr", "GBN3Nr", "GBN4Nr", "GBN5Nr"})
    numbered(out, prefix, 5);
  numbered(out, "GBFFH1Nr", 4);
  numbered(out, "GBFFH2Nr", 4);
  for (int position : {kLocation, kSurveyor, kDate, kShare, kSize}) columnAt(out, position);
  columnsFrom(out, kImpairment1, kImpairment4);
  for (int position : {kProtected, kHabitatArea}) columnAt(out, position);
  if (type != "X") columnAt(out, kCopy);
  for (int position = kFirstChoice; position <= kLastChoice; ++position) crossesAt(out, position);
  for (int position : {kCondition, kRating}) crossesAt(out, position);
  if (type == "K")
    for (int position = kComplexMark1; position <= kComplexMark3; ++position)
      crossesAt(out, position);
  std::set<std::string> seen(out.begin(), out.end());
  tableColumns(out, seen, table1);
  tableColumns(out, seen, table2);
  for (const char* name : {"SONSTIGES", "PFSOZ"}) out.push_back(name);
  out.insert(out.end(), kSpeciesLists.begin(), kSpeciesLists.end());
  out.push_back(kPageHeaderBookmark);
  return out;
}

std::vector<std::string> reportHeadAndFooterBookmarks() {
  using namespace gbogen;
  std::vector<std::string> out = {"GBCODE", "NAME"};
  for (int position : {kCopySource, kLocation, kSurveyor, kDate, kSize}) columnAt(out, position);
  columnsFrom(out, kImpairment1, kImpairment4);
  for (int position : {kCondition, kRating, kShare, kProtected, kHabitatArea})
    columnAt(out, position);
  columnsFrom(out, kBiotope, kBiotope6);
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

}  // namespace data::schema
