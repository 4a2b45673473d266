// The data check of a whole survey folder of 10,000 polygons (about 15,600 sheets) with its
// shapefile: every table read once, every check, every geometry through GEOS. The counter
// cpu_s is the processor time of one check, which must stay below 10 s.
// Run: quelbrix_check_bench [--benchmark_filter=...]; the sample goes to $TMPDIR.
#include <benchmark/benchmark.h>

#include <ctime>
#include <filesystem>

#include "check/data_check.h"
#include "tools/sample_database.h"
#include "tools/sample_shapefile.h"

namespace {

namespace fs = std::filesystem;

struct Sample {
  fs::path dir, shapefile;
};

const Sample& sample10k() {
  static const Sample s = [] {
    Sample out{fs::temp_directory_path() / "quelbrix-check-bench-10k", {}};
    fs::remove_all(out.dir);
    sample::SampleOptions options;
    options.polygons = 10000;
    const sample::SampleResult result = sample::writeSampleDatabase(out.dir, options);
    std::vector<std::string> codes;
    for (const auto& p : result.polygons) codes.push_back(p.code);
    out.shapefile = out.dir / "shape" / "ffh_flaechen.shp";
    fs::create_directories(out.shapefile.parent_path());
    sample::writeSampleShapefile(out.shapefile, codes, options.seed);
    return out;
  }();
  return s;
}

double processSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void BM_CheckWholeFolder(benchmark::State& state) {
  const Sample& s = sample10k();
  check::CheckOptions options{s.dir, s.shapefile, {2026, 1, 1}};
  double cpu = 0;
  std::size_t findings = 0, iterations = 0;
  for (auto _ : state) {
    const double before = processSeconds();
    const check::CheckResult result = check::runDataCheck(options);
    cpu += processSeconds() - before;
    findings = result.findings.size();
    ++iterations;
    benchmark::DoNotOptimize(result.findings.data());
  }
  state.counters["cpu_s"] = cpu / static_cast<double>(iterations);
  state.counters["findings"] = static_cast<double>(findings);
  state.counters["polygons"] = 10000;
}
BENCHMARK(BM_CheckWholeFolder)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
