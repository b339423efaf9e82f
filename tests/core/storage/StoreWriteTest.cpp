#include "StoreTestSupport.h"
#include "TestSupport.h"
#include "analysis/StoredEvents.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <limits>
#include <utility>

using namespace kivo;
using namespace kivo::test;

namespace {

// A store on a temporary file with a plain connection beside it.
struct FileStore {
  QTemporaryDir dir;
  QString path = dir.path() + "/telemetry.sqlite";
  TimeSeriesStore store{path};
  RawDatabase db{path};
};

void tick(TimeSeriesStore& store, double t, std::vector<MetricValue> values) {
  store.append(values, at(t));
}

std::string summary(RawDatabase& db, const char* table, MetricID metric, double start) {
  const auto rows = db.rows(std::string("SELECT mn, mx, av, n FROM ") + table +
                            " WHERE metric=" + std::to_string(Metric::rawValue(metric)) +
                            " AND ts=" + std::to_string(static_cast<std::int64_t>(start)));
  if (rows.empty()) return "none";
  return rows[0][0] + " " + rows[0][1] + " " + rows[0][2] + " " + rows[0][3];
}

// Collects the store's messages while alive; only those a user can turn off as "kivo.store".
class WarningLog {
 public:
  WarningLog() : previous_(qInstallMessageHandler(&collect)) { lines().clear(); }
  ~WarningLog() { qInstallMessageHandler(previous_); }
  WarningLog(const WarningLog&) = delete;
  WarningLog& operator=(const WarningLog&) = delete;
  static QStringList& lines() {
    static QStringList collected;
    return collected;
  }

 private:
  static void collect(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (QLatin1String(context.category) == QLatin1String("kivo.store")) lines() << message;
  }
  QtMessageHandler previous_;
};

}  // namespace

TEST(StoreWrite, NothingFiniteChangesNothing) {
  FileStore s;
  const double t0 = recentHour();
  s.store.append(std::vector<MetricValue>{}, at(t0));
  tick(s.store, t0,
       {{MetricID::cpuTotal, std::numeric_limits<double>::quiet_NaN()},
        {MetricID::memUsed, std::numeric_limits<double>::infinity()}});
  ASSERT_TRUE(s.store.flush(at(t0 + 1)));
  EXPECT_EQ(s.db.value("SELECT COUNT(*) FROM raw"), "0");
  EXPECT_EQ(s.db.value("SELECT COUNT(*) FROM minute"), "0");
  EXPECT_EQ(s.db.value("SELECT COUNT(*) FROM hour"), "0");
}

TEST(StoreWrite, RawRowsAreMillisecondsAndTheLaterOfTwoEqualKeysRemains) {
  FileStore s;
  const double t0 = recentHour() + 10;
  tick(s.store, t0 + 0.0125, {{MetricID::cpuTotal, 1}, {MetricID::cpuTotal, 3}, {MetricID::netUp, 7}});
  ASSERT_TRUE(s.store.flush(at(t0 + 1)));
  const auto rows = s.db.rows("SELECT metric, ts, v FROM raw ORDER BY metric");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"1", std::to_string(static_cast<std::int64_t>(t0) * 1000 + 13),
                                               "3.0"}));
  EXPECT_EQ(rows[1][0], "41");
  // Both values count in the summaries.
  EXPECT_EQ(summary(s.db, "minute", MetricID::cpuTotal, t0 - 10), "1.0 3.0 2.0 2");
}

TEST(StoreWrite, SummariesHoldEveryValueOfTheirPeriodAcrossFlushes) {
  FileStore s;
  const double m = recentHour() + 120;
  tick(s.store, m + 1, {{MetricID::cpuTotal, 10}});
  tick(s.store, m + 3, {{MetricID::cpuTotal, 40}});
  ASSERT_TRUE(s.store.flush(at(m + 4)));
  EXPECT_EQ(summary(s.db, "minute", MetricID::cpuTotal, m), "10.0 40.0 25.0 2");
  tick(s.store, m + 5, {{MetricID::cpuTotal, 4}});
  ASSERT_TRUE(s.store.flush(at(m + 6)));
  ASSERT_TRUE(s.store.flush(at(m + 7)));  // nothing new: nothing counted twice
  EXPECT_EQ(summary(s.db, "minute", MetricID::cpuTotal, m), "4.0 40.0 18.0 3");
  tick(s.store, m + 61, {{MetricID::cpuTotal, 100}});  // next minute closes this one
  ASSERT_TRUE(s.store.flush(at(m + 62)));
  EXPECT_EQ(summary(s.db, "minute", MetricID::cpuTotal, m), "4.0 40.0 18.0 3");
  EXPECT_EQ(summary(s.db, "minute", MetricID::cpuTotal, m + 60), "100.0 100.0 100.0 1");
  EXPECT_EQ(summary(s.db, "hour", MetricID::cpuTotal, recentHour()), "4.0 100.0 38.5 4");
}

