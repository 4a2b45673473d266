#include "data/sql_text.h"

namespace data {

std::string sqlEscape(const std::string& value) {
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out;
}

}  // namespace data
