#pragma once
// Pasting values into the system's SQL texts safely.

#include <string>

namespace data {

// The value with every single quote doubled, so that '...' around it stays one text literal.
std::string sqlEscape(const std::string& value);

}  // namespace data