TEST(StoreWrite, RestartWithinTheSameMinuteContinuesTheStoredRow) {
  QTemporaryDir dir;
  const QString path = dir.path() + "/telemetry.sqlite";
  const double m = recentHour() + 300;
  {
    TimeSeriesStore store(path);
    tick(store, m + 1, {{MetricID::memUsed, 10}});
    tick(store, m + 2, {{MetricID::memUsed, 20}});
    tick(store, m + 3, {{MetricID::memUsed, 30}});
    ASSERT_TRUE(store.flush(at(m + 4)));
  }
  {
    TimeSeriesStore store(path);
    tick(store, m + 30, {{MetricID::memUsed, 60}});
    ASSERT_TRUE(store.flush(at(m + 31)));
  }
  RawDatabase db(path);
  // sum = 20 × 3 + 60 over 4 samples
  EXPECT_EQ(summary(db, "minute", MetricID::memUsed, m), "10.0 60.0 30.0 4");
  EXPECT_EQ(summary(db, "hour", MetricID::memUsed, recentHour()), "10.0 60.0 30.0 4");
}

// A stored row that lost its mean (a file changed behind the store's back) holds no
// usable samples: merging into it must not count its n, nor take its mean for 0.
TEST(StoreWrite, MergingIntoARowWithoutItsMeanStartsItAfresh) {
  FileStore s;
  const double m = recentHour() + 600;
  const struct {
    const char* stored;  // mn, mx, av, n
    const char* merged;
  } cases[] = {
      {"NULL, 9, NULL, 4", "10.0 10.0 10.0 1"}, {"2, 9, NULL, NULL", "10.0 10.0 10.0 1"},
      {"2, 9, 6, NULL", "10.0 10.0 10.0 1"},    {"2, 9, 6, -4", "10.0 10.0 10.0 1"},
      {"2, 9, 6, 3", "2.0 10.0 7.0 4"},  // a whole row is continued
  };
  double t = m;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    t += 60;
    ASSERT_EQ(s.db.exec("INSERT INTO minute(metric, ts, mn, mx, av, n) VALUES(" +
                        std::to_string(Metric::rawValue(MetricID::memUsed)) + ", " +
                        std::to_string(static_cast<std::int64_t>(t)) + ", " + c.stored + ")"),
              "");
    tick(s.store, t + 1, {{MetricID::memUsed, 10}});
    ASSERT_TRUE(s.store.flush(at(t + 2)));
    EXPECT_EQ(summary(s.db, "minute", MetricID::memUsed, t), c.merged);
  }
}

TEST(StoreWrite, ClockSteppingBackMergesWithTheStoredOrQueuedPeriod) {
  // Whether the earlier minute was already written or still queued when the clock
  // stepped back into it, none of its samples may be lost.
  for (bool flushBetween : {true, false}) {
    SCOPED_TRACE(flushBetween ? "written" : "queued");
    FileStore s;
    const double m = recentHour() + 600;
    tick(s.store, m + 10, {{MetricID::cpuTotal, 10}});
    tick(s.store, m + 20, {{MetricID::cpuTotal, 20}});
    if (flushBetween) {
      ASSERT_TRUE(s.store.flush(at(m + 21)));
    }
    tick(s.store, m + 70, {{MetricID::cpuTotal, 70}});
    if (flushBetween) {
      ASSERT_TRUE(s.store.flush(at(m + 71)));
    }
    tick(s.store, m + 30, {{MetricID::cpuTotal, 30}});  // back into the first minute
    tick(s.store, m + 75, {{MetricID::cpuTotal, 50}});  // and forward again
    ASSERT_TRUE(s.store.flush(at(m + 76)));
    EXPECT_EQ(summary(s.db, "minute", MetricID::cpuTotal, m), "10.0 30.0 20.0 3");
    EXPECT_EQ(summary(s.db, "minute", MetricID::cpuTotal, m + 60), "50.0 70.0 60.0 2");
    EXPECT_EQ(summary(s.db, "hour", MetricID::cpuTotal, recentHour()), "10.0 70.0 36.0 5");
  }
}

