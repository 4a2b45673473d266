#pragma once
// Turns a clean sample survey folder into one as survey offices keep them: tables in the DOS
// code page without a code-page mark (one with a ".cpg" file instead), the sheet table stored
// out of code order with deleted records and rows whose codes are Null or malformed, texts
// beginning with "X", decimals in structure fields, a sheet without its type rows and memo
// texts with umlauts.

#include <filesystem>
#include <string>
#include <vector>

namespace sample {

struct MessyResult {
  std::vector<std::string> badCodes;  // the malformed GBCODE texts added (Null as "")
  std::string untypedKey;             // the sheet whose type-table rows were removed
};

// Rewrites the tables of dir in place. Throws data::dbf::DbfError on file trouble.
MessyResult makeMessy(const std::filesystem::path& dir);

}  // namespace sample
