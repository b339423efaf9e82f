#include "analysis/AlertEngine.h"

#include "TestSupport.h"

#include <QTimeZone>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace kivo;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kT0 = 1'700'000'000;

QDateTime at(double t) {
  return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround((kT0 + t) * 1000)),
                                        QTimeZone::utc());
}

AlertRule cpuRule(double duration, double cooldown, double threshold = 90) {
  return AlertRule{QUuid::createUuid(),
                   MetricID::cpuTotal,
                   AlertComparison::above,
                   threshold,
                   duration,
                   cooldown,
                   Severity::warning,
                   true};
}

std::string describe(const std::vector<AlertTransition>& transitions) {
  std::string text;
  for (const auto& t : transitions) {
    if (!text.empty()) text += "; ";
    text += t.kind == AlertTransition::Kind::fired ? "fired " : "resolved ";
    text += std::isnan(t.value) ? std::string("nan") : std::to_string(static_cast<int>(t.value));
    text += " " + std::to_string(static_cast<int>(t.held));
  }
  return text;
}

enum class Op { none, snooze, unsnooze, disable, enable, remove, restore, maxGap, threshold };

struct Step {
  double t;
  std::optional<double> value;  // absent: no value for the metric this tick
  const char* expect;           // transitions of the (last) evaluation
  double until = 0;             // when > t: also evaluate every 2 s up to it, expecting nothing before it
  Op op = Op::none;
  double arg = 0;
};

struct Scenario {
  const char* name;
  AlertRule rule;
  std::vector<Step> steps;
};

