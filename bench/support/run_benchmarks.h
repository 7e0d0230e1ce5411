#pragma once
// The end of every benchmark program's main(): runs the benchmarks its command line names.
#include <benchmark/benchmark.h>

// 1 when an argument is not one of Google Benchmark's (nothing runs then), else 0.
inline int RunBenchmarks(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
