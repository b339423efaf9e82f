#include "texts/AlertText.h"

#include "texts/Localized.h"
#include "texts/ThermalText.h"

#include <QCoreApplication>

#include <algorithm>
#include <climits>
#include <cmath>

namespace kivo::AlertText {

namespace {

const QString kAbsent = QStringLiteral("—");

QString pressureLevel(double value) {
  if (value >= 1.5) return tr("Critical");
  if (value >= 0.5) return tr("Warning");
  return tr("Normal");
}

}  // namespace

QString title(const AlertRule& rule) {
  const QString name = translated(MetricCatalog::descriptor(rule.metric).name);
  return rule.comparison == AlertComparison::below ? tr("%1 is low", name) : tr("%1 is high", name);
}

QString formatted(double value, MetricID metric, const ValueFormatter& formatter) {
  switch (metric) {
    case MetricID::thermalState: {
      if (!std::isfinite(value)) return kAbsent;
      const double level = std::clamp(std::round(value), 0.0, 3.0);
      return ThermalText::name(static_cast<ThermalLevel>(static_cast<int>(level)));
    }
    case MetricID::memPressure:
      return std::isfinite(value) ? pressureLevel(value) : kAbsent;
    case MetricID::diskFree:
      return formatter.bytes(value, false);
    default:
      return formatter.value(value, MetricCatalog::descriptor(metric).unit);
  }
}

QString condition(const AlertRule& rule, const ValueFormatter& formatter) {
  QString comparator;
  QString threshold;
  // The level metrics assume an "above" rule and name the level, not the number.
  switch (rule.metric) {
    case MetricID::thermalState:
      comparator = tr("at or above");
      threshold = rule.threshold >= 2.5 ? tr("Critical") : rule.threshold >= 1.5 ? tr("Serious") : tr("Fair");
      break;
    case MetricID::memPressure:
      comparator = tr("at or above");
      threshold = rule.threshold >= 1.5 ? tr("Critical") : tr("Warning");
      break;
    default:
      comparator = rule.comparison == AlertComparison::below ? tr("below") : tr("above");
      threshold = formatted(rule.threshold, rule.metric, formatter);
      break;
  }
  return tr("%1 %2 for %3", comparator, threshold, formatter.duration(rule.duration));
}

QString body(const AlertTransition& transition, const ValueFormatter& formatter) {
  return tr("Now %1. Condition: %2.", formatted(transition.value, transition.rule.metric, formatter),
            condition(transition.rule, formatter));
}

QString activeCount(qint64 count) {
  // The form follows the count; a translation may give more forms.
  const int n = static_cast<int>(std::clamp<qint64>(count, 0, INT_MAX));
  return QCoreApplication::translate("KIVO", n == 1 ? "%n active alert" : "%n active alerts", nullptr, n);
}

std::optional<QString> unavailableHere(MetricID metric, const TelemetrySnapshot* snapshot) {
  if (!snapshot) return std::nullopt;
  switch (metric) {
    case MetricID::batteryCharge:
    case MetricID::batteryPower:
    case MetricID::batteryTemperature:
      if (!snapshot->power.hasBattery) return tr("This computer has no battery.");
      break;
    case MetricID::thermalState:
      if (!snapshot->thermal) return tr("This computer has no thermal zones with trip points.");
      break;
    default:
      break;
  }
  return std::nullopt;
}

}  // namespace kivo::AlertText
