#pragma once
// A query with its bound values written in, as the log shows a failed query to the reader.

#include <string>
#include <vector>

#include "data/value.h"

namespace data {

// sql with every "?" outside quotes replaced by its value: texts in single quotes (quotes
// doubled), numbers as they are, Null as NULL. For log lines only; never run the result.
std::string shownQuery(const std::string& sql, const std::vector<Value>& params);

}  // namespace data
