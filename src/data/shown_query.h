#pragma once
// A query with its bound values written in, as the log shows a failed query to the reader, and
// the log line of a failed query.

#include <string>
#include <vector>

#include "data/value.h"

namespace data {

// sql with every "?" outside quotes replaced by its value: texts in single quotes (quotes
// doubled), numbers as they are, Null as NULL. For log lines only; never run the result.
std::string shownQuery(const std::string& sql, const std::vector<Value>& params);

// How a failed query's line names its table and ends. Most routines name the table by its
// index and end in the "schlug fehlt." they have always written; some name it otherwise.
struct FailedQueryWording {
  std::string table;  // after "auf die Tabelle "; "" for "mit dem Index <index>"
  bool fehl = false;  // "schlug fehl." instead of "schlug fehlt."
};

// "<routine>: Fehler! Die SQL-Anfrage (<shown>) auf die Tabelle mit dem Index <index> schlug
// fehlt." in the wording given.
std::string failedQueryLine(const std::string& routine, const std::string& shown, int index,
                            const FailedQueryWording& wording = {});

}  // namespace data
