#include "ModelTestSupport.h"
#include "TestSupport.h"

#include "scheduler/TelemetryEngine.h"
#include "storage/TimeSeriesStore.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

using test::ModelRig;
using test::snapshotAt;

NetworkPath path(bool online, QStringList interfaces, bool expensive = false,
                 std::vector<NetworkLink> links = {}) {
  NetworkPath p;
  p.online = online;
  p.interfaces = std::move(interfaces);
  p.expensive = expensive;
  p.links = std::move(links);
  return p;
}

std::vector<StoredEvent> storedEvents(MonitorModel& model, std::vector<EventKind> kinds) {
  std::vector<StoredEvent> result;
  bool answered = false;
  model.events(kinds, 100, &model, [&](std::vector<StoredEvent> events) {
    result = std::move(events);
    answered = true;
  });
  model.waitForWorker();
  EXPECT_TRUE(answered);
  return result;
}

TEST(ModelActions, ABookmarkIsStoredThroughTheEngineAndRaisesTheRevision) {
  ModelRig rig;
  MonitorModel& model = *rig.model;
  test::SignalCount revisions(&model, &MonitorModel::eventsRevisionChanged);
  model.addBookmark(QString());
  model.addBookmark(QStringLiteral("fan noise"));
  EXPECT_EQ(model.eventsRevision(), 0);  // the store work has not come back yet
  model.waitForWorker();
  EXPECT_EQ(model.eventsRevision(), 2);
  EXPECT_EQ(revisions.count(), 2);

  const auto bookmarks = storedEvents(model, {EventKind::bookmark});
  ASSERT_EQ(bookmarks.size(), 2u);
  for (const StoredEvent& event : bookmarks) {
    EXPECT_EQ(event.code, QStringLiteral("bookmark"));
    EXPECT_EQ(event.severity, Severity::info);
    EXPECT_FALSE(event.metric);
    EXPECT_EQ(event.payload.keys(), QStringList{QStringLiteral("note")});
  }
  QStringList notes;
  for (const StoredEvent& event : bookmarks) notes << event.payload.value(QStringLiteral("note"));
  notes.sort();
  EXPECT_EQ(notes, (QStringList{QString(), QStringLiteral("fan noise")}));
}

TEST(ModelActions, DeletingOneEventAndClearingKindsRaiseTheRevision) {
  ModelRig rig;
  MonitorModel& model = *rig.model;
  model.addBookmark(QStringLiteral("one"));
  model.addBookmark(QStringLiteral("two"));
  model.pathChanged(path(true, {"eth0"}));
  model.pathChanged(path(false, {}));
  model.waitForWorker();
  const std::int64_t before = model.eventsRevision();

  auto bookmarks = storedEvents(model, {EventKind::bookmark});
  ASSERT_EQ(bookmarks.size(), 2u);
  model.deleteEvent(bookmarks.front().id);
  model.waitForWorker();
  EXPECT_EQ(model.eventsRevision(), before + 1);
  EXPECT_EQ(storedEvents(model, {EventKind::bookmark}).size(), 1u);

  model.clearEvents({EventKind::bookmark});
  model.waitForWorker();
  EXPECT_EQ(model.eventsRevision(), before + 2);
  EXPECT_TRUE(storedEvents(model, {EventKind::bookmark}).empty());
  EXPECT_EQ(storedEvents(model, {EventKind::network}).size(), 1u);  // other kinds stay
}

TEST(ModelActions, EraseEmptiesTheLiveStateAndFindingsAndReadsTheEmptyStore) {
  ModelRig rig;
  MonitorModel& model = *rig.model;
  model.ingest(snapshotAt(0, {{MetricID::cpuTotal, 5}}, std::vector<CPULoad>{{0.1, 0.1, 0.8}}));
  model.addBookmark(QStringLiteral("before"));
  model.waitForWorker();
  ASSERT_FALSE(model.live(MetricID::cpuTotal).isEmpty());
  ASSERT_TRUE(model.findingsUpdated());
  const std::int64_t before = model.eventsRevision();

  model.eraseHistory();
  model.waitForWorker();
  EXPECT_TRUE(model.live(MetricID::cpuTotal).isEmpty());
  EXPECT_TRUE(model.coreHistory().isEmpty());
  EXPECT_TRUE(model.findings().empty());
  ASSERT_TRUE(model.storeStatistics());
  EXPECT_EQ(model.storeStatistics()->events, 0);
  EXPECT_EQ(model.storeStatistics()->rawRows, 0);
  EXPECT_EQ(model.eventsRevision(), before + 1);
  EXPECT_TRUE(storedEvents(model, {EventKind::bookmark}).empty());
  // Left as they were.
  EXPECT_TRUE(model.snapshot());
  EXPECT_TRUE(model.findingsUpdated());
}

