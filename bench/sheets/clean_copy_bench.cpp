// End to end: from the dBASE folder on disk to the clean copies on disk, every sheet of a
// 1,000-polygon sample with the log switched on, as `quelbrix sheets --all` runs it (the heap
// set up as the programs do), from the built templates at QUELBRIX_TEMPLATE_DIR.
// Run: quelbrix_sheets_bench; the sample and the documents go to $TMPDIR.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "app/memory_reuse.h"
#include "app/program_objects.h"
#include "app/resource_folder.h"
#include "bench_counters.h"
#include "data/cls_dbf_data.h"
#include "data/schema/sheet_types.h"
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
    auto store = std::make_unique<app::MemorySettings>();
    store->set(app::kDbfFilesPfad, (setup.root / "db").string());
    store->set(app::kShapeFilesPfad, (setup.root / "shape" / "p.shp").string());
    store->set(app::kDataFilesPfad, out.string());
    app::installSettings(std::move(store));
    app::g_Debug().Init();
    word::resetWordDoc();
    data::clsDBFData db;
    db.ValidFilePaths();
    db.ConnectDBDaten();
    sheets::Restrictions r;
    for (const std::string& t : data::kSheetTypes) r.sheetTypes.add(t, t);
    const auto selection = sheets::selectSheets(db, r);
    std::atomic<bool> cancel{false};
    word::RunContext context = word::programContext(db);
    const auto summary = sheets::runCleanCopies(context, selection.keys, false, false, cancel, {},
                                                static_cast<unsigned>(state.range(0)));
    if (summary.produced != selection.keys.size()) state.SkipWithError("sheets missing");
    counters.add(summary.produced);
  }
  counters.report(state);
}
// Argument: workers.
BENCHMARK(BM_AllSheetsOf1000Polygons)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kSecond)
    ->Iterations(2)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

}  // namespace
