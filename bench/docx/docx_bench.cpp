// Documents per second of the document engine as the runs drive it, per template: the built
// template (QUELBRIX_TEMPLATE_DIR) opened through the engine's gateway, every bookmark the
// generation routines write filled with a text, a report's tables cleaned up, the document
// protected with the program's hash rounds and saved under a new name, as a run's documents
// are, with the heap set up as the programs do. Every bookmark is filled, more than a run fills
// (a sheet gets one cross of each row of boxes, a report leaves some values empty); the whole
// runs (quelbrix_sheets_bench, quelbrix_report_bench) have the real mix.
// Run: quelbrix_docx_bench [--benchmark_filter=...]; the documents go to $TMPDIR.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/memory_reuse.h"
#include "app/program_objects.h"
#include "bench_counters.h"
#include "data/schema/routine_bookmarks.h"
#include "data/schema/sheet_types.h"
#include "word/cls_word_doc.h"
#include "word/template_check.h"

namespace {

namespace fs = std::filesystem;

struct Workspace {
  fs::path out = fs::temp_directory_path() / ("quelbrix_docx_bench_" + std::to_string(getpid()));
  Workspace() {
    fs::create_directories(out);
    auto store = std::make_unique<app::MemorySettings>();
    store->set(app::kDataFilesPfad, out.string());
    app::installSettings(std::move(store));
  }
  ~Workspace() { fs::remove_all(out); }
};

// One document of template key ("GN", "GN-Report") under the 12-digit code number, filled as
// the sheet and report routines fill it; true when it was saved without an error logged.
bool makeDocument(word::clsWordDoc& engine, const std::string& key, bool report,
                  const std::vector<std::string>& bookmarks, int number) {
  char code[16];
  std::snprintf(code, sizeof code, "%012d", number);
  std::vector<std::string> messages;
  if (engine.CreateWordApplication() != 100) return false;
  if (engine.OpenWordDokument(code + key, fs::path(QUELBRIX_TEMPLATE_DIR).parent_path().string(),
                              messages, 12, false, "") == 100) {
    for (const std::string& name : bookmarks) {
      const std::string text = name + " Größe 12,5";
      if (name == data::schema::kPageHeaderBookmark)
        engine.SetTextMarke_HeadersFooters(name, text, "", false);
      else if (report)
        engine.SetReportTextMarke(name, text, "10", true);
      else
        engine.SetTextMarke(name, text, "11", true);
    }
    if (report) engine.TableCleanUp();
    engine.CloseWordDokument();
  }
  engine.DeleteWordApplication();
  return engine.lastOutcome().saved && engine.lastOutcome().causes.empty() && messages.empty();
}

void BM_Document(benchmark::State& state, const std::string& key) {
  app::keepFreedMemoryForReuse();
  static Workspace workspace;
  const bool report = key.ends_with("-Report");
  const std::vector<std::string> bookmarks = word::bookmarksOfTemplate(key);
  word::clsWordDoc engine;
  static int number = 0;
  bench::DocumentCounters counters;
  for (auto _ : state) {
    if (!makeDocument(engine, key, report, bookmarks, ++number)) {
      state.SkipWithError(("document of " + key + ": " + engine.lastOutcome().cause()).c_str());
      break;
    }
    counters.add(1);
  }
  counters.report(state);
  state.counters["bookmarks"] = static_cast<double>(bookmarks.size());
}

[[maybe_unused]] const bool registered = [] {
  for (const char* suffix : {"", "-Report"})
    for (const std::string& type : data::kSheetTypes)
      benchmark::RegisterBenchmark(("BM_Document/" + type + suffix).c_str(), BM_Document,
                                   type + suffix)
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime()
          ->MeasureProcessCPUTime();
  return true;
}();

}  // namespace
