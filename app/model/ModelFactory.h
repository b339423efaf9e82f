#pragma once

#include "collectors/GPUDevice.h"
#include "collectors/SensorCapability.h"
#include "collectors/SystemInfo.h"
#include "model/ModelEnvironment.h"
#include "storage/RetentionPolicy.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace kivo {

class AppSettings;
class Preferences;
class TelemetryEngine;
class TimeSeriesStore;

// The history as an attempt to open it left it: a store, or the reason there is none.
struct OpenedHistory {
  std::shared_ptr<TimeSeriesStore> store;
  std::optional<QString> error;
};

// Everything the model is built over: the machine's constant readings, where the history lives
// and the engine (without the history, which the model opens on its worker).
struct ModelParts {
  SystemInfo system;
  std::vector<GPUDevice> gpuDevices;
  std::vector<SensorCapability> capabilities;
  QString databasePath;
  std::shared_ptr<TelemetryEngine> engine;
};

// Builds what the model runs on, so that the model itself only keeps state and carries actions.
class ModelFactory {
 public:
  // Where the history lives: <dataDir>/telemetry.sqlite with KIVODataDir, else
  // <GenericDataLocation>/KIVO Monitor/telemetry.sqlite.
  static QString databasePath(const Preferences& standard);
  // Never throws: a history that cannot be opened comes back as its error.
  static OpenedHistory openHistory(const QString& path, const RetentionPolicy& retention);
  // Applies the launch arguments that change settings (KIVOInterval, KIVOPrivacy in test mode),
  // reads the constant readings and builds the engine.
  static ModelParts build(AppSettings& settings, const Preferences& standard,
                          const ModelEnvironment& environment);
};

}  // namespace kivo
