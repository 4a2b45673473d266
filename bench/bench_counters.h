#pragma once
// The counters a reader compares document benchmarks by: documents per second and CPU
// milliseconds per document, the CPU time of the whole process included.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <ctime>

namespace bench {

// CPU seconds of the whole process: the engine protects and saves each document on a thread of
// its own, which the thread CPU time Google Benchmark takes by default leaves out.
inline double processCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Started right before a benchmark's loop; report() right after it sets "docs" (per
// iteration), "docs_per_s" (over the benchmark's time: wall time with UseRealTime) and
// "ms_cpu_per_doc". Used without PauseTiming, so that both clocks see the same work.
class DocumentCounters {
 public:
  void add(std::size_t documents) { documents_ += static_cast<double>(documents); }
  void report(benchmark::State& state) const {
    if (documents_ == 0) return;
    using benchmark::Counter;
    state.counters["docs"] = Counter(documents_, Counter::kAvgIterations);
    state.counters["docs_per_s"] = Counter(documents_, Counter::kIsRate);
    state.counters["ms_cpu_per_doc"] = (processCpuSeconds() - cpuStart_) * 1000.0 / documents_;
  }

 private:
  double cpuStart_ = processCpuSeconds();
  double documents_ = 0;
};

}  // namespace bench
