#pragma once
// The survey of the program's settings opened for a benchmark, and every sheet of it selected as
// a clean-copy run would select them.

#include "data/cls_dbf_data.h"
#include "data/schema/sheet_types.h"
#include "sheets/clean_copy_run.h"

namespace bench {

inline sheets::Selection openAndSelectAllSheets(data::clsDBFData& db) {
  db.ValidFilePaths();
  db.ConnectDBDaten();
  sheets::Restrictions every;
  for (const std::string& t : data::kSheetTypes) every.sheetTypes.add(t, t);
  return sheets::selectSheets(db, every);
}

}  // namespace bench
