#include "report/report_record.h"

#include "base/ascii_case.h"

namespace report {

bool RecordView::isTrue(int n) const {
  if (!present(n)) return false;
  const data::Value& v = rows_.value(n);
  double number = 0;
  if (v.toNumber(number)) return number != 0;
  if (v.kind() != data::Value::Kind::Text) return false;
  return base::equalsNoCase(v.asText(), "wahr") || base::equalsNoCase(v.asText(), "true");
}

}  // namespace report
