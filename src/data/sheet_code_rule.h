#pragma once
// What counts as a sheet code when a selection is read: exactly 12 ASCII digits. Rows with any
// other code are skipped, logged and named in the run's message file; the rest go on.

#include <string>

#include "data/value.h"

namespace data {

bool isSheetCode(const std::string& text);

// The message-file line for a sheet row skipped because of its code (Null, not 12 digits);
// the code is shown with control characters replaced, so one line stays one line.
std::string skippedCodeMessage(const Value& code, const Value& sheetType);

// The note for a sheet (code and type) stored more than once in the sheet table: it is one
// sheet, and one document is made for it.
std::string repeatedSheetNote(const std::string& key);

// The message-file line for a sheet whose type (GBBOGEN) is Null or none of the sheet types:
// there is no template to make it from.
std::string unknownTypeMessage(const std::string& code, const Value& sheetType);

}  // namespace data
