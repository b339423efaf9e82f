#include "collectors/CPUCollector.h"
#include "collectors/MemoryCollector.h"
#include "collectors/ProcessCollector.h"
#include "metrics/MonotonicClock.h"

#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <vector>

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

// The steady-state scan with 1,000 more processes that sleep, as on a busy desktop: most
// processes do not run between two scans. Scans 2 s apart, as at the default interval.
static void BM_ProcessSampleThousandIdle(benchmark::State& state) {
  std::vector<pid_t> children;
  children.reserve(1000);
  for (int i = 0; i < 1000; ++i) {
    const pid_t child = ::fork();
    if (child == 0) {
      for (;;) ::pause();
    }
    if (child > 0) children.push_back(child);
  }
  ProcessCollector collector;
  double now = MonotonicClock::now();
  collector.sample(now);
  std::int64_t processes = 0;
  for (auto _ : state) {
    now += 2.0;
    const ProcessSample sample = collector.sample(now);
    processes += sample.total;
    benchmark::DoNotOptimize(sample);
  }
  for (const pid_t child : children) ::kill(child, SIGKILL);
  for (const pid_t child : children) ::waitpid(child, nullptr, 0);
  state.counters["processes"] =
      benchmark::Counter(static_cast<double>(processes), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ProcessSampleThousandIdle)->Unit(benchmark::kMicrosecond)->Iterations(60);
