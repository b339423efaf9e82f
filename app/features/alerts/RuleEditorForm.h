#pragma once

#include "analysis/AlertRule.h"

#include <QLocale>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace kivo::RuleEditorForm {

// The decisions of the rule editor, without a display.

// The metrics a rule may watch, in the order the picker lists them.
const std::array<MetricID, 12>& metrics();
// The picker's row of a metric; -1 for one not offered (no row is selected then).
int metricIndex(MetricID metric);

// The rule after the user picked another metric: the comparison and threshold of the new
// metric; id, hold, cooldown, severity and the enabled state stay.
AlertRule withMetric(const AlertRule& rule, MetricID metric);

// Memory pressure and the thermal state choose a level instead of a comparison and a number.
bool usesLevel(MetricID metric);
struct LevelOption {
  QString title;
  double threshold;
};
std::vector<LevelOption> levelOptions(MetricID metric);
// The option whose value is the threshold; -1 for none.
int levelIndex(MetricID metric, double threshold);

// The threshold field works in display units: percent as is, bytes in GB, rates in MB/s.
double thresholdScale(MetricID metric);
QString thresholdSuffix(MetricID metric);
// The stored threshold in display units with at most one fraction digit.
QString thresholdText(double threshold, MetricID metric, const QLocale& locale);
// What the field's text stores, or why it cannot: the number times the scale, within what the
// metric can take (not below 0, a percentage not above 100, finite once scaled). `problem` is the
// line shown under the field while Save waits; empty when `stored` holds a value.
struct ThresholdEntry {
  std::optional<double> stored;
  QString problem;
};
ThresholdEntry readThreshold(const QString& text, MetricID metric, const QLocale& locale);

// The two steppers.
struct StepRange {
  double minimum;
  double maximum;
  double step;
};
inline constexpr StepRange kDuration{0, 3600, 10};
inline constexpr StepRange kCooldown{60, 86400, 60};
// One press up or down, kept in the range; a stored value outside it moves into it.
double stepped(double value, const StepRange& range, int direction);
bool canStep(double value, const StepRange& range, int direction);
// "120 s" and "15 min" (whole minutes, the fraction dropped).
QString durationText(double seconds);
QString cooldownText(double seconds);

}  // namespace kivo::RuleEditorForm