TEST(AlertEngine, SequenceTable) {
  const Scenario scenarios[] = {
      {"hold exactly reached; equality ends the breach",
       cpuRule(120, 900),
       {{0, 95, "", 118},
        {120, 95, "fired 95 120"},
        {122, 95, ""},
        {124, 90, "resolved 90 124"},
        {126, 90, ""}}},
      {"a gap longer than maxGap restarts the breach",
       cpuRule(120, 900),
       {{0, 95, ""}, {40, 95, "", 158}, {160, 95, "fired 95 120"}}},
      {"firing, gap, back below: resolved with held 0",
       cpuRule(0, 900),
       {{0, 95, "fired 95 0"}, {100, 50, "resolved 50 0"}}},
      {"firing, gap, still above: stays firing, breach restarts",
       cpuRule(0, 900),
       {{0, 95, "fired 95 0"}, {100, 95, ""}, {102, 50, "resolved 50 2"}}},
      {"maxGap is strict", cpuRule(30, 900), {{0, 95, ""}, {30, 95, "fired 95 30"}}},
      {"wider maxGap keeps the breach",
       cpuRule(30, 900),
       {{0, 95, "", 0, Op::maxGap, 60}, {50, 95, "fired 95 50"}}},
      {"snoozed breach fires at the end of the snooze with the full hold",
       cpuRule(10, 900),
       {{0, 95, "", 98, Op::snooze, 100}, {100, 95, "fired 95 100"}}},
      {"snooze does not stop a resolution; unsnoozing lets it fire",
       cpuRule(0, 0),
       {{0, 95, "fired 95 0"},
        {2, 50, "resolved 50 2", 0, Op::snooze, 1000},
        {4, 95, ""},
        {6, 95, "fired 95 2", 0, Op::unsnooze}}},
      {"cooldown runs from the last firing",
       cpuRule(0, 900),
       {{0, 95, "fired 95 0"}, {2, 50, "resolved 50 2"}, {300, 95, "", 898}, {900, 95, "fired 95 600"}}},
      {"disabling resolves once with held 0; re-enabling honours the cooldown",
       cpuRule(0, 900),
       {{0, 95, "fired 95 0"},
        {2, std::nullopt, "resolved nan 0", 0, Op::disable},
        {4, 95, ""},
        {6, 95, "", 0, Op::enable},
        {900, 95, "fired 95 0"}}},
      {"a disabled rule that is not firing gives nothing",
       cpuRule(0, 900),
       {{0, 50, "", 0, Op::disable}, {2, 95, ""}}},
      {"a removed rule is forgotten without a resolution",
       cpuRule(0, 900),
       {{0, 95, "fired 95 0"}, {2, 95, "", 0, Op::remove}, {4, 95, "fired 95 0", 0, Op::restore}}},
      {"a missing value keeps the rule firing",
       cpuRule(0, 900),
       {{0, 95, "fired 95 0"}, {2, std::nullopt, ""}, {4, 95, ""}, {6, 10, "resolved 10 6"}}},
      {"NaN ends a breach and resolves",
       cpuRule(4, 900),
       {{0, 95, ""},
        {2, 95, ""},
        {4, 95, "fired 95 4"},
        {6, kNaN, "resolved nan 6"},
        {8, 95, ""},
        {12, 95, ""}}},
      {"an edited rule keeps its breach and is judged by its new threshold",
       cpuRule(4, 900),
       {{0, 95, ""}, {2, 97, "", 0, Op::threshold, 96}, {4, 97, "fired 97 4"}, {6, 95, "resolved 95 6"}}},
      {"a NaN threshold never fires", cpuRule(0, 0, kNaN), {{0, 95, ""}, {2, -1e300, ""}}},
      {"an infinite threshold never fires",
       cpuRule(0, 0, std::numeric_limits<double>::infinity()),
       {{0, 1e308, ""}}},
      {"an invalid rule resolves like a disabled one",
       cpuRule(0, 900),
       {{0, 95, "fired 95 0"}, {2, 95, "resolved 95 0", 0, Op::threshold, kNaN}}},
      {"below is strict",
       AlertRule{QUuid::createUuid(), MetricID::cpuTotal, AlertComparison::below, 15, 0, 0, Severity::info,
                 true},
       {{0, 15, ""}, {2, 14.5, "fired 14 0"}, {4, 15, "resolved 15 2"}}},
  };

  for (const Scenario& scenario : scenarios) {
    SCOPED_TRACE(scenario.name);
    AlertEngine engine({scenario.rule});
    AlertRule rule = scenario.rule;
    for (const Step& step : scenario.steps) {
      switch (step.op) {
        case Op::none:
          break;
        case Op::snooze:
          engine.snoozedUntil = at(step.arg);
          break;
        case Op::unsnooze:
          engine.snoozedUntil.reset();
          break;
        case Op::disable:
          rule.isEnabled = false;
          engine.rules = {rule};
          break;
        case Op::enable:
          rule.isEnabled = true;
          engine.rules = {rule};
          break;
        case Op::remove:
          engine.rules = {};
          break;
        case Op::restore:
          engine.rules = {rule};
          break;
        case Op::maxGap:
          engine.maxGap = step.arg;
          break;
        case Op::threshold:
          rule.threshold = step.arg;
          engine.rules = {rule};
          break;
      }
      const auto evaluate = [&](double t) {
        std::unordered_map<MetricID, double> values{{MetricID::memUsed, 1}};
        if (step.value) values[MetricID::cpuTotal] = *step.value;
        return engine.evaluate(values, at(t));
      };
      for (double t = step.t; t < step.until; t += 2) {
        EXPECT_EQ(describe(evaluate(t)), "") << "at " << t;
      }
      const double last = step.until > step.t ? step.until : step.t;
      const auto transitions = evaluate(last);
      EXPECT_EQ(describe(transitions), step.expect) << "at " << last;
      for (const auto& t : transitions) {
        EXPECT_EQ(t.date, at(last));
        EXPECT_EQ(t.rule.id, rule.id);
        EXPECT_EQ(t.rule.isEnabled, rule.isEnabled);
      }
    }
  }
}

