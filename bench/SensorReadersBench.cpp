#include "collectors/GPUCollector.h"
#include "collectors/PowerCollector.h"
#include "collectors/ThermalReader.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace kivo;

namespace {
// The fixture trees of the tests stand in for a laptop's /sys.
std::string fixture(const char* name) {
  std::string here = __FILE__;
  here.resize(here.rfind('/'));
  return here + "/../tests/fixtures/" + name;
}
}  // namespace

// Every tick: the zones' temp files stay open.
static void BM_ThermalReaderTick(benchmark::State& state) {
  ThermalReader reader(fixture("thermal-laptop"));
  for (auto _ : state) benchmark::DoNotOptimize(reader.read());
}
BENCHMARK(BM_ThermalReaderTick);

// Every tick while best-effort readings are on.
static void BM_GPUStatisticsTick(benchmark::State& state) {
  GPUCollector gpu(fixture("gpu-amdgpu"), nullptr);
  for (auto _ : state) benchmark::DoNotOptimize(gpu.statistics());
}
BENCHMARK(BM_GPUStatisticsTick);

// On the slow interval only; no profile daemon.
static void BM_PowerSampleLaptop(benchmark::State& state) {
  const KernelFiles files(fixture("power-laptop"));
  for (auto _ : state) benchmark::DoNotOptimize(PowerCollector::sample(true, files, nullptr));
}
BENCHMARK(BM_PowerSampleLaptop);
