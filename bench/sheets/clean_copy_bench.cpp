// End to end: from the dBASE folder on disk to the clean copies on disk, every sheet of a
// 1,000-polygon sample with the log switched on, as `quelbrix sheets --all` runs it (the heap
// set up as the programs do), from the built templates at QUELBRIX_TEMPLATE_DIR.
// Then the run that makes only what changed after three sheets were corrected, against the first
// run into the same folder.
// Run: quelbrix_sheets_bench; the sample and the documents go to $TMPDIR.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "app/memory_reuse.h"
#include "app/program_objects.h"
#include "app/resource_folder.h"
#include "bench_counters.h"
#include "bench_survey.h"
#include "data/cls_dbf_data.h"
#include "data/dbf/dbf_file.h"
#include "sample/sample_database.h"
#include "sheets/clean_copy_run.h"
#include "word/cls_word_doc.h"

namespace {

namespace fs = std::filesystem;

struct Setup {
  fs::path root = fs::temp_directory_path() / "quelbrix-bench-sheets";
  Setup() {
    fs::remove_all(root);
    fs::create_directories(root / "res" / "data");
    fs::copy(QUELBRIX_TEMPLATE_DIR, root / "res" / "Templates");
    sample::writeUmlautTable(root / "res" / "data" / "umlaute2.dbf");
    sample::SampleOptions options;
    options.polygons = 1000;
    sample::writeSampleDatabase(root / "db", options);
    fs::create_directories(root / "shape");
    for (const char* ext : {".shp", ".dbf"})
      std::ofstream(root / "shape" / (std::string("p") + ext));
    app::setResourceFolder(root / "res");
    app::installUi(std::make_unique<app::RecordingUserInterface>());
  }
  ~Setup() { fs::remove_all(root); }
};

// One run as `quelbrix sheets --all` makes it, from opening the survey to the last document;
// with onlyFirst, the same run for the first sheet alone (its start-up).
sheets::RunSummary runAllSheets(const Setup& setup, const fs::path& out, unsigned jobs,
                                bool changedOnly, std::size_t& selected, bool onlyFirst = false) {
  auto store = std::make_unique<app::MemorySettings>();
  store->set(app::kDbfFilesPfad, (setup.root / "db").string());
  store->set(app::kShapeFilesPfad, (setup.root / "shape" / "p.shp").string());
  store->set(app::kDataFilesPfad, out.string());
  app::installSettings(std::move(store));
  app::g_Debug().Init();
  word::resetWordDoc();
  data::clsDBFData db;
  const auto selection = bench::openAndSelectAllSheets(db);
  data::TextSet keys = selection.keys;
  if (onlyFirst && !keys.empty()) {
    keys.clear();
    keys.add(selection.keys.begin()->first, selection.keys.begin()->second);
  }
  selected = keys.size();
  std::atomic<bool> cancel{false};
  word::RunContext context = word::programContext(db);
  return sheets::runCleanCopies(context, keys, false, false, cancel, {}, jobs, changedOnly);
}

void BM_AllSheetsOf1000Polygons(benchmark::State& state) {
  app::keepFreedMemoryForReuse();
  static Setup setup;
  bench::DocumentCounters counters;
  static int run = 0;
  for (auto _ : state) {
    // Each run into a new folder, as a user's first run, all removed when the process ends:
    // deleting the previous documents here or between repetitions would time the file system's
    // clean-up (on ext4 without a journal, creating a file right after many deletions skips
    // every inode freed in the last half minute, one by one).
    const fs::path out = setup.root / ("out" + std::to_string(++run));
    fs::create_directories(out);
    std::size_t selected = 0;
    const auto summary =
        runAllSheets(setup, out, static_cast<unsigned>(state.range(0)), false, selected);
    if (summary.produced != selected) state.SkipWithError("sheets missing");
    counters.add(summary.produced);
  }
  counters.report(state);
}

// "ms_cpu_per_clean_copy": the CPU a clean copy costs on one worker, start-up left out: that of
// the whole run less that of a run making the first sheet alone, over the further sheets.
// Argument 0: as the command line makes them; 1: as the windows do, where every document is
// saved beside the window's events.
void BM_CleanCopyOf1000Polygons(benchmark::State& state) {
  app::keepFreedMemoryForReuse();
  static Setup setup;
  const bool windows = state.range(0) == 1;
  state.SetLabel(windows ? "windows" : "command line");
  auto ui = std::make_unique<app::RecordingUserInterface>();
  ui->events = windows;
  app::installUi(std::move(ui));
  static int run = 0;
  double perCopy = 0;
  std::size_t lastSelected = 0;
  for (auto _ : state) {
    std::size_t selected = 0;
    const auto runInNewFolder = [&](bool onlyFirst) {
      const fs::path out = setup.root / ("copy" + std::to_string(++run));
      fs::create_directories(out);
      const double start = bench::processCpuSeconds();
      const auto summary = runAllSheets(setup, out, 1, false, selected, onlyFirst);
      if (summary.produced != selected) state.SkipWithError("sheets missing");
      return bench::processCpuSeconds() - start;
    };
    const double one = runInNewFolder(true);
    const double all = runInNewFolder(false);
    perCopy += (all - one) * 1000.0 / static_cast<double>(selected - 1);
    lastSelected = selected;
  }
  state.counters["ms_cpu_per_clean_copy"] = perCopy / static_cast<double>(state.iterations());
  state.counters["docs"] = static_cast<double>(lastSelected);
}

// Gives the surveyor of the first three sheets of GBogen a new name (round: each call another).
void correctThreeSheets(const fs::path& db, int round) {
  const fs::path file = db / "GBogen.dbf";
  std::vector<data::dbf::FieldDescriptor> fields;
  std::string codePage;
  std::vector<std::vector<data::Value>> rows;
  {
    const auto table = data::dbf::DbfReader::open(file);
    fields = table.fields();
    codePage = table.codePage();
    for (uint32_t r = 0; r < table.recordCount(); ++r) rows.push_back(table.record(r));
  }
  for (std::size_t f = 0; f < fields.size(); ++f)
    if (fields[f].name == "GBKARTIER")
      for (std::size_t r = 0; r < 3; ++r)
        rows.at(r)[f] = data::Value::text("Neu " + std::to_string(round));
  data::dbf::DbfWriter writer(file, fields, codePage);
  for (const auto& row : rows) writer.append(row);
  writer.finish();
}

// "cpu_share": the CPU of the run that makes only what changed over that of the first run.
void BM_ChangedThreeSheetsOf1000Polygons(benchmark::State& state) {
  app::keepFreedMemoryForReuse();
  static Setup setup;
  static int round = 0;
  const fs::path out = setup.root / "changed";
  fs::create_directories(out);
  std::size_t selected = 0;
  const double before = bench::processCpuSeconds();
  runAllSheets(setup, out, 1, false, selected);
  const double first = bench::processCpuSeconds() - before;
  double changed = 0;
  for (auto _ : state) {
    correctThreeSheets(setup.root / "db", ++round);
    const double start = bench::processCpuSeconds();
    const auto summary = runAllSheets(setup, out, 1, true, selected);
    changed += bench::processCpuSeconds() - start;
    if (summary.produced != 3 || summary.unchanged + 3 != selected)
      state.SkipWithError("not exactly the three corrected sheets made again");
  }
  state.counters["cpu_share"] = changed / static_cast<double>(state.iterations()) / first;
  state.counters["first_run_cpu_s"] = first;
}
// Argument: workers.
BENCHMARK(BM_AllSheetsOf1000Polygons)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kSecond)
    ->Iterations(2)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_CleanCopyOf1000Polygons)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kSecond)
    ->Iterations(3)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_ChangedThreeSheetsOf1000Polygons)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

}  // namespace
