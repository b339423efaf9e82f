#include "desktop/DesktopNotifier.h"
#include "desktop/DesktopSystemObserver.h"
#include "desktop/MountObserver.h"
#include "desktop/NetworkManagerMetered.h"
#include "desktop/NetworkPathMonitor.h"
#include "desktop/PowerProfileObserver.h"
#include "desktop/SleepWakeObserver.h"

#include "FakeServices.h"
#include "TestSupport.h"
#include "WaitUntil.h"

#include <QCoreApplication>
#include <QDBusPendingCallWatcher>

#include <gtest/gtest.h>

#include <functional>

namespace kivo {
namespace {

using test::runEventsFor;
using test::waitUntil;

// Whether every call the notifier made on the bus has had its answer handled: each waits in a
// watcher of its own, deleted once handled.
bool answered(const QObject& notifier) {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return notifier.findChildren<QDBusPendingCallWatcher*>().isEmpty();
}

// Tests named PrivateBus* need the private bus the ctest wrapper starts (dbus-run-session).
class PrivateBus : public ::testing::Test {
 protected:
  void SetUp() override {
    if (qEnvironmentVariable("KIVO_PRIVATE_BUS") != QLatin1String("1"))
      GTEST_SKIP() << "runs under dbus-run-session";
    static int count = 0;
    clientName = QStringLiteral("kivo-client-%1").arg(++count);
    client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, clientName);
    ASSERT_TRUE(client.isConnected());
    fakes = std::make_unique<test::FakeBus>(QStringLiteral("kivo-fakes-%1").arg(count));
    ASSERT_TRUE(fakes->bus().isConnected());
  }
  void TearDown() override {
    fakes.reset();
    if (!clientName.isEmpty()) QDBusConnection::disconnectFromBus(clientName);
  }

