#pragma once
// The map of one polygon as its cover sheet will show it, drawn with Qt's painter: the frame,
// the neighbours clipped to it and the polygon itself filled grey, scaled to the widget with
// the sides in proportion. Without a map it says why in its middle.

#include <QString>
#include <QWidget>
#include <optional>

#include "report/polygon_map.h"

namespace gui {

class PolygonPreview : public QWidget {
 public:
  explicit PolygonPreview(QWidget* parent = nullptr);

  void showMap(report::PolygonMap map);
  // No map; note says why (empty for none at all).
  void showNote(const QString& note);

  const std::optional<report::PolygonMap>& map() const { return map_; }
  const QString& note() const { return note_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<report::PolygonMap> map_;
  QString note_;
};

}  // namespace gui
