#include "report/report_record.h"

#include <algorithm>
#include <cctype>

namespace report {

bool RecordView::isTrue(int n) const {
  if (!present(n)) return false;
  const data::Value& v = rows_.value(n);
  double number = 0;
  if (v.toNumber(number)) return number != 0;
  if (v.kind() != data::Value::Kind::Text) return false;
  std::string lower = v.asText();
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower == "wahr" || lower == "true";
}

}  // namespace report
