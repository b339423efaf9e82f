#include "TestSupport.h"

#include "model/MonitorModel.h"
#include "settings/MemoryPreferences.h"
#include "shell/Application.h"
#include "shell/MainWindow.h"
#include "shell/Shell.h"
#include "shell/SingleInstance.h"
#include "storage/StoreTime.h"
#include "storage/TimeSeriesStore.h"

#include <QApplication>
#include <QDBusConnection>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <thread>

namespace kivo {
namespace {

QStringList launch(const QString& dataDir) {
  return {QStringLiteral("kivo-monitor"), QStringLiteral("-KIVOUITest"), QStringLiteral("YES"),
          QStringLiteral("-KIVODataDir"), dataDir};
}

TEST(Application, AQuitBeforeTheWindowIsShownStillStopsTheEngineAndKeepsWhatWasRecorded) {
  QTemporaryDir dir;
  {
    Application application(*qApp, launch(dir.path()));
    ASSERT_FALSE(application.handedOver());
    ASSERT_TRUE(application.model());
    application.model()->addBookmark(QStringLiteral("before quitting"));
    // Asked for before the event loop has run once, so before anything was painted.
    QMetaObject::invokeMethod(
        qApp, [] { QApplication::quit(); }, Qt::QueuedConnection);
    EXPECT_EQ(application.run(), 0);
    EXPECT_TRUE(application.model()->isShutDown());
  }
  // The history is whole and free again: another run can open it and finds the bookmark.
  TimeSeriesStore store(QDir(dir.path()).filePath(QStringLiteral("telemetry.sqlite")));
  const auto events =
      store.events({EventKind::bookmark}, StoreTime::distantPast(), StoreTime::distantFuture(), 10);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events.front().payload.value(QStringLiteral("note")), "before quitting");
}

// Needs the private bus the ctest wrapper starts (dbus-run-session).
class PrivateBus : public ::testing::Test {
 protected:
  void SetUp() override {
    if (qEnvironmentVariable("KIVO_PRIVATE_BUS") != QLatin1String("1"))
      GTEST_SKIP() << "runs under dbus-run-session";
  }
  static QDBusConnection connect(const QString& name) {
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
  }
};

TEST_F(PrivateBus, ASecondInstanceOnTheSameHistoryHandsOverAndAnotherHistoryRunsAlone) {
  const QString path = QStringLiteral("/tmp/kivo-instance-test/telemetry.sqlite");
  QDBusConnection firstBus = connect(QStringLiteral("kivo-first"));
  QDBusConnection secondBus = connect(QStringLiteral("kivo-second"));
  ASSERT_TRUE(firstBus.isConnected());
  ASSERT_TRUE(secondBus.isConnected());
  {
    SingleInstance first(firstBus, path);
    ASSERT_EQ(first.claim(), SingleInstance::Outcome::primary);
    int activations = 0;
    QObject::connect(&first, &SingleInstance::activationRequested, [&activations] { ++activations; });

    // The owner answers on this thread's event loop while the second launch waits for it: the
    // second launch runs on a thread of its own, as another process would.
    std::optional<SingleInstance::Outcome> second;
    std::thread launch([&] {
      QDBusConnection bus =
          QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("kivo-third"));
      SingleInstance instance(
          bus, QStringLiteral("/tmp/kivo-instance-test/../kivo-instance-test/telemetry.sqlite"));
      second = instance.claim();
    });
    while (!second) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    launch.join();
    QDBusConnection::disconnectFromBus(QStringLiteral("kivo-third"));
    EXPECT_EQ(*second, SingleInstance::Outcome::handedOver);
    EXPECT_EQ(activations, 1);

    SingleInstance other(secondBus, QStringLiteral("/tmp/kivo-other-history/telemetry.sqlite"));
    EXPECT_EQ(other.claim(), SingleInstance::Outcome::primary);
  }
  // The first one is gone: the name is free for the next launch.
  SingleInstance next(secondBus, path);
  EXPECT_EQ(next.claim(), SingleInstance::Outcome::primary);
  QDBusConnection::disconnectFromBus(QStringLiteral("kivo-first"));
  QDBusConnection::disconnectFromBus(QStringLiteral("kivo-second"));
}

TEST_F(PrivateBus, ALaunchOnARunningHistoryBringsTheMainWindowForwardAndEnds) {
  QTemporaryDir dir;
  Application running(*qApp, launch(dir.path()));
  ASSERT_FALSE(running.handedOver());
  running.shell()->showMainWindow();
  QPointer<MainWindow> window = running.shell()->mainWindow();
  window->close();  // the running one has no main window now
  while (window) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);

  std::optional<bool> handedOver;
  std::thread second([&] {
    // What a second launch does before anything else: claim the history's name.
    QDBusConnection bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("kivo-launch"));
    SingleInstance instance(bus,
                            MonitorModel::databasePath(MemoryPreferences({{"KIVODataDir", dir.path()}})));
    handedOver = instance.claim() == SingleInstance::Outcome::handedOver;
  });
  while (!handedOver) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  second.join();
  QDBusConnection::disconnectFromBus(QStringLiteral("kivo-launch"));
  EXPECT_TRUE(*handedOver);
  ASSERT_TRUE(running.shell()->mainWindow());
  EXPECT_TRUE(running.shell()->mainWindow()->isVisible());
  running.model()->shutdown();
}

}  // namespace
}  // namespace kivo
