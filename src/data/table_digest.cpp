#include "data/table_digest.h"

#include "base/ascii_case.h"

namespace data {
namespace {

std::string upper(const std::string& name) {
  std::string out = name;
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

}  // namespace

TableDigest::TableDigest(const std::vector<std::string>& columns) : columns_(columns) {
  for (std::size_t i = 0; i < columns.size(); ++i)
    for (const char* key : kDigestKeyColumns)
      if (base::equalsNoCase(columns[i], key) && !keyed_.count(key)) keyed_[key].column = i;
}

void TableDigest::addRow(std::string_view bytes, const std::vector<Value>& row) {
  wholeHash_.add(bytes);
  bool kept = false;
  for (auto& [name, keyed] : keyed_) {
    if (!keyed.byText || keyed.column >= row.size()) continue;
    const Value& key = row[keyed.column];
    if (key.isNull()) continue;
    if (key.kind() != Value::Kind::Text) {
      keyed.byText = false;
      keyed.rows.clear();
      continue;
    }
    // Each row's bytes are kept once, whatever number of keyed columns names it.
    if (!kept) {
      rowStarts_.push_back(bytes_.size());
      bytes_ += bytes;
      kept = true;
    }
    keyed.rows[key.asText()].push_back(rowStarts_.size() - 1);
  }
}

void TableDigest::finish(std::string_view layout) {
  base::ContentHash h;
  h.add(layout);
  for (const auto& c : columns_) h.add(c);
  layout_ = h.finish();
  whole_ = h.add(layout_).add(wholeHash_.finish()).finish();
  rowStarts_.push_back(bytes_.size());
  const std::string_view all(bytes_);
  for (auto& [name, keyed] : keyed_) {
    for (auto& [value, rows] : keyed.rows) {
      h.add(layout_);
      for (std::size_t r : rows)
        h.add(all.substr(rowStarts_[r], rowStarts_[r + 1] - rowStarts_[r]));
      keyed.digests.emplace_hint(keyed.digests.end(), value, h.finish());
    }
    keyed.rows.clear();
  }
  bytes_.clear();
  bytes_.shrink_to_fit();
  rowStarts_.clear();
  rowStarts_.shrink_to_fit();
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
