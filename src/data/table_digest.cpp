#include "data/table_digest.h"

#include <cstring>

#include "base/ascii_case.h"

namespace data {
namespace {

void appendNumber(std::string& out, std::uint64_t n) {
  for (int i = 0; i < 8; ++i) out += static_cast<char>(n >> (8 * i));
}

// The kind and the value, framed, so that no two different rows serialise alike.
void appendValue(std::string& out, const Value& v) {
  out += static_cast<char>(v.kind());
  switch (v.kind()) {
    case Value::Kind::Null:
      break;
    case Value::Kind::Text:
      appendNumber(out, v.asText().size());
      out += v.asText();
      break;
    case Value::Kind::Integer:
      appendNumber(out, static_cast<std::uint64_t>(v.asInteger()));
      break;
    case Value::Kind::Real: {
      std::uint64_t bits = 0;
      const double d = v.asReal();
      std::memcpy(&bits, &d, sizeof bits);
      appendNumber(out, bits);
      break;
    }
    case Value::Kind::Boolean:
      out += v.asBoolean() ? '1' : '0';
      break;
    case Value::Kind::Date: {
      const Date d = v.asDate();
      appendNumber(out, static_cast<std::uint64_t>(d.year * 10000 + d.month * 100 + d.day));
      break;
    }
  }
}

std::string upper(const std::string& name) {
  std::string out = name;
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

}  // namespace

TableDigest::TableDigest(const std::vector<std::string>& columns, const std::string& layout) {
  base::ContentHash h;
  h.add(layout);
  for (const auto& c : columns) h.add(c);
  layout_ = h.finish();
  wholeHash_.add(layout_);
  for (std::size_t i = 0; i < columns.size(); ++i)
    for (const char* key : kDigestKeyColumns)
      if (base::equalsNoCase(columns[i], key) && !keyed_.count(key)) keyed_[key].column = i;
}

void TableDigest::addRow(const std::vector<Value>& row) {
  row_.clear();
  for (const Value& v : row) appendValue(row_, v);
  const base::Digest digest = rowHash_.add(row_).finish();
  wholeHash_.add(digest);
  for (auto& [name, keyed] : keyed_) {
    if (!keyed.byText || keyed.column >= row.size()) continue;
    const Value& key = row[keyed.column];
    if (key.isNull()) continue;
    if (key.kind() != Value::Kind::Text) {
      keyed.byText = false;
      keyed.rows.clear();
      continue;
    }
    keyed.rows[key.asText()].append(reinterpret_cast<const char*>(digest.data()), digest.size());
  }
}

void TableDigest::finish() {
  whole_ = wholeHash_.finish();
  base::ContentHash h;
  for (auto& [name, keyed] : keyed_) {
    for (auto& [value, rows] : keyed.rows)
      keyed.digests.emplace(value, h.add(layout_).add(rows).finish());
    keyed.rows.clear();
  }
}

const TableDigest::Keyed* TableDigest::usable(const std::string& column) const {
  const auto it = keyed_.find(upper(column));
  return it == keyed_.end() || !it->second.byText ? nullptr : &it->second;
}

base::Digest TableDigest::rowsOf(const std::string& column, const std::string& value) const {
  const Keyed* keyed = usable(column);
  if (!keyed) return whole_;
  const auto it = keyed->digests.find(value);
  if (it != keyed->digests.end()) return it->second;
  base::ContentHash none;
  return none.add(layout_).add("").finish();
}

base::Digest TableDigest::rowsStartingWith(const std::string& column,
                                           const std::string& prefix) const {
  const Keyed* keyed = usable(column);
  if (!keyed) return whole_;
  base::ContentHash h;
  h.add(layout_);
  for (auto it = keyed->digests.lower_bound(prefix);
       it != keyed->digests.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it)
    h.add(it->first).add(it->second);
  return h.finish();
}

}  // namespace data
