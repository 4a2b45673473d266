#pragma once
// Per-polygon look-ups both generation runs make before they produce anything: the sheet types
// of a polygon and whether a sheet or polygon is a copy of a collective or complex sheet.

#include <cstdint>
#include <string>
#include <vector>

#include "data/cls_dbf_data.h"

namespace data {

// Both find the sheets through the index of GBCODE, never by reading the whole sheet table;
// codes are compared exactly (they are digits).

// types receives the sheet types of the codes made of polygonCode and one character more,
// joined by "," in query order. 100 when at least one sheet has a type, else 101 (also when the
// query failed).
int16_t FfhReportGetBogentypen(const std::string& polygonCode, std::string& types, clsDBFData& db);

// The sheets whose codes are polygonCode and one character more, as sheet key (code and type)
// with the polygon their GBPOLYGON names, in query order; empty when the query failed.
struct SheetOfCode {
  std::string key;
  Value polygon;
};
std::vector<SheetOfCode> sheetsByCode(const std::string& polygonCode, clsDBFData& db);

// True when a sheet matching codeOrPattern has copy status "3" or "4". A text without "_" is
// taken as a sheet key and tested by its first 12 characters and its type (what follows them);
// in one with "_" the "_" stands for any one character ending the code, e.g. "12300100004_".
bool FfhBogenIsCopy(const std::string& codeOrPattern, clsDBFData& db);

}  // namespace data
