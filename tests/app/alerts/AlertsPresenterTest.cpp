#include "features/alerts/AlertsPresenter.h"

#include "LinuxNames.h"
#include "PageShots.h"
#include "design/SeverityLook.h"

#include <gtest/gtest.h>

#include <set>

namespace kivo {
namespace {

const ValueFormatter kFormat{QLocale(QLocale::English, QLocale::UnitedStates)};

AlertRule rule(MetricID metric, double threshold, bool enabled = true,
               Severity severity = Severity::warning) {
  AlertRule result = RuleList::newRule();
  result.metric = metric;
  result.threshold = threshold;
  result.isEnabled = enabled;
  result.severity = severity;
  return result;
}

StoredEvent alertEvent(std::int64_t id, const QString& code, std::optional<MetricID> metric,
                       std::optional<QString> value, Severity severity = Severity::critical) {
  StoredEvent event;
  event.id = id;
  event.date = QDateTime::fromSecsSinceEpoch(1'700'000'000 + id, QTimeZone::utc());
  event.kind = EventKind::alert;
  event.severity = severity;
  event.metric = metric;
  event.code = code;
  if (value) event.payload.insert(QStringLiteral("value"), *value);
  return event;
}

TEST(AlertsPresenter, SubtitleCountsEnabledRulesAndFiringOnes) {
  EXPECT_EQ(AlertsPresenter::subtitle({}, 0), QStringLiteral("0 rules enabled · 0 active now"));
  const std::vector<AlertRule> rules{rule(MetricID::cpuTotal, 90), rule(MetricID::netDown, 5e7, false),
                                     rule(MetricID::diskFree, 2e10)};
  EXPECT_EQ(AlertsPresenter::subtitle(rules, 1), QStringLiteral("2 rules enabled · 1 active now"));
  EXPECT_EQ(AlertsPresenter::subtitle({rules[0]}, 0), QStringLiteral("1 rule enabled · 0 active now"));
}

// The battery and thermal rules are on by default; a computer without either shows them as not
// available here and does not count them, while the user's choice stays for one that has them.
TEST(AlertsPresenter, RulesThisComputerCannotFeedAreShownAsNotAvailableHere) {
  const std::vector<AlertRule> rules{rule(MetricID::cpuTotal, 90), rule(MetricID::batteryCharge, 15),
                                     rule(MetricID::thermalState, 1.5, false)};
  TelemetrySnapshot desktop;
  desktop.power = PowerSample(false, PowerSourceKind::ac, false, false, false);
  TelemetrySnapshot laptop;
  laptop.power = PowerSample(true, PowerSourceKind::battery, false, false, false);
  laptop.thermal = ThermalLevel::nominal;
  const struct {
    const char* computer;
    const TelemetrySnapshot* snapshot;
    std::vector<bool> available;
    const char* batteryDetail;  // the start of the battery rule's detail
    const char* subtitle;
  } cases[] = {
      {"before the first snapshot", nullptr, {true, true, true}, "above", "2 rules enabled · 0 active now"},
      {"a desktop with neither",
       &desktop,
       {true, false, false},
       "Not available here: This computer has no battery.",
       "1 rule enabled · 0 active now"},
      {"a laptop with both", &laptop, {true, true, true}, "above", "2 rules enabled · 0 active now"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.computer);
    const auto rows = AlertsPresenter::ruleRows(rules, kFormat, c.snapshot);
    ASSERT_EQ(rows.size(), 3u);
    std::vector<bool> available, enabled;
    for (const auto& row : rows) {
      available.push_back(row.available);
      enabled.push_back(row.enabled);
    }
    EXPECT_EQ(available, c.available);
    EXPECT_EQ(enabled, (std::vector<bool>{true, true, false}));  // the stored choices, untouched
    EXPECT_TRUE(rows[1].detail.startsWith(QString::fromUtf8(c.batteryDetail)))
        << rows[1].detail.toStdString();
    EXPECT_EQ(AlertsPresenter::subtitle(rules, 0, c.snapshot), QString::fromUtf8(c.subtitle));
  }
  EXPECT_EQ(AlertsPresenter::ruleRows(rules, kFormat, &desktop)[2].detail,
            "Not available here: This computer has no thermal zones with trip points.");
}

TEST(AlertsPresenter, FiringRowsShowTheLatestValueOrADash) {
  const AlertRule cpu = rule(MetricID::cpuTotal, 50, true, Severity::critical);
  const AlertRule memory = rule(MetricID::memPressure, 0.5);
  const auto rows = AlertsPresenter::firingRows(
      {cpu, memory},
      [](MetricID metric) -> std::optional<double> {
        if (metric == MetricID::cpuTotal) return 93.4;
        return std::nullopt;
      },
      kFormat);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].id, cpu.id);
  EXPECT_EQ(rows[0].symbol, QStringLiteral("exclamationmark.octagon.fill"));
  EXPECT_EQ(rows[0].color, Palette::danger);
  EXPECT_TRUE(rows[0].title.endsWith(QStringLiteral("is high")));
  EXPECT_TRUE(rows[0].value.contains(QStringLiteral("93.4")));
  EXPECT_EQ(rows[1].value, QStringLiteral("—"));
}

TEST(AlertsPresenter, NotificationControlFollowsTheStatus) {
  using Kind = NotificationControlState::Kind;
  struct Case {
    NotificationStatus status;
    Kind kind;
    QString button;
  };
  const Case cases[] = {
      {NotificationStatus::authorized, Kind::toggle, QString()},
      {NotificationStatus::provisional, Kind::toggle, QString()},
      {NotificationStatus::denied, Kind::unavailable, QStringLiteral("Check Again")},
      {NotificationStatus::notDetermined, Kind::ask, QStringLiteral("Enable Notifications…")},
      {NotificationStatus::ephemeral, Kind::ask, QStringLiteral("Enable Notifications…")},
  };
  for (const Case& c : cases) {
    const auto state = AlertsPresenter::notificationControl(c.status);
    EXPECT_EQ(state.kind, c.kind) << static_cast<int>(c.status);
    EXPECT_EQ(state.button, c.button);
    EXPECT_TRUE(test::namesOnlyLinux(state.text));
  }
  EXPECT_TRUE(AlertsPresenter::notificationControl(NotificationStatus::denied)
                  .text.contains(QStringLiteral("service")));
}

TEST(AlertsPresenter, SnoozeTextOnlyWhileTheSnoozeLiesAhead) {
  const QDateTime now = QDateTime::fromSecsSinceEpoch(1'700'000'000, QTimeZone::utc());
  EXPECT_FALSE(AlertsPresenter::snoozedText(std::nullopt, now, kFormat));
  EXPECT_FALSE(AlertsPresenter::snoozedText(now.addSecs(-60), now, kFormat));
  EXPECT_FALSE(AlertsPresenter::snoozedText(now, now, kFormat));
  const auto text = AlertsPresenter::snoozedText(now.addSecs(3600), now, kFormat);
  ASSERT_TRUE(text);
  EXPECT_TRUE(text->startsWith(QStringLiteral("Snoozed until ")));
  EXPECT_TRUE(text->contains(QStringLiteral("11:13")));  // 22:13 UTC + 1 h, in the short time style
}

TEST(AlertsPresenter, RuleRowsDivideAllButTheLastAndDimDisabledOnes) {
  EXPECT_TRUE(AlertsPresenter::ruleRows({}, kFormat).empty());
  const auto one = AlertsPresenter::ruleRows({rule(MetricID::cpuTotal, 90)}, kFormat);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_FALSE(one[0].divider);

  AlertRule cpu = rule(MetricID::cpuTotal, 90);
  cpu.duration = 120;
  cpu.cooldown = 900;
  const auto rows = AlertsPresenter::ruleRows(
      {cpu, rule(MetricID::netDown, 5e7, false), rule(MetricID::diskFree, 2e10)}, kFormat);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_TRUE(rows[0].divider);
  EXPECT_TRUE(rows[1].divider);
  EXPECT_FALSE(rows[2].divider);
  EXPECT_FALSE(rows[1].enabled);
  EXPECT_EQ(rows[0].symbol, QStringLiteral("cpu"));
  EXPECT_EQ(rows[1].symbol, QStringLiteral("network"));
  EXPECT_EQ(rows[2].symbol, QStringLiteral("internaldrive"));
  EXPECT_TRUE(rows[0].detail.startsWith(QStringLiteral("above ")));
  EXPECT_TRUE(rows[0].detail.endsWith(QStringLiteral(" for 2 min · cooldown 15 min")))
      << rows[0].detail.toStdString();
  EXPECT_EQ(rows[0].severity, QStringLiteral("Warning"));
}

TEST(AlertsPresenter, RepeatedRuleIdsStillGiveDistinctRows) {
  const AlertRule a = rule(MetricID::cpuTotal, 90);
  const auto rows = AlertsPresenter::ruleRows({a, a, rule(MetricID::memUsed, 1e9)}, kFormat);
  std::set<QString> keys;
  for (const auto& row : rows) keys.insert(row.key);
  EXPECT_EQ(keys.size(), 3u);
}

// A screen reader hears each row's switch and buttons by name: the rule's metric, and its
// condition where the metric has more than one rule; never the alert's title, which sounds like
// a live alert.
TEST(AlertsPresenter, RuleButtonsAreNamedAfterTheirRule) {
  const auto rows = AlertsPresenter::ruleRows(
      {rule(MetricID::cpuTotal, 90), rule(MetricID::memPressure, 1), rule(MetricID::memPressure, 2)},
      kFormat);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].editName, QStringLiteral("Edit CPU usage rule"));
  EXPECT_EQ(rows[0].deleteName, QStringLiteral("Delete CPU usage rule"));
  EXPECT_EQ(rows[0].enableName, QStringLiteral("Enable CPU usage rule"));
  std::set<QString> names;
  for (const auto& row : rows) {
    EXPECT_TRUE(row.editName.startsWith(QStringLiteral("Edit ") + row.name)) << row.editName.toStdString();
    EXPECT_TRUE(row.enableName.startsWith(QStringLiteral("Enable ") + row.name))
        << row.enableName.toStdString();
    names.insert(row.enableName);
    names.insert(row.editName);
    names.insert(row.deleteName);
  }
  EXPECT_EQ(names.size(), 9u);
}

