// Speed of the survey database layer on a sample of 10,000 polygons: loading all 28 tables, in
// total and table by table, and the per-sheet queries a run makes thousands of times.
// Run: quelbrix_data_bench [--benchmark_filter=...]; the sample goes to $TMPDIR.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "data/cls_dbf_data.h"
#include "data/connection.h"
#include "data/ffh_lookups.h"
#include "data/schema/survey_tables.h"
#include "data/species_lists.h"
#include "sample/sample_database.h"

namespace {

struct Sample {
  std::filesystem::path dir;
  std::vector<std::string> codes;  // 12-digit sheet codes
  std::vector<std::string> types;  // their sheet types
  double rows = 0;                 // of all tables
};

const Sample& sample10k() {
  static Sample s = [] {
    Sample out;
    out.dir = std::filesystem::temp_directory_path() / "quelbrix-bench-10k";
    std::filesystem::remove_all(out.dir);
    sample::SampleOptions options;
    options.polygons = 10000;
    sample::writeSampleDatabase(out.dir, options);
    data::Connection c;
    c.open(out.dir);
    auto rows = c.execute("SELECT GBCODE, GBBOGEN FROM gbogen");
    for (; !rows.isEOF(); rows.MoveNext()) {
      out.codes.push_back(rows.value(0).toText());
      out.types.push_back(rows.value(1).toText());
    }
    for (const auto& table : data::schema::surveySchema())
      out.rows +=
          static_cast<double>(c.execute("SELECT COUNT(*) FROM " + table.name).value(0).asInteger());
    return out;
  }();
  return s;
}

// The query that loads a table into the connection and reads no row.
std::string loadQuery(const std::string& table) {
  return "SELECT * FROM " + table + " WHERE 0";
}

// Opening a connection and loading every one of the 28 tables, as a run over all sheet types
// and reports comes to: each table is read from its file into SQLite and indexed by its keys.
void BM_LoadAllTables(benchmark::State& state) {
  const Sample& s = sample10k();
  for (auto _ : state) {
    data::Connection c;
    c.open(s.dir);
    for (const auto& table : data::schema::surveySchema()) c.execute(loadQuery(table.name));
    if (c.loadedTables().size() != data::schema::surveySchema().size())
      state.SkipWithError("not every table loaded");
  }
  state.counters["tables"] = static_cast<double>(data::schema::surveySchema().size());
  state.counters["rows"] = static_cast<double>(s.rows);
}
BENCHMARK(BM_LoadAllTables)->Unit(benchmark::kMillisecond);

// The same for one table (its share of the total), opening the connection included.
void BM_LoadTable(benchmark::State& state, const std::string& table) {
  const Sample& s = sample10k();
  for (auto _ : state) {
    data::Connection c;
    c.open(s.dir);
    c.execute(loadQuery(table));
  }
  data::Connection c;
  c.open(s.dir);
  state.counters["rows"] =
      static_cast<double>(c.execute("SELECT COUNT(*) FROM " + table).value(0).asInteger());
}

[[maybe_unused]] const bool registered = [] {
  for (const auto& table : data::schema::surveySchema())
    benchmark::RegisterBenchmark(("BM_LoadTable/" + table.name).c_str(), BM_LoadTable, table.name)
        ->Unit(benchmark::kMillisecond);
  return true;
}();

// A query a run asks once per sheet, with a random sheet's values bound, on tables loaded
// before; the statement is prepared once and kept, as in a run.
template <typename Params>
void perSheet(benchmark::State& state, const std::string& query, Params params) {
  const Sample& s = sample10k();
  data::Connection c;
  c.open(s.dir);
  benchmark::DoNotOptimize(c.execute(query, params(s, 0)));  // tables loaded once
  std::mt19937 random(7);
  for (auto _ : state) {
    auto rows = c.execute(query, params(s, random() % s.codes.size()));
    benchmark::DoNotOptimize(rows.RecordCount());
  }
}

void BM_SheetRecord(benchmark::State& state) {
  perSheet(state, "SELECT * FROM gbogen WHERE GBCODE=? AND GBBOGEN=?",
           [](const Sample& s, std::size_t i) {
             return std::vector{data::Value::text(s.codes[i]), data::Value::text(s.types[i])};
           });
}
BENCHMARK(BM_SheetRecord)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_SpeciesJoin(benchmark::State& state) {
  perSheet(state, data::speciesQuery(), [](const Sample& s, std::size_t i) {
    return std::vector{data::Value::text(s.codes[i])};
  });
}
BENCHMARK(BM_SpeciesJoin)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

// The sheet types of a polygon, which every document of a run asks for.
void BM_PolygonTypes(benchmark::State& state) {
  const Sample& s = sample10k();
  data::clsDBFData db;
  db.useSurveyFolder(s.dir.string());
  db.ConnectDBDaten();
  std::string types;
  data::FfhReportGetBogentypen(s.codes.front().substr(0, 11), types, db);  // table loaded once
  std::mt19937 random(7);
  for (auto _ : state) {
    if (data::FfhReportGetBogentypen(s.codes[random() % s.codes.size()].substr(0, 11), types, db) !=
        100)
      state.SkipWithError("no sheet types");
  }
}
BENCHMARK(BM_PolygonTypes)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

}  // namespace
