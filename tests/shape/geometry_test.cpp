#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "app/program_objects.h"
#include "shape/c_multi_point.h"
#include "shape/part_shape.h"
#include "shape/shape_error.h"
#include "shape_test_support.h"

using namespace shape;
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

TEST(CPart, add_extent_followsPoints) {
  auto p = part({{1, 5}, {3, 2}, {2, 9}});
  EXPECT_EQ(p->Left(), 1);
  EXPECT_EQ(p->Right(), 3);
  EXPECT_EQ(p->Bottom(), 2);
  EXPECT_EQ(p->Top(), 9);
  EXPECT_EQ(p->Count(), 3);
  EXPECT_EQ(p->Item(2)->Y(), 2);
}

TEST(CPart, remove_extent_recomputedOrKeptWhenEmpty) {
  auto p = part({{1, 5}, {3, 2}, {2, 9}});
  p->Remove(3);
  EXPECT_EQ(p->Top(), 5);
  EXPECT_EQ(p->Right(), 3);
  p->Remove(2);
  EXPECT_EQ(p->Left(), 1);
  EXPECT_EQ(p->Right(), 1);
  EXPECT_EQ(p->Bottom(), 5);
  p->Remove(1);
  EXPECT_EQ(p->Count(), 0);
  EXPECT_EQ(p->Left(), 1);
  EXPECT_EQ(p->Top(), 5);
}

TEST(CPart, add_point_isSharedNotCopied) {
  auto point = std::make_shared<CPoint>(1, 1);
  CPart p;
  p.Add(point);
  point->X(7);
  EXPECT_EQ(p.Item(1)->X(), 7);
  EXPECT_EQ(p.Item(1).get(), point.get());
  EXPECT_EQ(p.Right(), 1);  // moving a point later does not touch the extent
  auto line = lineOf<CPolyLine>({std::make_shared<CPart>(p)});
  EXPECT_EQ(line->Item(1)->Item(1).get(), point.get());
}

