#include "StoreTestSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

using namespace kivo;
using namespace kivo::test;

namespace {

struct Outcome {
  int exitCode = -1;
  QString output;
};

// Runs the outsider program (another process: SQLite's locks are per process) on a history.
Outcome outsider(const QStringList& arguments) {
  QProcess process;
  process.start(QStringLiteral(KIVO_STORE_OUTSIDER), arguments);
  if (!process.waitForFinished(60'000)) return {-1, QStringLiteral("did not finish")};
  Outcome outcome;
  outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  outcome.output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
  if (outcome.exitCode != 0) outcome.output += QString::fromLocal8Bit(process.readAllStandardError());
  return outcome;
}

enum class Before { nothing, history, logLeftByACrash };
enum class Access { sqliteRead, refusedSecondStore };

}  // namespace

// Someone reading the history with sqlite3 while the monitor runs, or a second monitor that is
// refused, must not make the running store's write-ahead log go away: what it writes after
// stays in the log at the path, where any new connection sees it.
TEST(StoreOutsider, AnotherProcessOnTheFileLeavesTheLogAndSeesLaterRows) {
  const struct {
    const char* name;
    Before before;
  } histories[] = {
      {"new history", Before::nothing},
      {"existing history", Before::history},
      {"history with a log left by a crash", Before::logLeftByACrash},
  };
  const struct {
    const char* name;
    Access access;
  } accesses[] = {
      {"sqlite3 read", Access::sqliteRead},
      {"refused second store", Access::refusedSecondStore},
  };
  const double t0 = recentHour();
  for (const auto& history : histories) {
    for (const auto& access : accesses) {
      SCOPED_TRACE(std::string(history.name) + ", " + access.name);
      QTemporaryDir dir;
      const QString path = dir.path() + "/telemetry.sqlite";
      if (history.before == Before::history) {
        TimeSeriesStore earlier(path);
        earlier.append(std::vector<MetricValue>{{MetricID::cpuTotal, 1}}, at(t0));
        ASSERT_TRUE(earlier.flush(at(t0 + 1)));
      } else if (history.before == Before::logLeftByACrash) {
        const Outcome crashed = outsider({"crash", path});
        ASSERT_EQ(crashed.exitCode, 0) << crashed.output.toStdString();
        ASSERT_GT(QFileInfo(path + "-wal").size(), 0);
      }

      TimeSeriesStore store(path);
      store.append(std::vector<MetricValue>{{MetricID::cpuTotal, 2}}, at(t0 + 10));
      ASSERT_TRUE(store.flush(at(t0 + 11)));

      const Outcome accessed = outsider({access.access == Access::sqliteRead ? "read" : "store", path});
      EXPECT_EQ(accessed.exitCode, 0) << accessed.output.toStdString();

      store.append(std::vector<MetricValue>{{MetricID::cpuTotal, 3}}, at(t0 + 20));
      ASSERT_TRUE(store.flush(at(t0 + 21)));
      EXPECT_TRUE(QFileInfo::exists(path + "-wal"));
      const Outcome later = outsider({"query", path,
                                      QStringLiteral("SELECT count(*) FROM raw WHERE ts = %1")
                                          .arg(static_cast<qint64>(t0 + 20) * 1000)});
      EXPECT_EQ(later.exitCode, 0) << later.output.toStdString();
      EXPECT_EQ(later.output, QStringLiteral("1"))
          << "a fresh connection does not see the row written after the access";
    }
  }
}
