#pragma once

#include "ModelTestSupport.h"
#include "TestSupport.h"

#include <QDir>
#include <QImage>
#include <QString>

namespace kivo::test {

// tray/ under the test output folder, for the PNGs a person looks at.
inline QString trayOutput(const QString& name) {
  const QString dir = outputDir() + QStringLiteral("/tray");
  QDir().mkpath(dir);
  return dir + QLatin1Char('/') + name;
}

// A snapshot at `seconds` with CPU, memory, network and disk figures, and optionally a battery.
inline TelemetrySnapshot busySnapshot(double seconds, double cpu, std::optional<double> charge = std::nullopt,
                                      bool charging = false) {
  TelemetrySnapshot snapshot = snapshotAt(seconds, {{MetricID::cpuTotal, cpu},
                                                    {MetricID::memUsed, 6.0e9},
                                                    {MetricID::diskRead, 2.5e6},
                                                    {MetricID::diskWrite, 12.3e6},
                                                    {MetricID::netDown, 1.5e6 * (1 + seconds / 10)},
                                                    {MetricID::netUp, 84e3}});
  MemorySample memory;
  memory.physical = 16'000'000'000;
  memory.used = 6'000'000'000;
  snapshot.memory = memory;
  if (charge) {
    snapshot.power =
        PowerSample(true, charging ? PowerSourceKind::ac : PowerSourceKind::battery, charging, false, false);
    snapshot.power.charge = charge;
  }
  snapshot.thermal = ThermalLevel::nominal;
  return snapshot;
}

// The alpha of one pixel at device-independent coordinates of an image rendered at `scale`.
inline int alphaAt(const QImage& image, double x, double y) {
  const double scale = image.devicePixelRatio();
  return qAlpha(image.pixel(static_cast<int>(x * scale), static_cast<int>(y * scale)));
}

}  // namespace kivo::test
