// Reading a large polygon shapefile record by record, and the neighbour search of the cover
// sheet from part extents read once (as a report run does, one index per run) and, for
// comparison, straight from the file.
// Run: quelbrix_shape_bench [--benchmark_filter=...]; the sample files go to $TMPDIR.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <iomanip>
#include <sstream>

#include "app/program_objects.h"
#include "sample/sample_shapefile.h"
#include "shape/c_shape_file.h"
#include "word/part_extent_index.h"
#include "word/shape_subs.h"

namespace {

namespace fs = std::filesystem;

// A sample file of n polygons, written once per process.
fs::path sampleFile(size_t n) {
  fs::path folder = fs::temp_directory_path() / "quelbrix_shape_bench";
  fs::create_directories(folder);
  fs::path shp = folder / ("sample" + std::to_string(n) + ".shp");
  static std::vector<size_t> written;
  if (std::find(written.begin(), written.end(), n) == written.end()) {
    std::vector<std::string> codes;
    for (size_t i = 0; i < n; ++i) {
      std::ostringstream s;
      s << "017" << std::setw(3) << std::setfill('0') << (i / 99999 + 1) << std::setw(5)
        << (i % 99999 + 1);
      codes.push_back(s.str());
    }
    sample::writeSampleShapefile(shp, codes, 2026);
    written.push_back(n);
  }
  return shp;
}

shape::CShapeFile openFile(const fs::path& shp) {
  shape::CFileName spec;
  spec.SetFileSpec(shp.string());
  shape::CShapeFile file;
  file.SetFileSpec(spec, shape::CShapeFile::OPENIT, shape::CShapeFile::kPolygon);
  return file;
}

void BM_ReadAllRecords(benchmark::State& state) {
  fs::path shp = sampleFile(size_t(state.range(0)));
  for (auto _ : state) {
    shape::CShapeFile file = openFile(shp);
    int64_t points = 0;
    for (int32_t i = 1; i <= file.Count(); ++i) {
      auto polygon = std::dynamic_pointer_cast<shape::CPolygon>(file.Item(i));
      for (const auto& part : *polygon) points += part->Count();
    }
    benchmark::DoNotOptimize(points);
    state.counters["points"] = double(points);
  }
}
BENCHMARK(BM_ReadAllRecords)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_CollectNeighboursFromFile(benchmark::State& state) {
  shape::CShapeFile file = openFile(sampleFile(size_t(state.range(0))));
  int32_t r = file.Count() / 2;
  word::NeighbourCollection neighbours;
  word::Box box;
  for (auto _ : state) {
    word::CollectNeighbourPolygons(app::g_Debug(), file, r, neighbours, box);
    benchmark::DoNotOptimize(neighbours.data());
  }
  state.counters["neighbours"] = double(neighbours.size());
}
BENCHMARK(BM_CollectNeighboursFromFile)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_BuildPartExtentIndex(benchmark::State& state) {
  shape::CShapeFile file = openFile(sampleFile(size_t(state.range(0))));
  for (auto _ : state) {
    word::PartExtentIndex index(file);
    benchmark::DoNotOptimize(index.Count());
  }
}
BENCHMARK(BM_BuildPartExtentIndex)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_CollectNeighboursFromIndex(benchmark::State& state) {
  shape::CShapeFile file = openFile(sampleFile(size_t(state.range(0))));
  word::PartExtentIndex index(file);
  int32_t r = file.Count() / 2;
  word::NeighbourCollection neighbours;
  word::Box box;
  for (auto _ : state) {
    word::CollectNeighbourPolygons(app::g_Debug(), index, r, neighbours, box);
    benchmark::DoNotOptimize(neighbours.data());
  }
  state.counters["neighbours"] = double(neighbours.size());
}
BENCHMARK(BM_CollectNeighboursFromIndex)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
