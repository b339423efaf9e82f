#include "features/alerts/AlertsPage.h"

#include "design/BareLayout.h"
#include "design/Card.h"
#include "design/PageHeader.h"
#include "design/SymbolButton.h"
#include "design/SymbolLabel.h"
#include "design/Tokens.h"
#include "design/ToneLabel.h"
#include "features/alerts/AlertRows.h"
#include "features/alerts/AlertsPresenter.h"
#include "features/alerts/RuleEditor.h"
#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "texts/AlertText.h"
#include "texts/Localized.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>
#include <set>

namespace kivo {

namespace {

// Brings a keyed list of rows to the new states: rows that went away are deleted later, new
// ones created, every row moved to its place and updated in place.
template <typename Key, typename Row, typename State, typename KeyOf, typename Create>
void syncRows(QVBoxLayout* layout, std::map<Key, Row*>& rows, const std::vector<State>& states, KeyOf keyOf,
              Create create) {
  std::set<Key> wanted;
  for (const State& state : states) wanted.insert(keyOf(state));
  for (auto it = rows.begin(); it != rows.end();) {
    if (wanted.count(it->first) == 0) {
      layout->removeWidget(it->second);
      it->second->hide();
      it->second->deleteLater();
      it = rows.erase(it);
    } else {
      ++it;
    }
  }
  int index = 0;
  for (const State& state : states) {
    const Key key = keyOf(state);
    Row*& row = rows[key];
    if (row == nullptr) row = create();
    if (layout->indexOf(row) != index) {
      layout->removeWidget(row);
      layout->insertWidget(index, row);
    }
    row->update(state);
    row->show();
    ++index;
  }
}

QVBoxLayout* listLayout(Card* card) {
  auto* holder = new QWidget(card);
  auto* layout = bareColumn(holder, 8);
  card->addContent(holder);
  return layout;
}

QPushButton* button(const QString& text, const QString& name, QWidget* parent) {
  auto* result = new QPushButton(text, parent);
  result->setObjectName(name);
  return result;
}

}  // namespace

AlertsPage::AlertsPage(MonitorModel& model, AppSettings& settings, QWidget* parent)
    : Page(parent), model_(model), settings_(settings) {
  setObjectName(QStringLiteral("alerts.page"));
  header_ = new PageHeader(QStringLiteral("Alerts"), QString(), MetricFamily::system, QStringLiteral("bell"));
  addWidget(header_);

  // Active now
  auto* active = new Card(QStringLiteral("Active now"));
  active->setObjectName(QStringLiteral("alerts.active"));
  noActive_ = new QWidget(active);
  noActive_->setObjectName(QStringLiteral("alerts.noActive"));
  {
    auto* line = bareRow(noActive_);
    line->addWidget(
        new SymbolLabel(QStringLiteral("checkmark.circle.fill"), 16, Palette::success, noActive_));
    line->addWidget(new ToneLabel(tr("No active alert"), Typeface::system(13, QFont::Medium),
                                  Palette::success, noActive_));
    line->addStretch(1);
  }
  active->addContent(noActive_);
  firingRows_ = listLayout(active);
  addWidget(active);

  // Notifications
  auto* notifications = new Card(QStringLiteral("Notifications"));
  notifications->setObjectName(QStringLiteral("alerts.notifications"));
  auto* controls = new QWidget(notifications);
  auto* line = bareRow(controls);
  notificationToggle_ = new QCheckBox(controls);
  notificationToggle_->setObjectName(QStringLiteral("alerts.notificationsToggle"));
  notificationIcon_ = new SymbolLabel(QStringLiteral("bell.slash"), 14, Palette::textPrimary, controls);
  notificationText_ = new ToneLabel(QString(), Typeface::system(12), Palette::textSecondary, controls);
  notificationText_->setWordWrap(true);
  enableNotifications_ =
      button(tr("Enable Notifications…"), QStringLiteral("alerts.enableNotifications"), controls);
  checkAgain_ = button(tr("Check Again"), QStringLiteral("alerts.checkNotifications"), controls);
  snooze_ = button(tr("Snooze"), QStringLiteral("alerts.snooze"), controls);
  auto* menu = new QMenu(snooze_);
  struct Choice {
    const char* title;
    int seconds;
  };
  for (const Choice& choice :
       {Choice{"For 15 minutes", 900}, Choice{"For 1 hour", 3600}, Choice{"For 8 hours", 28800}}) {
    menu->addAction(tr(choice.title), this, [this, seconds = choice.seconds] {
      model_.setSnoozedUntil(QDateTime::currentDateTimeUtc().addSecs(seconds));
    });
  }
  snooze_->setMenu(menu);
  snoozedText_ = new ToneLabel(QString(), Typeface::caption(), Palette::warning, controls);
  snoozedText_->setObjectName(QStringLiteral("alerts.snoozedUntil"));
  resume_ = button(tr("Resume"), QStringLiteral("alerts.resume"), controls);
  // Buttons keep their own width; the spare room goes between the two controls.
  for (QPushButton* fixed : {enableNotifications_, checkAgain_, snooze_, resume_}) {
    fixed->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  }
  line->addWidget(notificationToggle_);
  line->addWidget(notificationIcon_);
  line->addWidget(notificationText_, 1);
  line->addWidget(enableNotifications_);
  line->addWidget(checkAgain_);
  line->addStretch(0);
  line->addSpacing(12);
  line->addWidget(snooze_);
  line->addWidget(snoozedText_);
  line->addWidget(resume_);
  notifications->addContent(controls);
  auto* note =
      new ToneLabel(tr("Each rule waits for its condition to hold, then stays quiet for its cooldown, so one "
                       "sustained problem produces one alert."),
                    Typeface::caption(), Palette::textTertiary, notifications);
  note->setWordWrap(true);
  notifications->addContent(note);
  addWidget(notifications);

  connect(notificationToggle_, &QCheckBox::clicked, this,
          [this](bool on) { settings_.setNotifications(on); });
  connect(enableNotifications_, &QPushButton::clicked, this, [this] { model_.enableNotifications(); });
  // Linux asks nobody: checking again reads whether a notification service is there now.
  connect(checkAgain_, &QPushButton::clicked, this, [this] { model_.enableNotifications(); });
  connect(resume_, &QPushButton::clicked, this, [this] { model_.setSnoozedUntil(std::nullopt); });

  // Rules
  auto* rules = new Card(QStringLiteral("Rules"));
  rules->setObjectName(QStringLiteral("alerts.rules"));
  ruleRows_ = listLayout(rules);
  auto* actions = new QWidget(rules);
  auto* actionLine = bareRow(actions);
  auto* add = new SymbolButton(QStringLiteral("plus"), tr("Add Rule"), Palette::textPrimary, actions);
  add->setObjectName(QStringLiteral("alerts.add"));
  auto* restore = button(tr("Restore Defaults"), QStringLiteral("alerts.restoreDefaults"), actions);
  actionLine->addWidget(add);
  actionLine->addWidget(restore);
  actionLine->addStretch(1);
  rules->addContent(actions);
  addWidget(rules);
  connect(add, &QPushButton::clicked, this, [this] { openEditor(RuleList::newRule()); });
  connect(restore, &QPushButton::clicked, this, [this] { setRules(RuleList::restoredDefaults()); });

  // History
  auto* history = new Card(QStringLiteral("History"));
  history->setObjectName(QStringLiteral("alerts.history"));
  auto* top = new QWidget(history);
  auto* topLine = bareRow(top);
  historyCount_ = new ToneLabel(QString(), Typeface::caption(), Palette::textSecondary, top);
  historyCount_->setObjectName(QStringLiteral("alerts.historyCount"));
  clearHistory_ = button(tr("Clear History"), QStringLiteral("alerts.clearHistory"), top);
  clearHistory_->setFont(Typeface::system(11));
  topLine->addWidget(historyCount_);
  topLine->addStretch(1);
  topLine->addWidget(clearHistory_);
  history->addContent(top);
  historyEmpty_ =
      new ToneLabel(tr("No alert has fired yet."), Typeface::system(12), Palette::textSecondary, history);
  historyEmpty_->setObjectName(QStringLiteral("alerts.historyEmpty"));
  history->addContent(historyEmpty_);
  historyRows_ = listLayout(history);
  addWidget(history);
  connect(clearHistory_, &QPushButton::clicked, this, [this] { model_.clearEvents({EventKind::alert}); });

  refreshHeader();
  refreshFiring();
  refreshNotifications();
  refreshSnooze();
  refreshRules();
  refreshHistory();

  connect(&settings_, &AppSettings::rulesChanged, this, [this] {
    refreshRules();
    refreshHeader();
    // What the page changed reaches the engine only now.
    model_.applySettings();
  });
  connect(&settings_, &AppSettings::notificationsChanged, this, &AlertsPage::refreshNotifications);
  connect(&model_, &MonitorModel::firingChanged, this, [this] {
    refreshFiring();
    refreshHeader();
  });
  connect(&model_, &MonitorModel::snapshotChanged, this, [this] {
    // Current values move every tick; a snooze may have run out.
    refreshFiring();
    refreshSnooze();
    // Rules are redrawn only when what the computer can give changes (the first snapshot).
    const TelemetrySnapshot* snapshot = model_.snapshot().get();
    const int missing = (AlertText::unavailableHere(MetricID::batteryCharge, snapshot) ? 1 : 0) |
                        (AlertText::unavailableHere(MetricID::thermalState, snapshot) ? 2 : 0);
    if (missing == missing_) return;
    missing_ = missing;
    refreshRules();
    refreshHeader();
  });
  connect(&model_, &MonitorModel::snoozedUntilChanged, this, &AlertsPage::refreshSnooze);
  connect(&model_, &MonitorModel::notificationStatusChanged, this, &AlertsPage::refreshNotifications);
  connect(&model_, &MonitorModel::eventsRevisionChanged, this, &AlertsPage::loadHistory);
  loadHistory();
}

AlertsPage::~AlertsPage() = default;

void AlertsPage::refreshHeader() {
  header_->setSubtitle(
      AlertsPresenter::subtitle(settings_.rules(), model_.firing().size(), model_.snapshot().get()));
}

void AlertsPage::refreshFiring() {
  const auto rows = AlertsPresenter::firingRows(
      model_.firing(), [this](MetricID metric) { return model_.latest(metric); }, model_.format());
  noActive_->setVisible(rows.empty());
  syncRows(
      firingRows_, firing_, rows, [](const FiringRowState& row) { return uuidText(row.id); },
      [this] { return new AlertFiringRow(firingRows_->parentWidget()); });
}

void AlertsPage::refreshNotifications() {
  using Kind = NotificationControlState::Kind;
  const NotificationControlState state = AlertsPresenter::notificationControl(model_.notificationStatus());
  notificationToggle_->setVisible(state.kind == Kind::toggle);
  notificationToggle_->setText(state.kind == Kind::toggle ? state.text : QString());
  {
    const QSignalBlocker block(notificationToggle_);
    notificationToggle_->setChecked(settings_.notifications());
  }
  notificationIcon_->setVisible(state.kind == Kind::unavailable);
  notificationText_->setVisible(state.kind != Kind::toggle);
  notificationText_->setText(state.kind != Kind::toggle ? state.text : QString());
  notificationText_->setTone(state.kind == Kind::unavailable ? Palette::textPrimary : Palette::textSecondary);
  enableNotifications_->setVisible(state.kind == Kind::ask);
  checkAgain_->setVisible(state.kind == Kind::unavailable);
}

void AlertsPage::refreshSnooze() {
  const auto text =
      AlertsPresenter::snoozedText(model_.snoozedUntil(), QDateTime::currentDateTimeUtc(), model_.format());
  snooze_->setVisible(!text);
  snoozedText_->setVisible(text.has_value());
  resume_->setVisible(text.has_value());
  if (text) snoozedText_->setText(*text);
}

void AlertsPage::refreshRules() {
  const auto rows = AlertsPresenter::ruleRows(settings_.rules(), model_.format(), model_.snapshot().get());
  syncRows(
      ruleRows_, rules_, rows, [](const RuleRowState& row) { return row.key; },
      [this] {
        return new AlertRuleRow(
            ruleRows_->parentWidget(),
            [this](const QUuid& id, bool on) {
              // A switch of a rule that is gone by now is dropped.
              if (auto changed = RuleList::withEnabled(settings_.rules(), id, on)) setRules(*changed);
            },
            [this](const QUuid& id) {
              for (const AlertRule& rule : settings_.rules()) {
                if (rule.id == id) {
                  openEditor(rule);
                  return;
                }
              }
            },
            [this](const QUuid& id) { setRules(RuleList::without(settings_.rules(), id)); });
      });
}

void AlertsPage::refreshHistory() {
  historyCount_->setText(AlertsPresenter::historyCount(history_.size()));
  clearHistory_->setEnabled(!history_.empty());
  historyEmpty_->setVisible(history_.empty());
  const auto rows = AlertsPresenter::historyRows(history_, model_.format());
  syncRows(
      historyRows_, historyWidgets_, rows, [](const HistoryRowState& row) { return row.id; },
      [this] { return new AlertHistoryRow(historyRows_->parentWidget()); });
}

void AlertsPage::loadHistory() {
  const std::uint64_t request = ++historyRequest_;
  model_.events({EventKind::alert}, AlertsPresenter::kHistoryLoad, this,
                [this, request](std::vector<StoredEvent> events) {
                  // An older load that finishes late must not replace a newer one.
                  if (request != historyRequest_) return;
                  history_ = std::move(events);
                  refreshHistory();
                  emit historyLoaded();
                });
}

void AlertsPage::setRules(const std::vector<AlertRule>& rules) {
  // Written at once; the rulesChanged handler applies it.
  settings_.setRules(rules);
}

void AlertsPage::openEditor(const AlertRule& rule) {
  std::optional<AlertRule> saved;
  QPointer<RuleEditor> editor = new RuleEditor(
      rule, [&saved](const AlertRule& edited) { saved = edited; }, window());
  QPointer<AlertsPage> self(this);
  editor->exec();
  delete editor.data();
  // The page may have gone while the dialog ran its own event loop.
  if (!self || !saved) return;
  setRules(RuleList::saved(settings_.rules(), *saved));
}

}  // namespace kivo
