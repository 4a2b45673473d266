#pragma once
// Clean copies of the survey sheets: the driver that makes one document per sheet and the
// routines that fill its head, body and footer. They write through g_WordDoc and g_Debug and
// answer 100 (done) or 101 (the part could not be filled).

#include <cstdint>
#include <string>
#include <vector>

#include "data/cls_dbf_data.h"

namespace sheets {

int16_t FfhBogenGenerateBoegen(const std::string& key, data::clsDBFData& db,
                               std::vector<std::string>& messages);
int16_t FfhBogenGenerateHead(const std::string& key, data::clsDBFData& db);
int16_t FfhBogenGenerateBogen(const std::string& key, data::clsDBFData& db);
int16_t FfhBogenGenerateFooter(const std::string& key, data::clsDBFData& db);

// Writes characters 1..5 of value into prefix + "1" .. prefix + "5" (empty beyond its end).
void FfhGenerateHead(const std::string& value, const std::string& prefix);
// Bold crosses for the columns at positions 34..36 of the current sheet record.
std::string FfhGenerateImageMarks(const data::Recordset& record);

// The four species lists and the red list of a sheet into their bookmarks; 101 when the query
// failed (the document is then not touched).
int16_t OutputPflanzenartenRoteListe(data::clsDBFData& db, const std::string& sheetCode,
                                     const data::UmlautDict* umlauts);

// The first 12 characters of a key as a 12-digit code ("000000000000").
std::string sheetCode(const std::string& key);
// The query values that select a sheet's own row of gbogen: its code and its type.
std::vector<data::Value> ownRowParams(const std::string& key);
// A text of digits padded with leading zeros to width; other texts unchanged.
std::string formatCode(const std::string& text, std::size_t width);

}  // namespace sheets
