#include "data/area_selection.h"

#include <algorithm>
#include <numeric>
#include <unordered_set>

namespace data {
namespace {

std::vector<std::size_t> validRows(std::vector<std::size_t> rows, std::size_t count) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  rows.erase(std::remove_if(rows.begin(), rows.end(), [&](std::size_t r) { return r >= count; }),
             rows.end());
  return rows;
}

std::vector<std::size_t> allRows(std::size_t count) {
  std::vector<std::size_t> rows(count);
  std::iota(rows.begin(), rows.end(), 0);
  return rows;
}

}  // namespace

void AreaSelection::SetBogenNumbers(const AreaRoots& roots) {
  areas_.clear();
  areaRows_.clear();
  subAreaRows_.clear();
  polygonRows_.clear();
  subAreaNodes_.clear();
  subAreaOwners_.clear();
  polygonNodes_.clear();
  selectedAreas_.clear();
  selectedSubAreas_.clear();
  selectedPolygons_.clear();
  for (const auto& [key, root] : roots) {
    areaRows_.push_back(root->getNodeValue());
    areas_.add(root->getNodeValue(), root);
  }
  subAreaEnabled_ = polygonEnabled_ = false;
}

void AreaSelection::selectAreas(const std::vector<std::size_t>& rows) {
  selectedAreas_ = validRows(rows, areaRows_.size());
  subAreaRows_.clear();
  polygonRows_.clear();
  subAreaNodes_.clear();
  subAreaOwners_.clear();
  polygonNodes_.clear();
  for (std::size_t row : selectedAreas_) {
    const auto* root = areas_.find(areaRows_[row]);
    if (!root) continue;
    for (const auto& [value, child] : (*root)->children()) {
      subAreaRows_.push_back(child->getNodeValue());
      subAreaNodes_.push_back(child);
      subAreaOwners_.push_back(row);
    }
  }
  selectedSubAreas_.clear();
  selectedPolygons_.clear();
  subAreaEnabled_ = true;
  polygonEnabled_ = false;
}

void AreaSelection::selectSubAreas(const std::vector<std::size_t>& rows) {
  selectedSubAreas_ = validRows(rows, subAreaRows_.size());
  polygonRows_.clear();
  polygonNodes_.clear();
  std::unordered_set<std::string> listed;  // report mode: polygon numbers already in the list
  for (std::size_t row : selectedSubAreas_) {
    const auto& sub = subAreaNodes_[row];
    for (const auto& [key, polygon] : sub->children()) {
      const std::string& value = polygon->getNodeValue();
      if (!polygonNodes_.add(value, polygon)) continue;
      if (mode_ == Mode::Sheets) {
        polygonRows_.push_back(value);
      } else {
        // The last digit is the part: list each polygon number once.
        std::string number = value.substr(0, value.empty() ? 0 : value.size() - 1);
        if (listed.insert(number).second) polygonRows_.push_back(std::move(number));
      }
    }
  }
  selectedPolygons_.clear();
  polygonEnabled_ = true;
}

void AreaSelection::selectPolygons(const std::vector<std::size_t>& rows) {
  selectedPolygons_ = validRows(rows, polygonRows_.size());
}

std::vector<std::string> AreaSelection::selectByValue(const std::vector<std::string>& rowsText,
                                                      const std::vector<std::string>& values,
                                                      std::vector<std::size_t>& picked) {
  std::vector<std::string> unknown;
  for (const auto& v : values) {
    bool found = false;
    for (std::size_t r = 0; r < rowsText.size(); ++r) {
      if (rowsText[r] == v) {
        picked.push_back(r);
        found = true;
      }
    }
    if (!found) unknown.push_back(v);
  }
  return unknown;
}

std::vector<std::string> AreaSelection::selectAreasByValue(const std::vector<std::string>& values) {
  std::vector<std::size_t> rows;
  auto unknown = selectByValue(areaRows_, values, rows);
  selectAreas(rows);
  return unknown;
}

std::vector<std::string> AreaSelection::selectSubAreasByValue(
    const std::vector<std::string>& values) {
  std::vector<std::size_t> rows;
  auto unknown = selectByValue(subAreaRows_, values, rows);
  selectSubAreas(rows);
  return unknown;
}

std::vector<std::string> AreaSelection::selectPolygonsByValue(
    const std::vector<std::string>& values) {
  std::vector<std::size_t> rows;
  auto unknown = selectByValue(polygonRows_, values, rows);
  selectPolygons(rows);
  return unknown;
}

void AreaSelection::selectAllAreas() {
  selectAreas(allRows(areaRows_.size()));
}
void AreaSelection::selectAllSubAreas() {
  selectSubAreas(allRows(subAreaRows_.size()));
}
void AreaSelection::selectAllPolygons() {
  selectPolygons(allRows(polygonRows_.size()));
}

TextSet AreaSelection::selectedSheetCodes() const {
  // Walks the tree below the selected areas and sub-areas, as for the report: the set grows with
  // the polygons that exist there, not with areas × sub-areas × polygon rows.
  std::unordered_set<std::string> chosen;
  for (std::size_t p : selectedPolygons_) chosen.insert(polygonRows_[p]);
  TextSet codes;
  forEachSelectedSubArea([&](const std::string& prefix, const clsNode& sub) {
    for (const auto& [key, polygon] : sub.children()) {
      const std::string& value = polygon->getNodeValue();
      if (!chosen.count(value)) continue;
      const std::string code = prefix + formatDigits(value, 6);
      codes.add(code, code);
    }
  });
  return codes;
}

std::vector<std::string> AreaSelection::selectedPolygonCodes() const {
  // The polygon rows are numbers without their part digit; each is named once per sub-area.
  std::unordered_set<std::string> chosen;
  for (std::size_t p : selectedPolygons_) chosen.insert(polygonRows_[p]);
  std::vector<std::string> codes;
  forEachSelectedSubArea([&](const std::string& prefix, const clsNode& sub) {
    std::unordered_set<std::string> named;
    for (const auto& [key, polygon] : sub.children()) {
      const std::string& value = polygon->getNodeValue();
      std::string number = value.substr(0, value.empty() ? 0 : value.size() - 1);
      if (chosen.count(number) && named.insert(number).second) codes.push_back(prefix + number);
    }
  });
  return codes;
}

void AreaSelection::forEachSelectedSubArea(
    const std::function<void(const std::string&, const clsNode&)>& visit) const {
  for (std::size_t a : selectedAreas_) {
    for (std::size_t s : selectedSubAreas_) {
      if (subAreaOwners_[s] != a) continue;
      const auto& sub = subAreaNodes_[s];
      visit(areaRows_[a] + formatDigits(sub->getNodeValue(), 3), *sub);
    }
  }
}

}  // namespace data
