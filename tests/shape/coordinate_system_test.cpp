// Coordinate systems as GIS programs write them into a shapefile's ".prj", read with PROJ, and
// the plan by which the cover maps turn the coordinates into metres.

#include "shape/coordinate_system.h"

#include <gtest/gtest.h>

#include "sample/sample_shapefile.h"
#include "shape/c_shape_file.h"
#include "shape/map_projection.h"
#include "shape_test_support.h"
#include "support/temp_dir.h"

using namespace shape;
using namespace shapetest;

namespace {

const char* kFeet =
    "PROJCS[\"NAD_1983_StatePlane_New_York_Long_Island_FIPS_3104_Feet\",GEOGCS[\"GCS_North_"
    "American_1983\",DATUM[\"D_North_American_1983\",SPHEROID[\"GRS_1980\",6378137.0,298."
    "257222101]],PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]],PROJECTION["
    "\"Lambert_Conformal_Conic\"],PARAMETER[\"False_Easting\",984250.0],PARAMETER[\"False_"
    "Northing\",0.0],PARAMETER[\"Central_Meridian\",-74.0],PARAMETER[\"Standard_Parallel_1\","
    "40.66666666666666],PARAMETER[\"Standard_Parallel_2\",41.03333333333333],PARAMETER["
    "\"Latitude_Of_Origin\",40.16666666666666],UNIT[\"Foot_US\",0.3048006096012192]]";
const char* kEtrs89Degrees =
    "GEOGCS[\"GCS_ETRS_1989\",DATUM[\"D_ETRS_1989\",SPHEROID[\"GRS_1980\",6378137.0,"
    "298.257222101]],PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]]";

const CRect kGaussKrueger(3449000, 5551000, 3451000, 5549000);
const CRect kDegrees(8.29, 50.11, 8.31, 50.09);

struct PrjCase {
  const char* name;
  const char* prj;  // nullptr: no ".prj"; "sample:N": the sample writer's for EPSG:N
  CRect extent;
  CoordinateSystem::Kind kind;
  const char* label;
  MapPlan::Kind plan;
  const char* target;  // of the plan, or its factor when scaled
  bool guessed = false;
  friend void PrintTo(const PrjCase& c, std::ostream* out) { *out << c.name; }
};

class CoordinateSystems : public ShapeTest, public ::testing::WithParamInterface<PrjCase> {};

TEST_P(CoordinateSystems, ReadAndPlanned) {
  const PrjCase& c = GetParam();
  const fs::path shp = folder / "flaechen.shp";
  if (c.prj && std::string(c.prj).starts_with("sample:")) {
    sample::ShapefileForm form;
    form.crs = std::stoi(std::string(c.prj).substr(7));
    sample::writeSampleShapefile(shp, {"00100100001"}, 1, form);
    fs::rename(folder / "flaechen.prj", folder / "FLAECHEN.PRJ");  // found in any letter case
  } else if (c.prj) {
    testsupport::writeFile(folder / "flaechen.prj", "\xEF\xBB\xBF" + std::string(c.prj) + "\r\n");
  }
  const CoordinateSystem system = readCoordinateSystem(shp);
  EXPECT_EQ(system.kind, c.kind);
  EXPECT_EQ(system.label(), c.label);
  if (c.kind == CoordinateSystem::Kind::kUnreadable) {
    EXPECT_FALSE(system.problem.empty());
  }
  const MapPlan plan = planMap(system, c.extent);
  EXPECT_EQ(plan.kind, c.plan);
  EXPECT_EQ(plan.degreesGuessed, c.guessed);
  if (c.plan == MapPlan::Kind::kToUtm) {
    EXPECT_EQ(plan.target, c.target);
  } else if (c.plan == MapPlan::Kind::kScaled) {
    EXPECT_NEAR(plan.factor, std::stod(c.target), 1e-12);
  }
}

using Kind = CoordinateSystem::Kind;
using Plan = MapPlan::Kind;
INSTANTIATE_TEST_SUITE_P(
    Prj, CoordinateSystems,
    ::testing::Values(PrjCase{"GaussKrueger", "sample:31467", kGaussKrueger, Kind::kProjected,
                              "DHDN / 3-degree Gauss-Kruger zone 3 (EPSG:31467)", Plan::kAsIs, ""},
                      PrjCase{"Utm", "sample:25832", kGaussKrueger, Kind::kProjected,
                              "ETRS89 / UTM zone 32N (EPSG:25832)", Plan::kAsIs, ""},
                      PrjCase{"UsFeet", kFeet, kGaussKrueger, Kind::kProjected,
                              "NAD83 / New York Long Island (ftUS) (EPSG:2263)", Plan::kScaled,
                              "0.3048006096012192"},
                      PrjCase{"Wgs84Degrees", "sample:4326", kDegrees, Kind::kGeographic,
                              "WGS 84 (EPSG:4326)", Plan::kToUtm, "EPSG:32632"},
                      PrjCase{"Etrs89Degrees", kEtrs89Degrees, kDegrees, Kind::kGeographic,
                              "ETRS89 (EPSG:4258)", Plan::kToUtm, "EPSG:25832"},
                      PrjCase{"NoPrjMetres", nullptr, kGaussKrueger, Kind::kNone, "", Plan::kAsIs,
                              ""},
                      PrjCase{"NoPrjDegrees", nullptr, kDegrees, Kind::kNone, "", Plan::kToUtm,
                              "EPSG:32632", true},
                      PrjCase{"NoPrjSouthernDegrees", nullptr, CRect(-43.2, -22.9, -43.1, -23.0),
                              Kind::kNone, "", Plan::kToUtm, "EPSG:32723", true},
                      PrjCase{"DamagedMetres", "PROJCS[\"broken\",GEOGCS[", kGaussKrueger,
                              Kind::kUnreadable, "", Plan::kAsIs, ""},
                      PrjCase{"DamagedDegrees", "nonsense", kDegrees, Kind::kUnreadable, "",
                              Plan::kToUtm, "EPSG:32632", true}),
    [](const auto& info) { return std::string(info.param.name); });

// The same polygons written in degrees and in UTM meet on the map within a metre or two: the
// degrees are projected into the UTM zone of their centre.
TEST_F(ShapeTest, MapProjection_DegreesLandWhereTheUtmFileHasThem) {
  auto read = [&](int crs) {
    sample::ShapefileForm form;
    form.crs = crs;
    const fs::path shp = folder / (std::to_string(crs) + ".shp");
    sample::writeSampleShapefile(shp, {"00100100001", "00100100002"}, 4, form);
    CFileName spec;
    spec.SetFileSpec(shp.string());
    CShapeFile file;
    file.SetFileSpec(spec, CShapeFile::OPENIT);
    auto polygon = std::dynamic_pointer_cast<CPolygon>(file.Item(2));
    const CRect box(file.Left(), file.Top(), file.Right(), file.Bottom());
    MapProjection::forThisThread(planMap(readCoordinateSystem(shp), box)).project(*polygon);
    return polygon;
  };
  const auto utm = read(25832), degrees = read(4326);
  ASSERT_EQ(coords(*utm->Item(1)).size(), coords(*degrees->Item(1)).size());
  for (int32_t k = 1; k <= utm->Item(1)->Count(); ++k) {
    EXPECT_NEAR(degrees->Item(1)->Item(k)->X(), utm->Item(1)->Item(k)->X(), 2);
    EXPECT_NEAR(degrees->Item(1)->Item(k)->Y(), utm->Item(1)->Item(k)->Y(), 2);
  }
  EXPECT_EQ(extent(*degrees), extent(*degrees->Item(1)));  // extents follow the points
  EXPECT_NEAR(degrees->Left(), utm->Left(), 2);
}

// A ".prj" that names degrees beside coordinates in metres: no map can be made, and the error
// says why.
TEST_F(ShapeTest, PlanMap_DegreesSystemOnMetresIsRefused) {
  CoordinateSystem wgs84;
  wgs84.kind = CoordinateSystem::Kind::kGeographic;
  wgs84.definition = "EPSG:4326";
  const ShapeError e = raised([&] { planMap(wgs84, kGaussKrueger); });
  EXPECT_THAT(e.description(), ::testing::HasSubstr("außerhalb des Bereichs"));
}

}  // namespace
