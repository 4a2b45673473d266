#pragma once
// A small map of one polygon of the shapefile as the data check read it: the polygon filled,
// its neighbours in grey, and the place of a fault marked by a red circle. Drawn with Qt's
// painter from the check's own records, so the map shows exactly what was checked.

#include <QWidget>
#include <memory>
#include <optional>

#include "check/shape_layer.h"

namespace gui {

class PolygonMapView : public QWidget {
 public:
  explicit PolygonMapView(QWidget* parent = nullptr);

  // Shows record (1-based) of layer with the fault's place, if any; record 0 clears the map.
  void showRecord(std::shared_ptr<const check::ShapeLayer> layer, int32_t record,
                  std::optional<check::Place> place);
  int32_t record() const { return record_; }
  // The records drawn as neighbours (those whose extent reaches into the map), for tests.
  const std::vector<int32_t>& neighbours() const { return neighbours_; }

  QSize sizeHint() const override { return {320, 260}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::shared_ptr<const check::ShapeLayer> layer_;
  int32_t record_ = 0;
  std::optional<check::Place> place_;
  // The map's window in file coordinates, and metres per unit of each axis there: a file in
  // degrees keeps its proportions.
  double left_ = 0, bottom_ = 0, right_ = 1, top_ = 1;
  double metresX_ = 1, metresY_ = 1;
  std::vector<int32_t> neighbours_;
};

}  // namespace gui
