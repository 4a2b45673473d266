#pragma once
// Turns a clean sample survey folder into one as survey offices keep them: tables in the DOS
// code page without a code-page mark, one in the Windows code page with its mark and one in
// UTF-8 with a ".cpg" file (both with letters such as á Ž š ™ „ ” that DOS text has not), the
// sheet table stored out of code order with deleted records, a header that counts fewer records
// than the file holds, rows whose codes are Null or malformed, a sheet of no known type, a sheet
// stored twice, a sheet whose GBPOLYGON names a polygon without sheets and one with an
// impossible date, texts beginning with "X", decimals in structure fields, a column an office
// added to a sheet-type table, an FFH area missing from ffhnum, a sheet without its type rows
// and memo texts with umlauts; and for the data check the faults listed in MessyResult.

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
  // Further faults the data check must find (none of them changes a document):
  std::string unknownBiotope;    // GBBIOTOP2 of strayKey, no code of biottyp
  std::string unknownHabitat;    // GBFFH2 of strayKey, no code of ffh_ref
  std::string unknownPlant;      // SATZNUMMER of a species row of strayKey, not in pflanzen
  std::string orphanCode;        // code of a remark, species, plant-sociology and bgs row
                                 // without a sheet
  uint32_t badMemoRecord = 0;    // that remark's record in anmerk.dbf: its memo pointer lies
                                 // past the end of the memo file
  std::string futureDateKey;     // the sheet whose GBDATUM lies in the future
  std::string emptySurveyorKey;  // the sheet whose GBKARTIER is empty
  // pflsozio.dbf: a memo column whose memo file is missing, a text the table's code page
  // (marked CP1252) cannot decode in its first record, and a header counting more records
  // than the file holds.
  uint32_t shortHeaderCount = 0;
  uint32_t shortRecords = 0;
};

// Rewrites the tables of dir in place. Throws data::dbf::DbfError on file trouble.
MessyResult makeMessy(const std::filesystem::path& dir);

}  // namespace sample
