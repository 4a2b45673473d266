#pragma once
// The rows of one query, read forward or from the start again. Holds its rows itself, so it
// stays valid after the connection that produced it is closed.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/value.h"

namespace data {

struct Field {
  std::string name;
  Value value;
};

class Recordset {
 public:
  Recordset() = default;  // empty: at BOF and EOF at once
  Recordset(std::vector<std::string> names, std::vector<std::vector<Value>> rows);

  bool isEOF() const { return pos_ >= rows_.size(); }
  bool isBOF() const { return rows_.empty(); }
  void MoveNext();
  void MoveFirst() { pos_ = 0; }
  std::size_t RecordCount() const { return rows_.size(); }

  int fieldCount() const { return static_cast<int>(names_.size()); }
  // The current row's field by 0-based position or by name (without regard to case);
  // throws ProviderError at EOF or for an unknown field.
  Field field(int index) const;
  Field field(std::string_view name) const;
  const Value& value(int index) const;
  const Value& value(std::string_view name) const;
  const std::string& fieldName(int index) const;

 private:
  int indexOf(std::string_view name) const;

  std::vector<std::string> names_;
  std::vector<std::vector<Value>> rows_;
  std::size_t pos_ = 0;
};

}  // namespace data
