#include "StoreTestSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <thread>

using namespace kivo;
using namespace kivo::test;

namespace {

struct FileStore {
  QTemporaryDir dir;
  QString path = dir.path() + "/telemetry.sqlite";
  TimeSeriesStore store{path};
  RawDatabase db{path};
};

StoredEvent event(double t, EventKind kind, QString code, QMap<QString, QString> payload = {}) {
  return {0, at(t), kind, Severity::info, std::nullopt, std::move(code), std::move(payload)};
}

std::vector<std::string> codes(const std::vector<StoredEvent>& events) {
  std::vector<std::string> result;
  for (const StoredEvent& e : events) result.push_back(e.code.toStdString());
  return result;
}

const std::vector<EventKind> kAllKinds(EventKinds::allCases().begin(), EventKinds::allCases().end());

}  // namespace

TEST(StoreEvents, RecordedEventsComeBackIntactNewestFirst) {
  TimeSeriesStore store(std::nullopt);
  const double t = recentHour();
  StoredEvent alert{
      42,
      at(t + 0.25),
      EventKind::alert,
      Severity::critical,
      MetricID::cpuTotal,
      "alert.fired",
      {{"rule", "1b4e28ba-2fa1-11d2-883f-0016d3cca427"}, {"value", "97.5"}, {"comparison", "above"}}};
  const auto alertId = store.record(alert);
  ASSERT_TRUE(alertId);
  EXPECT_NE(*alertId, 42);  // the given id is ignored
  StoredEvent note = event(t + 10, EventKind::bookmark, "bookmark", {{"note", "it's \"slow\" — again ✓"}});
  const auto noteId = store.record(note);
  ASSERT_TRUE(noteId);
  EXPECT_GT(*noteId, *alertId);

  const auto listed = store.events(kAllKinds, StoreTime::distantPast(), StoreTime::distantFuture(), 100);
  ASSERT_EQ(listed.size(), 2u);
  alert.id = *alertId;
  note.id = *noteId;
  EXPECT_EQ(listed[0], note);
  EXPECT_EQ(listed[1], alert);
}

TEST(StoreEvents, ListingFiltersByKindAndInclusiveRangeWithALimit) {
  TimeSeriesStore store(std::nullopt);
  const double t = recentHour();
  store.record(event(t + 1, EventKind::system, "system.gap"));
  store.record(event(t + 2, EventKind::network, "network.offline"));
  store.record(event(t + 3, EventKind::system, "system.sleep"));
  store.record(event(t + 4, EventKind::system, "system.wake"));

  EXPECT_EQ(codes(store.events({EventKind::system}, at(t + 1), at(t + 3), 10)),
            (std::vector<std::string>{"system.sleep", "system.gap"}));
  EXPECT_EQ(codes(store.events({EventKind::system, EventKind::network}, at(t), at(t + 10), 2)),
            (std::vector<std::string>{"system.wake", "system.sleep"}));
  EXPECT_TRUE(store.events({}, at(t), at(t + 10), 10).empty());
  EXPECT_TRUE(store.events({EventKind::system}, at(t), at(t + 10), 0).empty());
  EXPECT_TRUE(store.events({EventKind::finding}, at(t), at(t + 10), 10).empty());
}