TEST(AlertEngine, FiringListsCurrentRulesInOrder) {
  AlertRule a = cpuRule(0, 0);
  AlertRule b = cpuRule(0, 0, 50);
  AlertRule c = cpuRule(0, 0, 99);
  AlertEngine engine({a, b, c});
  const auto transitions = engine.evaluate({{MetricID::cpuTotal, 95}}, at(0));
  ASSERT_EQ(transitions.size(), 2u);
  EXPECT_EQ(transitions[0].rule.id, a.id);
  EXPECT_EQ(transitions[1].rule.id, b.id);
  ASSERT_EQ(engine.firing().size(), 2u);
  engine.rules = {c, b};
  // A removed rule leaves the firing list at once, before the next evaluation.
  ASSERT_EQ(engine.firing().size(), 1u);
  EXPECT_EQ(engine.firing()[0].id, b.id);
}

TEST(AlertEngine, EmptyRulesYieldNothingAndPruneStates) {
  AlertRule a = cpuRule(0, 900);
  AlertEngine engine({a});
  EXPECT_EQ(engine.evaluate({{MetricID::cpuTotal, 95}}, at(0)).size(), 1u);
  engine.rules = {};
  EXPECT_TRUE(engine.evaluate({{MetricID::cpuTotal, 95}}, at(2)).empty());
  engine.rules = {a};
  // The state (and its cooldown) was dropped: the rule fires again at once.
  EXPECT_EQ(engine.evaluate({{MetricID::cpuTotal, 95}}, at(4)).size(), 1u);
}

TEST(AlertEngine, NonFiniteMaxGapFallsBackToThirtySeconds) {
  for (const double gap : {kNaN, std::numeric_limits<double>::infinity()}) {
    AlertEngine engine({cpuRule(20, 0)});
    engine.maxGap = gap;
    engine.evaluate({{MetricID::cpuTotal, 95}}, at(0));
    EXPECT_TRUE(engine.evaluate({{MetricID::cpuTotal, 95}}, at(31)).empty());  // restarted at 31
    EXPECT_TRUE(engine.evaluate({{MetricID::cpuTotal, 95}}, at(50)).empty());
    EXPECT_EQ(engine.evaluate({{MetricID::cpuTotal, 95}}, at(51)).size(), 1u);
  }
}

TEST(AlertEngine, BuiltInPressureRulesAreIndependent) {
  const auto& defaults = AlertRule::defaults();
  ASSERT_EQ(defaults.size(), 7u);
  EXPECT_EQ(&defaults, &AlertRule::defaults());  // built once
  AlertEngine engine(defaults);
  std::vector<std::string> fired;
  for (double t = 0; t <= 60; t += 2) {
    const MetricValue values[] = {{MetricID::memPressure, 2}};
    for (const auto& transition : engine.evaluate(values, at(t))) {
      fired.push_back(std::to_string(static_cast<int>(t)) + ":" +
                      std::to_string(static_cast<int>(transition.rule.severity)));
    }
  }
  EXPECT_EQ(fired, (std::vector<std::string>{"20:2", "60:1"}));
}

TEST(AlertRule, BuiltInRules) {
  struct Row {
    MetricID metric;
    AlertComparison comparison;
    double threshold, duration, cooldown;
    Severity severity;
    bool enabled;
  };
  const Row rows[] = {
      {MetricID::cpuTotal, AlertComparison::above, 90, 120, 900, Severity::warning, true},
      {MetricID::memPressure, AlertComparison::above, 0.5, 60, 900, Severity::warning, true},
      {MetricID::memPressure, AlertComparison::above, 1.5, 20, 900, Severity::critical, true},
      {MetricID::diskFree, AlertComparison::below, 2e10, 60, 21600, Severity::warning, true},
      {MetricID::batteryCharge, AlertComparison::below, 15, 30, 1800, Severity::warning, true},
      {MetricID::thermalState, AlertComparison::above, 1.5, 30, 900, Severity::critical, true},
      {MetricID::netDown, AlertComparison::above, 5e7, 60, 900, Severity::info, false},
  };
  const auto& defaults = AlertRule::defaults();
  for (std::size_t i = 0; i < 7; ++i) {
    const auto& r = defaults[i];
    EXPECT_EQ(r.metric, rows[i].metric) << i;
    EXPECT_EQ(r.comparison, rows[i].comparison) << i;
    EXPECT_EQ(r.threshold, rows[i].threshold) << i;
    EXPECT_EQ(r.duration, rows[i].duration) << i;
    EXPECT_EQ(r.cooldown, rows[i].cooldown) << i;
    EXPECT_EQ(r.severity, rows[i].severity) << i;
    EXPECT_EQ(r.isEnabled, rows[i].enabled) << i;
    EXPECT_FALSE(r.id.isNull());
    for (std::size_t j = 0; j < i; ++j) EXPECT_NE(defaults[j].id, r.id);
  }
}

