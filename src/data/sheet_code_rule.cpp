#include "data/sheet_code_rule.h"

#include <algorithm>

#include "base/visible_text.h"

namespace data {

bool isSheetCode(const std::string& text) {
  return text.size() == 12 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string skippedCodeMessage(const Value& code, const Value& sheetType) {
  // Control characters stored in the table are shown by their pictures.
  auto printable = [](const std::string& text) { return base::visibleText(text); };
  const std::string type =
      sheetType.isNull() ? "" : " (Bogentyp " + printable(sheetType.toText()) + ")";
  if (code.isNull())
    return "Ein Geländebogen ohne Bogennummer" + type +
           " wurde übersprungen: GBCODE ist leer (Null).";
  return "Der Geländebogen '" + printable(code.toText()) + "'" + type +
         " wurde übersprungen: die Bogennummer besteht nicht aus genau 12 Ziffern.";
}

}  // namespace data
