#pragma once
// One node of the area tree: an FFH area ("FFHGebiet"), a sub-area ("Teilgebiet") or a polygon
// ("Polygon"). A node owns its children; the selection lists share them through shared_ptr.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "data/ordered_dict.h"

namespace data {

class clsNode {
 public:
  // A count as wide as the container's: a sub-area of a large survey holds more polygons than a
  // 16-bit count could number, and a wrapped count would hide them from the lists.
  std::size_t NodeCount() const { return children_.size(); }
  // The child at a 1-based position in insertion order; null at 0 or above NodeCount.
  std::shared_ptr<clsNode> NodeItem(std::size_t index) const;
  // The children in insertion order, each under its node value.
  const std::vector<OrderedDict<std::shared_ptr<clsNode>>::Entry>& children() const {
    return children_.entries();
  }
  // Inserts a sheet code (at least its first 12 characters count) below this node.
  bool addGBCode(const std::string& code);
  void setNodeType(const std::string& type) { type_ = type; }
  const std::string& getNodeType() const { return type_; }
  void setNodeValue(const std::string& value) { value_ = value; }
  const std::string& getNodeValue() const { return value_; }

 private:
  std::shared_ptr<clsNode> findOrCreateChild(const std::string& type, const std::string& key);

  std::string type_;
  std::string value_;
  OrderedDict<std::shared_ptr<clsNode>> children_;
};

// The roots of the tree, keyed by the 3-digit area number in order of first occurrence.
using AreaRoots = OrderedDict<std::shared_ptr<clsNode>>;

// A numeric text padded with leading zeros to width digits, as the "000" formats do; a text
// that is not all digits is returned unchanged.
std::string formatDigits(const std::string& text, std::size_t width);

}  // namespace data