  QString clientName;
  QDBusConnection client{QString()};
  std::unique_ptr<test::FakeBus> fakes;
};

TEST_F(PrivateBus, LogindSleepAndWakeBecomeDiscontinuities) {
  ASSERT_TRUE(fakes->own("org.freedesktop.login1"));
  DesktopSystemObserver observer(client, QStringLiteral("/proc/self/mountinfo"));
  EXPECT_TRUE(observer.sleepWake().isAvailable());
  QStringList codes;
  QObject::connect(&observer, &SystemObserver::discontinuity, [&](const QString& code) { codes << code; });

  const QString path = "/org/freedesktop/login1", interface = "org.freedesktop.login1.Manager";
  fakes->signal(path, interface, "PrepareForSleep", {true});
  fakes->signal(path, interface, "PrepareForSleep", {false});
  ASSERT_TRUE(waitUntil([&] { return codes.size() == 2; }));
  EXPECT_EQ(codes, (QStringList{"system.sleep", "system.wake"}));

  // The same signal from anyone but logind's owner is ignored.
  test::FakeBus impostor("kivo-impostor");
  impostor.signal(path, interface, "PrepareForSleep", {true});
  fakes->signal(path, interface, "PrepareForSleep", {true});
  ASSERT_TRUE(waitUntil([&] { return codes.size() == 3; }));
  runEventsFor(100);
  EXPECT_EQ(codes.size(), 3);
}

TEST_F(PrivateBus, PowerProfileChangesUnderEitherNameMakeSlowReadingsStaleOnce) {
  ASSERT_TRUE(fakes->own("net.hadess.PowerProfiles"));
  ASSERT_TRUE(fakes->own("org.freedesktop.UPower.PowerProfiles"));
  DesktopSystemObserver observer(client, QStringLiteral("/proc/self/mountinfo"));
  EXPECT_TRUE(observer.powerProfile().isAvailable());
  int stale = 0;
  QObject::connect(&observer, &SystemObserver::slowReadingsStale, [&] { ++stale; });

  // One daemon answering to both names reports the change under each.
  const QVariantMap saver{{"ActiveProfile", "power-saver"}};
  fakes->propertiesChanged("/net/hadess/PowerProfiles", "net.hadess.PowerProfiles", saver);
  fakes->propertiesChanged("/org/freedesktop/UPower/PowerProfiles", "org.freedesktop.UPower.PowerProfiles",
                           saver);
  ASSERT_TRUE(waitUntil([&] { return stale == 1; }));
  runEventsFor(100);
  EXPECT_EQ(stale, 1);

  // Another property does not touch the readings; a new profile does.
  fakes->propertiesChanged("/org/freedesktop/UPower/PowerProfiles", "org.freedesktop.UPower.PowerProfiles",
                           {{"PerformanceDegraded", ""}});
  fakes->propertiesChanged("/org/freedesktop/UPower/PowerProfiles", "org.freedesktop.UPower.PowerProfiles",
                           {{"ActiveProfile", "balanced"}});
  ASSERT_TRUE(waitUntil([&] { return stale == 2; }));
  runEventsFor(100);
  EXPECT_EQ(stale, 2);
}

TEST_F(PrivateBus, NotificationsAreAuthorizedWhileTheServerIsThereAndReplacePerRule) {
  DesktopNotifier notifier(client, "KIVO Monitor", "kivo-monitor");
  int refreshes = 0;
  QObject::connect(&notifier, &Notifier::statusRefreshed, [&] { ++refreshes; });
  notifier.refreshStatus();
  // The bus is asked without waiting for it: the answer comes with statusRefreshed.
  EXPECT_EQ(refreshes, 0);
  EXPECT_EQ(notifier.status(), NotificationStatus::notDetermined);
  ASSERT_TRUE(waitUntil([&] { return refreshes == 1; }));
  EXPECT_EQ(notifier.status(), NotificationStatus::denied);  // no server yet

  ASSERT_TRUE(fakes->own("org.freedesktop.Notifications"));
  auto* server = fakes->serve<test::FakeNotificationServer>("/org/freedesktop/Notifications");
  std::vector<NotificationStatus> changes;
  QObject::connect(&notifier, &Notifier::statusChanged, [&](NotificationStatus s) { changes.push_back(s); });
  notifier.refreshStatus();
  ASSERT_TRUE(waitUntil([&] { return refreshes == 2; }));
  EXPECT_EQ(notifier.status(), NotificationStatus::authorized);
  EXPECT_TRUE(notificationsAllowed(notifier.status()));
  EXPECT_EQ(changes, std::vector<NotificationStatus>{NotificationStatus::authorized});
  ASSERT_TRUE(waitUntil([&] { return answered(notifier); }));  // the capabilities

  const QUuid cpu = QUuid::createUuid(), disk = QUuid::createUuid();
  notifier.post(cpu, "Total CPU is high", "Now 93 %. <b>Condition</b> & more", false);
  ASSERT_TRUE(waitUntil([&] { return server->calls().size() == 1; }));
  ASSERT_TRUE(waitUntil([&] { return answered(notifier); }));  // the reply with the server's id
  notifier.post(cpu, "Total CPU is high", "Now 95 %.", false);
  notifier.post(disk, "Free disk space is low", "Now 1 GB.", true);
  ASSERT_TRUE(waitUntil([&] { return server->calls().size() == 3; }));

  const auto calls = server->calls();
  EXPECT_EQ(calls[0].appName, "KIVO Monitor");
  EXPECT_EQ(calls[0].replacesId, 0u);
  EXPECT_EQ(calls[0].summary, "Total CPU is high");
  EXPECT_EQ(calls[0].body, "Now 93 %. &lt;b&gt;Condition&lt;/b&gt; &amp; more");
  EXPECT_EQ(calls[0].hints.value("urgency").toInt(), 1);
  EXPECT_TRUE(calls[0].hints.value("suppress-sound").toBool());
  EXPECT_EQ(calls[0].hints.value("desktop-entry").toString(), "kivo-monitor");
  EXPECT_EQ(calls[0].timeout, -1);
  // The same rule replaces its notification; another rule gets its own.
  EXPECT_EQ(calls[1].replacesId, 41u);
  EXPECT_EQ(calls[2].replacesId, 0u);
  EXPECT_EQ(calls[2].hints.value("urgency").toInt(), 2);
  EXPECT_FALSE(calls[2].hints.contains("suppress-sound"));
}

TEST_F(PrivateBus, TheMeteredFlagOfNetworkManagerMakesThePathExpensive) {
  ASSERT_TRUE(fakes->own("org.freedesktop.NetworkManager"));
  auto* manager = fakes->serve<test::FakeNetworkManager>("/org/freedesktop/NetworkManager");
  manager->setMetered(1);  // yes

  NetworkPathMonitor monitor(client);
  std::vector<NetworkPath> reported, changed;
  QObject::connect(&monitor, &NetworkPathMonitor::pathReported,
                   [&](const NetworkPath& p) { reported.push_back(p); });
  QObject::connect(&monitor, &NetworkPathMonitor::pathChanged,
                   [&](const NetworkPath& p) { changed.push_back(p); });
  monitor.apply(RtnetlinkState{});
  // The baseline waits for NetworkManager's answer, so it is not mistaken for a change.
  ASSERT_TRUE(waitUntil([&] { return !reported.empty(); }));
  EXPECT_TRUE(reported.front().expensive);
  EXPECT_TRUE(changed.empty());

  fakes->propertiesChanged("/org/freedesktop/NetworkManager", "org.freedesktop.NetworkManager",
                           {{"Metered", QVariant::fromValue(2u)}});  // no
  ASSERT_TRUE(waitUntil([&] { return changed.size() == 1; }));
  EXPECT_FALSE(changed.front().expensive);
  EXPECT_EQ(changed.front().key(), "offline||false|false");
}

TEST(DesktopWithoutBus, EveryServiceIsUnavailableAndNothingBreaks) {
  QDBusConnection none = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/kivo-bus"),
                                                       QStringLiteral("kivo-none"));
  ASSERT_FALSE(none.isConnected());
  {
    DesktopSystemObserver observer(none, QStringLiteral("/nonexistent/mountinfo"));
    EXPECT_FALSE(observer.sleepWake().isAvailable());
    EXPECT_FALSE(observer.powerProfile().isAvailable());
    EXPECT_FALSE(observer.mounts().isAvailable());

    DesktopNotifier notifier(none, "KIVO Monitor", "kivo-monitor");
    EXPECT_EQ(notifier.status(), NotificationStatus::notDetermined);
    bool refreshed = false;
    QObject::connect(&notifier, &Notifier::statusRefreshed, [&] { refreshed = true; });
    notifier.refreshStatus();
    EXPECT_TRUE(refreshed);
    EXPECT_EQ(notifier.status(), NotificationStatus::denied);
    EXPECT_FALSE(notificationsAllowed(notifier.status()));
    notifier.post(QUuid::createUuid(), "title", "body", true);

    NetworkManagerMetered metered(none);
    EXPECT_TRUE(metered.isReady());
    EXPECT_FALSE(metered.isAvailable());
    EXPECT_FALSE(metered.expensive());

    NetworkPathMonitor monitor(none);
    int reports = 0;
    QObject::connect(&monitor, &NetworkPathMonitor::pathReported, [&] { ++reports; });
    monitor.apply(RtnetlinkState{});
    EXPECT_EQ(reports, 1);  // no waiting for a NetworkManager that cannot answer
    runEventsFor(50);
  }
  QDBusConnection::disconnectFromBus(QStringLiteral("kivo-none"));
}

TEST(DesktopWithoutBus, TheDefaultBusesMayBeMissing) {
  // Whatever this machine has (CI has no system bus), constructing and refreshing is safe.
  DesktopSystemObserver observer;
  DesktopNotifier notifier;
  bool refreshed = false;
  QObject::connect(&notifier, &Notifier::statusRefreshed, [&] { refreshed = true; });
  notifier.refreshStatus();
  ASSERT_TRUE(waitUntil([&] { return refreshed; }, 10000));
  EXPECT_NE(notifier.status(), NotificationStatus::notDetermined);
  runEventsFor(50);
}

}  // namespace
}  // namespace kivo
