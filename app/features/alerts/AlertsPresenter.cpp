#include "features/alerts/AlertsPresenter.h"

#include "design/MetricFamily.h"
#include "design/SeverityLook.h"
#include "texts/AlertText.h"
#include "texts/Localized.h"
#include "texts/SeverityTitle.h"

#include <QLocale>

#include <climits>

#include <algorithm>
#include <cmath>

namespace kivo {

namespace {

const QString kAbsent = QStringLiteral("—");

QString metricName(MetricID metric) {
  return translated(MetricCatalog::descriptor(metric).name);
}

}  // namespace

namespace AlertsPresenter {

QString subtitle(const std::vector<AlertRule>& rules, std::size_t firing, const TelemetrySnapshot* snapshot) {
  const auto enabled = std::count_if(rules.begin(), rules.end(), [&](const AlertRule& rule) {
    return rule.isEnabled && !AlertText::unavailableHere(rule.metric, snapshot);
  });
  // The count goes in as text: QString::arg(text, number) would read the number as a field width.
  return tr("%1 · %2 active now", trCount("%n rule enabled", "%n rules enabled", enabled),
            QString::number(firing));
}

std::vector<FiringRowState> firingRows(const std::vector<AlertRule>& firing,
                                       const std::function<std::optional<double>(MetricID)>& latest,
                                       const ValueFormatter& format) {
  std::vector<FiringRowState> rows;
  rows.reserve(firing.size());
  for (const AlertRule& rule : firing) {
    const std::optional<double> value = latest ? latest(rule.metric) : std::nullopt;
    rows.push_back({rule.id, SeverityLook::symbol(rule.severity), SeverityLook::color(rule.severity),
                    AlertText::title(rule), AlertText::condition(rule, format),
                    value ? AlertText::formatted(*value, rule.metric, format) : kAbsent});
  }
  return rows;
}

NotificationControlState notificationControl(NotificationStatus status) {
  using Kind = NotificationControlState::Kind;
  switch (status) {
    case NotificationStatus::authorized:
    case NotificationStatus::provisional:
      return {Kind::toggle, tr("Show alerts as desktop notifications"), QString()};
    case NotificationStatus::denied:
      // On Linux the permission is the notification service itself: without it nothing can
      // be shown, and there is no setting to send the user to.
      return {Kind::unavailable, tr("No desktop notification service is running in this session."),
              tr("Check Again")};
    default:
      return {Kind::ask, tr("Alerts always appear here and in the tray. Desktop notifications are optional."),
              tr("Enable Notifications…")};
  }
}

std::optional<QString> snoozedText(const std::optional<QDateTime>& until, const QDateTime& now,
                                   const ValueFormatter& format) {
  if (!until || !until->isValid() || *until <= now) return std::nullopt;
  return tr("Snoozed until %1", format.locale.toString(until->toLocalTime().time(), QLocale::ShortFormat));
}

std::vector<RuleRowState> ruleRows(const std::vector<AlertRule>& rules, const ValueFormatter& format,
                                   const TelemetrySnapshot* snapshot) {
  std::vector<RuleRowState> rows;
  rows.reserve(rules.size());
  const QUuid lastID = rules.empty() ? QUuid() : rules.back().id;
  for (std::size_t i = 0; i < rules.size(); ++i) {
    const AlertRule& rule = rules[i];
    QString key = uuidText(rule.id);
    const auto repeats = std::count_if(rules.begin(), rules.begin() + static_cast<std::ptrdiff_t>(i),
                                       [&](const AlertRule& other) { return other.id == rule.id; });
    if (repeats > 0) key += QStringLiteral("#%1").arg(repeats);
    RuleRowState row;
    row.key = key;
    row.id = rule.id;
    row.enabled = rule.isEnabled;
    row.symbol = MetricFamilies::symbol(MetricFamilies::of(rule.metric));
    row.name = metricName(rule.metric);
    row.detail = AlertText::condition(rule, format) + QStringLiteral(" · ") +
                 tr("cooldown %1", format.duration(rule.cooldown));
    if (const auto reason = AlertText::unavailableHere(rule.metric, snapshot)) {
      row.available = false;
      row.detail = tr("Not available here: %1", *reason);
    }
    row.severity = Severities::title(rule.severity);
    row.severityColor = SeverityLook::color(rule.severity);
    const bool shared = std::count_if(rules.begin(), rules.end(), [&](const AlertRule& other) {
                          return other.metric == rule.metric;
                        }) > 1;
    const QString subject =
        shared ? row.name + QStringLiteral(", ") + AlertText::condition(rule, format) : row.name;
    row.enableName = tr("Enable %1 rule", subject);
    row.editName = tr("Edit %1 rule", subject);
    row.deleteName = tr("Delete %1 rule", subject);
    // The last row is the one that shares the last rule's id.
    row.divider = rule.id != lastID;
    rows.push_back(std::move(row));
  }
  return rows;
}

QString historyCount(std::size_t events) {
  return trCount("%n event", "%n events", static_cast<qint64>(std::min<std::size_t>(events, INT_MAX)));
}

std::vector<HistoryRowState> historyRows(const std::vector<StoredEvent>& events,
                                         const ValueFormatter& format) {
  std::vector<HistoryRowState> rows;
  const std::size_t count = std::min<std::size_t>(events.size(), kHistoryRows);
  rows.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const StoredEvent& event = events[i];
    HistoryRowState row;
    row.id = event.id;
    const bool fired = event.code == QLatin1String("alert.fired");
    row.symbol = fired ? SeverityLook::symbol(event.severity) : QStringLiteral("checkmark.circle");
    row.color = fired ? SeverityLook::color(event.severity) : Palette::success;
    row.name = event.metric ? metricName(*event.metric) : kAbsent;
    row.state = fired ? tr("Fired") : tr("Resolved");
    if (event.metric) {
      if (const auto value = payloadValue(event))
        row.value = AlertText::formatted(*value, *event.metric, format);
    }
    row.date = format.date(event.date);
    rows.push_back(std::move(row));
  }
  return rows;
}

std::optional<double> payloadValue(const StoredEvent& event) {
  const auto found = event.payload.constFind(QStringLiteral("value"));
  if (found == event.payload.constEnd()) return std::nullopt;
  // Written with the C locale whatever the user's locale was.
  bool ok = false;
  const double value = QLocale::c().toDouble(found->trimmed(), &ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace AlertsPresenter

namespace RuleList {

AlertRule newRule() {
  AlertRule rule;
  rule.id = QUuid::createUuid();
  rule.metric = MetricID::cpuTotal;
  rule.comparison = AlertComparison::above;
  rule.threshold = 90;
  rule.duration = 60;
  rule.cooldown = 900;
  rule.severity = Severity::warning;
  rule.isEnabled = true;
  return rule;
}

std::vector<AlertRule> restoredDefaults() {
  // The built-ins keep one set of ids per run; a restore must not bring back ids an open
  // editor may still hold.
  std::vector<AlertRule> rules = AlertRule::defaults();
  for (AlertRule& rule : rules) rule.id = QUuid::createUuid();
  return rules;
}

std::optional<std::vector<AlertRule>> withEnabled(const std::vector<AlertRule>& rules, const QUuid& id,
                                                  bool enabled) {
  auto found = std::find_if(rules.begin(), rules.end(), [&](const AlertRule& rule) { return rule.id == id; });
  if (found == rules.end()) return std::nullopt;
  std::vector<AlertRule> result = rules;
  result[static_cast<std::size_t>(found - rules.begin())].isEnabled = enabled;
  return result;
}

std::vector<AlertRule> without(const std::vector<AlertRule>& rules, const QUuid& id) {
  std::vector<AlertRule> result;
  result.reserve(rules.size());
  for (const AlertRule& rule : rules) {
    if (rule.id != id) result.push_back(rule);
  }
  return result;
}

std::vector<AlertRule> saved(const std::vector<AlertRule>& rules, const AlertRule& rule) {
  std::vector<AlertRule> result = rules;
  auto found =
      std::find_if(result.begin(), result.end(), [&](const AlertRule& other) { return other.id == rule.id; });
  if (found != result.end()) {
    *found = rule;
  } else {
    result.push_back(rule);
  }
  return result;
}

}  // namespace RuleList

}  // namespace kivo
