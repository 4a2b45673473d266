#pragma once
// The bookmark names the generation routines write into each kind of template: the fixed names
// of the sheet and report routines, and the names they take from the survey tables' columns
// (by binding position in "GBogen", or every column of a sheet type's two tables). A template
// that lacks one of them loses that value; the template build and the check of a template
// before a run both hold the templates against these lists. Throws std::out_of_range for a
// table the schema does not have.

#include <string>
#include <vector>

namespace data::schema {

// Clean copy of a sheet of `type` whose data lie in `table1` and `table2`.
std::vector<std::string> sheetBookmarks(const std::string& type, const std::string& table1,
                                        const std::string& table2);
// Data report of a sheet of `type`. The body's column bookmarks are listed separately because
// they must lie in the structure tables (from the third table on).
std::vector<std::string> reportHeadAndFooterBookmarks();
std::vector<std::string> reportBodyBookmarks(const std::string& table1, const std::string& table2);
// Cover sheet.
std::vector<std::string> coverSheetBookmarks();
// The bookmark written in the page header or footer of a clean copy.
inline constexpr const char* kPageHeaderBookmark = "POLYGONNR_SEITE";

}  // namespace data::schema
