#include "features/alerts/AlertsPage.h"

#include "PageShots.h"
#include "features/alerts/AlertsPresenter.h"
#include "features/alerts/RuleEditor.h"
#include "storage/TimeSeriesStore.h"

#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace kivo {
namespace {

using test::ModelRig;
using test::waitUntil;

const QMap<QString, QVariant> kFast = {{"KIVOUITest", "YES"}, {"KIVOInterval", "0.5"}};

// What the settings domain holds under "rules".
std::vector<AlertRule> storedRules(const ModelRig& rig) {
  const QVariant value = rig.domain.values().value(QStringLiteral("rules"));
  const auto rules = AlertRule::listFromJson(QJsonDocument::fromJson(value.toByteArray()).array());
  return rules.value_or(std::vector<AlertRule>{});
}

StoredEvent alertEvent(int second, const QString& code, double value) {
  StoredEvent event;
  event.date = QDateTime::fromSecsSinceEpoch(1'700'000'000 + second, QTimeZone::utc());
  event.kind = EventKind::alert;
  event.severity = Severity::warning;
  event.metric = MetricID::cpuTotal;
  event.code = code;
  event.payload.insert(QStringLiteral("value"), QString::number(value));
  return event;
}

// The page over the shared rig.
struct AlertsPageRig : test::PageRig {
  bool looks = (test::prepareLook(), true);
  AlertsPage page;

  explicit AlertsPageRig(QMap<QString, QVariant> arguments = {})
      : PageRig(std::move(arguments)), page(*model, *settings) {
    page.resize(1100, 900);
    model->waitForWorker();
  }
  template <typename T>
  T* find(const char* name) {
    auto* found = page.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  template <typename T>
  QList<T*> all(const char* name) {
    return page.findChildren<T*>(QString::fromLatin1(name));
  }
  // Clicks the button; while the editor runs, `inside` gets it.
  void withEditor(QAbstractButton* opener, const std::function<void(RuleEditor&)>& inside) {
    bool ran = false;
    QTimer::singleShot(0, &page, [&] {
      auto* editor = page.window()->findChild<RuleEditor*>();
      ASSERT_NE(editor, nullptr);
      ran = true;
      EXPECT_TRUE(editor->isModal());
      inside(*editor);
    });
    opener->click();
    EXPECT_TRUE(ran);
  }
  QString visibleText(const char* name) { return find<QLabel>(name)->text(); }
};

void clickSave(RuleEditor& editor) {
  editor.findChild<QPushButton*>(QStringLiteral("ruleEditor.save"))->click();
}
void clickCancel(RuleEditor& editor) {
  editor.findChild<QPushButton*>(QStringLiteral("ruleEditor.cancel"))->click();
}

TEST(AlertsPage, ShowingThePageWritesNothing) {
  AlertsPageRig rig;
  EXPECT_EQ(rig.domain.writeCount(), 0);
  EXPECT_EQ(rig.all<QCheckBox>("alerts.rule.enabled").size(), 7);
  EXPECT_TRUE(rig.find<QWidget>("alerts.noActive")->isVisibleTo(&rig.page));
  EXPECT_FALSE(rig.find<QPushButton>("alerts.clearHistory")->isEnabled());
  EXPECT_TRUE(rig.find<QLabel>("alerts.historyEmpty")->isVisibleTo(&rig.page));
}

TEST(AlertsPage, AddRuleSaveAppendsAnEighthRuleAndCancelChangesNothing) {
  AlertsPageRig rig;
  auto* add = rig.find<QPushButton>("alerts.add");
  rig.withEditor(add, clickCancel);
  EXPECT_EQ(rig.settings->rules().size(), 7u);
  EXPECT_EQ(rig.domain.writeCount(), 0);

  rig.withEditor(add, clickSave);
  ASSERT_EQ(rig.settings->rules().size(), 8u);
  const AlertRule added = rig.settings->rules().back();
  EXPECT_EQ(added.metric, MetricID::cpuTotal);
  EXPECT_EQ(added.threshold, 90);
  EXPECT_EQ(storedRules(rig), rig.settings->rules());
  EXPECT_EQ(rig.all<QCheckBox>("alerts.rule.enabled").size(), 8);
}

TEST(AlertsPage, SwitchDeleteAndRestoreAreWrittenAndRowsKeptByIdentity) {
  AlertsPageRig rig;
  const std::vector<AlertRule> before = rig.settings->rules();
  auto switches = rig.all<QCheckBox>("alerts.rule.enabled");
  ASSERT_EQ(switches.size(), 7);
  switches[1]->click();
  EXPECT_FALSE(rig.settings->rules()[1].isEnabled);
  EXPECT_FALSE(storedRules(rig)[1].isEnabled);
  EXPECT_EQ(rig.all<QCheckBox>("alerts.rule.enabled"), switches) << "updated in place";

  rig.all<QToolButton>("alerts.rule.delete")[0]->click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(rig.settings->rules().size(), 6u);
  EXPECT_EQ(rig.settings->rules()[0].id, before[1].id);
  EXPECT_EQ(storedRules(rig).size(), 6u);
  // The remaining rows are the same widgets.
  auto remaining = rig.all<QCheckBox>("alerts.rule.enabled");
  EXPECT_EQ(remaining, switches.mid(1));

  rig.find<QPushButton>("alerts.restoreDefaults")->click();
  ASSERT_EQ(rig.settings->rules().size(), 7u);
  for (std::size_t i = 0; i < before.size(); ++i) EXPECT_NE(rig.settings->rules()[i].id, before[i].id);
  EXPECT_EQ(storedRules(rig), rig.settings->rules());
}

// A switched-off rule is dimmed, but its Edit and Delete still work and look it: they are drawn
// as while the rule was on, and only the rule's own texts fade.
TEST(AlertsPage, ASwitchedOffRuleDimsItsTextsNotItsButtons) {
  AlertsPageRig rig;
  rig.page.show();
  QWidget* edit = rig.all<QPushButton>("alerts.rule.edit")[1];
  QWidget* row = edit->parentWidget()->parentWidget();
  // Each part as its row paints it, the row's effects included.
  auto seen = [row](const char* name) {
    auto* part = row->findChild<QWidget*>(QLatin1String(name));
    return row->grab(QRect(part->mapTo(row, QPoint(0, 0)), part->size())).toImage();
  };
  const char* parts[] = {"alerts.rule.edit", "alerts.rule.delete", "alerts.rule.name"};
  std::map<std::string, QImage> on;
  for (const char* part : parts) on[part] = seen(part);
  rig.all<QCheckBox>("alerts.rule.enabled")[1]->click();
  ASSERT_FALSE(rig.settings->rules()[1].isEnabled);
  QCoreApplication::processEvents();
  EXPECT_EQ(seen("alerts.rule.edit"), on["alerts.rule.edit"]);
  EXPECT_EQ(seen("alerts.rule.delete"), on["alerts.rule.delete"]);
  EXPECT_NE(seen("alerts.rule.name"), on["alerts.rule.name"]) << "the rule itself looks off";
}

TEST(AlertsPage, OnADesktopTheBatteryAndThermalSwitchesRestAndKeepTheirChoice) {
  AlertsPageRig rig;
  const std::vector<AlertRule> before = rig.settings->rules();
  TelemetrySnapshot desktop = test::snapshotAt(0);
  desktop.power = PowerSample(false, PowerSourceKind::ac, false, false, false);
  rig.model->ingest(desktop);
  const auto switches = rig.all<QCheckBox>("alerts.rule.enabled");
  ASSERT_EQ(switches.size(), static_cast<qsizetype>(before.size()));
  for (std::size_t i = 0; i < before.size(); ++i) {
    const bool lacking =
        before[i].metric == MetricID::batteryCharge || before[i].metric == MetricID::thermalState;
    EXPECT_EQ(switches[static_cast<qsizetype>(i)]->isEnabled(), !lacking) << i;
    EXPECT_EQ(switches[static_cast<qsizetype>(i)]->isChecked(), before[i].isEnabled) << i;
  }
  EXPECT_EQ(rig.settings->rules(), before);
}

TEST(AlertsPage, EditingKeepsThePositionAndTheEditorIsDroppedWithThePage) {
  AlertsPageRig rig;
  auto edits = rig.all<QPushButton>("alerts.rule.edit");
  rig.withEditor(edits[3], [](RuleEditor& editor) {
    auto* field = editor.findChild<QLineEdit*>(QStringLiteral("ruleEditor.threshold"));
    field->setText(QStringLiteral("5"));
    emit field->textEdited(field->text());
    clickSave(editor);
  });
  ASSERT_EQ(rig.settings->rules().size(), 7u);
  EXPECT_EQ(rig.settings->rules()[3].metric, MetricID::diskFree);
  EXPECT_EQ(rig.settings->rules()[3].threshold, 5e9);
}

TEST(AlertsPage, APageThatGoesWhileItsEditorRunsIsNotTouched) {
  ModelRig rig;
  QWidget window;
  auto* page = new AlertsPage(*rig.model, *rig.settings, &window);
  const auto before = rig.settings->rules();
  bool ran = false;
  QTimer::singleShot(0, &window, [&] {
    auto* editor = window.findChild<RuleEditor*>();
    ASSERT_NE(editor, nullptr);
    ran = true;
    delete page;
    clickSave(*editor);
  });
  page->findChild<QPushButton*>(QStringLiteral("alerts.add"))->click();
  EXPECT_TRUE(ran);
  EXPECT_EQ(rig.settings->rules(), before);
}

TEST(AlertsPage, HistoryLoadsClearsAndAppliesOnlyTheNewestLoad) {
  AlertsPageRig rig;
  TimeSeriesStore& store = *test::store(*rig.model);
  for (int i = 0; i < 70; ++i) {
    store.record(
        alertEvent(i, i % 2 ? QStringLiteral("alert.resolved") : QStringLiteral("alert.fired"), 90 + i % 10));
  }
  StoredEvent bookmark = alertEvent(100, QStringLiteral("bookmark"), 0);
  bookmark.kind = EventKind::bookmark;
  store.record(bookmark);

  test::SignalCount loads(&rig.page, &AlertsPage::historyLoaded);
  // Two revisions in a row: the first answer is outdated when it arrives.
  emit rig.model->eventsRevisionChanged(1);
  emit rig.model->eventsRevisionChanged(2);
  rig.model->waitForWorker();
  EXPECT_EQ(loads.count(), 1);
  ASSERT_EQ(rig.page.history().size(), 70u);
  EXPECT_EQ(rig.visibleText("alerts.historyCount"), QStringLiteral("70 events"));
  EXPECT_TRUE(rig.find<QPushButton>("alerts.clearHistory")->isEnabled());
  EXPECT_FALSE(rig.find<QLabel>("alerts.historyEmpty")->isVisibleTo(&rig.page));

  rig.page.show();
  test::grabBoth(rig.page, QStringLiteral("alerts"), QStringLiteral("page-history"), {1100, 1500});

  rig.find<QPushButton>("alerts.clearHistory")->click();
  ASSERT_TRUE(waitUntil([&] { return rig.page.history().empty(); }));
  EXPECT_TRUE(store
                  .events({EventKind::alert}, QDateTime::fromSecsSinceEpoch(0),
                          QDateTime::currentDateTimeUtc().addYears(1), 10)
                  .empty());
  // Only alert events go.
  EXPECT_EQ(store
                .events({EventKind::bookmark}, QDateTime::fromSecsSinceEpoch(0),
                        QDateTime::currentDateTimeUtc().addYears(1), 10)
                .size(),
            1u);
  EXPECT_EQ(rig.visibleText("alerts.historyCount"), QStringLiteral("0 events"));
  EXPECT_TRUE(rig.find<QLabel>("alerts.historyEmpty")->isVisibleTo(&rig.page));
}

TEST(AlertsPage, FiringRulesAndTheirCurrentValues) {
  AlertsPageRig rig;
  AlertRule rule = rig.settings->rules()[0];
  TelemetrySnapshot snapshot = test::snapshotAt(0, {{MetricID::cpuTotal, 96.5}});
  snapshot.firingRules = {rule};
  rig.model->ingest(snapshot);
  EXPECT_FALSE(rig.find<QWidget>("alerts.noActive")->isVisibleTo(&rig.page));
  const auto labels = rig.find<QWidget>("alerts.active")->findChildren<QLabel*>();
  bool value = false;
  for (QLabel* label : labels) value = value || label->text().contains(QStringLiteral("96.5"));
  EXPECT_TRUE(value);

  snapshot.firingRules.clear();
  rig.model->ingest(snapshot);
  EXPECT_TRUE(rig.find<QWidget>("alerts.noActive")->isVisibleTo(&rig.page));
}

TEST(AlertsPage, NotificationControlAndSnooze) {
  AlertsPageRig rig;
  test::FakeNotifier notifier(NotificationStatus::denied);
  rig.model->setNotifier(&notifier);
  auto* checkAgain = rig.find<QPushButton>("alerts.checkNotifications");
  EXPECT_TRUE(checkAgain->isVisibleTo(&rig.page));
  EXPECT_FALSE(rig.find<QPushButton>("alerts.enableNotifications")->isVisibleTo(&rig.page));

  // The service appears: checking again finds it and the switch shows, on.
  notifier.next = NotificationStatus::authorized;
  checkAgain->click();
  auto* toggle = rig.find<QCheckBox>("alerts.notificationsToggle");
  EXPECT_TRUE(toggle->isVisibleTo(&rig.page));
  EXPECT_TRUE(toggle->isChecked());
  toggle->click();
  EXPECT_FALSE(rig.settings->notifications());

  auto* snooze = rig.find<QPushButton>("alerts.snooze");
  snooze->menu()->actions()[1]->trigger();
  ASSERT_TRUE(rig.model->snoozedUntil());
  EXPECT_GT(*rig.model->snoozedUntil(), QDateTime::currentDateTimeUtc().addSecs(3500));
  EXPECT_FALSE(snooze->isVisibleTo(&rig.page));
  EXPECT_TRUE(rig.find<QLabel>("alerts.snoozedUntil")->text().startsWith(QStringLiteral("Snoozed until ")));
  rig.page.show();
  test::grabBoth(rig.page, QStringLiteral("alerts"), QStringLiteral("page-snoozed"), {860, 560});
  rig.find<QPushButton>("alerts.resume")->click();
  EXPECT_FALSE(rig.model->snoozedUntil());
  EXPECT_TRUE(snooze->isVisibleTo(&rig.page));
  rig.model->setNotifier(nullptr);
}

// The whole road: a rule added on the page reaches the running engine, fires, shows under
// Active now and lands in the history.
TEST(AlertsPage, ALowThresholdRuleFiresAndIsListed) {
  AlertsPageRig rig(kFast);
  rig.model->start();
  rig.withEditor(rig.find<QPushButton>("alerts.add"), [](RuleEditor& editor) {
    auto* field = editor.findChild<QLineEdit*>(QStringLiteral("ruleEditor.threshold"));
    field->setText(QStringLiteral("1"));
    emit field->textEdited(field->text());
    auto* down = editor.findChild<QToolButton*>(QStringLiteral("ruleEditor.duration.decrement"));
    while (down->isEnabled()) down->click();
    clickSave(editor);
  });
  const QUuid id = rig.settings->rules().back().id;
  ASSERT_TRUE(waitUntil([&] {
    const auto& firing = rig.model->firing();
    return std::any_of(firing.begin(), firing.end(), [&](const AlertRule& rule) { return rule.id == id; });
  }));
  EXPECT_FALSE(rig.find<QWidget>("alerts.noActive")->isVisibleTo(&rig.page));
  ASSERT_TRUE(waitUntil([&] { return !rig.page.history().empty(); }));
  EXPECT_EQ(rig.page.history().front().code, QStringLiteral("alert.fired"));
  rig.page.show();
  test::grabBoth(rig.page, QStringLiteral("alerts"), QStringLiteral("page-firing"), {1100, 1400});
  test::grabBoth(rig.page, QStringLiteral("alerts"), QStringLiteral("page-firing-small"), {860, 560});
  rig.model->shutdown();
}

}  // namespace
}  // namespace kivo