TEST(StoreEvents, BadStoredRowsTakeTheirFallbacks) {
  FileStore s;
  const double t = recentHour();
  ASSERT_EQ(s.db.exec("INSERT INTO events(ts, kind, severity, metric, code, payload) VALUES"
                      "(" +
                      std::to_string(t) +
                      ", 'bogus', 7, 999, 'x.1', '[1,2]'),"
                      "(" +
                      std::to_string(t + 1) +
                      ", 'alert', 1, 16, 'x.2', '{\"a\":1}'),"
                      "(" +
                      std::to_string(t + 2) + ", 'process', 2, NULL, 'x.3', 'not json')"),
            "");
  const auto listed = s.store.events(kAllKinds, StoreTime::distantPast(), StoreTime::distantFuture(), 10);
  ASSERT_EQ(listed.size(), 2u);  // a kind this version does not know is never asked for
  EXPECT_EQ(listed[0].kind, EventKind::process);
  EXPECT_EQ(listed[0].severity, Severity::critical);
  EXPECT_TRUE(listed[0].payload.isEmpty());
  EXPECT_EQ(listed[1].severity, Severity::warning);
  EXPECT_EQ(listed[1].metric, MetricID::memPressure);
  EXPECT_TRUE(listed[1].payload.isEmpty());  // not all values are text

  ASSERT_EQ(s.db.exec("UPDATE events SET kind='system' WHERE code='x.1'"), "");
  const auto system =
      s.store.events({EventKind::system}, StoreTime::distantPast(), StoreTime::distantFuture(), 10);
  ASSERT_EQ(system.size(), 1u);
  EXPECT_EQ(system[0].severity, Severity::info);
  EXPECT_FALSE(system[0].metric);
  EXPECT_TRUE(system[0].payload.isEmpty());
}

TEST(StoreEvents, FailedInsertGivesNoId) {
  FileStore s;
  const double t = recentHour();
  const auto first = s.store.record(event(t, EventKind::system, "system.gap", {{"seconds", "40"}}));
  ASSERT_TRUE(first);
  ASSERT_EQ(
      s.db.exec("CREATE TRIGGER fault BEFORE INSERT ON events BEGIN SELECT RAISE(ABORT, 'no room'); END"),
      "");
  EXPECT_FALSE(s.store.record(event(t + 1, EventKind::system, "system.gap")));
  ASSERT_TRUE(s.store.lastError());
  EXPECT_TRUE(s.store.lastError()->contains("no room"));
  ASSERT_EQ(s.db.exec("DROP TRIGGER fault"), "");
  // An invalid date cannot be stored either.
  EXPECT_FALSE(s.store.record(
      StoredEvent{0, QDateTime(), EventKind::bookmark, Severity::info, std::nullopt, "bookmark", {}}));
  EXPECT_EQ(s.db.value("SELECT COUNT(*) FROM events"), "1");
}

TEST(StoreEvents, DeletingByIdAndByKind) {
  TimeSeriesStore store(std::nullopt);
  const double t = recentHour();
  const auto a = store.record(event(t + 1, EventKind::alert, "alert.fired"));
  store.record(event(t + 2, EventKind::alert, "alert.resolved"));
  store.record(event(t + 3, EventKind::bookmark, "bookmark"));
  store.record(event(t + 4, EventKind::network, "network.online"));
  ASSERT_TRUE(a);
  EXPECT_TRUE(store.deleteEvent(*a));
  EXPECT_TRUE(store.deleteEvent(12345));  // nothing to delete is no failure
  EXPECT_TRUE(store.deleteEvents({}));
  EXPECT_EQ(codes(store.events(kAllKinds, at(t), at(t + 10), 10)),
            (std::vector<std::string>{"network.online", "bookmark", "alert.resolved"}));
  EXPECT_TRUE(store.deleteEvents({EventKind::alert, EventKind::network}));
  EXPECT_EQ(codes(store.events(kAllKinds, at(t), at(t + 10), 10)), (std::vector<std::string>{"bookmark"}));
}

