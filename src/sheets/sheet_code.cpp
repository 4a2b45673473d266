#include "data/cls_node.h"
#include "sheets/mod_ffh_bogen.h"

namespace sheets {

std::string formatCode(const std::string& text, std::size_t width) {
  return data::formatDigits(text, width);
}

std::string sheetCode(const std::string& key) {
  return formatCode(key.substr(0, 12), 12);
}

std::vector<data::Value> ownRowParams(const std::string& key) {
  return {data::Value::text(sheetCode(key)),
          data::Value::text(key.size() > 12 ? key.substr(12) : std::string())};
}

}  // namespace sheets
