#include "collectors/CPUCollector.h"
#include "collectors/MemoryCollector.h"
#include "collectors/ProcessCollector.h"
#include "metrics/MonotonicClock.h"

#include <benchmark/benchmark.h>

using namespace kivo;

// One tick's CPU and memory samples against the live /proc.
static void BM_CPUAndMemorySample(benchmark::State& state) {
  CPUCollector cpu;
  MemoryCollector memory;
  double now = MonotonicClock::now();
  cpu.sample(now);
  memory.sample(now);
  for (auto _ : state) {
    now += 1.0;
    benchmark::DoNotOptimize(cpu.sample(now));
    benchmark::DoNotOptimize(memory.sample(now));
  }
}
BENCHMARK(BM_CPUAndMemorySample)->Unit(benchmark::kMicrosecond);

// One full process scan of the live machine; "per_process" is the time per listed process.
static void BM_ProcessSample(benchmark::State& state) {
  ProcessCollector collector;
  double now = MonotonicClock::now();
  collector.sample(now);
  std::int64_t processes = 0;
  for (auto _ : state) {
    now += 1.0;
    const ProcessSample sample = collector.sample(now);
    processes += sample.total;
    benchmark::DoNotOptimize(sample);
  }
  state.counters["processes"] =
      benchmark::Counter(static_cast<double>(processes), benchmark::Counter::kAvgIterations);
  state.counters["per_process"] = benchmark::Counter(
      static_cast<double>(processes), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ProcessSample)->Unit(benchmark::kMicrosecond);

static void BM_SelfUsage(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ProcessCollector::selfUsage());
}
BENCHMARK(BM_SelfUsage)->Unit(benchmark::kMicrosecond);
