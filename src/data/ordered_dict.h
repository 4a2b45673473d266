#pragma once
// A keyed dictionary that keeps insertion order, as the selection lists and sheet sets need:
// look-up by key, iteration and 1-based position in the order the keys arrived.

#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace data {

template <typename V>
class OrderedDict {
 public:
  using Entry = std::pair<std::string, V>;

  bool contains(const std::string& key) const { return index_.count(key) != 0; }
  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }

  // Adds key → value; false (and no change) when the key is already there.
  bool add(const std::string& key, V value) {
    if (contains(key)) return false;
    index_.emplace(key, entries_.size());
    entries_.emplace_back(key, std::move(value));
    return true;
  }
  // The value under key, or nullptr.
  const V* find(const std::string& key) const {
    auto it = index_.find(key);
    return it == index_.end() ? nullptr : &entries_[it->second].second;
  }
  V* find(const std::string& key) {
    auto it = index_.find(key);
    return it == index_.end() ? nullptr : &entries_[it->second].second;
  }
  void clear() {
    entries_.clear();
    index_.clear();
  }

  const std::vector<Entry>& entries() const { return entries_; }
  auto begin() const { return entries_.begin(); }
  auto end() const { return entries_.end(); }

 private:
  std::vector<Entry> entries_;
  std::unordered_map<std::string, std::size_t> index_;
};

// A set of texts in insertion order.
using TextSet = OrderedDict<std::string>;

}  // namespace data