TEST(StoreWrite, HourSteppingBackMergesToo) {
  FileStore s;
  const double h = recentHour() - 3600;
  tick(s.store, h + 100, {{MetricID::diskFree, 5}});
  ASSERT_TRUE(s.store.flush(at(h + 101)));
  tick(s.store, h + 3700, {{MetricID::diskFree, 9}});
  tick(s.store, h + 200, {{MetricID::diskFree, 7}});
  ASSERT_TRUE(s.store.flush(at(h + 3701)));
  EXPECT_EQ(summary(s.db, "hour", MetricID::diskFree, h), "5.0 7.0 6.0 2");
  EXPECT_EQ(summary(s.db, "hour", MetricID::diskFree, h + 3600), "9.0 9.0 9.0 1");
}

TEST(StoreWrite, FailedFlushRollsBackKeepsTheRowsAndReportsTheError) {
  // The fault strikes the raw insert, then only the summaries: either way nothing of
  // the flush may stay half written, and the retry writes each sample exactly once.
  for (const char* table : {"raw", "minute"}) {
    SCOPED_TRACE(table);
    FileStore s;
    const double m = recentHour() + 900;
    tick(s.store, m + 1, {{MetricID::cpuTotal, 10}, {MetricID::memUsed, 1}});
    tick(s.store, m + 3, {{MetricID::cpuTotal, 30}, {MetricID::memUsed, 3}});
    ASSERT_EQ(s.db.exec(std::string("CREATE TRIGGER fault BEFORE INSERT ON ") + table +
                        " BEGIN SELECT RAISE(ABORT, 'disk trouble'); END"),
              "");

    EXPECT_FALSE(s.store.flush(at(m + 4)));
    ASSERT_TRUE(s.store.lastError());
    EXPECT_TRUE(s.store.lastError()->contains("disk trouble")) << s.store.lastError()->toStdString();
    EXPECT_EQ(s.db.value("SELECT COUNT(*) FROM raw"), "0");
    EXPECT_EQ(s.db.value("SELECT COUNT(*) FROM minute"), "0");

    tick(s.store, m + 5, {{MetricID::cpuTotal, 50}, {MetricID::memUsed, 5}});
    EXPECT_FALSE(s.store.flush(at(m + 6)));

    ASSERT_EQ(s.db.exec("DROP TRIGGER fault"), "");
    EXPECT_TRUE(s.store.flush(at(m + 7)));
    EXPECT_FALSE(s.store.lastError());
    EXPECT_EQ(s.db.value("SELECT COUNT(*) FROM raw"), "6");
    EXPECT_EQ(summary(s.db, "minute", MetricID::cpuTotal, m), "10.0 50.0 30.0 3");
    EXPECT_EQ(summary(s.db, "hour", MetricID::memUsed, recentHour()), "1.0 5.0 3.0 3");
    EXPECT_EQ(s.store.droppedRows(), 0u);
  }
}

TEST(StoreWrite, FlushWaitingOnAnotherWriterGivesUpAndRetriesLater) {
  FileStore s;
  const double m = recentHour() + 1200;
  tick(s.store, m + 1, {{MetricID::cpuTotal, 10}});
  {
    RawDatabase other(s.path);
    ASSERT_EQ(other.exec("BEGIN IMMEDIATE"), "");
    EXPECT_FALSE(s.store.flush(at(m + 2)));  // after the busy timeout
    ASSERT_TRUE(s.store.lastError());
    EXPECT_TRUE(s.store.lastError()->contains("locked")) << s.store.lastError()->toStdString();
    ASSERT_EQ(other.exec("COMMIT"), "");
  }
  EXPECT_TRUE(s.store.flush(at(m + 3)));
  EXPECT_EQ(summary(s.db, "minute", MetricID::cpuTotal, m), "10.0 10.0 10.0 1");
}

