// Speed of the survey database layer on a large sample: opening and answering the first query,
// and the per-sheet queries a run makes thousands of times.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "data/cls_dbf_data.h"
#include "data/connection.h"
#include "data/species_lists.h"
#include "tools/sample_database.h"

namespace {

struct Sample {
  std::filesystem::path dir;
  std::vector<std::string> codes;  // 12-digit sheet codes
};

const Sample& sample10k() {
  static Sample s = [] {
    Sample out;
    out.dir = std::filesystem::temp_directory_path() / "quelbrix-bench-10k";
    std::filesystem::remove_all(out.dir);
    sample::SampleOptions options;
    options.polygons = 10000;
    auto result = sample::writeSampleDatabase(out.dir, options);
    data::Connection c;
    c.open(out.dir);
    auto rows = c.execute("SELECT GBCODE FROM gbogen");
    for (; !rows.isEOF(); rows.MoveNext()) out.codes.push_back(rows.value(0).toText());
    return out;
  }();
  return s;
}

// Connecting and answering the first query: the sheet-number selection of a window.
void BM_ConnectAndFirstQuery(benchmark::State& state) {
  const Sample& s = sample10k();
  for (auto _ : state) {
    data::Connection c;
    c.open(s.dir);
    auto rows = c.execute(
        "SELECT DISTINCT GBCODE, GBBOGEN FROM GBogen WHERE GBBOGEN='F' OR GBBOGEN='GN' OR "
        "GBBOGEN='GT' OR GBBOGEN='H' OR GBBOGEN='K' OR GBBOGEN='M' OR GBBOGEN='S' OR "
        "GBBOGEN='T' OR GBBOGEN='W' OR GBBOGEN='X';");
    benchmark::DoNotOptimize(rows.RecordCount());
  }
}
BENCHMARK(BM_ConnectAndFirstQuery)->Unit(benchmark::kMillisecond)->Iterations(3);

template <typename Query>
void perSheet(benchmark::State& state, Query query) {
  const Sample& s = sample10k();
  data::Connection c;
  c.open(s.dir);
  benchmark::DoNotOptimize(c.execute(query(s.codes.front())));  // tables loaded once
  std::mt19937 random(7);
  for (auto _ : state) {
    auto rows = c.execute(query(s.codes[random() % s.codes.size()]));
    benchmark::DoNotOptimize(rows.RecordCount());
  }
}

void BM_SheetRecord(benchmark::State& state) {
  perSheet(state, [](const std::string& code) {
    return "SELECT * FROM gbogen WHERE GBCODE='" + code + "';";
  });
}
BENCHMARK(BM_SheetRecord)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_SpeciesJoin(benchmark::State& state) {
  const Sample& s = sample10k();
  data::Connection c;
  c.open(s.dir);
  std::mt19937 random(7);
  for (auto _ : state) {
    auto rows = c.execute(data::speciesQuery() + ";",
                          {data::Value::text(s.codes[random() % s.codes.size()])});
    benchmark::DoNotOptimize(rows.RecordCount());
  }
}
BENCHMARK(BM_SpeciesJoin)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_PolygonTypes(benchmark::State& state) {
  perSheet(state, [](const std::string& code) {
    return "SELECT GBogen.GBCODE, GBogen.GBBOGEN From GBogen WHERE GBogen.GBCODE like '" +
           code.substr(0, 11) + "_';";
  });
}
BENCHMARK(BM_PolygonTypes)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

}  // namespace

BENCHMARK_MAIN();
