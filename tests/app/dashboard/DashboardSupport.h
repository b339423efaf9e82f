#pragma once

#include "ModelTestSupport.h"
#include "TestSupport.h"

#include "design/Appearance.h"
#include "design/Environment.h"
#include "design/Icons.h"

#include <QApplication>
#include <QDir>
#include <QWidget>

#include <cmath>

namespace kivo::test {

// dashboard/ under the test output folder, for the PNGs a person looks at.
inline QString dashboardOutput(const QString& name) {
  const QString dir = outputDir() + QStringLiteral("/dashboard");
  QDir().mkpath(dir);
  return dir + QLatin1Char('/') + name;
}

inline ProcessRecord process(int pid, const QString& name, std::optional<double> cpu,
                             std::optional<std::uint64_t> memory, bool statistics = true) {
  ProcessRecord record;
  record.pid = pid;
  record.name = name;
  record.hasStatistics = statistics;
  record.cpuPercent = cpu;
  record.memory = memory;
  return record;
}

// A busy machine at `seconds`: every figure the dashboard shows, a battery when `charge` is set.
inline TelemetrySnapshot fullSnapshot(double seconds, std::optional<double> charge = 62) {
  const double wave = std::sin(seconds / 7);
  TelemetrySnapshot snapshot = snapshotAt(seconds, {{MetricID::cpuTotal, 38 + 20 * wave},
                                                    {MetricID::diskRead, 2.5e6 * (1.2 + wave)},
                                                    {MetricID::diskWrite, 9e5 * (1.1 - wave)},
                                                    {MetricID::netDown, 1.5e6 * (1.3 + wave)},
                                                    {MetricID::netUp, 3e5 * (1.2 - wave)},
                                                    {MetricID::gpuUtilization, 30 + 15 * wave},
                                                    {MetricID::selfCPU, 0.8 + 0.3 * wave}});
  CPUSample cpu;
  cpu.total = CPULoad{0.27, 0.11, 0.62};
  for (int i = 0; i < 8; ++i) cpu.cores.push_back(CPULoad{0.05 * i, 0.04, 0.91 - 0.05 * i});
  cpu.loadAverage = {2.345, 1.5, 1.2};
  snapshot.cpu = cpu;
  MemorySample memory;
  memory.physical = 16ull << 30;
  memory.used = 9ull << 30;
  memory.app = 6ull << 30;
  memory.wired = 2ull << 30;
  memory.compressed = 1ull << 30;
  memory.cached = 4ull << 30;
  memory.free = 3ull << 30;
  memory.swapTotal = 4ull << 30;
  memory.swapUsed = 512ull << 20;
  memory.pressure = MemoryPressureLevel::normal;
  snapshot.memory = memory;
  VolumeInfo root;
  root.name = QStringLiteral("root");
  root.mountPoint = QStringLiteral("/");
  root.total = 500ull << 30;
  root.available = 210ull << 30;
  VolumeInfo home = root;
  home.name = QStringLiteral("home <b>data</b>");
  home.mountPoint = QStringLiteral("/home");
  home.available = 20ull << 30;
  snapshot.volumes = {root, home};
  if (charge) {
    snapshot.power = PowerSample(true, PowerSourceKind::battery, false, false, false);
    snapshot.power.charge = charge;
    snapshot.power.minutesToEmpty = 185;
  }
  snapshot.thermal = ThermalLevel::fair;
  ProcessSample processes;
  processes.processes = {
      process(1, QStringLiteral("systemd"), 0.1, 12ull << 20),
      process(812, QStringLiteral("firefox-esr with a very long process name indeed"), 24.5, 1900ull << 20),
      process(901, QStringLiteral("kivo-monitor"), 1.2, 80ull << 20),
      process(955, QStringLiteral("cc1plus"), 97.3, 700ull << 20),
      process(1002, QStringLiteral("Xvfb"), 3.4, 150ull << 20),
      process(1100, QStringLiteral("kworker/0:1"), 0.5, std::nullopt),
      process(1200, QStringLiteral("<i>odd</i>"), 7.5, 40ull << 20)};
  processes.total = static_cast<int>(processes.processes.size());
  snapshot.processes = processes;
  snapshot.selfMemory = 84ull << 20;
  snapshot.collectionTime = 3.4;
  return snapshot;
}

// Grabs a widget inside a host with the palette and density of a window root.
inline bool grabInto(QWidget* widget, const QString& name, QSize size, bool dark, double density = 1.0) {
  Icons::initResources();
  QWidget host;
  host.setAttribute(Qt::WA_DontShowOnScreen);
  host.setPalette(Appearance::palette(dark));
  widget->setParent(&host);
  Environment::apply(&host, density, false);
  host.resize(size);
  widget->setGeometry(QRect(QPoint(0, 0), size));
  host.show();
  QApplication::processEvents();
  const bool saved = host.grab().save(dashboardOutput(name));
  host.hide();
  widget->setParent(nullptr);
  return saved;
}

}  // namespace kivo::test
