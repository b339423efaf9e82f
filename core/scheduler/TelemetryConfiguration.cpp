#include "scheduler/TelemetryConfiguration.h"

#include "metrics/JsonFields.h"

#include <cmath>

namespace kivo {

bool TelemetryConfiguration::isValid() const {
  return std::isfinite(interval) && std::isfinite(backgroundInterval) && std::isfinite(processInterval) &&
         std::isfinite(slowInterval) && std::isfinite(flushInterval);
}

TelemetryConfiguration TelemetryConfiguration::sanitized() const {
  const TelemetryConfiguration defaults;
  const auto finite = [](double value, double fallback) { return std::isfinite(value) ? value : fallback; };
  TelemetryConfiguration copy = *this;
  copy.interval = finite(interval, defaults.interval);
  copy.backgroundInterval = finite(backgroundInterval, defaults.backgroundInterval);
  copy.processInterval = finite(processInterval, defaults.processInterval);
  copy.slowInterval = finite(slowInterval, defaults.slowInterval);
  copy.flushInterval = finite(flushInterval, defaults.flushInterval);
  return copy;
}

QJsonObject TelemetryConfiguration::toJson() const {
  QJsonObject object;
  object.insert(QStringLiteral("interval"), interval);
  object.insert(QStringLiteral("backgroundInterval"), backgroundInterval);
  object.insert(QStringLiteral("processInterval"), processInterval);
  object.insert(QStringLiteral("slowInterval"), slowInterval);
  object.insert(QStringLiteral("batterySaver"), batterySaver);
  object.insert(QStringLiteral("bestEffortMetrics"), bestEffortMetrics);
  object.insert(QStringLiteral("historyEnabled"), historyEnabled);
  object.insert(QStringLiteral("flushInterval"), flushInterval);
  return object;
}

std::optional<TelemetryConfiguration> TelemetryConfiguration::fromJson(const QJsonObject& object,
                                                                       QString* error) {
  const auto interval = JsonFields::required<double>(object, "interval", error);
  const auto background = JsonFields::required<double>(object, "backgroundInterval", error);
  const auto process = JsonFields::required<double>(object, "processInterval", error);
  const auto slow = JsonFields::required<double>(object, "slowInterval", error);
  const auto saver = JsonFields::required<bool>(object, "batterySaver", error);
  const auto bestEffort = JsonFields::required<bool>(object, "bestEffortMetrics", error);
  const auto history = JsonFields::required<bool>(object, "historyEnabled", error);
  const auto flush = JsonFields::required<double>(object, "flushInterval", error);
  if (!interval || !background || !process || !slow || !saver || !bestEffort || !history || !flush) {
    return std::nullopt;
  }
  TelemetryConfiguration config;
  config.interval = *interval;
  config.backgroundInterval = *background;
  config.processInterval = *process;
  config.slowInterval = *slow;
  config.batterySaver = *saver;
  config.bestEffortMetrics = *bestEffort;
  config.historyEnabled = *history;
  config.flushInterval = *flush;
  return config;
}

}  // namespace kivo
