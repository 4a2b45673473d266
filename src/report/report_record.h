#pragma once
// The current row of a recordset addressed by column position, as the report routines read
// the survey tables: a column the row or table lacks counts as absent. Borrows the recordset,
// which must outlive the view; never throws.

#include <string>

#include "data/recordset.h"

namespace report {

class RecordView {
 public:
  explicit RecordView(const data::Recordset& rows) : rows_(rows) {}

  // The row exists and the column holds a value.
  bool present(int n) const {
    return !rows_.isEOF() && n >= 0 && n < rows_.fieldCount() && !rows_.value(n).isNull();
  }
  // The column's name, "" for a column the table lacks.
  std::string name(int n) const {
    return n >= 0 && n < rows_.fieldCount() ? rows_.fieldName(n) : std::string();
  }
  // The value as text, "" when absent.
  std::string text(int n) const { return present(n) ? rows_.value(n).toText() : std::string(); }
  // A yes/no column: true for a true flag, a non-zero number or the text of one; Null is false.
  bool isTrue(int n) const;

 private:
  const data::Recordset& rows_;
};

}  // namespace report