TEST(ModelActions, FindingsAskedForBeforeAnEraseAreNeverAppliedAfterIt) {
  ModelRig rig;
  MonitorModel& model = *rig.model;
  test::SignalCount findings(&model, &MonitorModel::findingsChanged);
  model.refreshFindings();
  model.eraseHistory();
  model.waitForWorker();
  // The erase emptied the findings; the older run came back after it was asked for and was
  // dropped, so no findings time was ever set.
  EXPECT_FALSE(model.findingsUpdated());
  EXPECT_EQ(findings.count(), 1);

  model.refreshFindings();
  model.waitForWorker();
  EXPECT_TRUE(model.findingsUpdated());
}

TEST(ModelActions, PauseAndSnoozeNotifyOnlyRealChanges) {
  ModelRig rig;
  MonitorModel& model = *rig.model;
  test::SignalCount paused(&model, &MonitorModel::pausedChanged);
  model.setPaused(true);
  model.setPaused(true);
  EXPECT_TRUE(model.isPaused());
  EXPECT_EQ(paused.count(), 1);
  model.setPaused(false);
  EXPECT_EQ(paused.count(), 2);

  test::SignalCount snoozed(&model, &MonitorModel::snoozedUntilChanged);
  const QDateTime until = QDateTime::currentDateTimeUtc().addSecs(3600);
  model.setSnoozedUntil(until);
  model.setSnoozedUntil(until);
  model.setSnoozedUntil(std::nullopt);
  EXPECT_EQ(snoozed.count(), 2);
  EXPECT_FALSE(model.snoozedUntil());
}

TEST(ModelActions, AppliedSettingsReachTheEngineAndTheStore) {
  ModelRig rig;
  TelemetryConfiguration telemetry = rig.settings->telemetry();
  telemetry.interval = 3;
  telemetry.historyEnabled = false;
  rig.settings->setTelemetry(telemetry);
  RetentionPolicy retention = rig.settings->retention();
  retention.raw = 3600;
  rig.settings->setRetention(retention);
  rig.model->applySettings();
  rig.model->waitForWorker();
  EXPECT_EQ(test::engine(*rig.model).configuration(), telemetry);
  EXPECT_EQ(test::store(*rig.model)->retention(), retention);
  EXPECT_EQ(test::store(*rig.model)->rawInterval(), 3);
}

// A cable plugged in: the link comes up before it has an address, which changes no path; the
// event when the address arrives still says the link came up, not merely "Connected".
TEST(ModelNetworkPath, LinksAreComparedWithThePathOfTheLastChange) {
  ModelRig rig;
  MonitorModel& model = *rig.model;
  const NetworkLink wifi{QStringLiteral("wlan0"), InterfaceKind::wifi, true};
  NetworkLink cable{QStringLiteral("eth0"), InterfaceKind::ethernet, false};
  model.pathChanged(path(true, {"wlan0"}, false, {cable, wifi}));
  cable.up = true;
  model.pathChanged(path(true, {"wlan0"}, false, {cable, wifi}));
  EXPECT_TRUE(model.networkEvents().isEmpty());
  model.pathChanged(path(true, {"eth0", "wlan0"}, false, {cable, wifi}));
  ASSERT_EQ(model.networkEvents().size(), 1);
  const StoredEvent up = model.networkEvents().first();
  EXPECT_EQ(up.payload, (QMap<QString, QString>{{"change", "linkUp"},
                                                {"interface", "eth0"},
                                                {"interfaceKind", "ethernet"},
                                                {"interfaces", "eth0,wlan0"}}));
  // Two links at once: two events, newest first in the path's order.
  model.pathChanged(path(true, {"wlan0"}, false, {wifi}));
  model.pathChanged(path(true, {"wlan0", "kivo0", "kivo1"}, false,
                         {wifi,
                          {QStringLiteral("kivo0"), InterfaceKind::other, true},
                          {QStringLiteral("kivo1"), InterfaceKind::other, true}}));
  QStringList newest;
  for (int i = 0; i < 3; ++i) {
    const auto& payload = model.networkEvents()[i].payload;
    newest << payload.value("change") + QLatin1Char(' ') + payload.value("interface");
  }
  EXPECT_EQ(newest, (QStringList{"added kivo0", "added kivo1", "removed eth0"}));
}

