#include "analysis/EventPayload.h"
#include "analysis/IntelligenceEngine.h"
#include "scheduler/Normalizer.h"

#include <benchmark/benchmark.h>

#include <QTimeZone>

#include <cmath>

using namespace kivo;

namespace {

// A day of one-minute points: a daily wave with a few busy stretches.
Series day(MetricID metric, double base, double swing, double now) {
  Series s;
  s.metric = metric;
  s.tier = StoreTier::minute;
  s.step = 60;
  s.points.reserve(1440);
  for (int i = 0; i < 1440; ++i) {
    const double t = now - 86400 + 60.0 * i;
    double v = base + swing * std::sin(i / 90.0);
    if (i % 200 < 25) v += swing * 2;
    s.points.push_back(SeriesPoint{t, v * 0.9, v * 1.1, v, 30});
  }
  return s;
}

IntelligenceEngine::Inputs dayOfInputs() {
  const double now = 1'700'000'000;
  IntelligenceEngine::Inputs inputs;
  inputs.now = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(now), QTimeZone::utc());
  inputs.cpu = day(MetricID::cpuTotal, 50, 20, now);
  inputs.pressure = day(MetricID::memPressure, 0.4, 0.3, now);
  inputs.swap = day(MetricID::swapUsed, 4e9, 1e9, now);
  inputs.diskFree = day(MetricID::diskFree, 1e11, -1e9, now);
  inputs.netDown = day(MetricID::netDown, 1e6, 5e5, now);
  inputs.netUp = day(MetricID::netUp, 2e5, 1e5, now);
  inputs.thermal = day(MetricID::thermalState, 1, 0.4, now);
  for (int i = 0; i < 200; ++i) {
    StoredEvent e;
    e.date = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(now - 86400 + i * 400), QTimeZone::utc());
    e.kind = EventKind::process;
    e.code = QStringLiteral("process.spike");
    e.payload.insert(QStringLiteral("name"), QStringLiteral("proc%1").arg(i % 7));
    e.payload.insert(QStringLiteral("peak"), EventPayload::oneDecimal(80 + i % 20));
    inputs.spikes.push_back(e);
  }
  return inputs;
}

}  // namespace

static void BM_AnalyseDayOfMinuteSeries(benchmark::State& state) {
  const auto inputs = dayOfInputs();
  const IntelligenceThresholds thresholds;
  for (auto _ : state) benchmark::DoNotOptimize(IntelligenceEngine::analyse(inputs, thresholds));
}
BENCHMARK(BM_AnalyseDayOfMinuteSeries)->Unit(benchmark::kMicrosecond);

static void BM_NormaliseOneTick(benchmark::State& state) {
  CPUSample cpu;
  cpu.total = CPULoad{0.2, 0.1, 0.7};
  cpu.loadAverage = {1, 1, 1};
  MemorySample memory;
  memory.pageInRate = 1;
  memory.pageOutRate = 1;
  PowerSample power(true, PowerSourceKind::battery, false, false, false);
  power.charge = 50;
  Normalizer::Readings readings;
  readings.cpu = &cpu;
  readings.memory = &memory;
  readings.power = &power;
  readings.thermal = ThermalLevel::nominal;
  readings.selfMemory = 1;
  std::vector<MetricValue> buffer;
  for (auto _ : state) {
    Normalizer::values(readings, buffer);
    benchmark::DoNotOptimize(buffer.data());
  }
}
BENCHMARK(BM_NormaliseOneTick);
