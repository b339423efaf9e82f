#include "features/cpu/CPUPage.h"
#include "features/cpu/CoreGrid.h"
#include "features/cpu/CoreHeatmap.h"
#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "settings/MemoryPreferences.h"

#include "BenchApplication.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cmath>

using namespace kivo;

namespace {

TelemetrySnapshot cpuSnapshot(int cores, int tick) {
  TelemetrySnapshot snapshot;
  snapshot.date = QDateTime::fromSecsSinceEpoch(1'700'000'000, QTimeZone::utc()).addSecs(2 * tick);
  snapshot.interval = 2;
  CPUSample cpu;
  for (int c = 0; c < cores; ++c) {
    const double busy = 0.5 + 0.45 * std::sin(tick / 6.0 + c);
    cpu.cores.push_back({busy * 0.8, busy * 0.2, 1 - busy});
  }
  cpu.total = {0.4, 0.1, 0.5};
  cpu.loadAverage = {1.2, 1.1, 1.0};
  cpu.interval = 2;
  snapshot.cpu = cpu;
  snapshot.values = {{MetricID::cpuTotal, 50}, {MetricID::cpuUser, 40}, {MetricID::cpuSystem, 10}};
  return snapshot;
}

// One tick on the GUI thread with the CPU page shown: the model takes the snapshot, the page
// updates its figures, core cells and heat map in place, and the core grid and heat map are
// painted once.
void cpuPageTick(benchmark::State& state, bool paint) {
  bench::ensureApplication();
  QTemporaryDir dir;
  MemoryPreferences domain;
  MemoryPreferences standard({{QStringLiteral("KIVODataDir"), dir.path()}});
  AppSettings settings(domain);
  MonitorModel::Environment environment;
  const int cores = static_cast<int>(state.range(0));
  environment.systemInfo = [cores] {
    SystemInfo system;
    system.topology.physicalCores = cores / 2;
    return system;
  };
  environment.gpuDevices = [] { return std::vector<GPUDevice>{}; };
  environment.capabilities = [] { return std::vector<SensorCapability>{}; };
  environment.monotonicNow = [] { return 1000.0; };
  MonitorModel model(settings, standard, environment);
  {
    CPUPage page(model, settings);
    page.resize(1280, 860);
    page.show();
    int tick = 0;
    for (; tick <= MonitorModel::kCoreRows; ++tick) model.ingest(cpuSnapshot(cores, tick));
    QApplication::processEvents();
    auto* grid = page.findChild<CoreGrid*>();
    auto* heatmap = page.findChild<CoreHeatmap*>();
    QImage gridImage(grid->size(), QImage::Format_ARGB32_Premultiplied);
    QImage mapImage(heatmap->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
      state.PauseTiming();
      auto snapshot = std::make_shared<const TelemetrySnapshot>(cpuSnapshot(cores, ++tick));
      state.ResumeTiming();
      model.ingest(std::move(snapshot));
      if (!paint) continue;
      grid->render(&gridImage);
      heatmap->render(&mapImage);
    }
  }
  model.shutdown();
}

void BM_CPUPageTick(benchmark::State& state) {
  cpuPageTick(state, true);
}
// The same without painting: what the model and the page's slots cost.
void BM_CPUPageUpdate(benchmark::State& state) {
  cpuPageTick(state, false);
}

// The heat map alone: 150 columns of 64 cores.
void BM_CoreHeatmapPaint(benchmark::State& state) {
  bench::ensureApplication();
  QList<QList<double>> history;
  const int cores = static_cast<int>(state.range(0));
  for (int i = 0; i < CoreHeatmap::kColumns; ++i) {
    QList<double> row;
    for (int c = 0; c < cores; ++c) row.append(0.5 + 0.45 * std::sin(i / 6.0 + c));
    history.append(row);
  }
  QImage image(560, 150, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter painter(&image);
    CoreHeatmap::paint(painter, QRectF(0, 0, 560, 150), history, QColor(0x2563EB), QColor(0xEEF0F7));
  }
}

}  // namespace

BENCHMARK(BM_CPUPageTick)->Arg(8)->Arg(64)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CPUPageUpdate)->Arg(8)->Arg(64)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CoreHeatmapPaint)->Arg(64)->Unit(benchmark::kMicrosecond);
