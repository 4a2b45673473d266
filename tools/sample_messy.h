#pragma once
// Turns a clean sample survey folder into one as survey offices keep them: tables in the DOS
// code page without a code-page mark, one in the Windows code page with its mark and one in
// UTF-8 with a ".cpg" file (both with letters such as á Ž š ™ „ ” that DOS text has not), the
// sheet table stored out of code order with deleted records, a header that counts fewer records
// than the file holds, rows whose codes are Null or malformed, a sheet of no known type, a sheet
// stored twice, a sheet whose GBPOLYGON names a polygon without sheets and one with an
// impossible date, texts beginning with "X", decimals in structure fields, a column an office
// added to a sheet-type table, an FFH area missing from ffhnum, a sheet without its type rows
// and memo texts with umlauts.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace sample {

struct MessyResult {
  std::vector<std::string> badCodes;  // the malformed GBCODE texts added (Null as "")
  std::string untypedKey;             // the sheet whose type-table rows were removed
  std::string unknownTypeKey;         // code and type of the sheet of no known type
  std::string duplicateKey;           // the sheet stored twice
  std::string strayKey;               // the sheet whose GBPOLYGON names a polygon without sheets
  std::string badDateKey;             // the sheet whose GBDATUM is no date
  uint32_t badDateRecord = 0;         // its record in GBogen.dbf, from 1
  std::string missingArea;            // the 3-digit FFH area removed from ffhnum
  uint32_t headerCount = 0;           // the record count GBogen.dbf's header gives
  uint32_t records = 0;               // the records GBogen.dbf holds
};

// Rewrites the tables of dir in place. Throws data::dbf::DbfError on file trouble.
MessyResult makeMessy(const std::filesystem::path& dir);

}  // namespace sample
