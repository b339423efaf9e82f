#include "desktop/MountObserver.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace kivo {
namespace {

void runEventsFor(int milliseconds, const std::function<bool()>& done = {}) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < milliseconds && !(done && done()))
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST(MountObserverTest, AMountInTheWatchedNamespaceIsReported) {
  const QString unshare = QStandardPaths::findExecutable("unshare");
  if (unshare.isEmpty()) GTEST_SKIP() << "no unshare";
  // A child in its own user and mount namespace mounts a tmpfs when told to; the observer
  // watches that namespace's table, so the test touches no mount of this machine.
  QProcess child;
  child.start(unshare, {"-rm", "sh", "-c",
                        "echo ready; read go; mount -t tmpfs kivo-test /tmp && echo mounted; read end"});
  if (!child.waitForReadyRead(5000) || !child.readLine().startsWith("ready")) {
    child.kill();
    child.waitForFinished();
    GTEST_SKIP() << "user namespaces are not available here";
  }

  MountObserver observer(QStringLiteral("/proc/%1/mountinfo").arg(child.processId()));
  ASSERT_TRUE(observer.isAvailable());
  int changes = 0;
  QObject::connect(&observer, &MountObserver::changed, [&] { ++changes; });
  runEventsFor(100);
  EXPECT_EQ(changes, 0);  // nothing changed yet

  child.write("\n");
  runEventsFor(5000, [&] { return changes > 0; });
  EXPECT_EQ(changes, 1);
  runEventsFor(100);
  EXPECT_EQ(changes, 1);  // one change, one report

  child.write("\n");
  child.waitForFinished(5000);
}

TEST(MountObserverTest, AMissingTableIsUnavailable) {
  MountObserver observer(QStringLiteral("/nonexistent/mountinfo"));
  EXPECT_FALSE(observer.isAvailable());
}

}  // namespace
}  // namespace kivo
