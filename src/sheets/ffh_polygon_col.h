#pragma once
// The selection query of a clean-copy run: which sheets the restrictions leave.

#include <cstdint>

#include "data/cls_dbf_data.h"
#include "data/ordered_dict.h"

namespace sheets {

// Restriction states are those of the window's check boxes: 0 = clear (apply the set).
// skipCopies must be exactly 1 to leave out copies of collective and complex sheets (3, 4).
// result receives a new collection of sheet keys (code followed by type), each once.
// Answers 100, or 101 when the query failed.
int16_t FfhGetPolygonCol(data::clsDBFData& db, const data::TextSet& biotopeTypes,
                         int allBiotopeTypes, const data::TextSet& habitatTypes,
                         int allHabitatTypes, const data::TextSet& sheetTypes,
                         const data::TextSet& sheetCodes, int allAreas, int skipCopies,
                         data::TextSet& result);

}  // namespace sheets
