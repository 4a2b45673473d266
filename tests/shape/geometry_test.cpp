#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "app/program_objects.h"
#include "shape/c_multi_point.h"
#include "shape/part_shape.h"
#include "shape/shape_error.h"
#include "shape_test_support.h"

using namespace shape;
using shapetest::extent;
using shapetest::raised;

namespace {

std::shared_ptr<CPart> part(std::initializer_list<std::pair<double, double>> xy) {
  auto p = std::make_shared<CPart>();
  for (auto [x, y] : xy) p->Add(std::make_shared<CPoint>(x, y));
  return p;
}

template <class Shape>
std::shared_ptr<Shape> lineOf(std::initializer_list<std::shared_ptr<CPart>> parts) {
  auto s = std::make_shared<Shape>();
  for (const auto& p : parts) s->Add(p);
  return s;
}

}  // namespace

// The extent follows what is added and removed; removing the last point keeps the old one.
// Points are shared, not copied.
TEST(CPart, extent_followsAddedAndRemovedPoints) {
  auto p = part({{1, 5}, {3, 2}, {2, 9}});
  EXPECT_EQ(extent(*p), (std::vector<double>{1, 3, 2, 9}));
  EXPECT_EQ(p->Item(2)->Y(), 2);
  p->Remove(3);
  EXPECT_EQ(p->Top(), 5);
  p->Remove(2);
  EXPECT_EQ(extent(*p), (std::vector<double>{1, 1, 5, 5}));
  p->Remove(1);
  EXPECT_EQ(p->Count(), 0);
  EXPECT_EQ(p->Left(), 1);
  auto point = std::make_shared<CPoint>(1, 1);  // points are shared, also by a copied part
  p->Add(point);
  point->X(7);
  EXPECT_EQ(p->Item(1).get(), point.get());
  EXPECT_EQ(p->Right(), 1);  // moving a point later does not touch the extent
  EXPECT_EQ(lineOf<CPolyLine>({std::make_shared<CPart>(*p)})->Item(1)->Item(1).get(), point.get());
}

TEST(Geometry, add_wrongObject_raisesWithClassText) {
  CPart p;
  CPolyLine line;
  CPolygon polygon;
  CMultiPoint multi;
  struct Case {
    std::function<void()> add;
    const char* source;
    const char* description;
  };
  const Case cases[] = {
      {[&] { p.Add(std::make_shared<CPart>()); }, "CPart::Add",
       "CPart can only accept objects of type CPoint"},
      {[&] { line.Add(std::make_shared<CPoint>()); }, "CPolyLine::Add",
       "CPolyLine Add can only accept objects of type CPart"},
      {[&] { polygon.Add(std::make_shared<CPolyLine>()); }, "CPolygon::Add",
       "CPolygon Add can only accept objects of type CPart"},
      {[&] { multi.Add(std::make_shared<CPart>()); }, "CMultiPoint::Add",
       "CMultiPoint Add can only accept objects of type CPoints"},
      {[&] { multi.Add(nullptr); }, "CMultiPoint::Add",
       "CMultiPoint Add can only accept objects of type CPoints"},
  };
  for (const Case& c : cases) {
    const auto e = raised(c.add);
    EXPECT_EQ(e.number(), 0x8004020Fu) << c.source;
    EXPECT_EQ(e.source(), c.source);
    EXPECT_EQ(e.description(), c.description);
  }
  EXPECT_EQ(p.Count() + line.Count() + polygon.Count() + multi.Count(), 0);
}

TEST(Geometry, itemOrRemove_outOfRange_raisesSubscriptError) {
  auto p = part({{0, 0}});
  EXPECT_EQ(raised([&] { p->Item(2); }).number(), 9u);
  EXPECT_EQ(raised([&] { p->Remove(0); }).source(), "CPart::Remove");
  CPolygon polygon;
  EXPECT_EQ(raised([&] { polygon.Remove(1); }).source(), "C_Polygon::Remove");
  CPolyLine line;
  EXPECT_EQ(raised([&] { line.Remove(1); }).source(), "CPolyLine::Remove");
  CMultiPoint multi;
  EXPECT_EQ(raised([&] { multi.Remove(-1); }).source(), "CMultiPoint::Remove");
  EXPECT_EQ(raised([&] { multi.Item(1); }).description(), "Subscript out of range");
}

