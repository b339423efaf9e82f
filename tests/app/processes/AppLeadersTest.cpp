#include "ProcessFixtures.h"

#include "features/processes/AppLeaders.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace kivo;
using test::process;

namespace {

// A /proc tree holding only cgroup files.
struct CgroupTree {
  QTemporaryDir dir;
  void set(std::int32_t pid, const QByteArray& text) {
    const QString folder = dir.path() + QStringLiteral("/proc/") + QString::number(pid);
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("/cgroup"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
  }
};

const QByteArray kUser = "0::/user.slice/user-1000.slice/user@1000.service";

ProcessRecord child(std::int32_t pid, std::int32_t parent, std::uint32_t uid = 1000) {
  ProcessRecord record = process(pid, QStringLiteral("p") + QString::number(pid), 1.0, uid);
  record.parentPID = parent;
  return record;
}

}  // namespace

TEST(AppLeaders, ReadsTheUnifiedOrSystemdPath) {
  EXPECT_EQ(AppLeaders::cgroupPath("0::/a/b.scope\n"), QStringLiteral("/a/b.scope"));
  EXPECT_EQ(AppLeaders::cgroupPath("12:pids:/x\n1:name=systemd:/user.slice/app-y.scope\n0::/\n"),
            QStringLiteral("/"));
  EXPECT_EQ(AppLeaders::cgroupPath("12:pids:/x\n1:name=systemd:/user.slice/app-y.scope\n"),
            QStringLiteral("/user.slice/app-y.scope"));
  EXPECT_FALSE(AppLeaders::cgroupPath("12:pids:/x\n"));
  EXPECT_FALSE(AppLeaders::cgroupPath(""));

  const std::vector<std::pair<const char*, bool>> units = {
      {"/u/app.slice/app-org.gnome.Terminal-1234.scope", true},
      {"/u/app.slice/app-gnome-firefox-99.scope", true},
      {"/u/app.slice/app-firefox@abc123.service", true},
      {"/u/app.slice/app-dbus-daemon.service", false},  // a service without an instance is no launch
      {"/u/app.slice/vte-spawn-1.scope", false},
      {"/u/app.slice/app-.scope", false},
      {"/u/app.slice/app-x.scope/sub", false},
      {"/u/session-2.scope", false},
  };
  for (const auto& [path, app] : units) EXPECT_EQ(AppLeaders::isAppUnit(QString::fromLatin1(path)), app) << path;
}

TEST(AppLeaders, LeadersOfDesktopLaunchedUnitsOnFixtureTree) {
  CgroupTree tree;
  tree.set(900, kUser + "/init.scope\n");                                        // systemd --user
  tree.set(1001, kUser + "/app.slice/app-gnome-firefox-77.scope\n");            // firefox
  tree.set(1002, kUser + "/app.slice/app-gnome-firefox-77.scope\n");            // its content process
  tree.set(1003, kUser + "/app.slice/app-editor@f00.service\n");                // an editor service
  tree.set(1004, kUser + "/session.slice/gnome-shell.service\n");               // not an app
  tree.set(1005, "0::/user.slice/user-1000.slice/session-3.scope\n");           // terminal shell
  tree.set(2001, "0::/user.slice/user-1001.slice/user@1001.service/app.slice/app-x-1.scope\n");
  const ProcessSample sample = test::sampleOf({
      child(900, 1), child(1001, 900), child(1002, 1001), child(1003, 900), child(1004, 900),
      child(1005, 1004), child(1006, 1001),  // 1006 has no cgroup file: no app
      child(2001, 1, 1001),                  // another user's app: never read
  });
  AppLeaders leaders(tree.dir.path().toStdString());
  const auto& apps = leaders.update(sample, 1000);
  EXPECT_EQ(apps, (std::unordered_set<std::int32_t>{1001, 1003}));
  EXPECT_EQ(leaders.reads(), 7);

  // The next sample reads each pid once more (a launcher moves its child just after starting
  // it), then a steady list reads nothing.
  tree.set(1005, kUser + "/app.slice/app-late-5.scope\n");
  EXPECT_EQ(leaders.update(sample, 1000), (std::unordered_set<std::int32_t>{1001, 1003, 1005}));
  EXPECT_EQ(leaders.reads(), 14);
  leaders.update(sample, 1000);
  EXPECT_EQ(leaders.reads(), 14);

  // A pid given to a new process (another start time) is read again.
  ProcessSample reused = sample;
  reused.processes[1].startTime = reused.processes[1].startTime->addSecs(60);
  tree.set(1001, kUser + "/session.slice/other.service\n");
  // Its former helper now leads the unit: its parent is outside.
  EXPECT_EQ(leaders.update(reused, 1000), (std::unordered_set<std::int32_t>{1002, 1003, 1005}));
  EXPECT_EQ(leaders.reads(), 15);
}
