#pragma once
// Form blocks generated from the survey tables of a sheet type, so that the templates carry a
// bookmark for every column the generation routines write: the clean copy's field table and
// check list, and the report's structure tables. Column names already placed elsewhere in the
// form (`used`) are skipped and the new ones added. Throws FormError for an unknown table.

#include <set>
#include <string>
#include <vector>

#include "form_model.h"

namespace forms {

// Clean copy: the values of the tables' columns (position 1 on) in a table of captions and
// fill-in fields, then the columns that hold a cross as a check list.
std::vector<Block> sheetBodyBlocks(const std::vector<std::string>& tables, double widthMm,
                                   std::set<std::string>& used);

// Report: a table headed `heading`, one row per column (position 1 on) with the caption in the
// first and the bookmark in the second cell. The bookmark encloses the unit (or "ja" for a
// cross), which stays behind the value the report writes in front of it.
Block reportStructureTable(const std::string& table, const std::string& heading, double widthMm,
                           std::set<std::string>& used);

}  // namespace forms
