// The format bench: the Google Benchmark suite without arguments (or with benchmark
// options), the load and save commands of FormatCommands.h otherwise.
#include <benchmark/benchmark.h>

#include "FormatCommands.h"

int main(int argc, char** argv) {
  if (formatbench::IsCommand(argc, argv)) return formatbench::RunCommand(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