TEST(Geometry, add_wrongObject_raisesWithClassText) {
  CPart p;
  auto e = raised([&] { p.Add(std::make_shared<CPart>()); });
  EXPECT_EQ(e.number(), 0x8004020Fu);
  EXPECT_EQ(e.source(), "CPart::Add");
  EXPECT_EQ(e.description(), "CPart can only accept objects of type CPoint");
  EXPECT_EQ(p.Count(), 0);

  CPolyLine line;
  e = raised([&] { line.Add(std::make_shared<CPoint>()); });
  EXPECT_EQ(e.number(), 0x8004020Fu);
  EXPECT_EQ(e.source(), "CPolyLine::Add");
  EXPECT_EQ(e.description(), "CPolyLine Add can only accept objects of type CPart");

  CPolygon polygon;
  e = raised([&] { polygon.Add(std::make_shared<CPolyLine>()); });
  EXPECT_EQ(e.number(), 0x8004020Fu);
  EXPECT_EQ(e.source(), "CPolygon::Add");
  EXPECT_EQ(e.description(), "CPolygon Add can only accept objects of type CPart");
  EXPECT_EQ(polygon.Count(), 0);

  CMultiPoint multi;
  e = raised([&] { multi.Add(std::make_shared<CPart>()); });
  EXPECT_EQ(e.source(), "CMultiPoint::Add");
  EXPECT_EQ(e.description(), "CMultiPoint Add can only accept objects of type CPoints");
  e = raised([&] { multi.Add(nullptr); });
  EXPECT_EQ(e.number(), 0x8004020Fu);
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

TEST(CPolyLine, add_extent_unionOfPartsAndRemoveKeepsIt) {
  auto line = lineOf<CPolyLine>({part({{0, 0}, {2, 2}}), part({{5, -1}, {6, 1}})});
  EXPECT_EQ(line->Left(), 0);
  EXPECT_EQ(line->Right(), 6);
  EXPECT_EQ(line->Bottom(), -1);
  EXPECT_EQ(line->Top(), 2);
  line->Remove(2);
  EXPECT_EQ(line->Count(), 1);
  EXPECT_EQ(line->Right(), 6);
  EXPECT_EQ(line->Bottom(), -1);
}

TEST(CPolygon, add_firstPart_replacesExtentSetByReader) {
  CPolygon polygon;
  polygon.SetLeft(-100);
  polygon.SetTop(100);
  polygon.Add(part({{1, 1}, {2, 3}}));
  EXPECT_EQ(polygon.Left(), 1);
  EXPECT_EQ(polygon.Top(), 3);
  EXPECT_FALSE(polygon.IsNull());
  polygon.MakeNull(true);
  EXPECT_TRUE(polygon.IsNull());
}

TEST(CMultiPoint, add_extent_widensPerSide) {
  CMultiPoint multi;
  multi.Add(std::make_shared<CPoint>(3, 3));
  multi.Add(std::make_shared<CPoint>(1, 7));
  multi.Add(std::make_shared<CPoint>(5, -2));
  EXPECT_EQ(multi.Left(), 1);
  EXPECT_EQ(multi.Right(), 5);
  EXPECT_EQ(multi.Bottom(), -2);
  EXPECT_EQ(multi.Top(), 7);
  multi.Remove(3);
  EXPECT_EQ(multi.Bottom(), -2);
}

TEST(CRect, make_copiesCornersAndKeepsOrderGiven) {
  CPoint a(5, 1), b(1, 9);
  CRect r;
  r.Make(a, b);
  a.X(100);
  EXPECT_EQ(r.Left(), 5);
  EXPECT_EQ(r.Top(), 1);
  EXPECT_EQ(r.Right(), 1);
  EXPECT_EQ(r.Bottom(), 9);
  r.MakeXY(1, 2, 3, 4);
  EXPECT_EQ(r.Bottom(), 4);
  r.Bottom(-4);
  EXPECT_EQ(r.Bottom(), -4);
  r.MakeEmpty();
  EXPECT_EQ(r.Left() + r.Right() + r.Top() + r.Bottom(), 0);
}

TEST(CPoint, distance_pointsAndNullShapes) {
  CPoint o, p(3, 4);
  EXPECT_DOUBLE_EQ(o.Distance(p), 5);
  EXPECT_EQ(p.Distance(CPoint(3, 4)), 0);
  CPoint nullPoint;
  nullPoint.MakeNull(true);
  auto e = raised([&] { o.Distance(nullPoint); });
  EXPECT_EQ(e.number(), 0x80040212u);
  EXPECT_EQ(e.source(), "CPoint::IShape_Distance");
  EXPECT_EQ(e.description(), "Cannot compute distance to a null shape");
  EXPECT_EQ(raised([&] { nullPoint.Distance(o); }).number(), 0x80040212u);
}

TEST(CPoint, distance_toPolyLine_perpendicularOrNearestVertex) {
  auto line = lineOf<CPolyLine>({part({{0, 0}, {2, 0}})});
  EXPECT_DOUBLE_EQ(CPoint(1, 1).Distance(*line), 1);
  EXPECT_DOUBLE_EQ(CPoint(3, 1).Distance(*line), std::sqrt(2.0));
  // The nearest vertex is far from the nearest segment: the long first segment still counts.
  auto detour = lineOf<CPolyLine>({part({{0, 0}, {100, 0}, {100, 10}, {50, 11}})});
  EXPECT_DOUBLE_EQ(CPoint(50, 1).Distance(*detour), 1);
  // A later part nearer than the first.
  auto two = lineOf<CPolyLine>({part({{0, 10}, {10, 10}}), part({{20, 0}, {0, 0}})});
  EXPECT_DOUBLE_EQ(CPoint(5, 2).Distance(*two), 2);
}

TEST(CPoint, distance_degenerateParts_measuredByVertices) {
  auto single = lineOf<CPolyLine>({part({{3, 4}})});
  EXPECT_DOUBLE_EQ(CPoint().Distance(*single), 5);
  auto repeated = lineOf<CPolygon>({part({{3, 4}, {3, 4}, {3, 4}})});
  double d = CPoint().Distance(*repeated);
  EXPECT_FALSE(std::isnan(d));
  EXPECT_DOUBLE_EQ(d, 5);
  auto stutter = lineOf<CPolyLine>({part({{0, 0}, {0, 0}, {4, 0}})});
  EXPECT_DOUBLE_EQ(CPoint(2, 3).Distance(*stutter), 3);
  CPolyLine empty;
  EXPECT_EQ(raised([&] { CPoint().Distance(empty); }).number(), 0x80040212u);
}

TEST(CPoint, distance_insidePolygon_toNearestRing) {
  auto square = lineOf<CPolygon>({part({{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}})});
  EXPECT_DOUBLE_EQ(CPoint(3, 5).Distance(*square), 3);
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
