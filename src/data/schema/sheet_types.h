#pragma once
// The ten sheet types of the survey in the order every list shows them, each with its two
// survey tables and the title its forms print, and the 21 document templates made for them
// (a clean copy and a data report per type, and the report's cover sheet). Plain data built
// once; never throws.

#include <string>
#include <string_view>
#include <vector>

namespace data::schema {

struct SheetType {
  std::string code;    // "F", "GN" ... as GBBOGEN holds it
  std::string table1;  // the main table of the type's own columns, e.g. "bgg"
  std::string table2;  // the second, e.g. "bgg2"
  std::string title;   // German, printed on the forms
};

const std::vector<SheetType>& sheetTypes();
// The type of that code, nullptr for a code that names none.
const SheetType* findSheetType(std::string_view code);
// The codes alone, in the same order.
const std::vector<std::string>& sheetTypeCodes();

struct DocumentTemplate {
  enum class Kind { kSheet, kReport, kCoverSheet };
  Kind kind = Kind::kSheet;
  std::string key;       // "GN", "GN-Report", "Deckblatt"
  std::string fileName;  // in the Templates folder, e.g. "TemplateBogenV2GN.dotx"
  std::string type;      // the sheet type's code; empty for the cover sheet
};

inline constexpr std::string_view kCoverSheetKey = "Deckblatt";
inline constexpr std::string_view kReportKeySuffix = "-Report";

// Ten clean copies, ten reports, the cover sheet.
const std::vector<DocumentTemplate>& documentTemplates();
// The template of a key, nullptr for an unknown key.
const DocumentTemplate* findDocumentTemplate(std::string_view key);

}  // namespace data::schema

namespace data {
// The sheet types' codes, as the selection lists and the queries use them.
inline const std::vector<std::string>& kSheetTypes = schema::sheetTypeCodes();
}  // namespace data
