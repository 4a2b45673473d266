#pragma once
// Clean copies of the survey sheets: the driver that makes one document per sheet and the
// routines that fill its head, body and footer. They work through the run context they are
// handed (its engine, log and database) and answer 100 (done) or 101 (the part could not be
// filled).

#include <cstdint>
#include <string>
#include <vector>

#include "data/cls_dbf_data.h"
#include "word/result.h"
#include "word/run_context.h"

namespace sheets {

// The clean copy of one sheet (the document cycle of document_cycle.h); FfhBogenGenerateBoegen
// answers its legacy().
word::Result generateCleanCopy(const std::string& key, const word::RunContext& run,
                               std::vector<std::string>& messages);
int16_t FfhBogenGenerateBoegen(const std::string& key, const word::RunContext& run,
                               std::vector<std::string>& messages);
int16_t FfhBogenGenerateHead(const std::string& key, const word::RunContext& run);
int16_t FfhBogenGenerateBogen(const std::string& key, const word::RunContext& run);
int16_t FfhBogenGenerateFooter(const std::string& key, const word::RunContext& run);

// Writes characters 1..5 of value into prefix + "1" .. prefix + "5" (empty beyond its end).
void FfhGenerateHead(const std::string& value, const std::string& prefix,
                     const word::RunContext& run);
// Bold crosses for the columns at positions 34..36 of the current sheet record.
std::string FfhGenerateImageMarks(const data::Recordset& record, const word::RunContext& run);

// The four species lists and the red list of a sheet into their bookmarks, umlauts repaired with
// umlauts (the plant table's repair, null when its texts are sound); 101 when the query failed
// (the document is then not touched).
int16_t OutputPflanzenartenRoteListe(const word::RunContext& run, const std::string& sheetCode,
                                     const data::UmlautDict* umlauts);

// The first 12 characters of a key as a 12-digit code ("000000000000").
std::string sheetCode(const std::string& key);
// The query values that select a sheet's own row of gbogen: its code and its type.
std::vector<data::Value> ownRowParams(const std::string& key);
// A text of digits padded with leading zeros to width; other texts unchanged.
std::string formatCode(const std::string& text, std::size_t width);

}  // namespace sheets
