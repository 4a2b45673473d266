#pragma once
// What the clean-copy and the report drivers share: one document made from its template in a
// fresh engine instance (head, body, footer, save, end) and the walk over the two tables of a
// sheet's type. Both write their own routine's name into the log lines.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/cls_dbf_data.h"
#include "word/result.h"
#include "word/run_context.h"

namespace sheets {

using DocumentPart = std::function<int16_t(const std::string& key, const word::RunContext& run)>;

struct DocumentParts {
  DocumentPart head, body, footer;
};

// The document cycle of a generation driver named routine: table check, engine start, document
// documentName from the template of key's type, head, body and footer (a failing part stops the
// later ones but never the saving), save, engine end. kFailed when the tables are missing or the
// engine cannot start, kNotWritten when the engine refused or could not save the document, else
// kOk (unfilled parts are named in the engine's outcome). afterSave runs once it was saved.
word::Result generateDocument(const std::string& routine, const std::string& key,
                              const std::string& documentName, const word::RunContext& run,
                              std::vector<std::string>& messages, const DocumentParts& parts,
                              const std::function<void()>& afterSave = {});

// Runs the sheet's main and second table query ("SELECT * FROM table WHERE GBCODE='code'") and
// hands each result to write with the table's name; failures are logged with routine's name.
// 100, or 101 when the type is unknown or a query failed (what the first table wrote stays).
int16_t forEachTypeTable(const std::string& routine, const std::string& key,
                         const word::RunContext& run,
                         const std::function<void(data::Recordset&, const std::string&)>& write);

}  // namespace sheets
