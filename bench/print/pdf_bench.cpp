// PDF files on every core, end to end as `quelbrix sheets --all --pdf --jobs N` and
// `quelbrix report --all --dossier --jobs N` make them from a 60-polygon sample (97 clean
// copies; 60 cover sheets and 97 reports), the log on and the templates from
// QUELBRIX_TEMPLATE_DIR. The clean-copy run is measured side by side with one
// `soffice --convert-to pdf` call over the same documents in each iteration, with a new profile
// as the run's LibreOffices have ("ref_s") and once more on the profile that call left
// ("ref_warm_s"); "vs_one_call" is the run's wall time over the faster of the two (the target:
// at most 1 on two workers). Dossiers count "s_per_polygon" (the target: at most 0.25 s on two
// workers). Needs LibreOffice (and python3-uno for the UNO way).
// Run: quelbrix_print_bench; the sample and the documents go to $TMPDIR.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "app/memory_reuse.h"
#include "app/program_objects.h"
#include "app/resource_folder.h"
#include "base/temporary_file.h"
#include "bench_survey.h"
#include "data/cls_dbf_data.h"
#include "print/child_process.h"
#include "print/run_printing.h"
#include "report/report_run.h"
#include "sample/sample_database.h"
#include "sample/sample_shapefile.h"
#include "sheets/clean_copy_run.h"
#include "word/cls_word_doc.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

struct Sample {
  fs::path root;
  int run = 0;
  Sample() {
    base::makeWorkFolder("bench-pdf", root);
    fs::create_directories(root / "res" / "data");
    fs::copy(QUELBRIX_TEMPLATE_DIR, root / "res" / "Templates");
    sample::writeUmlautTable(root / "res" / "data" / "umlaute2.dbf");
    const auto result = sample::writeSampleDatabase(root / "db", {});
    std::vector<std::string> codes;
    for (const auto& p : result.polygons) codes.push_back(p.code);
    fs::create_directories(root / "shape");
    sample::writeSampleShapefile(root / "shape" / "polygone.shp", codes, 1);
    app::setResourceFolder(root / "res");
    app::installUi(std::make_unique<app::RecordingUserInterface>());
  }
  ~Sample() { fs::remove_all(root); }

  // A new output folder, as a user's first run, with the settings and the log of a run.
  fs::path useNewOutput() {
    const fs::path out = root / ("out" + std::to_string(++run));
    fs::create_directories(out);
    auto store = std::make_unique<app::MemorySettings>();
    store->set(app::kDbfFilesPfad, (root / "db").string());
    store->set(app::kShapeFilesPfad, (root / "shape" / "polygone.shp").string());
    store->set(app::kDataFilesPfad, out.string());
    store->set(app::kErrorReport, "0");
    app::installSettings(std::move(store));
    app::g_Debug().Init();
    word::resetWordDoc();
    return out;
  }
};

Sample& sample() {
  static Sample s;
  return s;
}

// One `soffice --convert-to pdf` over documents with the profile folder given; its wall time.
double oneCall(const std::vector<fs::path>& documents, const fs::path& profile,
               const fs::path& outDir) {
  std::vector<std::string> argv = {print::findProgram({"soffice", "libreoffice"}).string(),
                                   "-env:UserInstallation=file://" + profile.string(),
                                   "--headless",
                                   "--invisible",
                                   "--norestore",
                                   "--nologo",
                                   "--convert-to",
                                   "pdf",
                                   "--outdir",
                                   outDir.string()};
  for (const auto& d : documents) argv.push_back(d.string());
  std::string reason;
  const auto start = Clock::now();
  print::ChildProcess call = print::ChildProcess::start(argv, outDir / "soffice.log", reason);
  if (!call.started() || call.wait(std::chrono::minutes(30)) != 0) return -1;
  return seconds(start);
}

void BM_SheetsPdfAgainstOneCall(benchmark::State& state) {
  app::keepFreedMemoryForReuse();
  Sample& s = sample();
  if (print::findProgram({"soffice", "libreoffice"}).empty()) {
    state.SkipWithError("LibreOffice is not installed");
    return;
  }
  double runSeconds = 0, refSeconds = 0, warmSeconds = 0, fasterSeconds = 0;
  std::size_t documents = 0;
  for (auto _ : state) {
    const fs::path out = s.useNewOutput();
    data::clsDBFData db;
    const auto selection = bench::openAndSelectAllSheets(db);
    const std::atomic<bool> cancel{false};
    const auto start = Clock::now();
    sheets::RunSummary summary;
    {
      print::RunPrinting printing(true);
      summary = sheets::runCleanCopies(word::programContext(db), selection.keys, false, false,
                                       cancel, {}, static_cast<unsigned>(state.range(0)));
      if (printing.pdfsWritten() != static_cast<int>(summary.produced))
        state.SkipWithError("PDF files missing");
    }  // the LibreOffices end here, as they do with the run
    const double run = seconds(start);
    state.SetIterationTime(run);
    runSeconds += run;
    documents = summary.produced;

    std::vector<fs::path> docx;
    for (const auto& e : fs::recursive_directory_iterator(out))
      if (e.path().extension() == ".docx") docx.push_back(e.path());
    const fs::path ref = s.root / ("ref" + std::to_string(s.run));
    fs::create_directories(ref / "pdf");
    const double fresh = oneCall(docx, ref / "profile", ref / "pdf");
    const double warm = oneCall(docx, ref / "profile", ref / "pdf");
    if (fresh < 0 || warm < 0) state.SkipWithError("soffice --convert-to failed");
    refSeconds += fresh;
    warmSeconds += warm;
    fasterSeconds += std::min(fresh, warm);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["docs"] = static_cast<double>(documents);
  state.counters["s_per_doc"] = runSeconds / n / static_cast<double>(documents);
  state.counters["ref_s"] = refSeconds / n;
  state.counters["ref_warm_s"] = warmSeconds / n;
  state.counters["vs_one_call"] = runSeconds / fasterSeconds;
}
// Argument: workers.
BENCHMARK(BM_SheetsPdfAgainstOneCall)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseManualTime();

void BM_ReportDossiers(benchmark::State& state) {
  app::keepFreedMemoryForReuse();
  Sample& s = sample();
  double total = 0;
  std::size_t polygons = 0;
  for (auto _ : state) {
    s.useNewOutput();
    data::clsDBFData db;
    db.ValidFilePaths();
    db.ConnectDBDaten();
    const auto selection = report::selectPolygons(db, {});
    const std::atomic<bool> cancel{false};
    const auto start = Clock::now();
    report::ReportSummary summary;
    {
      print::RunPrinting printing(false);
      report::ReportCallbacks callbacks;
      callbacks.dossier = [&writer = printing.dossiers()](const auto& documents,
                                                          const auto& target) {
        return writer.write(documents, target);
      };
      summary = report::runReports(word::programContext(db), selection.codes, false, cancel,
                                   callbacks, static_cast<unsigned>(state.range(0)));
    }
    const double run = seconds(start);
    state.SetIterationTime(run);
    total += run;
    polygons = summary.polygons;
    if (summary.dossiers != summary.polygons) state.SkipWithError("dossiers missing");
  }
  state.counters["polygons"] = static_cast<double>(polygons);
  state.counters["s_per_polygon"] =
      total / static_cast<double>(state.iterations()) / static_cast<double>(polygons);
}
// Argument: workers.
BENCHMARK(BM_ReportDossiers)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseManualTime();

}  // namespace
