#include "features/alerts/RuleEditorForm.h"

#include "texts/Localized.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kivo::RuleEditorForm {

namespace {

constexpr double kGiB = 1024.0 * 1024.0 * 1024.0;

constexpr double kPressureWarning = 0.5;
constexpr double kPressureCritical = 1.5;

// A whole number of a non-negative finite figure, without an out-of-range conversion.
QString wholeText(double value) {
  if (!std::isfinite(value)) return QStringLiteral("—");
  return QString::number(std::trunc(value), 'f', 0);
}

}  // namespace

const std::array<MetricID, 12>& metrics() {
  static const std::array<MetricID, 12> list{
      MetricID::cpuTotal, MetricID::memPressure,   MetricID::memUsed,      MetricID::swapUsed,
      MetricID::diskFree, MetricID::diskRead,      MetricID::diskWrite,    MetricID::netDown,
      MetricID::netUp,    MetricID::batteryCharge, MetricID::thermalState, MetricID::gpuUtilization};
  return list;
}

int metricIndex(MetricID metric) {
  const auto& list = metrics();
  const auto found = std::find(list.begin(), list.end(), metric);
  return found == list.end() ? -1 : static_cast<int>(found - list.begin());
}

AlertRule withMetric(const AlertRule& rule, MetricID metric) {
  AlertRule result = rule;
  result.metric = metric;
  switch (metric) {
    case MetricID::memPressure:
      result.comparison = AlertComparison::above;
      result.threshold = kPressureWarning;
      break;
    case MetricID::diskFree:
      result.comparison = AlertComparison::below;
      result.threshold = 20'000'000'000.0;
      break;
    case MetricID::batteryCharge:
      result.comparison = AlertComparison::below;
      result.threshold = 15;
      break;
    case MetricID::thermalState:
      result.comparison = AlertComparison::above;
      result.threshold = 1.5;
      break;
    case MetricID::memUsed:
    case MetricID::swapUsed:
      // 0.05 in the field's binary unit, so the field and the rule list show the same figure.
      result.comparison = AlertComparison::above;
      result.threshold = 0.05 * kGiB;
      break;
    default:
      result.comparison = AlertComparison::above;
      result.threshold = MetricCatalog::descriptor(metric).unit == MetricUnit::percent ? 90 : 50'000'000.0;
      break;
  }
  return result;
}

bool usesLevel(MetricID metric) {
  return metric == MetricID::memPressure || metric == MetricID::thermalState;
}

std::vector<LevelOption> levelOptions(MetricID metric) {
  if (metric == MetricID::memPressure) {
    return {{tr("Warning or higher"), kPressureWarning}, {tr("Critical"), kPressureCritical}};
  }
  if (metric == MetricID::thermalState) {
    return {{tr("Fair or higher"), 0.5}, {tr("Serious or higher"), 1.5}, {tr("Critical"), 2.5}};
  }
  return {};
}

int levelIndex(MetricID metric, double threshold) {
  const auto options = levelOptions(metric);
  for (std::size_t i = 0; i < options.size(); ++i) {
    if (options[i].threshold == threshold) return static_cast<int>(i);
  }
  return -1;
}

// The rule list, "Active now" and notifications print memory in powers of 1024 and free
// space in powers of 1000; the field uses the same unit as they do.
double thresholdScale(MetricID metric) {
  switch (MetricCatalog::descriptor(metric).unit) {
    case MetricUnit::bytes:
      return metric == MetricID::diskFree ? 1e9 : kGiB;
    case MetricUnit::bytesPerSecond:
      return 1e6;
    default:
      return 1;
  }
}

QString thresholdSuffix(MetricID metric) {
  switch (MetricCatalog::descriptor(metric).unit) {
    case MetricUnit::percent:
      return QStringLiteral("%");
    case MetricUnit::bytes:
      return metric == MetricID::diskFree ? QStringLiteral("GB") : QStringLiteral("GiB");
    case MetricUnit::bytesPerSecond:
      return QStringLiteral("MB/s");
    default:
      return QString();
  }
}

QString thresholdText(double threshold, MetricID metric, const QLocale& locale) {
  const double shown = threshold / thresholdScale(metric);
  if (!std::isfinite(shown)) return QString();
  // One fraction digit at most (two below one unit, so 0.05 GiB is not shown as 0.1);
  // trailing zeros dropped.
  int digits = std::abs(shown) < 1 ? 2 : 1;
  const double units = std::round(shown * std::pow(10, digits));  // in the last digit shown
  for (double last = units; digits > 0 && std::fmod(last, 10) == 0; last /= 10) --digits;
  return locale.toString(shown, 'f', digits);
}

ThresholdEntry readThreshold(const QString& text, MetricID metric, const QLocale& locale) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) return {std::nullopt, tr("Enter a threshold.")};
  bool ok = false;
  double value = locale.toDouble(trimmed, &ok);
  // A number typed without the locale's grouping or with a C decimal point still counts.
  if (!ok) value = QLocale::c().toDouble(trimmed, &ok);
  // QLocale reads "1e999" as infinity but says it failed: a number too large, not a typo.
  if ((!ok && !std::isinf(value)) || std::isnan(value))
    return {std::nullopt, tr("The threshold must be a number.")};
  if (value < 0) return {std::nullopt, tr("The threshold cannot be below 0.")};
  if (std::isinf(value)) return {std::nullopt, tr("The threshold is too large.")};
  if (MetricCatalog::descriptor(metric).unit == MetricUnit::percent && value > 100)
    return {std::nullopt, tr("A percentage cannot be above 100.")};
  const double stored = value * thresholdScale(metric);
  if (!std::isfinite(stored)) return {std::nullopt, tr("The threshold is too large.")};
  return {stored, QString()};
}

double stepped(double value, const StepRange& range, int direction) {
  if (!std::isfinite(value)) return direction > 0 ? range.minimum : range.maximum;
  const double next = value + (direction > 0 ? range.step : -range.step);
  return std::clamp(next, range.minimum, range.maximum);
}

bool canStep(double value, const StepRange& range, int direction) {
  if (!std::isfinite(value)) return true;
  return direction > 0 ? value < range.maximum : value > range.minimum;
}

QString durationText(double seconds) {
  return wholeText(seconds) + QStringLiteral(" s");
}

QString cooldownText(double seconds) {
  return wholeText(seconds / 60) + QStringLiteral(" min");
}

}  // namespace kivo::RuleEditorForm
