#include "analysis/AlertEngine.h"

#include "storage/StoreTime.h"

#include <cmath>
#include <limits>

namespace kivo {

AlertEngine::AlertEngine(std::vector<AlertRule> rules) : rules(std::move(rules)) {}

std::vector<AlertRule> AlertEngine::firing() const {
  std::vector<AlertRule> result;
  for (const AlertRule& rule : rules) {
    const auto it = states_.constFind(rule.id);
    if (it != states_.constEnd() && it->firing) result.push_back(rule);
  }
  return result;
}

std::vector<AlertTransition> AlertEngine::evaluate(const std::unordered_map<MetricID, double>& values,
                                                   const QDateTime& date) {
  Lookup lookup{};
  for (const auto& [metric, value] : values) lookup[static_cast<std::size_t>(Metric::index(metric))] = value;
  return step(lookup, date);
}

std::vector<AlertTransition> AlertEngine::evaluate(std::span<const MetricValue> values,
                                                   const QDateTime& date) {
  Lookup lookup{};
  for (const MetricValue& value : values)
    lookup[static_cast<std::size_t>(Metric::index(value.metric))] = value.value;
  return step(lookup, date);
}

std::vector<AlertTransition> AlertEngine::step(const Lookup& values, const QDateTime& date) {
  std::vector<AlertTransition> transitions;
  if (!date.isValid()) return transitions;
  const double now = StoreTime::seconds(date);
  // A NaN or infinite gap would never compare; fall back to the engine's default.
  const double gap = std::isfinite(maxGap) ? maxGap : 30.0;
  const bool snoozed = snoozedUntil && snoozedUntil->isValid() && date < *snoozedUntil;

  for (const AlertRule& rule : rules) {
    State& state = states_[rule.id];
    const std::optional<double>& value = values[static_cast<std::size_t>(Metric::index(rule.metric))];

    if (!rule.isEnabled || !rule.isValid()) {
      if (state.firing) {
        transitions.push_back({rule, AlertTransition::Kind::resolved,
                               value ? *value : std::numeric_limits<double>::quiet_NaN(), date, 0});
      }
      const std::optional<double> lastFired = state.lastFired;
      state = State{};
      state.lastFired = lastFired;
      continue;
    }
    if (!value) continue;

    const double v = *value;
    std::optional<double> breachStart = state.breachStart;
    if (state.lastSeen && now - *state.lastSeen > gap) breachStart.reset();

    if (rule.matches(v)) {
      const double start = breachStart.value_or(now);
      if (!state.firing) {
        const bool held = now - start >= rule.duration;
        const bool cooled = !state.lastFired || rule.cooldown <= now - *state.lastFired;
        if (held && cooled && !snoozed) {
          transitions.push_back({rule, AlertTransition::Kind::fired, v, date, now - start});
          state.firing = true;
          state.lastFired = now;
        }
      }
      state.breachStart = start;
      state.lastSeen = now;
    } else {
      if (state.firing) {
        transitions.push_back(
            {rule, AlertTransition::Kind::resolved, v, date, breachStart ? now - *breachStart : 0.0});
      }
      state.breachStart.reset();
      state.lastSeen = now;
      state.firing = false;
    }
  }

  // Forget rules that are gone, without a resolution.
  for (auto it = states_.begin(); it != states_.end();) {
    bool present = false;
    for (const AlertRule& rule : rules) {
      if (rule.id == it.key()) {
        present = true;
        break;
      }
    }
    it = present ? std::next(it) : states_.erase(it);
  }
  return transitions;
}

}  // namespace kivo
