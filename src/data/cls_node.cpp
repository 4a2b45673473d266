#include "data/cls_node.h"

#include <algorithm>
#include <cctype>

namespace data {

std::string formatDigits(const std::string& text, std::size_t width) {
  if (text.empty() ||
      !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
    return text;
  return text.size() >= width ? text : std::string(width - text.size(), '0') + text;
}

std::shared_ptr<clsNode> clsNode::NodeItem(std::size_t index) const {
  if (index < 1 || index > NodeCount()) return nullptr;
  return children_.entries()[index - 1].second;
}

std::shared_ptr<clsNode> clsNode::findOrCreateChild(const std::string& type,
                                                    const std::string& key) {
  if (auto* found = children_.find(key)) return *found;
  auto child = std::make_shared<clsNode>();
  child->setNodeType(type);
  child->setNodeValue(key);
  children_.add(key, child);
  return child;
}

bool clsNode::addGBCode(const std::string& code) {
  auto part = [&](std::size_t pos, std::size_t len) {
    return pos < code.size() ? code.substr(pos, len) : std::string();
  };
  if (type_ == "FFHGebiet") {
    findOrCreateChild("Teilgebiet", formatDigits(part(3, 3), 3))->addGBCode(code);
  } else if (type_ == "Teilgebiet") {
    findOrCreateChild("Polygon", formatDigits(part(6, 6), 6))->addGBCode(code);
  }
  return true;
}

}  // namespace data
