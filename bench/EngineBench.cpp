#include "scheduler/TelemetryEngine.h"
#include "storage/TimeSeriesStore.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdlib>
#include <thread>

using namespace kivo;

namespace {

// One tick on the live machine with every collector, into an in-memory store. With
// processes, every tick scans /proc; without, the process cadence never comes round.
void tickOnThisMachine(benchmark::State& state, bool withProcesses) {
  TelemetryConfiguration configuration;
  configuration.processInterval = withProcesses ? 0 : 1e9;
  configuration.flushInterval = 30;
  auto store = std::make_shared<TimeSeriesStore>(std::nullopt);
  TelemetryEngine engine(store, configuration, AlertRule::defaults());
  QDateTime date = QDateTime::currentDateTimeUtc();
  double now = 1000;
  engine.tick(now, date);  // baselines, first volume and power reading
  for (auto _ : state) {
    now += 2;
    date = date.addSecs(2);
    benchmark::DoNotOptimize(engine.tick(now, date));
  }
}

void BM_TickWithProcesses(benchmark::State& state) {
  tickOnThisMachine(state, true);
}
void BM_TickWithoutProcesses(benchmark::State& state) {
  tickOnThisMachine(state, false);
}

// The engine's own loop for a minute at the default interval; reports peak resident memory.
// Long, so it runs only when KIVO_BENCH_LONG=1.
void BM_EngineRunsOneMinute(benchmark::State& state) {
  if (!std::getenv("KIVO_BENCH_LONG")) {
    state.SkipWithError("set KIVO_BENCH_LONG=1 to run");
    for (auto _ : state) {
    }
    return;
  }
  for (auto _ : state) {
    auto store = std::make_shared<TimeSeriesStore>(std::nullopt);
    TelemetryEngine engine(store, TelemetryConfiguration(), AlertRule::defaults());
    engine.start();
    std::this_thread::sleep_for(std::chrono::seconds(60));
    engine.stop();
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  state.counters["cpu_s"] = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                            static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

BENCHMARK(BM_TickWithProcesses)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickWithoutProcesses)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EngineRunsOneMinute)->Iterations(1)->Unit(benchmark::kSecond);
