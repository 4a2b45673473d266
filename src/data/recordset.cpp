#include "data/recordset.h"

#include <strings.h>

#include "data/provider_error.h"

namespace data {

Recordset::Recordset(std::vector<std::string> names, std::vector<std::vector<Value>> rows)
    : names_(std::move(names)), rows_(std::move(rows)) {}

void Recordset::MoveNext() {
  if (isEOF()) throw ProviderError(kErrNoCurrentRow, "Kein aktueller Datensatz.");
  ++pos_;
}

int Recordset::indexOf(std::string_view name) const {
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (names_[i].size() == name.size() &&
        strncasecmp(names_[i].data(), name.data(), name.size()) == 0)
      return static_cast<int>(i);
  }
  throw ProviderError(kErrNoSuchField,
                      "Das Feld '" + std::string(name) + "' ist in der Abfrage nicht enthalten.");
}

const std::string& Recordset::fieldName(int index) const {
  if (index < 0 || index >= fieldCount())
    throw ProviderError(kErrNoSuchField, "Das Feld mit dem Index " + std::to_string(index) +
                                             " ist in der Abfrage nicht enthalten.");
  return names_[static_cast<std::size_t>(index)];
}

const Value& Recordset::value(int index) const {
  const std::string& checked = fieldName(index);
  (void)checked;
  if (isEOF()) throw ProviderError(kErrNoCurrentRow, "Kein aktueller Datensatz.");
  return rows_[pos_][static_cast<std::size_t>(index)];
}

const Value& Recordset::value(std::string_view name) const {
  return value(indexOf(name));
}

Field Recordset::field(int index) const {
  return Field{fieldName(index), value(index)};
}

Field Recordset::field(std::string_view name) const {
  return field(indexOf(name));
}

}  // namespace data
