#pragma once

#include "analysis/AlertComparison.h"
#include "metrics/Metric.h"
#include "storage/Severity.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QUuid>

#include <optional>
#include <vector>

namespace kivo {

// Watches one metric: fires when it has stayed beyond the threshold for the
// hold duration, resolves when it comes back.
struct AlertRule {
  QUuid id;
  MetricID metric = MetricID::cpuTotal;
  AlertComparison comparison = AlertComparison::above;
  double threshold = 0;  // in the metric's unit
  double duration = 0;   // hold, seconds
  double cooldown = 0;   // least seconds between two firings
  Severity severity = Severity::warning;
  bool isEnabled = true;

  bool operator==(const AlertRule&) const = default;

  // Strict: above is value > threshold, below is value < threshold. NaN never
  // matches, and neither does anything against a non-finite threshold.
  bool matches(double value) const;

  // Threshold, duration and cooldown are finite numbers. An invalid rule is
  // treated as disabled: it never fires.
  bool isValid() const;

  // The seven built-in rules; ids are random, made once per run.
  static const std::vector<AlertRule>& defaults();

  // "id" as the upper-case UUID text, "metric" and "severity" as raw integers.
  QJsonObject toJson() const;
  // Every key required with its exact type; unknown metric, comparison or
  // severity values and non-finite numbers reject the rule.
  static std::optional<AlertRule> fromJson(const QJsonObject& object, QString* error = nullptr);

  static QJsonArray listToJson(const std::vector<AlertRule>& rules);
  // One bad rule rejects the whole list; *error names its position.
  static std::optional<std::vector<AlertRule>> listFromJson(const QJsonArray& array,
                                                            QString* error = nullptr);
};

// "id" text of a rule: the standard 36-character upper-case form.
QString uuidText(const QUuid& id);

}  // namespace kivo
