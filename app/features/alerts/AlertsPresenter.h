#pragma once

#include "analysis/AlertRule.h"
#include "design/Tokens.h"
#include "desktop/Notifier.h"
#include "metrics/ValueFormatter.h"
#include "scheduler/TelemetrySnapshot.h"
#include "storage/StoredEvent.h"

#include <QDateTime>
#include <QString>
#include <QUuid>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace kivo {

// What the alerts page shows, decided without a display; the page only lays it out.

struct FiringRowState {
  QUuid id;
  QString symbol;
  DynamicColor color;
  QString title;
  QString condition;
  QString value;  // "—" without a live value
  bool operator==(const FiringRowState&) const = default;
};

struct RuleRowState {
  QString key;  // the rule id; a repeated id gets "#n" so every row stays distinct
  QUuid id;
  bool enabled = true;  // the user's choice, kept where the rule cannot fire
  // False where this computer cannot give the metric (no battery, no thermal zones): the
  // detail says why and the switch rests.
  bool available = true;
  QString symbol;
  QString name;
  QString detail;  // "condition · cooldown 15 min"
  QString severity;
  DynamicColor severityColor;
  // The row's switch and buttons, named after the rule ("Enable CPU usage rule", "Edit CPU usage
  // rule"); a metric with more than one rule adds the condition, so no two sound the same.
  QString enableName;
  QString editName;
  QString deleteName;
  bool divider = false;  // every row but the last
  bool operator==(const RuleRowState&) const = default;
};

struct HistoryRowState {
  std::int64_t id = 0;
  QString symbol;
  DynamicColor color;
  QString name;                  // "—" without a metric
  QString state;                 // "Fired" / "Resolved"
  std::optional<QString> value;  // only a finite stored value of an event with a metric
  QString date;
  bool operator==(const HistoryRowState&) const = default;
};

struct NotificationControlState {
  // toggle: notifications can be shown; unavailable: no notification service in the session;
  // ask: not known yet, the user may turn them on.
  enum class Kind { toggle, unavailable, ask };
  Kind kind = Kind::ask;
  QString text;    // the toggle's label, or the explanation beside the button
  QString button;  // empty for the toggle
  bool operator==(const NotificationControlState&) const = default;
};

namespace AlertsPresenter {

// Rows listed under History: the newest 60 of at most 300 loaded.
inline constexpr int kHistoryLoad = 300;
inline constexpr int kHistoryRows = 60;

// "%1 rules enabled · %2 active now"; rules this computer cannot give a value for (as
// `snapshot` shows) are not counted.
QString subtitle(const std::vector<AlertRule>& rules, std::size_t firing,
                 const TelemetrySnapshot* snapshot = nullptr);
// One row per firing rule, in the model's order; latest gives the newest live value of a metric.
std::vector<FiringRowState> firingRows(const std::vector<AlertRule>& firing,
                                       const std::function<std::optional<double>(MetricID)>& latest,
                                       const ValueFormatter& format);
NotificationControlState notificationControl(NotificationStatus status);
// "Snoozed until 14:05" while the snooze lies ahead of now; absent otherwise (the menu shows).
std::optional<QString> snoozedText(const std::optional<QDateTime>& until, const QDateTime& now,
                                   const ValueFormatter& format);
std::vector<RuleRowState> ruleRows(const std::vector<AlertRule>& rules, const ValueFormatter& format,
                                   const TelemetrySnapshot* snapshot = nullptr);
// "%1 events" of the loaded list.
QString historyCount(std::size_t events);
// The first kHistoryRows events.
std::vector<HistoryRowState> historyRows(const std::vector<StoredEvent>& events,
                                         const ValueFormatter& format);
// The stored "value" of an alert event: decimal text in the C locale; absent when missing, not a
// number or not finite.
std::optional<double> payloadValue(const StoredEvent& event);

}  // namespace AlertsPresenter

// The edits the page makes to the rule list; each returns the whole new list, which the page
// assigns to the settings at once.
namespace RuleList {

// The rule "Add Rule" opens: CPU above 90 % for 60 s, cooldown 15 min, warning, on.
AlertRule newRule();
// The built-in rules, with ids of their own on every call.
std::vector<AlertRule> restoredDefaults();
// Switches the first rule with this id; absent when there is none (the change is dropped).
std::optional<std::vector<AlertRule>> withEnabled(const std::vector<AlertRule>& rules, const QUuid& id,
                                                  bool enabled);
// Without every rule of this id.
std::vector<AlertRule> without(const std::vector<AlertRule>& rules, const QUuid& id);
// The saved rule in place of the first with its id, else appended.
std::vector<AlertRule> saved(const std::vector<AlertRule>& rules, const AlertRule& rule);

}  // namespace RuleList

}  // namespace kivo