TEST(StoreRetention, PruneCutsEveryTierAndEventsAtTheirRetention) {
  FileStore s;
  const double now = recentHour() + 3600;
  s.store.setRetention({600, 7200, 86400});
  ASSERT_EQ(s.db.exec("INSERT INTO raw VALUES"
                      "(1, " +
                      std::to_string(std::int64_t(now - 601) * 1000) +
                      ", 1),"
                      "(1, " +
                      std::to_string(std::int64_t(now - 600) * 1000) +
                      ", 2),"
                      "(999, " +
                      std::to_string(std::int64_t(now - 700) * 1000) +
                      ", 3);"
                      "INSERT INTO minute VALUES(1, " +
                      std::to_string(std::int64_t(now) - 7260) +
                      ", 1, 1, 1, 1),"
                      "(1, " +
                      std::to_string(std::int64_t(now) - 7200) +
                      ", 1, 1, 1, 1),"
                      "(80, " +
                      std::to_string(std::int64_t(now) - 9000) +
                      ", 1, 1, 1, 1);"
                      "INSERT INTO hour VALUES(1, " +
                      std::to_string(std::int64_t(now) - 90000) +
                      ", 1, 1, 1, 1),"
                      "(1, " +
                      std::to_string(std::int64_t(now) - 82800) +
                      ", 1, 1, 1, 1);"
                      "INSERT INTO events(ts, kind, severity, code, payload) VALUES"
                      "(" +
                      std::to_string(now - 86401) +
                      ", 'system', 0, 'old', '{}'),"
                      "(" +
                      std::to_string(now - 86000) + ", 'system', 0, 'kept', '{}')"),
            "");
  ASSERT_TRUE(s.store.flush(at(now)));  // the first flush of a run prunes
  EXPECT_EQ(s.db.rows("SELECT metric, v FROM raw"), (std::vector<std::vector<std::string>>{{"1", "2.0"}}));
  EXPECT_EQ(s.db.value("SELECT COUNT(*) FROM minute"), "1");
  EXPECT_EQ(s.db.value("SELECT ts FROM hour"), std::to_string(std::int64_t(now) - 82800));
  EXPECT_EQ(s.db.value("SELECT code FROM events"), "kept");
}

TEST(StoreRetention, PruneRunsHourlyAfterARetentionChangeAndAfterTheClockWentBack) {
  FileStore s;
  const double now = recentHour() + 3600;
  auto plantRaw = [&s](double t) {
    return s.db.exec("INSERT INTO raw VALUES(1, " + std::to_string(std::int64_t(t * 1000)) + ", 1)");
  };
  auto rawRows = [&s] { return s.db.value("SELECT COUNT(*) FROM raw"); };

  ASSERT_TRUE(s.store.flush(at(now)));
  ASSERT_EQ(plantRaw(now - 30000), "");
  ASSERT_TRUE(s.store.flush(at(now + 3600)));  // not more than an hour since the last prune
  EXPECT_EQ(rawRows(), "1");
  ASSERT_TRUE(s.store.flush(at(now + 3601)));
  EXPECT_EQ(rawRows(), "0");

  ASSERT_EQ(plantRaw(now - 1000), "");
  s.store.setRetention({600, 1209600, 63072000});
  ASSERT_TRUE(s.store.flush(at(now + 3602)));  // a minute after the last prune, but the policy changed
  EXPECT_EQ(rawRows(), "0");

  // The clock had run a day ahead and is set right: pruning must not wait a day.
  ASSERT_TRUE(s.store.flush(at(now + 86400)));
  ASSERT_EQ(plantRaw(now - 1000), "");
  ASSERT_TRUE(s.store.flush(at(now)));
  EXPECT_EQ(rawRows(), "0");
}

TEST(StoreRetention, UnusableRetentionKeepsItsTier) {
  FileStore s;
  const double now = recentHour() + 3600;
  ASSERT_EQ(s.db.exec("INSERT INTO raw VALUES(1, 1000, 1); INSERT INTO hour VALUES(1, 3600, 1, 1, 1, 1)"),
            "");
  s.store.setRetention(
      {std::numeric_limits<double>::infinity(), 600, std::numeric_limits<double>::quiet_NaN()});
  ASSERT_TRUE(s.store.flush(at(now)));
  EXPECT_EQ(s.db.value("SELECT COUNT(*) FROM raw"), "1");
  EXPECT_EQ(s.db.value("SELECT COUNT(*) FROM hour"), "1");
}

