#include "desktop/MountObserver.h"

#include "TestSupport.h"
#include "WaitUntil.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace kivo {
namespace {

using test::runEventsFor;

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
  ASSERT_TRUE(test::waitUntil([&] { return changes > 0; }));
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