TEST(ModelNetworkPath, TheFirstPathIsTheBaselineAndEveryChangeIsAnEvent) {
  ModelRig rig;
  MonitorModel& model = *rig.model;
  model.pathChanged(path(true, {"eth0"}));
  EXPECT_TRUE(model.networkEvents().isEmpty());
  model.pathChanged(path(true, {"eth0"}));
  EXPECT_TRUE(model.networkEvents().isEmpty());

  model.pathChanged(path(false, {}));
  ASSERT_EQ(model.networkEvents().size(), 1);
  const StoredEvent offline = model.networkEvents().first();
  EXPECT_EQ(offline.code, QStringLiteral("network.offline"));
  EXPECT_EQ(offline.kind, EventKind::network);
  EXPECT_EQ(offline.severity, Severity::warning);
  EXPECT_EQ(offline.payload.value(QStringLiteral("interfaces")), QString());

  // Only the metered flag changed: still an event, with the same status word.
  model.pathChanged(path(true, {"eth0"}));
  model.pathChanged(path(true, {"eth0"}, true));
  ASSERT_EQ(model.networkEvents().size(), 3);
  EXPECT_EQ(model.networkEvents().first().code, QStringLiteral("network.online"));
  EXPECT_EQ(model.networkEvents().first().severity, Severity::info);

  for (int i = 0; i < 60; ++i) {
    model.pathChanged(path(true, {QStringLiteral("eth%1").arg(i)}));
  }
  ASSERT_EQ(model.networkEvents().size(), MonitorModel::kNetworkEvents);
  EXPECT_EQ(model.networkEvents().first().payload.value(QStringLiteral("interfaces")),
            QStringLiteral("eth59"));

  model.waitForWorker();
  bool answered = false;
  model.events({EventKind::network}, 1000, &model, [&](std::vector<StoredEvent> events) {
    answered = true;
    EXPECT_EQ(events.size(), 63u);  // every change is stored, not only the newest 50
  });
  model.waitForWorker();
  EXPECT_TRUE(answered);
}

}  // namespace
}  // namespace kivo

namespace kivo {
namespace {

TEST(ModelActions, EventsForAReceiverThatIsGoneAreDropped) {
  test::ModelRig rig;
  rig.model->addBookmark(QStringLiteral("x"));
  bool called = false;
  auto page = std::make_unique<QObject>();
  rig.model->events({EventKind::bookmark}, 10, page.get(), [&](std::vector<StoredEvent>) { called = true; });
  page.reset();
  rig.model->waitForWorker();
  EXPECT_FALSE(called);
}

TEST(ModelNotifications, TurningNotificationsOnKeepsThemOnOnlyWhenAllowed) {
  struct Case {
    const char* name;
    NotificationStatus after;
    bool setting;
  };
  const std::vector<Case> cases = {
      {"service there", NotificationStatus::authorized, true},
      {"no service", NotificationStatus::denied, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::ModelRig rig;
    test::FakeNotifier notifier(NotificationStatus::notDetermined);
    notifier.next = c.after;
    rig.model->setNotifier(&notifier);
    rig.settings->setNotifications(!c.setting);
    rig.model->enableNotifications();
    EXPECT_EQ(notifier.refreshes, 1);
    EXPECT_EQ(rig.model->notificationStatus(), c.after);
    EXPECT_EQ(rig.settings->notifications(), c.setting);
    // The answer is taken once: a later refresh by someone else changes no setting.
    rig.settings->setNotifications(!c.setting);
    notifier.refreshStatus();
    EXPECT_EQ(rig.settings->notifications(), !c.setting);
  }
}

}  // namespace
}  // namespace kivo