TEST(AlertsPresenter, HistoryRowsTellFiredFromResolved) {
  const auto rows = AlertsPresenter::historyRows(
      {alertEvent(3, QStringLiteral("alert.fired"), MetricID::cpuTotal, QStringLiteral("93.5")),
       alertEvent(2, QStringLiteral("alert.resolved"), MetricID::cpuTotal, QStringLiteral("12")),
       alertEvent(1, QStringLiteral("alert.fired"), std::nullopt, QStringLiteral("5"))},
      kFormat);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].symbol, QStringLiteral("exclamationmark.octagon.fill"));
  EXPECT_EQ(rows[0].state, QStringLiteral("Fired"));
  ASSERT_TRUE(rows[0].value);
  EXPECT_TRUE(rows[0].value->contains(QStringLiteral("93.5")));
  // A resolved critical event is still a green check.
  EXPECT_EQ(rows[1].symbol, QStringLiteral("checkmark.circle"));
  EXPECT_EQ(rows[1].color, Palette::success);
  EXPECT_EQ(rows[1].state, QStringLiteral("Resolved"));
  // Without a metric: a dash and no value, whatever the payload holds.
  EXPECT_EQ(rows[2].name, QStringLiteral("—"));
  EXPECT_FALSE(rows[2].value);
}

