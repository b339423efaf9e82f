#include "model/ModelFactory.h"

#include "platform/UserFolders.h"
#include "scheduler/TelemetryEngine.h"
#include "scheduler/TelemetrySources.h"
#include "settings/AppSettings.h"
#include "settings/LaunchOptions.h"
#include "settings/Preferences.h"
#include "storage/StoreError.h"
#include "storage/TimeSeriesStore.h"

#include <QDir>

namespace kivo {

QString ModelFactory::databasePath(const Preferences& standard) {
  const auto given = standard.string(LaunchOptions::kDataDir);
  const QString directory =
      given && !given->isEmpty() ? *given : UserFolders::dataHome() + QStringLiteral("/KIVO Monitor");
  return QDir(directory).filePath(QStringLiteral("telemetry.sqlite"));
}

OpenedHistory ModelFactory::openHistory(const QString& path, const RetentionPolicy& retention) {
  OpenedHistory opened;
  try {
    opened.store = std::make_shared<TimeSeriesStore>(path, retention);
  } catch (const StoreError& error) {
    // Shown to a person: the sentence, not the error's case name around it.
    opened.error = error.message();
  } catch (const std::exception& error) {
    opened.error = QString::fromUtf8(error.what());
  }
  return opened;
}

ModelParts ModelFactory::build(AppSettings& settings, const Preferences& standard,
                               const ModelEnvironment& environment) {
  ModelParts parts;
  parts.system = environment.systemInfo();
  parts.gpuDevices = environment.gpuDevices();
  parts.capabilities = environment.capabilities();
  parts.databasePath = databasePath(standard);

  if (const auto interval = LaunchOptions::interval(standard)) {
    // Field by field, as a person changing them one after another would.
    TelemetryConfiguration telemetry = settings.telemetry();
    telemetry.interval = *interval;
    settings.setTelemetry(telemetry);
    telemetry.backgroundInterval = *interval;
    settings.setTelemetry(telemetry);
    telemetry.processInterval = 2 * *interval;
    settings.setTelemetry(telemetry);
    telemetry.batterySaver = false;
    settings.setTelemetry(telemetry);
  }

  parts.engine = std::make_shared<TelemetryEngine>(nullptr, settings.telemetry(), settings.rules(),
                                                   environment.sources ? environment.sources() : nullptr);

  if (LaunchOptions::testMode(standard) && standard.boolean(LaunchOptions::kPrivacy)) {
    settings.setPrivacyMask(true);
  }
  return parts;
}

}  // namespace kivo