// Shapes of several parts or points span them all; removing one keeps the extent.
TEST(Geometry, extent_unionOfPartsOrPointsAndKeptOnRemove) {
  auto line = lineOf<CPolyLine>({part({{0, 0}, {2, 2}}), part({{5, -1}, {6, 1}})});
  CMultiPoint multi;
  for (auto [x, y] : {std::pair{0.0, 0.0}, {2.0, 2.0}, {6.0, -1.0}})
    multi.Add(std::make_shared<CPoint>(x, y));
  for (IShape* shape : {static_cast<IShape*>(line.get()), static_cast<IShape*>(&multi)}) {
    EXPECT_EQ(extent(*shape), (std::vector<double>{0, 6, -1, 2}));
  }
  line->Remove(2);
  multi.Remove(3);
  EXPECT_EQ(line->Count(), 1);
  EXPECT_EQ(line->Right(), 6);
  EXPECT_EQ(multi.Bottom(), -1);
  CPolygon polygon;  // the first part replaces an extent the reader set
  polygon.SetLeft(-100);
  polygon.SetTop(100);
  polygon.Add(part({{1, 1}, {2, 3}}));
  EXPECT_EQ(extent(polygon), (std::vector<double>{1, 2, 1, 3}));
  CRect r;  // corners as given, not sorted
  r.Make(CPoint(5, 1), CPoint(1, 9));
  EXPECT_EQ(extent(r), (std::vector<double>{5, 1, 9, 1}));
  r.MakeEmpty();
  EXPECT_EQ(extent(r), (std::vector<double>{0, 0, 0, 0}));
}

TEST(CPoint, distance_toPointsLinesAndRings) {
  struct Case {
    const char* what;
    std::shared_ptr<IShape> shape;
    CPoint from;
    double expected;
  };
  const Case cases[] = {
      {"point", std::make_shared<CPoint>(3, 4), CPoint(), 5},
      {"same point", std::make_shared<CPoint>(3, 4), CPoint(3, 4), 0},
      {"perpendicular", lineOf<CPolyLine>({part({{0, 0}, {2, 0}})}), CPoint(1, 1), 1},
      {"nearest vertex", lineOf<CPolyLine>({part({{0, 0}, {2, 0}})}), CPoint(3, 1), std::sqrt(2.0)},
      // The nearest vertex is far from the nearest segment: the long first segment counts.
      {"long segment", lineOf<CPolyLine>({part({{0, 0}, {100, 0}, {100, 10}, {50, 11}})}),
       CPoint(50, 1), 1},
      {"later part nearer", lineOf<CPolyLine>({part({{0, 10}, {10, 10}}), part({{20, 0}, {0, 0}})}),
       CPoint(5, 2), 2},
      {"single point", lineOf<CPolyLine>({part({{3, 4}})}), CPoint(), 5},
      {"repeated point", lineOf<CPolygon>({part({{3, 4}, {3, 4}, {3, 4}})}), CPoint(), 5},
      {"stutter", lineOf<CPolyLine>({part({{0, 0}, {0, 0}, {4, 0}})}), CPoint(2, 3), 3},
      {"inside a ring", lineOf<CPolygon>({part({{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}})}),
       CPoint(3, 5), 3},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(c.from.Distance(*c.shape), c.expected) << c.what;
  CPolyLine empty;
  EXPECT_EQ(raised([&] { CPoint().Distance(empty); }).number(), 0x80040212u);
  CPoint nullPoint;
  nullPoint.MakeNull(true);
  auto e = raised([&] { CPoint().Distance(nullPoint); });
  EXPECT_EQ(e.number(), 0x80040212u);
  EXPECT_EQ(e.source(), "CPoint::IShape_Distance");
  EXPECT_EQ(e.description(), "Cannot compute distance to a null shape");
  EXPECT_EQ(raised([&] { nullPoint.Distance(CPoint()); }).number(), 0x80040212u);
}

TEST(IShape, distance_notImplemented_showsBoxAndAnswersZero) {
  auto ui = std::make_unique<app::RecordingUserInterface>();
  auto* boxes = ui.get();
  app::installUi(std::move(ui));
  CMultiPoint multi;
  multi.Add(std::make_shared<CPoint>(9, 9));
  CRect rect(0, 10, 10, 0);
  EXPECT_EQ(CPoint(1, 1).Distance(multi), 0);
  EXPECT_EQ(CPoint(1, 1).Distance(rect), 0);
  EXPECT_TRUE(boxes->boxes.empty());

  auto line = lineOf<CPolyLine>({part({{0, 0}, {2, 0}})});
  EXPECT_EQ(line->Distance(CPoint()), 0);
  EXPECT_EQ(CPolygon().Distance(CPoint()), 0);
  EXPECT_EQ(multi.Distance(CPoint()), 0);
  EXPECT_EQ(rect.Distance(CPoint()), 0);
  ASSERT_EQ(boxes->boxes.size(), 4u);
  EXPECT_EQ(boxes->boxes[0].text, "NOT IMPLEMENTED");
  EXPECT_EQ(boxes->boxes[0].icon, app::MessageIcon::None);
  app::installUi(std::make_unique<app::ConsoleUserInterface>());
}
