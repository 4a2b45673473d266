#include "word/docx/drawing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "support/expect_throw.h"
#include "test_package.h"
#include "word/docx/document.h"
#include "word/docx/docx_error.h"
#include "word/docx/xml_util.h"

namespace docx {
namespace {

using test::para;
using test::partXml;

constexpr double kA4Width = 11906 / 20.0;

std::vector<Point> square(double x, double y, double size) {
  return {{x, y}, {x + size, y}, {x + size, y + size}, {x, y + size}, {x, y}};
}

std::vector<pugi::xml_node> anchors(pugi::xml_node root) {
  std::vector<pugi::xml_node> found;
  for (const auto& anchor : root.select_nodes("//wp:anchor")) found.push_back(anchor.node());
  return found;
}

// The drawing's objects written into a document of one empty paragraph.
std::vector<pugi::xml_node> materialized(const Drawing& d, pugi::xml_document& xml, unsigned id) {
  pugi::xml_node body = xml.append_child("w:document").append_child("w:body");
  body.append_child("w:p");
  return d.materialize(body, id);
}

TEST(drawing_shapes, numbered_in_order_of_addition_with_freeform_defaults) {
  Drawing d(kA4Width);
  EXPECT_EQ(d.addPolyline(square(0, 0, 100)), 1);
  EXPECT_EQ(d.addPolyline({{0, 0}, {50, 20}, {80, 10}}), 2);
  EXPECT_EQ(d.addLabel(0, 112, 100, 20), 3);
  EXPECT_EQ(d.shapeCount(), 3);
  const Frame f = d.shapeFrame(2);
  EXPECT_DOUBLE_EQ(f.width, 80);
  EXPECT_DOUBLE_EQ(f.height, 20);
  EXPECT_EQ(testsupport::thrownValue<DocxError>([&] { d.shapeFrame(4); }, &DocxError::code),
            ErrorCode::kShapeOutOfRange);
  EXPECT_THROW(d.addPolyline({{0, 0}}), DocxError);
  EXPECT_THROW(d.addPolyline({{0, 0}, {NAN, 1}}), DocxError);

  pugi::xml_document xml;
  ASSERT_EQ(materialized(d, xml, 1).size(), 3u);
  const auto all = anchors(xml);
  ASSERT_EQ(all.size(), 3u);
  // Closed outline: white fill, thin black line, closed path.
  pugi::xml_node sp1 = all[0].find_node([](pugi::xml_node n) { return is(n, "wps:spPr"); });
  EXPECT_STREQ(sp1.child("a:solidFill").child("a:srgbClr").attribute("val").value(), "FFFFFF");
  EXPECT_STREQ(sp1.child("a:ln").attribute("w").value(), "9525");
  EXPECT_TRUE(sp1.child("a:custGeom").child("a:pathLst").child("a:path").child("a:close"));
  // Open polyline: no fill, no close.
  pugi::xml_node sp2 = all[1].find_node([](pugi::xml_node n) { return is(n, "wps:spPr"); });
  EXPECT_TRUE(sp2.child("a:noFill"));
  EXPECT_FALSE(sp2.child("a:custGeom").child("a:pathLst").child("a:path").child("a:close"));
}

// A map's many small outlines in one shape: a subpath each, the closed ones closed, the path
// in steps of the resolution instead of EMU, and the line as wide as set.
TEST(drawing_shapes, several_outlines_share_a_shape_in_steps_of_the_resolution) {
  Drawing d(kA4Width);
  EXPECT_EQ(d.addPolylines({square(10, 10, 20), square(40, 10, 20), {{10, 40}, {15, 45}}}, 0.5), 1);
  d.setLineWidth(1, 0.25);
  EXPECT_THROW(d.setLineWidth(1, 0), DocxError);
  EXPECT_THROW(d.addPolylines({}), DocxError);
  EXPECT_DOUBLE_EQ(d.shapeFrame(1).width, 50);
  pugi::xml_document xml;
  materialized(d, xml, 1);
  pugi::xml_node path = xml.find_node([](pugi::xml_node n) { return is(n, "a:path"); });
  EXPECT_EQ(path.attribute("w").as_int(), 100);  // 50 points in half points
  EXPECT_EQ(path.select_nodes("a:moveTo").size(), 3u);
  EXPECT_EQ(path.select_nodes("a:close").size(), 2u);
  pugi::xml_node second = path.select_nodes("a:moveTo")[1].node().child("a:pt");
  EXPECT_EQ(second.attribute("x").as_int(), 60);
  EXPECT_EQ(second.attribute("y").as_int(), 0);
  EXPECT_STREQ(xml.find_node([](pugi::xml_node n) { return is(n, "a:ln"); }).attribute("w").value(),
               "3175");
  EXPECT_TRUE(xml.find_node([](pugi::xml_node n) { return is(n, "a:noFill"); }));  // one is open
}

TEST(drawing_format, pattern_solid_transparency_and_invisible_line) {
  Drawing d(kA4Width);
  d.addPolyline(square(0, 0, 10));
  d.addPolyline(square(0, 20, 10));
  d.addLabel(0, 40, 10, 5);
  d.setFillColor(1, {192, 192, 192});
  d.setFillPattern(1, 7);
  d.setFillTransparency(2, 0);
  d.setFillColor(2, {0, 0, 0});
  d.setFillSolid(2);
  d.setLineVisible(3, false);
  d.setLabelText(3, "100 m");
  d.setLabelFont(3, 8, true);
  d.setLabelCentered(3, true);
  EXPECT_THROW(d.setFillPattern(1, 99), DocxError);
  EXPECT_THROW(d.setFillTransparency(1, 1.5), DocxError);
  EXPECT_THROW(d.setLabelText(1, "x"), DocxError);

  pugi::xml_document xml;
  materialized(d, xml, 10);
  const auto all = anchors(xml);
  pugi::xml_node patt = all[0].find_node([](pugi::xml_node n) { return is(n, "a:pattFill"); });
  ASSERT_TRUE(patt);
  EXPECT_STREQ(patt.attribute("prst").value(), "pct50");
  EXPECT_STREQ(patt.child("a:fgClr").child("a:srgbClr").attribute("val").value(), "C0C0C0");
  EXPECT_STREQ(patt.child("a:bgClr").child("a:srgbClr").attribute("val").value(), "FFFFFF");
  pugi::xml_node solid = all[1].find_node([](pugi::xml_node n) { return is(n, "a:solidFill"); });
  EXPECT_STREQ(solid.child("a:srgbClr").attribute("val").value(), "000000");
  EXPECT_FALSE(solid.child("a:srgbClr").child("a:alpha"));  // transparency 0: fully opaque
  pugi::xml_node ln = all[2].find_node([](pugi::xml_node n) { return is(n, "a:ln"); });
  EXPECT_TRUE(ln.child("a:noFill"));
  pugi::xml_node p =
      all[2].find_node([](pugi::xml_node n) { return is(n, "w:txbxContent"); }).child("w:p");
  EXPECT_STREQ(p.child("w:pPr").child("w:jc").attribute("w:val").value(), "center");
  EXPECT_STREQ(p.child("w:r").child("w:rPr").child("w:sz").attribute("w:val").value(), "16");
  EXPECT_TRUE(p.child("w:r").child("w:rPr").child("w:b"));
  EXPECT_STREQ(p.child("w:r").child("w:t").child_value(), "100 m");

  d.setFillTransparency(1, 0.25);
  pugi::xml_document again;
  materialized(d, again, 10);
  pugi::xml_node alpha = again.find_node([](pugi::xml_node n) { return is(n, "a:alpha"); });
  EXPECT_STREQ(alpha.attribute("val").value(), "75000");
}

// The placed map itself (300 pt, centred, 100 pt from the top, label height kept on
// regrouping) is checked on real cover sheets; here what those cannot see.
TEST(drawing_group, members_follow_the_group_and_regrouping_keeps_its_frame) {
  Drawing d(kA4Width);
  d.addPolyline({{0, 650}, {0, 0}, {1150, 0}, {1150, 650}, {0, 650}});
  d.addPolyline(square(100, 100, 300));
  const int label = d.addLabel(0, 662, 1150, 20);
  const int g = d.group({1, 2, 3});
  EXPECT_DOUBLE_EQ(d.groupFrame(g).height, 682);
  d.setGroupSize(g, 300, 682 * 300 / 1150.0);
  d.centerGroupHorizontally(g);
  d.setGroupTop(g, 100);
  const Frame placed = d.groupFrame(g);
  const Frame second = d.shapeFrame(2);
  EXPECT_NEAR(second.width, 300 * 300 / 1150.0, 1e-9);
  EXPECT_NEAR(second.left, placed.left + 100 * 300 / 1150.0, 1e-9);
  EXPECT_THROW(d.group({1, 2}), DocxError);  // already grouped
  d.ungroup(g);
  EXPECT_THROW(d.groupFrame(g), DocxError);
  d.setShapeSize(label, d.shapeFrame(label).width, 2);
  d.regroup(g);
  EXPECT_NEAR(d.groupFrame(g).left, placed.left, 1e-9);
  EXPECT_NEAR(d.groupFrame(g).top, placed.top, 1e-9);
  // Scaling by a factor keeps the top-left corner.
  d.scaleGroup(g, 0.5, 0.5);
  EXPECT_NEAR(d.groupFrame(g).width, 150, 1e-9);
  EXPECT_NEAR(d.groupFrame(g).left, placed.left, 1e-9);
}

TEST(drawing_group, serialised_as_one_anchored_group_with_child_space) {
  Document doc = test::openBody(para("Deckblatt"));
  Drawing& d = doc.drawing();
  for (int k = 0; k < 4; ++k) d.addPolyline(square(k * 100.0, 50, 80));
  const int g = d.group({1, 2, 3, 4});
  d.setGroupSize(g, 300, 80 * 300 / 380.0);
  d.centerGroupHorizontally(g);
  d.setGroupTop(g, 100);
  const std::string bytes = doc.toBytes();
  EXPECT_EQ(doc.toBytes().size(), bytes.size());  // saving twice adds nothing
  auto xml = partXml(bytes, "word/document.xml");
  const auto all = anchors(*xml);
  ASSERT_EQ(all.size(), 1u);
  pugi::xml_node xfrm =
      all[0].select_node("a:graphic/a:graphicData/wpg:wgp/wpg:grpSpPr/a:xfrm").node();
  EXPECT_STREQ(xfrm.child("a:chOff").attribute("x").value(), "0");
  EXPECT_STREQ(xfrm.child("a:chOff").attribute("y").value(), "635000");
  EXPECT_STREQ(xfrm.child("a:chExt").attribute("cx").value(), std::to_string(380 * 12700).c_str());
  EXPECT_STREQ(xfrm.child("a:ext").attribute("cx").value(), "3810000");
  // Ids of drawing objects are unique.
  const auto idNodes = xml->select_nodes("//wp:docPr/@id | //wps:cNvPr/@id");
  std::set<std::string> ids;
  for (const auto& id : idNodes) ids.insert(id.attribute().value());
  EXPECT_GE(idNodes.size(), 5u);  // the group and its four shapes
  EXPECT_EQ(ids.size(), idNodes.size());
  // The anchor run sits in the first paragraph, in front of its text.
  pugi::xml_node p = xml->document_element().child("w:body").child("w:p");
  EXPECT_TRUE(p.child("w:r").child("w:drawing"));
}

}  // namespace
}  // namespace docx
