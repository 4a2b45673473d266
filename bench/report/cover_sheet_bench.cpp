// Cost of one cover sheet on a large survey: the whole sheet (attribute table, map, survey
// units, saving) with the shapefile's part extents kept for the run, and with them read again
// for every sheet; and the attribute-table pass alone.
// Run: quelbrix_report_bench [--benchmark_filter=...]; the sample goes to $TMPDIR.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <random>

#include "app/program_objects.h"
#include "app/resource_folder.h"
#include "data/cls_dbf_data.h"
#include "data/ffh_lookups.h"
#include "docx/test_package.h"
#include "report/map_index_cache.h"
#include "report/mod_ffh_report_bogen.h"
#include "tools/sample_database.h"
#include "tools/sample_shapefile.h"

namespace {

namespace fs = std::filesystem;

struct Survey {
  fs::path dir;
  std::vector<std::string> polygons;
  std::unique_ptr<data::clsDBFData> db;
};

// A sample survey of n polygons with its shapefile and a cover-sheet template, once per n.
Survey& survey(int n) {
  static std::map<int, Survey> surveys;
  auto it = surveys.find(n);
  if (it != surveys.end()) return it->second;
  Survey s;
  s.dir = fs::temp_directory_path() / ("quelbrix_report_bench_" + std::to_string(n));
  fs::remove_all(s.dir);
  sample::SampleOptions options;
  options.polygons = n;
  const auto result = sample::writeSampleDatabase(s.dir / "db", options);
  for (const auto& p : result.polygons) s.polygons.push_back(p.code);
  fs::create_directories(s.dir / "shape");
  sample::writeSampleShapefile(s.dir / "shape" / "polygone.shp", s.polygons, options.seed);
  fs::create_directories(s.dir / "prog" / "Templates");
  fs::create_directories(s.dir / "prog" / "data");
  sample::writeUmlautTable(s.dir / "prog" / "data" / "umlaute2.dbf");
  docx::test::TemplateParts parts;
  parts.body = docx::test::para("Deckblatt") +
               "<w:p><w:bookmarkStart w:id=\"1\" w:name=\"GBCODE\"/><w:r><w:t>x</w:t></w:r>"
               "<w:bookmarkEnd w:id=\"1\"/></w:p><w:p><w:bookmarkStart w:id=\"2\" w:name=\"HA\"/>"
               "<w:r><w:t>x</w:t></w:r><w:bookmarkEnd w:id=\"2\"/></w:p>"
               "<w:tbl><w:tr><w:tc><w:p/></w:tc></w:tr></w:tbl>"
               "<w:tbl><w:tr><w:tc><w:p/></w:tc><w:tc><w:p/></w:tc><w:tc><w:p/></w:tc></w:tr>"
               "</w:tbl>";
  docx::test::writeFile(s.dir / "prog" / "Templates" / "TemplateDatenreportV2Deckblatt.dotx",
                        docx::test::buildTemplate(parts));
  fs::create_directories(s.dir / "out");
  s.db = std::make_unique<data::clsDBFData>();
  s.db->useSurveyFolder((s.dir / "db").string());
  s.db->ConnectDBDaten();
  return surveys.emplace(n, std::move(s)).first->second;
}

void useSurvey(const Survey& s) {
  auto store = std::make_unique<app::MemorySettings>();
  store->set(app::kDataFilesPfad, (s.dir / "out").string());
  store->set(app::kShapeFilesPfad, (s.dir / "shape" / "polygone.shp").string());
  store->set(app::kDbfFilesPfad, (s.dir / "db").string());
  app::installSettings(std::move(store));
  app::setResourceFolder(s.dir / "prog");
}

void coverSheets(benchmark::State& state, bool keepExtents) {
  Survey& s = survey(static_cast<int>(state.range(0)));
  useSurvey(s);
  std::mt19937 random(7);
  std::vector<std::string> messages;
  report::forgetPartExtents();
  for (auto _ : state) {
    if (!keepExtents) report::forgetPartExtents();
    const std::string& code = s.polygons[random() % s.polygons.size()];
    std::string types;
    data::FfhReportGetBogentypen(code, types, *s.db);
    benchmark::DoNotOptimize(
        report::FfhReportGenerateDeckblatt(code, types, *s.db, messages, false, ""));
  }
  report::forgetPartExtents();
}

void BM_CoverSheet_ExtentsKeptForRun(benchmark::State& state) {
  coverSheets(state, true);
}
void BM_CoverSheet_ExtentsReadPerSheet(benchmark::State& state) {
  coverSheets(state, false);
}
BENCHMARK(BM_CoverSheet_ExtentsKeptForRun)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CoverSheet_ExtentsReadPerSheet)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The attribute-table pass every cover sheet makes to find its record and area.
void BM_ShapeRecordset(benchmark::State& state) {
  Survey& s = survey(static_cast<int>(state.range(0)));
  useSurvey(s);
  for (auto _ : state) {
    data::Recordset rows;
    benchmark::DoNotOptimize(s.db->GetShapeRecordset("", rows));
  }
}
BENCHMARK(BM_ShapeRecordset)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