// The sampling loop's flush does not wait for another program's write lock: it comes back
// skipped with the rows still queued, and a later flush writes every row once.
TEST(StoreWrite, TickFlushSkipsWhileAnotherProgramHoldsTheWriteLock) {
  FileStore s;
  const double m = recentHour() + 1500;
  tick(s.store, m + 1, {{MetricID::cpuTotal, 10}});
  tick(s.store, m + 3, {{MetricID::cpuTotal, 30}});
  ASSERT_EQ(s.db.exec("BEGIN IMMEDIATE"), "");
  EXPECT_EQ(s.store.flushUnlessBusy(at(m + 4)), std::nullopt);
  EXPECT_EQ(s.store.writeStatus().pendingSamples, 2u);
  EXPECT_EQ(s.store.writeStatus().code, SQLITE_BUSY);
  tick(s.store, m + 5, {{MetricID::cpuTotal, 50}});
  EXPECT_EQ(s.store.flushUnlessBusy(at(m + 6)), std::nullopt);
  ASSERT_EQ(s.db.exec("COMMIT"), "");
  EXPECT_EQ(s.db.value("SELECT COUNT(*) FROM raw"), "0");

  EXPECT_EQ(s.store.flushUnlessBusy(at(m + 7)), std::optional<bool>(true));
  EXPECT_EQ(s.db.value("SELECT COUNT(*) FROM raw"), "3");
  EXPECT_EQ(summary(s.db, "minute", MetricID::cpuTotal, m), "10.0 50.0 30.0 3");
  EXPECT_FALSE(s.store.writeStatus().error);
  EXPECT_EQ(s.store.droppedRows(), 0u);
}

// Events of the sampling loop wait, in order, while another program holds the write lock:
// the next record, flush or event query writes them first. Erasing drops those still queued.
TEST(StoreWrite, TickEventsWaitInOrderWhileAnotherProgramHoldsTheWriteLock) {
  FileStore s;
  const double t = recentHour() + 600;
  const auto note = [&](const char* text, double seconds) {
    return StoredEvents::bookmark(QString::fromUtf8(text), at(t + seconds));
  };
  const auto written = [&] {
    return s.db.value(
        "SELECT group_concat(json_extract(payload, '$.note'), ' ') FROM (SELECT payload "
        "FROM events ORDER BY id)");
  };
  ASSERT_EQ(s.db.exec("BEGIN IMMEDIATE"), "");
  s.store.recordUnlessBusy(note("one", 1));
  s.store.recordUnlessBusy(note("two", 2));
  EXPECT_FALSE(s.store.writeStatus().error);
  ASSERT_EQ(s.db.exec("COMMIT"), "");
  EXPECT_EQ(s.db.value("SELECT COUNT(*) FROM events"), "0");
  s.store.recordUnlessBusy(note("three", 3));
  EXPECT_EQ(written(), "one two three");

  // Written by whichever comes first: a flush, a blocking record or a query of events.
  const struct {
    const char* name;
    std::function<void()> next;
  } writers[] = {
      {"flush", [&] { EXPECT_TRUE(s.store.flush(at(t + 10))); }},
      {"record", [&] { EXPECT_TRUE(s.store.record(note("by record", 11))); }},
      {"events", [&] { s.store.events({EventKind::bookmark}, at(t), at(t + 60), 10); }},
  };
  for (const auto& writer : writers) {
    SCOPED_TRACE(writer.name);
    ASSERT_EQ(s.db.exec("DELETE FROM events"), "");
    ASSERT_EQ(s.db.exec("BEGIN IMMEDIATE"), "");
    s.store.recordUnlessBusy(note("queued", 5));
    ASSERT_EQ(s.db.exec("COMMIT"), "");
    writer.next();
    EXPECT_EQ(written().substr(0, 6), "queued");
  }

  ASSERT_EQ(s.db.exec("BEGIN IMMEDIATE"), "");
  s.store.recordUnlessBusy(note("erased", 20));
  ASSERT_EQ(s.db.exec("COMMIT"), "");
  ASSERT_TRUE(s.store.eraseAll());
  ASSERT_TRUE(s.store.flush(at(t + 30)));
  EXPECT_EQ(s.db.value("SELECT COUNT(*) FROM events"), "0");
}

TEST(StoreWrite, QueueWhileFlushesFailIsBoundedDroppingTheOldestFirst) {
  FileStore s;
  ASSERT_EQ(s.db.exec("CREATE TRIGGER fault BEFORE INSERT ON raw BEGIN SELECT RAISE(ABORT, 'full'); END"),
            "");
  const double t0 = recentHour();
  const std::size_t extra = 25;
  const std::size_t ticks = TimeSeriesStore::kMaxPendingRaw + extra;
  for (std::size_t i = 0; i < ticks; ++i) {
    tick(s.store, t0 + static_cast<double>(i) * 0.01, {{MetricID::netDown, static_cast<double>(i)}});
  }
  EXPECT_FALSE(s.store.flush(at(t0 + 3000)));
  EXPECT_EQ(s.store.droppedRows(), extra);
  ASSERT_EQ(s.db.exec("DROP TRIGGER fault"), "");
  EXPECT_TRUE(s.store.flush(at(t0 + 3001)));
  EXPECT_EQ(s.db.value("SELECT COUNT(*) FROM raw"), std::to_string(TimeSeriesStore::kMaxPendingRaw));
  EXPECT_EQ(s.db.value("SELECT MIN(v) FROM raw"), std::to_string(extra) + ".0");
  EXPECT_EQ(s.db.value("SELECT MAX(v) FROM raw"), std::to_string(ticks - 1) + ".0");
}