TEST(AlertRule, JsonRoundTripAndStrictDecoding) {
  const AlertRule rule{QUuid::fromString(QStringLiteral("6f1c2a9e-0b7d-4c8e-9a51-2d3e4f5a6b7c")),
                       MetricID::diskFree,
                       AlertComparison::below,
                       2e10,
                       60,
                       21600,
                       Severity::critical,
                       false};
  const QJsonObject object = rule.toJson();
  EXPECT_EQ(object.value(QStringLiteral("id")).toString(),
            QStringLiteral("6F1C2A9E-0B7D-4C8E-9A51-2D3E4F5A6B7C"));
  EXPECT_EQ(object.value(QStringLiteral("metric")).toInt(), 32);
  EXPECT_EQ(object.value(QStringLiteral("severity")).toInt(), 2);
  EXPECT_EQ(object.value(QStringLiteral("comparison")).toString(), QStringLiteral("below"));
  EXPECT_EQ(AlertRule::fromJson(object), rule);

  const auto with = [&](const char* key, const QJsonValue& value) {
    QJsonObject changed = object;
    if (value.isUndefined()) {
      changed.remove(QLatin1String(key));
    } else {
      changed.insert(QLatin1String(key), value);
    }
    return changed;
  };
  struct Bad {
    const char* key;
    QJsonValue value;
  };
  const Bad bad[] = {
      {"id", QJsonValue()},
      {"id", QStringLiteral("not-a-uuid")},
      {"id", QStringLiteral("{6f1c2a9e-0b7d-4c8e-9a51-2d3e4f5a6b7c}")},
      {"metric", 5},
      {"metric", QStringLiteral("disk.free")},
      {"comparison", QStringLiteral("Above")},
      {"severity", 3},
      {"severity", QStringLiteral("warning")},
      {"threshold", QStringLiteral("1")},
      {"duration", QJsonValue(QJsonValue::Undefined)},
      {"isEnabled", 1},
      {"cooldown", std::numeric_limits<double>::quiet_NaN()},
  };
  for (const auto& b : bad) {
    QString error;
    EXPECT_FALSE(AlertRule::fromJson(with(b.key, b.value), &error)) << b.key;
    EXPECT_FALSE(error.isEmpty()) << b.key;
  }
  EXPECT_EQ(AlertRule::fromJson(with("note", QStringLiteral("x"))), rule);  // unknown keys ignored

  // One bad rule rejects the whole list.
  QJsonArray list = AlertRule::listToJson({rule, rule});
  EXPECT_EQ(AlertRule::listFromJson(list)->size(), 2u);
  list.append(with("severity", 9));
  QString error;
  EXPECT_FALSE(AlertRule::listFromJson(list, &error));
  EXPECT_TRUE(error.startsWith(QStringLiteral("rule 3"))) << error.toStdString();
  list.replace(2, 5);
  EXPECT_FALSE(AlertRule::listFromJson(list));
}

TEST(AlertRule, MatchesIsStrictAndNaNNeverMatches) {
  AlertRule above = cpuRule(0, 0, 90);
  AlertRule below = above;
  below.comparison = AlertComparison::below;
  EXPECT_FALSE(above.matches(90));
  EXPECT_TRUE(above.matches(90.0000001));
  EXPECT_FALSE(below.matches(90));
  EXPECT_TRUE(below.matches(89.9999));
  EXPECT_FALSE(above.matches(kNaN));
  EXPECT_FALSE(below.matches(kNaN));
}

}  // namespace
