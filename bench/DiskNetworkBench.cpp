#include "collectors/DiskCollector.h"
#include "collectors/LatencyProbe.h"
#include "collectors/NetworkCollector.h"

#include <benchmark/benchmark.h>

using namespace kivo;

// One tick's disk activity on the live machine: one pread of /proc/diskstats and the rates.
static void BM_DiskActivitySample(benchmark::State& state) {
  DiskCollector collector;
  double now = 1.0;
  collector.activity(now);
  for (auto _ : state) {
    now += 1.0;
    benchmark::DoNotOptimize(collector.activity(now));
  }
}
BENCHMARK(BM_DiskActivitySample);

// One tick's network sample on the live machine: /proc/net/dev, getifaddrs and the route table.
static void BM_NetworkSample(benchmark::State& state) {
  NetworkCollector collector;
  double now = 1.0;
  collector.sample(now);
  for (auto _ : state) {
    now += 1.0;
    benchmark::DoNotOptimize(collector.sample(now));
  }
}
BENCHMARK(BM_NetworkSample);

// The slow reading: mountinfo, statvfs of every volume and the sysfs lookups behind each.
static void BM_Volumes(benchmark::State& state) {
  DiskCollector collector;
  for (auto _ : state) benchmark::DoNotOptimize(collector.volumes());
}
BENCHMARK(BM_Volumes);

// No attempts asked: the probe returns at once, without a socket or a pause.
static void BM_LatencyProbeNoAttempts(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(LatencyProbe::measure(QStringLiteral("127.0.0.1"), 9, 0, 3.0));
}
BENCHMARK(BM_LatencyProbeNoAttempts);
