#include "metrics/Metric.h"
#include "platform/KernelFiles.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace kivo;

static void BM_ReadProcStatOpenFile(benchmark::State& state) {
  KernelFile file("/proc/stat");
  std::string buffer;
  for (auto _ : state) {
    benchmark::DoNotOptimize(file.read(buffer));
  }
}
BENCHMARK(BM_ReadProcStatOpenFile);

static void BM_MetricFromKey(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(Metric::fromKey("self.memory"));
}
BENCHMARK(BM_MetricFromKey);
