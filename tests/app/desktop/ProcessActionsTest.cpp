#include "desktop/ProcessActions.h"

#include "collectors/ProcessCollector.h"
#include "collectors/ProcessSample.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <csignal>

extern char** environ;

namespace kivo {
namespace {

// A child to end: `sleep 30`, reaped by the test.
class Child {
 public:
  Child() {
    char program[] = "/bin/sleep";
    char seconds[] = "30";
    char* argv[] = {program, seconds, nullptr};
    if (::posix_spawn(&pid_, program, nullptr, nullptr, argv, environ) != 0) pid_ = -1;
  }
  ~Child() {
    if (pid_ > 0 && !reaped_) {
      ::kill(pid_, SIGKILL);
      wait();
    }
  }
  pid_t pid() const { return pid_; }
  // Waits for the child and returns the signal that ended it (0 for a normal exit).
  int wait() {
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    reaped_ = true;
    return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  }
  bool running() const {
    int status = 0;
    return ::waitpid(pid_, &status, WNOHANG) == 0;
  }

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
};

TEST(ProcessActionsTest, QuitAndForceQuitSendTermAndKillToTheRecordedProcess) {
  struct Case {
    ProcessAction action;
    int signal;
  };
  for (const Case c : {Case{ProcessAction::quit, SIGTERM}, Case{ProcessAction::forceQuit, SIGKILL}}) {
    Child child;
    ASSERT_GT(child.pid(), 0);
    ProcessActions actions;
    const auto started = actions.startTime(child.pid());
    ASSERT_TRUE(started.has_value());
    EXPECT_TRUE(actions.perform(c.action, child.pid(), started));
    EXPECT_EQ(child.wait(), c.signal);
  }
}

TEST(ProcessActionsTest, TheProcessCollectorsRowIsMatchedToTheMillisecond) {
  Child child;
  ASSERT_GT(child.pid(), 0);
  // The row as the process table gets it from the collector.
  ProcessCollector collector;
  const ProcessSample sample = collector.sample(1.0);
  const auto row = std::find_if(sample.processes.begin(), sample.processes.end(),
                                [&](const ProcessRecord& r) { return r.pid == child.pid(); });
  ASSERT_NE(row, sample.processes.end());
  ASSERT_TRUE(row->startTime.has_value());
  ProcessActions actions;
  EXPECT_EQ(actions.startTime(child.pid()), row->startTime) << "both read and compute it the same way";

  // One millisecond off is another process; so is a row without a date.
  for (const qint64 offset : {-1000, -1, 1}) {
    ProcessRecord other = *row;
    other.startTime = row->startTime->addMSecs(offset);
    EXPECT_FALSE(actions.perform(ProcessAction::quit, other)) << offset;
  }
  ProcessRecord undated = *row;
  undated.startTime.reset();
  EXPECT_FALSE(actions.perform(ProcessAction::quit, undated));
  EXPECT_TRUE(child.running());
  EXPECT_TRUE(actions.perform(ProcessAction::quit, *row));
  EXPECT_EQ(child.wait(), SIGTERM);
}

TEST(ProcessActionsTest, AStartTimeThatDiffersMeansAnotherProcessAndNothingIsSent) {
  Child child;
  ASSERT_GT(child.pid(), 0);
  ProcessActions actions;
  const auto started = actions.startTime(child.pid());
  ASSERT_TRUE(started.has_value());
  EXPECT_FALSE(actions.perform(ProcessAction::forceQuit, child.pid(), started->addSecs(-5)));
  EXPECT_FALSE(actions.perform(ProcessAction::forceQuit, child.pid(), started->addMSecs(1)));
  EXPECT_FALSE(actions.perform(ProcessAction::forceQuit, child.pid(), QDateTime()));
  EXPECT_FALSE(actions.perform(ProcessAction::forceQuit, child.pid(), std::nullopt));
  EXPECT_TRUE(child.running());
}

TEST(ProcessActionsTest, RefusesTheKernelInitAndTheMonitorItself) {
  ProcessActions actions;
  // Each with its real start time, so only the pid rule can refuse. Init is only sent the
  // kill the kernel drops for it, in case the rule is broken.
  for (const std::int32_t pid : {-1, 0, 1, static_cast<std::int32_t>(::getpid())}) {
    const auto started = actions.startTime(pid);
    EXPECT_EQ(started.has_value(), pid > 0) << pid;
    const QDateTime date = started.value_or(QDateTime::fromMSecsSinceEpoch(0, QTimeZone::utc()));
    EXPECT_FALSE(actions.perform(ProcessAction::forceQuit, pid, date)) << pid;
    if (pid != 1) {
      EXPECT_FALSE(actions.perform(ProcessAction::quit, pid, date)) << pid;
    }
  }
}

TEST(ProcessActionsTest, AProcessThatHasExitedCannotBeSignalled) {
  ProcessActions actions;
  pid_t gone = 0;
  std::optional<QDateTime> started;
  {
    Child child;
    ASSERT_GT(child.pid(), 0);
    gone = child.pid();
    started = actions.startTime(gone);
    ::kill(gone, SIGKILL);
    child.wait();
  }
  EXPECT_FALSE(actions.perform(ProcessAction::forceQuit, gone, started));
}

TEST(ProcessActionsTest, ABootTimePastTheYear9999GivesNoStartTime) {
  // Read as the process collector reads it: a value it refuses matches no recorded start.
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("proc/7")));
  const auto write = [&](const QString& name, const QByteArray& text) {
    QFile file(root.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  };
  write(QStringLiteral("proc/7/stat"), "7 (x) S 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 100 0\n");
  write(QStringLiteral("proc/stat"), "cpu  1 2 3 4 5 6 7 0 0 0\nbtime 9223372036854775807\n");
  EXPECT_FALSE(ProcessActions(root.path().toStdString()).startTime(7).has_value());
  write(QStringLiteral("proc/stat"), "cpu  1 2 3 4 5 6 7 0 0 0\nbtime 1700000000\n");
  EXPECT_TRUE(ProcessActions(root.path().toStdString()).startTime(7).has_value());
}

TEST(ProcessActionsTest, StartTimeComesFromBootTimeAndTheStartTicksPastAHostileName) {
  ProcessActions actions(test::fixture("process-actions"));
  const auto hertz = static_cast<qint64>(::sysconf(_SC_CLK_TCK));
  const auto started = actions.startTime(4242);
  ASSERT_TRUE(started.has_value());
  EXPECT_EQ(started->toMSecsSinceEpoch(), 1700000000000 + 98765 * 1000 / hertz);
  EXPECT_FALSE(actions.startTime(4243).has_value());
}

}  // namespace
}  // namespace kivo