// Deleting the data folder (or the file) while running must not send the queue into an
// unlinked file: the next flush starts a new database at the path, says so once, and
// writes what was queued there. Another history moved into its place is written into, and
// the message says that instead of a new file.
TEST(StoreWrite, DeletedDatabaseIsReplacedAtTheNextFlushWithTheQueueInIt) {
  enum class Change { folderDeleted, fileDeleted, anotherHistoryMovedIn };
  const struct {
    const char* name;
    Change change;
    const char* says;
    const char* rows;
  } cases[] = {
      {"folder deleted", Change::folderDeleted,
       "was deleted while running; recording continues in a new file", "20.0,30.0,40.0"},
      {"file deleted", Change::fileDeleted, "was deleted while running; recording continues in a new file",
       "20.0,30.0,40.0"},
      {"another history moved in", Change::anotherHistoryMovedIn,
       "was replaced while running by another history; recording continues in that file",
       "99.0,20.0,30.0,40.0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir dir;
    const QString folder = dir.path() + "/KIVO Monitor";
    const QString path = folder + "/telemetry.sqlite";
    TimeSeriesStore store(path);
    const double m = recentHour() + 1500;
    tick(store, m + 1, {{MetricID::cpuTotal, 10}});
    ASSERT_TRUE(store.flush(at(m + 2)));
    switch (c.change) {
      case Change::folderDeleted:
        ASSERT_TRUE(QDir(folder).removeRecursively());
        break;
      case Change::fileDeleted:
        ASSERT_TRUE(QFile::remove(path));
        break;
      case Change::anotherHistoryMovedIn: {
        const QString other = dir.path() + "/other.sqlite";
        {
          TimeSeriesStore another(other);
          tick(another, m - 100, {{MetricID::cpuTotal, 99}});
          ASSERT_TRUE(another.flush(at(m - 99)));
        }
        ASSERT_EQ(::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()), 0);
        break;
      }
    }
    tick(store, m + 3, {{MetricID::cpuTotal, 20}});
    tick(store, m + 4, {{MetricID::cpuTotal, 30}});

    WarningLog log;
    ASSERT_TRUE(store.flush(at(m + 5)));
    tick(store, m + 6, {{MetricID::cpuTotal, 40}});
    ASSERT_TRUE(store.flush(at(m + 7)));
    ASSERT_EQ(log.lines().size(), 1) << log.lines().join("\n").toStdString();
    EXPECT_TRUE(log.lines()[0].contains(path)) << log.lines()[0].toStdString();
    EXPECT_TRUE(log.lines()[0].contains(c.says)) << log.lines()[0].toStdString();
    EXPECT_FALSE(store.lastError());

    ASSERT_TRUE(QFileInfo::exists(path));
    RawDatabase db(path);
    EXPECT_EQ(db.value("PRAGMA quick_check"), "ok");
    EXPECT_EQ(db.value("SELECT group_concat(v) FROM (SELECT v FROM raw ORDER BY ts)"), c.rows);
    EXPECT_EQ(summary(db, "minute", MetricID::cpuTotal, m), "20.0 40.0 30.0 3");
    try {
      TimeSeriesStore second(path);
      ADD_FAILURE() << "the new file is not guarded against a second instance";
    } catch (const StoreError& error) {
      EXPECT_TRUE(error.message().contains("another running instance")) << error.what();
    }
  }
}

// A mean computed as sum / count may land one rounding step outside [min, max].
TEST(StoreWrite, SummaryMeanStaysWithinItsBounds) {
  FileStore s;
  const double m = recentHour() + 1800;
  for (int i = 0; i < 3; ++i) tick(s.store, m + i, {{MetricID::cpuTotal, 0.1}});
  ASSERT_TRUE(s.store.flush(at(m + 5)));
  const auto rows =
      s.db.rows("SELECT av <= mx AND av >= mn FROM minute UNION ALL SELECT av <= mx AND av >= mn FROM hour");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][0], "1");
  EXPECT_EQ(rows[1][0], "1");
}
