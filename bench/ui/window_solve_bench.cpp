// Placeholder replaced below.
#include <benchmark/benchmark.h>
BENCHMARK_MAIN();
