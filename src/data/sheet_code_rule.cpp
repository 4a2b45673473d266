#include "data/sheet_code_rule.h"

#include <algorithm>

#include "base/visible_text.h"

namespace data {

bool isSheetCode(const std::string& text) {
  return text.size() == 12 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

namespace {

// Control characters stored in the table are shown by their pictures, so one line stays one.
std::string printable(const std::string& text) {
  return base::visibleText(text);
}

}  // namespace

std::string skippedCodeMessage(const Value& code, const Value& sheetType) {
  const std::string type =
      sheetType.isNull() ? "" : " (Bogentyp " + printable(sheetType.toText()) + ")";
  if (code.isNull())
    return "Ein Geländebogen ohne Bogennummer" + type +
           " wurde übersprungen: GBCODE ist leer (Null).";
  return "Der Geländebogen '" + printable(code.toText()) + "'" + type +
         " wurde übersprungen: die Bogennummer besteht nicht aus genau 12 Ziffern.";
}

std::string repeatedSheetNote(const std::string& key) {
  return "Der Geländebogen " + printable(key) +
         " steht mehrmals in der Tabelle GBogen; es wurde ein Dokument für ihn erstellt.";
}

std::string unknownTypeMessage(const std::string& code, const Value& sheetType) {
  const std::string type = sheetType.isNull() ? "" : printable(sheetType.toText());
  if (type.empty())
    return "Der Geländebogen " + printable(code) +
           " wurde übersprungen: er hat keinen Bogentyp (GBBOGEN ist leer).";
  return "Der Geländebogen " + printable(code) + " (Bogentyp " + type +
         ") wurde übersprungen: zum Bogentyp " + type + " gibt es keine Vorlage.";
}

}  // namespace data
