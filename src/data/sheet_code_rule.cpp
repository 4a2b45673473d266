#include "data/sheet_code_rule.h"

#include <algorithm>

namespace data {

bool isSheetCode(const std::string& text) {
  return text.size() == 12 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

namespace {

std::string printable(std::string text) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return text;
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
