// Cost of data reports on a large survey of 50,000 polygons: 1,000 whole cover sheets
// (attribute table, map, survey units, saving) from the built cover template
// "Templates/TemplateDatenreportV2Deckblatt.dotx", as one report run makes them; a report run
// of every polygon of surveys of 300, 5,000 and 10,000 polygons, as `report --all`, with the
// size of the largest cover and the run's peak memory; the attribute-table look-up alone; and
// the polygon selection of `report --all`. The templates come from QUELBRIX_TEMPLATE_DIR.
// Run: quelbrix_report_bench [--benchmark_filter=...]; the sample goes to $TMPDIR.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "app/memory_reuse.h"
#include "app/program_objects.h"
#include "app/resource_folder.h"
#include "bench_counters.h"
#include "data/cls_dbf_data.h"
#include "data/ffh_lookups.h"
#include "report/mod_ffh_report_bogen.h"
#include "report/report_run.h"
#include "sample/sample_database.h"
#include "sample/sample_shapefile.h"
#include "word/cls_word_doc.h"
#include "word/part_extent_cache.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSheetsPerRun = 1000;

struct Survey {
  fs::path dir;
  std::vector<std::string> polygons;
  std::unique_ptr<data::clsDBFData> db;
};

// A sample survey of n polygons with its shapefile and the built cover template, once per n.
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
  // The same polygons in WGS 84 degrees: their maps are projected as they are drawn.
  sample::ShapefileForm degrees;
  degrees.crs = 4326;
  sample::writeSampleShapefile(s.dir / "shape" / "polygone_4326.shp", s.polygons, options.seed,
                               degrees);
  fs::create_directories(s.dir / "prog" / "data");
  sample::writeUmlautTable(s.dir / "prog" / "data" / "umlaute2.dbf");
  fs::copy(QUELBRIX_TEMPLATE_DIR, s.dir / "prog" / "Templates", fs::copy_options::recursive);
  fs::create_directories(s.dir / "out");
  s.db = std::make_unique<data::clsDBFData>();
  s.db->useSurveyFolder((s.dir / "db").string());
  s.db->ConnectDBDaten();
  return surveys.emplace(n, std::move(s)).first->second;
}

// crs 4326: the shapefile in degrees.
void useSurvey(const Survey& s, const fs::path& out, int crs = 0) {
  auto store = std::make_unique<app::MemorySettings>();
  store->set(app::kDataFilesPfad, out.string());
  store->set(app::kShapeFilesPfad,
             (s.dir / "shape" / (crs ? "polygone_4326.shp" : "polygone.shp")).string());
  store->set(app::kDbfFilesPfad, (s.dir / "db").string());
  app::installSettings(std::move(store));
  app::setResourceFolder(s.dir / "prog");
}

// One iteration: a run's worth of cover sheets on random polygons, the shapefile index built
// once for the run and the heap set up as the programs do.
void BM_CoverSheets(benchmark::State& state) {
  app::keepFreedMemoryForReuse();
  Survey& s = survey(static_cast<int>(state.range(0)));
  useSurvey(s, s.dir / "out", static_cast<int>(state.range(1)));
  if (!fs::is_regular_file(s.dir / "prog" / "Templates" / "TemplateDatenreportV2Deckblatt.dotx"))
    state.SkipWithError("the built cover template is missing");
  std::mt19937 random(7);
  std::vector<std::string> messages;
  word::RunContext run = word::programContext(*s.db);
  bench::DocumentCounters counters;
  for (auto _ : state) {
    word::forgetPartExtents();
    for (int k = 0; k < kSheetsPerRun; ++k) {
      const std::string& code = s.polygons[random() % s.polygons.size()];
      std::string types;
      data::FfhReportGetBogentypen(code, types, *s.db);
      if (report::FfhReportGenerateDeckblatt(code, types, run, messages, false, "") != 100)
        state.SkipWithError(("cover sheet " + code + " incomplete").c_str());
    }
    counters.add(kSheetsPerRun);
  }
  counters.report(state);
  word::forgetPartExtents();
}
// Arguments: polygons, coordinate system (0: metres without ".prj", 4326: degrees).
BENCHMARK(BM_CoverSheets)
    ->Args({50000, 0})
    ->Args({50000, 4326})
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// Peak resident memory of the process since the last call, in MB: the kernel's high-water mark
// is reset by writing 5 to clear_refs.
double peakMegabytesSinceLastCall() {
  double kilobytes = 0;
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) kilobytes = std::stod(line.substr(6));
  std::ofstream("/proc/self/clear_refs") << "5";
  return kilobytes / 1024;
}