TEST(StoreStatisticsAndErase, CountsRowsSizesAndTheEarliestSample) {
  FileStore s;
  const double h = recentHour();
  const std::vector<MetricValue> values{{MetricID::cpuTotal, 1}, {MetricID::memUsed, 2}};
  s.store.append(values, at(h - 3600 + 5));
  s.store.append(values, at(h + 5));
  s.store.record(event(h, EventKind::bookmark, "bookmark"));
  const StoreStatistics statistics = s.store.statistics();  // flushes first
  EXPECT_EQ(statistics.rawRows, 4);
  EXPECT_EQ(statistics.minuteRows, 4);
  EXPECT_EQ(statistics.hourRows, 4);
  EXPECT_EQ(statistics.events, 1);
  // The oldest sample itself, not the start of its hour.
  EXPECT_EQ(statistics.earliest, at(h - 3600 + 5));
  const auto main = QFileInfo(s.path).size();
  const auto wal = QFileInfo(s.path + "-wal").size();
  EXPECT_GT(wal, 0);
  EXPECT_EQ(statistics.fileBytes, static_cast<std::uint64_t>(main + wal));

  TimeSeriesStore memory(std::nullopt);
  memory.append(values, at(h));
  EXPECT_EQ(memory.statistics().fileBytes, 0u);
  EXPECT_EQ(memory.statistics().rawRows, 2);
}

TEST(StoreStatisticsAndErase, EraseAllEmptiesTablesAndQueuesButNeverReusesIds) {
  FileStore s;
  const double h = recentHour();
  const std::vector<MetricValue> values{{MetricID::cpuTotal, 1}};
  s.store.append(values, at(h + 1));
  ASSERT_TRUE(s.store.flush(at(h + 2)));
  const auto before = s.store.record(event(h, EventKind::bookmark, "bookmark"));
  s.store.append(values, at(h + 3));  // queued, not yet written
  const std::uint64_t sizeBefore = s.store.statistics().fileBytes;
  ASSERT_TRUE(s.store.eraseAll());
  // The compacted file went through the log, which is folded back and emptied.
  EXPECT_EQ(QFileInfo(s.path + "-wal").size(), 0);
  EXPECT_LT(static_cast<std::uint64_t>(QFileInfo(s.path).size()), sizeBefore);
  const StoreStatistics statistics = s.store.statistics();
  EXPECT_EQ(statistics, (StoreStatistics{0, 0, 0, 0, statistics.fileBytes, std::nullopt}));
  const auto after = s.store.record(event(h, EventKind::bookmark, "bookmark"));
  ASSERT_TRUE(before && after);
  EXPECT_GT(*after, *before);
  // Summaries start afresh.
  s.store.append(values, at(h + 4));
  ASSERT_TRUE(s.store.flush(at(h + 5)));
  EXPECT_EQ(s.db.value("SELECT n FROM minute"), "1");
}

TEST(StoreThreads, CallsFromSeveralThreadsAllLand) {
  TimeSeriesStore store(std::nullopt);
  const double h = recentHour();
  constexpr int kThreads = 4;
  constexpr int kTicks = 200;
  std::atomic<int> recorded{0};
  std::vector<std::thread> threads;
  for (int w = 0; w < kThreads; ++w) {
    threads.emplace_back([&, w] {
      const MetricID metric = Metric::allCases()[static_cast<std::size_t>(w)];
      for (int i = 0; i < kTicks; ++i) {
        const std::vector<MetricValue> values{{metric, static_cast<double>(i)}};
        store.append(values, at(h + i));
        if (i % 50 == 0) {
          store.flush(at(h + i));
          store.series(metric, at(h), at(h + kTicks), 100, std::nullopt, at(h + i));
        }
        if (i % 20 == 0 && store.record(event(h + i, EventKind::system, "system.gap"))) ++recorded;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  const StoreStatistics statistics = store.statistics();
  EXPECT_EQ(statistics.rawRows, kThreads * kTicks);
  EXPECT_EQ(statistics.events, recorded.load());
  EXPECT_EQ(recorded.load(), kThreads * kTicks / 20);
}
