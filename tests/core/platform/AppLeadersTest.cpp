#include "platform/AppLeaders.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <vector>

using namespace kivo;

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

struct Member {
  std::int32_t pid;
  std::int32_t parent;
  std::uint32_t uid = 1000;
  std::optional<QDateTime> start = QDateTime::fromSecsSinceEpoch(1'700'000'000, QTimeZone::utc());
};

// One process sample as the page hands it over.
const std::unordered_set<std::int32_t>& update(AppLeaders& leaders, const std::vector<Member>& sample) {
  leaders.begin(1000);
  for (const Member& member : sample) leaders.see(member.pid, member.parent, member.uid, member.start);
  return leaders.finish();
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
  for (const auto& [path, app] : units)
    EXPECT_EQ(AppLeaders::isAppUnit(QString::fromLatin1(path)), app) << path;
}

TEST(AppLeaders, LeadersOfDesktopLaunchedUnitsOnFixtureTree) {
  CgroupTree tree;
  tree.set(900, kUser + "/init.scope\n");                              // systemd --user
  tree.set(1001, kUser + "/app.slice/app-gnome-firefox-77.scope\n");   // firefox
  tree.set(1002, kUser + "/app.slice/app-gnome-firefox-77.scope\n");   // its content process
  tree.set(1003, kUser + "/app.slice/app-editor@f00.service\n");       // an editor service
  tree.set(1004, kUser + "/session.slice/gnome-shell.service\n");      // not an app
  tree.set(1005, "0::/user.slice/user-1000.slice/session-3.scope\n");  // terminal shell
  tree.set(2001, "0::/user.slice/user-1001.slice/user@1001.service/app.slice/app-x-1.scope\n");
  const std::vector<Member> sample = {
      {900, 1},        {1001, 900},  {1002, 1001}, {1003, 900},
      {1004, 900},     {1005, 1004}, {1006, 1001},  // 1006 has no cgroup file: no app
      {2001, 1, 1001},                              // another user's app: never read
  };
  AppLeaders leaders(tree.dir.path().toStdString());
  const auto& apps = update(leaders, sample);
  EXPECT_EQ(apps, (std::unordered_set<std::int32_t>{1001, 1003}));
  EXPECT_EQ(leaders.reads(), 7);

  // The next sample reads each pid once more (a launcher moves its child just after starting
  // it), then a steady list reads nothing.
  tree.set(1005, kUser + "/app.slice/app-late-5.scope\n");
  EXPECT_EQ(update(leaders, sample), (std::unordered_set<std::int32_t>{1001, 1003, 1005}));
  EXPECT_EQ(leaders.reads(), 14);
  update(leaders, sample);
  EXPECT_EQ(leaders.reads(), 14);

  // A pid given to a new process (another start time) is read again.
  std::vector<Member> reused = sample;
  reused[1].start = reused[1].start->addSecs(60);
  tree.set(1001, kUser + "/session.slice/other.service\n");
  // Its former helper now leads the unit: its parent is outside.
  EXPECT_EQ(update(leaders, reused), (std::unordered_set<std::int32_t>{1002, 1003, 1005}));
  EXPECT_EQ(leaders.reads(), 15);
}