// The cover sheets of a run's folder: the largest in KB and how many exceed 200 KB.
void coverSizes(const fs::path& out, benchmark::State& state) {
  std::uintmax_t largest = 0, over = 0;
  for (const auto& entry : fs::directory_iterator(out / "Report")) {
    if (!entry.path().string().ends_with("Deckblatt.docx")) continue;
    largest = std::max(largest, entry.file_size());
    over += entry.file_size() > 200 * 1024;
  }
  state.counters["cover_max_kb"] = static_cast<double>(largest) / 1024;
  state.counters["covers_over_200kb"] = static_cast<double>(over);
}

// End to end as `quelbrix report --all` runs it with the log switched on: a new connection
// (its tables loaded as the run asks for them), every polygon of a survey with its cover sheet
// and one report per sheet, into a new output folder each time as a user's run. On the larger
// surveys the multi-part polygons' maps span most of the survey: the cover sizes and the peak
// memory of the run are counted too.
void BM_ReportRunAll(benchmark::State& state) {
  app::keepFreedMemoryForReuse();
  Survey& s = survey(static_cast<int>(state.range(0)));
  // Removed when the process ends: removing them between repetitions would time the file
  // system's clean-up in the next one.
  static struct RunFolders {
    std::vector<fs::path> paths;
    ~RunFolders() {
      for (const auto& p : paths) fs::remove_all(p);
    }
  } folders;
  bench::DocumentCounters counters;
  fs::path out;
  peakMegabytesSinceLastCall();
  for (auto _ : state) {
    out = s.dir / ("run" + std::to_string(folders.paths.size() + 1));
    folders.paths.push_back(out);
    fs::create_directories(out);
    useSurvey(s, out);
    app::g_Debug().Init();
    word::resetWordDoc();
    data::clsDBFData db;
    db.ValidFilePaths();
    db.ConnectDBDaten();
    const auto selection = report::selectPolygons(db, {});
    const std::atomic<bool> cancel{false};
    const auto summary = report::runReports(word::programContext(db), selection.codes, false,
                                            cancel, {}, static_cast<unsigned>(state.range(1)));
    if (summary.polygons != s.polygons.size() || !summary.incomplete.empty() ||
        !summary.failed.empty() || !summary.failedCoverSheets.empty())
      state.SkipWithError("documents missing");
    counters.add(summary.coverSheets + summary.reports);
  }
  counters.report(state);
  state.counters["peak_mb"] = peakMegabytesSinceLastCall();
  coverSizes(out, state);
}
// Arguments: polygons, workers.
BENCHMARK(BM_ReportRunAll)
    ->Args({300, 1})
    ->Args({300, 2})
    ->Args({5000, 2})
    ->Args({10000, 2})
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// The attribute-table look-up every cover sheet makes to find its record and area.
void BM_ShapeRecordset(benchmark::State& state) {
  Survey& s = survey(static_cast<int>(state.range(0)));
  useSurvey(s, s.dir / "out");
  std::mt19937 random(7);
  for (auto _ : state) {
    data::Recordset rows;
    benchmark::DoNotOptimize(
        s.db->GetShapeRecordset(s.polygons[random() % s.polygons.size()], rows));
  }
}
BENCHMARK(BM_ShapeRecordset)->Arg(50000)->Unit(benchmark::kMicrosecond);

// The polygon codes `report --all` hands to the run.
void BM_SelectAllPolygons(benchmark::State& state) {
  Survey& s = survey(static_cast<int>(state.range(0)));
  useSurvey(s, s.dir / "out");
  for (auto _ : state) {
    const auto selection = report::selectPolygons(*s.db, {});
    if (selection.codes.size() != s.polygons.size())
      state.SkipWithError("selection differs from the survey's polygons");
  }
}
BENCHMARK(BM_SelectAllPolygons)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
