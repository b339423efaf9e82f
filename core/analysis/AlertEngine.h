#pragma once

#include "analysis/AlertRule.h"
#include "analysis/AlertTransition.h"
#include "metrics/Metric.h"

#include <QDateTime>
#include <QHash>
#include <QUuid>

#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

namespace kivo {

// Evaluates the alert rules once per tick. Pure state machine: every time it
// uses is the date handed to evaluate.
class AlertEngine {
 public:
  explicit AlertEngine(std::vector<AlertRule> rules = {});

  std::vector<AlertRule> rules;           // the user's order; replaced wholesale
  std::optional<QDateTime> snoozedUntil;  // no rule fires before this
  double maxGap = 30;                     // seconds; a later value starts a new breach

  // Current rules, in order, whose state is firing.
  std::vector<AlertRule> firing() const;

  // Advances every rule by one step; at most one transition per rule, in rule
  // order. An invalid date changes nothing.
  std::vector<AlertTransition> evaluate(const std::unordered_map<MetricID, double>& values,
                                        const QDateTime& date);
  // Same, from one tick's metric values (each metric at most once).
  std::vector<AlertTransition> evaluate(std::span<const MetricValue> values, const QDateTime& date);

 private:
  struct State {
    std::optional<double> breachStart;
    std::optional<double> lastSeen;
    bool firing = false;
    std::optional<double> lastFired;
  };

  using Lookup = std::array<std::optional<double>, kMetricCount>;
  std::vector<AlertTransition> step(const Lookup& values, const QDateTime& date);

  QHash<QUuid, State> states_;
};

}  // namespace kivo
