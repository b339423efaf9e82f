#include "analysis/AlertRule.h"

#include "metrics/JsonFields.h"

#include <cmath>

namespace kivo {

QString uuidText(const QUuid& id) {
  return id.toString(QUuid::WithoutBraces).toUpper();
}

bool AlertRule::matches(double value) const {
  if (!std::isfinite(threshold) || std::isnan(value)) return false;
  return comparison == AlertComparison::above ? value > threshold : value < threshold;
}

bool AlertRule::isValid() const {
  return std::isfinite(threshold) && std::isfinite(duration) && std::isfinite(cooldown);
}

const std::vector<AlertRule>& AlertRule::defaults() {
  static const std::vector<AlertRule> rules = [] {
    const auto rule = [](MetricID metric, AlertComparison comparison, double threshold, double duration,
                         double cooldown, Severity severity, bool enabled) {
      return AlertRule{
          QUuid::createUuid(), metric, comparison, threshold, duration, cooldown, severity, enabled};
    };
    using C = AlertComparison;
    return std::vector<AlertRule>{
        rule(MetricID::cpuTotal, C::above, 90, 120, 900, Severity::warning, true),
        rule(MetricID::memPressure, C::above, 0.5, 60, 900, Severity::warning, true),
        rule(MetricID::memPressure, C::above, 1.5, 20, 900, Severity::critical, true),
        rule(MetricID::diskFree, C::below, 2e10, 60, 21600, Severity::warning, true),
        rule(MetricID::batteryCharge, C::below, 15, 30, 1800, Severity::warning, true),
        rule(MetricID::thermalState, C::above, 1.5, 30, 900, Severity::critical, true),
        rule(MetricID::netDown, C::above, 5e7, 60, 900, Severity::info, false),
    };
  }();
  return rules;
}

QJsonObject AlertRule::toJson() const {
  QJsonObject object;
  object.insert(QStringLiteral("id"), uuidText(id));
  object.insert(QStringLiteral("metric"), Metric::toJson(metric));
  object.insert(QStringLiteral("comparison"), AlertComparisons::toJson(comparison));
  object.insert(QStringLiteral("threshold"), threshold);
  object.insert(QStringLiteral("duration"), duration);
  object.insert(QStringLiteral("cooldown"), cooldown);
  object.insert(QStringLiteral("severity"), Severities::toJson(severity));
  object.insert(QStringLiteral("isEnabled"), isEnabled);
  return object;
}

namespace {
std::optional<QUuid> parseUuid(const QString& text) {
  // The standard form only: 36 characters, no braces.
  if (text.size() != 36) return std::nullopt;
  const QUuid id = QUuid::fromString(text);
  if (id.isNull() && text != QLatin1String("00000000-0000-0000-0000-000000000000")) return std::nullopt;
  return id;
}
}  // namespace

std::optional<AlertRule> AlertRule::fromJson(const QJsonObject& object, QString* error) {
  const auto idText = JsonFields::required<QString>(object, "id", error);
  std::optional<QUuid> id;
  if (idText) {
    id = parseUuid(*idText);
    if (!id) JsonFields::fail(error, QStringLiteral("\"id\" is not a UUID"));
  }
  const auto metric = Metric::fromJson(object.value(QStringLiteral("metric")));
  if (!metric) JsonFields::fail(error, QStringLiteral("\"metric\" is not a known metric"));
  const auto comparison = AlertComparisons::fromJson(object.value(QStringLiteral("comparison")));
  if (!comparison) JsonFields::fail(error, QStringLiteral("\"comparison\" must be \"above\" or \"below\""));
  const auto threshold = JsonFields::required<double>(object, "threshold", error);
  const auto duration = JsonFields::required<double>(object, "duration", error);
  const auto cooldown = JsonFields::required<double>(object, "cooldown", error);
  const auto severity = Severities::fromJson(object.value(QStringLiteral("severity")));
  if (!severity) JsonFields::fail(error, QStringLiteral("\"severity\" must be 0, 1 or 2"));
  const auto enabled = JsonFields::required<bool>(object, "isEnabled", error);
  if (!id || !metric || !comparison || !threshold || !duration || !cooldown || !severity || !enabled) {
    return std::nullopt;
  }
  return AlertRule{*id, *metric, *comparison, *threshold, *duration, *cooldown, *severity, *enabled};
}

QJsonArray AlertRule::listToJson(const std::vector<AlertRule>& rules) {
  QJsonArray array;
  for (const AlertRule& rule : rules) array.append(rule.toJson());
  return array;
}

std::optional<std::vector<AlertRule>> AlertRule::listFromJson(const QJsonArray& array, QString* error) {
  std::vector<AlertRule> rules;
  rules.reserve(static_cast<std::size_t>(array.size()));
  for (qsizetype i = 0; i < array.size(); ++i) {
    QString reason;
    std::optional<AlertRule> rule;
    if (array.at(i).isObject()) {
      rule = fromJson(array.at(i).toObject(), &reason);
    } else {
      reason = QStringLiteral("not an object");
    }
    if (!rule) {
      JsonFields::fail(error, QStringLiteral("rule %1: %2").arg(i + 1).arg(reason));
      return std::nullopt;
    }
    rules.push_back(*rule);
  }
  return rules;
}

}  // namespace kivo
