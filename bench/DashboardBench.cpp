#include "design/Icons.h"
#include "features/dashboard/DashboardPage.h"
#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "settings/MemoryPreferences.h"

#include "BenchApplication.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include <cmath>
#include <memory>

using namespace kivo;

namespace {

// A machine with every figure the Overview preset shows: 8 cores, three volumes, a battery,
// 300 processes.
TelemetrySnapshot busySnapshot(const QDateTime& date, int tick) {
  TelemetrySnapshot snapshot;
  snapshot.date = date;
  const double wave = std::sin(tick / 5.0);
  for (MetricID metric : Metric::allCases()) snapshot.values.push_back({metric, 40 + 30 * wave});
  CPUSample cpu;
  cpu.total = CPULoad{0.3, 0.1, 0.6};
  cpu.cores.assign(8, CPULoad{0.25 + 0.2 * wave, 0.1, 0.45});
  cpu.loadAverage = {1.5, 1.2, 1.0};
  snapshot.cpu = cpu;
  MemorySample memory;
  memory.physical = 16ull << 30;
  memory.used = 9ull << 30;
  memory.app = 6ull << 30;
  memory.wired = 2ull << 30;
  memory.cached = 4ull << 30;
  memory.pressure = MemoryPressureLevel::normal;
  snapshot.memory = memory;
  for (int i = 0; i < 3; ++i) {
    VolumeInfo volume;
    volume.name = QStringLiteral("volume %1").arg(i);
    volume.mountPoint = QStringLiteral("/mnt/%1").arg(i);
    volume.total = 500ull << 30;
    volume.available = (100ull + 100 * i) << 30;
    snapshot.volumes.push_back(volume);
  }
  snapshot.power = PowerSample(true, PowerSourceKind::battery, false, false, false);
  snapshot.power.charge = 64;
  snapshot.power.minutesToEmpty = 180;
  snapshot.thermal = ThermalLevel::nominal;
  ProcessSample processes;
  for (int pid = 1; pid <= 300; ++pid) {
    ProcessRecord record;
    record.pid = pid;
    record.name = QStringLiteral("process-%1").arg(pid);
    record.hasStatistics = true;
    record.cpuPercent = std::fmod(pid * 7.3 + tick, 50.0);
    record.memory = static_cast<std::uint64_t>(pid) << 20;
    processes.processes.push_back(record);
  }
  processes.total = 300;
  snapshot.processes = processes;
  snapshot.selfMemory = 80ull << 20;
  snapshot.collectionTime = 3;
  return snapshot;
}

// One tick on the GUI thread with the Overview preset on screen: the model takes the snapshot
// and announces it, every card updates in place, and the window paints what changed. The
// model's own share is BM_ModelIngestSteadyState.
void BM_DashboardOverviewTick(benchmark::State& state) {
  bench::ensureApplication();
  Icons::initResources();
  QTemporaryDir dir;
  MemoryPreferences domain;
  MemoryPreferences standard({{QStringLiteral("KIVODataDir"), dir.path()}});
  AppSettings settings(domain);
  MonitorModel::Environment environment;
  environment.systemInfo = [] { return SystemInfo{}; };
  environment.gpuDevices = [] { return std::vector<GPUDevice>{}; };
  environment.capabilities = [] { return std::vector<SensorCapability>{}; };
  environment.monotonicNow = [] { return 1000.0; };
  MonitorModel model(settings, standard, environment);

  DashboardPage page(model, settings, DashboardPreset::overviewID, false);
  page.resize(1600, 2000);  // tall enough that all twelve cards are visible
  page.show();
  QDateTime date = QDateTime::currentDateTimeUtc();
  int tick = 0;
  for (; tick < MonitorModel::kLivePoints + 1; ++tick) {
    date = date.addSecs(2);
    model.ingest(std::make_shared<const TelemetrySnapshot>(busySnapshot(date, tick)));
  }
  model.waitForWorker();
  QApplication::processEvents();

  for (auto _ : state) {
    state.PauseTiming();
    date = date.addSecs(2);
    auto shared = std::make_shared<const TelemetrySnapshot>(busySnapshot(date, ++tick));
    state.ResumeTiming();
    model.ingest(std::move(shared));
    QApplication::processEvents();
  }
  model.shutdown();
}

}  // namespace

BENCHMARK(BM_DashboardOverviewTick)->Unit(benchmark::kMillisecond)->UseRealTime();