TEST(AlertsPresenter, StoredValuesAreReadInTheCLocaleAndMustBeFinite) {
  struct Case {
    std::optional<QString> stored;
    std::optional<double> read;
  };
  const Case cases[] = {
      {QStringLiteral("93.5"), 93.5},
      {QStringLiteral("1e3"), 1000.0},
      {QStringLiteral("-2"), -2.0},
      {QStringLiteral("93,5"), std::nullopt},
      {QStringLiteral("abc"), std::nullopt},
      {QStringLiteral(""), std::nullopt},
      {QStringLiteral("nan"), std::nullopt},
      {QStringLiteral("inf"), std::nullopt},
      {QStringLiteral("1e999"), std::nullopt},
      {std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    const StoredEvent event = alertEvent(1, QStringLiteral("alert.fired"), MetricID::cpuTotal, c.stored);
    EXPECT_EQ(AlertsPresenter::payloadValue(event), c.read)
        << c.stored.value_or(QStringLiteral("(none)")).toStdString();
  }
  // A user locale with a decimal comma does not change how stored text is read.
  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(AlertsPresenter::payloadValue(
                alertEvent(1, QStringLiteral("alert.fired"), MetricID::cpuTotal, QStringLiteral("93.5"))),
            93.5);
  QLocale::setDefault(before);
}

TEST(AlertsPresenter, HistoryListsTheNewestSixty) {
  std::vector<StoredEvent> events;
  for (int i = 300; i > 0; --i)
    events.push_back(alertEvent(i, QStringLiteral("alert.fired"), MetricID::cpuTotal, {}));
  const auto rows = AlertsPresenter::historyRows(events, kFormat);
  ASSERT_EQ(rows.size(), 60u);
  EXPECT_EQ(rows.front().id, 300);
  EXPECT_EQ(rows.back().id, 241);
  EXPECT_EQ(AlertsPresenter::historyCount(events.size()), QStringLiteral("300 events"));
  EXPECT_EQ(AlertsPresenter::historyCount(1), QStringLiteral("1 event"));
  EXPECT_EQ(AlertsPresenter::historyCount(0), QStringLiteral("0 events"));
}

TEST(RuleList, EditsKeepPositionsAndDropChangesOfRulesThatAreGone) {
  const AlertRule a = rule(MetricID::cpuTotal, 90);
  const AlertRule b = rule(MetricID::memUsed, 1e9);
  const AlertRule c = rule(MetricID::diskFree, 2e10);
  const std::vector<AlertRule> rules{a, b, c};

  const auto switched = RuleList::withEnabled(rules, b.id, false);
  ASSERT_TRUE(switched);
  EXPECT_FALSE((*switched)[1].isEnabled);
  EXPECT_EQ((*switched)[0], a);
  EXPECT_FALSE(RuleList::withEnabled(rules, QUuid::createUuid(), false));

  AlertRule edited = b;
  edited.threshold = 2e9;
  const auto saved = RuleList::saved(rules, edited);
  ASSERT_EQ(saved.size(), 3u);
  EXPECT_EQ(saved[1], edited);

  // Saving a rule deleted while its editor was open appends it again.
  const auto removed = RuleList::without(rules, b.id);
  EXPECT_EQ(removed, (std::vector<AlertRule>{a, c}));
  const auto back = RuleList::saved(removed, edited);
  ASSERT_EQ(back.size(), 3u);
  EXPECT_EQ(back[2], edited);

  // Every rule of the id goes.
  EXPECT_EQ(RuleList::without({a, b, a}, a.id), (std::vector<AlertRule>{b}));
}

TEST(RuleList, NewRuleAndRestoredDefaults) {
  const AlertRule fresh = RuleList::newRule();
  EXPECT_FALSE(fresh.id.isNull());
  EXPECT_EQ(fresh.metric, MetricID::cpuTotal);
  EXPECT_EQ(fresh.comparison, AlertComparison::above);
  EXPECT_EQ(fresh.threshold, 90);
  EXPECT_EQ(fresh.duration, 60);
  EXPECT_EQ(fresh.cooldown, 900);
  EXPECT_EQ(fresh.severity, Severity::warning);
  EXPECT_TRUE(fresh.isEnabled);
  EXPECT_NE(RuleList::newRule().id, fresh.id);

  const auto first = RuleList::restoredDefaults();
  const auto second = RuleList::restoredDefaults();
  const auto& builtIn = AlertRule::defaults();
  ASSERT_EQ(first.size(), builtIn.size());
  std::set<QUuid> ids;
  for (std::size_t i = 0; i < first.size(); ++i) {
    AlertRule same = first[i];
    same.id = builtIn[i].id;
    EXPECT_EQ(same, builtIn[i]);
    ids.insert(first[i].id);
    ids.insert(second[i].id);
    ids.insert(builtIn[i].id);
  }
  // Fresh ids on every restore: an editor open on an old rule appends it on save.
  EXPECT_EQ(ids.size(), 3 * builtIn.size());
}

}  // namespace
}  // namespace kivo
