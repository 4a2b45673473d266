// The main function of every benchmark: Google Benchmark's own, after naming the build in the
// report's context and warning loudly when the code measured is not optimised. This file is
// compiled with its build type's flags like every library it measures.
#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

#if defined(__OPTIMIZE__) && defined(NDEBUG)
constexpr bool kOptimised = true;
#else
constexpr bool kOptimised = false;
#endif

}  // namespace

int main(int argc, char** argv) {
  benchmark::AddCustomContext("quelbrix_build", QUELBRIX_BENCH_BUILD);
  // Debian's libbenchmark is compiled with -O2 but without NDEBUG, so the library prints
  // "Library was built as DEBUG". That concerns its own argument checks around the timed loops;
  // the loops themselves are inlined from its header into the code built here.
  benchmark::AddCustomContext("quelbrix_optimised", kOptimised ? "yes" : "NO");
  if (!kOptimised)
    std::fprintf(stderr,
                 "***WARNING*** Quelbrix was built without optimisation or with assertions "
                 "(%s): these timings do not describe the program. Configure with "
                 "-DCMAKE_BUILD_TYPE=Release or RelWithDebInfo.\n",
                 QUELBRIX_BENCH_BUILD);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
