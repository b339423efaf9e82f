#pragma once

#include "collectors/GPUDevice.h"
#include "collectors/SensorCapability.h"
#include "collectors/SystemInfo.h"

#include <QDateTime>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kivo {

class TelemetrySources;

// What the model reads from the machine and the clocks, and where it reports what nobody else
// would see; tests replace any of them.
struct ModelEnvironment {
  std::function<SystemInfo()> systemInfo;
  std::function<std::vector<GPUDevice>()> gpuDevices;
  std::function<std::vector<SensorCapability>()> capabilities;
  std::function<double()> monotonicNow;
  std::function<QDateTime()> now;
  // The engine's readings; null gives the machine itself.
  std::function<std::unique_ptr<TelemetrySources>()> sources;
  // One line for standard error (history samples lost at quit).
  std::function<void(const QString& line)> log;
  // How long a history that could not be opened waits before it is tried again.
  std::chrono::milliseconds historyRetry{60'000};

  // The real readers and clocks.
  static ModelEnvironment system();
  // Fills what was left out with the real reader.
  ModelEnvironment completed() const;
};

}  // namespace kivo
