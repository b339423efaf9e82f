#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "settings/MemoryPreferences.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

using namespace kivo;

namespace {

// What the model does with one snapshot once its live series are full (150 points per metric,
// 150 core rows): the per-tick cost on the GUI thread.
void BM_ModelIngestSteadyState(benchmark::State& state) {
  QTemporaryDir dir;
  MemoryPreferences domain;
  MemoryPreferences standard({{QStringLiteral("KIVODataDir"), dir.path()}});
  AppSettings settings(domain);
  MonitorModel::Environment environment;
  environment.systemInfo = [] { return SystemInfo{}; };
  environment.gpuDevices = [] { return std::vector<GPUDevice>{}; };
  environment.capabilities = [] { return std::vector<SensorCapability>{}; };
  environment.monotonicNow = [] { return 1000.0; };  // findings once, at the first snapshot
  MonitorModel model(settings, standard, environment);

  const int cores = static_cast<int>(state.range(0));
  TelemetrySnapshot snapshot;
  snapshot.date = QDateTime::currentDateTimeUtc();
  for (MetricID metric : Metric::allCases()) snapshot.values.push_back({metric, 42});
  snapshot.cpu = CPUSample{};
  snapshot.cpu->cores.assign(static_cast<std::size_t>(cores), CPULoad{0.25, 0.25, 0.5});
  for (int i = 0; i < MonitorModel::kLivePoints + 1; ++i) {
    snapshot.date = snapshot.date.addSecs(2);
    model.ingest(std::make_shared<const TelemetrySnapshot>(snapshot));
  }
  model.waitForWorker();

  for (auto _ : state) {
    state.PauseTiming();
    snapshot.date = snapshot.date.addSecs(2);
    auto shared = std::make_shared<const TelemetrySnapshot>(snapshot);
    state.ResumeTiming();
    model.ingest(std::move(shared));
  }
  model.shutdown();
}

}  // namespace

BENCHMARK(BM_ModelIngestSteadyState)->Arg(8)->Arg(64);
