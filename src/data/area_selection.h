#pragma once
// The cascaded area lists of the generation windows (FFH area → sub-area → polygon) as a model
// without any GUI: rows, selections, enabled states and the codes a selection stands for.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/cls_node.h"

namespace data {

class AreaSelection {
 public:
  // Sheets: the polygon list shows each polygon node (6 digits: polygon and part), as the
  // output window does. Report: parts are folded into one 5-digit polygon number per row.
  enum class Mode { Sheets, Report };

  explicit AreaSelection(Mode mode) : mode_(mode) {}

  // Fills the area list from the roots; clears the other two lists.
  void SetBogenNumbers(const AreaRoots& roots);

  const std::vector<std::string>& areaRows() const { return areaRows_; }
  const std::vector<std::string>& subAreaRows() const { return subAreaRows_; }
  const std::vector<std::string>& polygonRows() const { return polygonRows_; }
  bool subAreaListEnabled() const { return subAreaEnabled_; }
  bool polygonListEnabled() const { return polygonEnabled_; }

  // Selecting rows (0-based) acts as a click on the list: the lists below are rebuilt.
  void selectAreas(const std::vector<std::size_t>& rows);
  void selectSubAreas(const std::vector<std::size_t>& rows);
  void selectPolygons(const std::vector<std::size_t>& rows);
  // Selects the rows whose text is in values; answers the values that match no row.
  std::vector<std::string> selectAreasByValue(const std::vector<std::string>& values);
  std::vector<std::string> selectSubAreasByValue(const std::vector<std::string>& values);
  std::vector<std::string> selectPolygonsByValue(const std::vector<std::string>& values);
  // Selects every row of the list (and rebuilds the lists below).
  void selectAllAreas();
  void selectAllSubAreas();
  void selectAllPolygons();

  const std::vector<std::size_t>& selectedAreas() const { return selectedAreas_; }
  const std::vector<std::size_t>& selectedSubAreas() const { return selectedSubAreas_; }
  const std::vector<std::size_t>& selectedPolygons() const { return selectedPolygons_; }

  // Both walk the tree below each selected sub-area row of a selected area (a sub-area row
  // stands for its own area's node) and name only what exists there, in list order.
  // Sheets mode: the 12-digit sheet codes (area + sub-area "000" + polygon "000000") of the
  // selected polygon rows.
  TextSet selectedSheetCodes() const;
  // Report mode: the 11-character polygon codes (area + sub-area "000" + polygon number) of the
  // selected polygon numbers.
  std::vector<std::string> selectedPolygonCodes() const;

 private:
  // Calls visit with the code prefix (area + sub-area "000") and the node of every selected
  // sub-area row below a selected area row.
  void forEachSelectedSubArea(
      const std::function<void(const std::string&, const clsNode&)>& visit) const;
  std::vector<std::string> selectByValue(const std::vector<std::string>& rowsText,
                                         const std::vector<std::string>& values,
                                         std::vector<std::size_t>& picked);

  Mode mode_;
  OrderedDict<std::shared_ptr<clsNode>> areas_;
  std::vector<std::shared_ptr<clsNode>> subAreaNodes_;
  std::vector<std::size_t> subAreaOwners_;  // the area row of each sub-area row
  OrderedDict<std::shared_ptr<clsNode>> polygonNodes_;
  std::vector<std::string> areaRows_, subAreaRows_, polygonRows_;
  std::vector<std::size_t> selectedAreas_, selectedSubAreas_, selectedPolygons_;
  bool subAreaEnabled_ = false;
  bool polygonEnabled_ = false;
};

}  // namespace data
