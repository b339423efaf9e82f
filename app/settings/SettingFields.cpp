#include "settings/SettingFields.h"

#include "settings/SettingsLog.h"

#include <QJsonValue>
#include <QVariant>

#include <algorithm>
#include <cmath>

namespace kivo {

double SettingFieldReader::number(const char* field, double fallback, double lower,
                                  std::optional<double> upper) {
  const QJsonValue value = object_.value(QLatin1String(field));
  if (value.isUndefined()) return fallback;
  if (!value.isDouble() || !std::isfinite(value.toDouble())) return fellBack(field, fallback);
  const double number = value.toDouble();
  const double bounded = std::max(lower, upper ? std::min(number, *upper) : number);
  if (bounded != number) {
    adjusted_ = true;
    qCWarning(settingsLog, "The setting %s.%s (%s) is outside the range it allows; %s is used.",
              qUtf8Printable(key_), field, qUtf8Printable(QString::number(number)),
              qUtf8Printable(QString::number(bounded)));
  }
  return bounded;
}

bool SettingFieldReader::flag(const char* field, bool fallback) {
  const QJsonValue value = object_.value(QLatin1String(field));
  if (value.isUndefined()) return fallback;
  return value.isBool() ? value.toBool() : fellBack(field, fallback);
}

std::int64_t SettingFieldReader::whole(const char* field, std::int64_t fallback, std::int64_t lower) {
  const QJsonValue value = object_.value(QLatin1String(field));
  if (value.isUndefined()) return fallback;
  const double number = value.toDouble(std::nan(""));
  if (!value.isDouble() || !std::isfinite(number) || number != std::floor(number) || number < double(lower) ||
      number > 9.0e15) {
    return fellBack(field, fallback);
  }
  return static_cast<std::int64_t>(number);
}

template <typename T>
T SettingFieldReader::fellBack(const char* field, T fallback) {
  adjusted_ = true;
  qCWarning(settingsLog, "The setting %s.%s is not valid; its default %s is used.", qUtf8Printable(key_),
            field, qUtf8Printable(QVariant::fromValue(fallback).toString()));
  return fallback;
}

namespace SettingFields {

// The sampling intervals are those of the sampling pane's sliders; the flush interval has no
// control, and longer than five minutes would lose that much history to a crash.
TelemetryConfiguration telemetry(SettingFieldReader& r) {
  const TelemetryConfiguration d;
  TelemetryConfiguration c;
  c.interval = r.number("interval", d.interval, interval);
  c.backgroundInterval = r.number("backgroundInterval", d.backgroundInterval, backgroundInterval);
  c.processInterval = r.number("processInterval", d.processInterval, processInterval);
  c.slowInterval = r.number("slowInterval", d.slowInterval, slowInterval);
  c.batterySaver = r.flag("batterySaver", d.batterySaver);
  c.bestEffortMetrics = r.flag("bestEffortMetrics", d.bestEffortMetrics);
  c.historyEnabled = r.flag("historyEnabled", d.historyEnabled);
  c.flushInterval = r.number("flushInterval", d.flushInterval, 0, 300);
  return c;
}

// A retention between the pane's choices stays as it is.
RetentionPolicy retention(SettingFieldReader& r) {
  const RetentionPolicy d;
  RetentionPolicy c;
  c.raw = r.number("raw", d.raw, rawRetention);
  c.minute = r.number("minute", d.minute, minuteRetention);
  c.hour = r.number("hour", d.hour, hourRetention);
  return c;
}

IntelligenceThresholds thresholds(SettingFieldReader& r) {
  const IntelligenceThresholds d;
  IntelligenceThresholds c;
  c.cpuPercent = r.number("cpuPercent", d.cpuPercent, 0);
  c.cpuMinutes = r.number("cpuMinutes", d.cpuMinutes, 0);
  c.pressureMinutes = r.number("pressureMinutes", d.pressureMinutes, 0);
  c.swapGrowthBytes = r.number("swapGrowthBytes", d.swapGrowthBytes, 0);
  c.diskHorizonDays = r.number("diskHorizonDays", d.diskHorizonDays, 0);
  c.networkFloor = r.number("networkFloor", d.networkFloor, 0);
  c.processEpisodes = r.whole("processEpisodes", d.processEpisodes, 0);
  return c;
}

}  // namespace SettingFields

}  // namespace kivo
