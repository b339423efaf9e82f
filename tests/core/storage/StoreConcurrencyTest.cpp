#include "SQLiteHold.h"
#include "StoreTestSupport.h"
#include "TestSupport.h"
#include "analysis/StoredEvents.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <atomic>
#include <functional>
#include <thread>

using namespace kivo;
using namespace kivo::test;

// The sampling loop must never wait for SQLite: while an erase or a chart query is
// inside the database on another thread, what a tick calls returns at once, and the
// values it appended and the event it recorded are written by the next flush.
TEST(StoreConcurrency, TickCallsReturnWhileAnEraseOrAQueryIsInsideTheDatabase) {
  const struct {
    const char* name;
    const char* heldSql;
    std::function<void(TimeSeriesStore&, double)> run;
  } cases[] = {
      {"erase", "VACUUM", [](TimeSeriesStore& store, double) { store.eraseAll(); }},
      {"query", "FROM raw WHERE metric=? AND ts>=?",
       [](TimeSeriesStore& store, double t) {
         store.series(MetricID::cpuTotal, at(t - 600), at(t), 100, StoreTier::raw, at(t));
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SQLiteHold hold;  // before the store, so its connection carries the hold
    QTemporaryDir dir;
    const QString path = dir.path() + "/telemetry.sqlite";
    TimeSeriesStore store(path);
    const double t0 = recentHour();
    for (int i = 0; i < 50; ++i)
      store.append(std::vector<MetricValue>{{MetricID::cpuTotal, double(i)}}, at(t0 + i));
    ASSERT_TRUE(store.flush(at(t0 + 50)));

    hold.arm(c.heldSql);
    std::thread other([&] { c.run(store, t0 + 60); });
    ASSERT_TRUE(hold.waitUntilHolding());
    store.append(std::vector<MetricValue>{{MetricID::cpuTotal, 77}, {MetricID::memUsed, 5}}, at(t0 + 70));
    EXPECT_EQ(store.flushUnlessBusy(at(t0 + 70)), std::nullopt);
    store.recordUnlessBusy(StoredEvents::gap(40, at(t0 + 70)));
    EXPECT_EQ(store.lastError(), std::nullopt);
    EXPECT_EQ(store.droppedRows(), 0u);
    EXPECT_EQ(store.rawInterval(), 2);
    EXPECT_TRUE(hold.isHolding()) << "the tick waited for the " << c.name;
    hold.release();
    other.join();

    ASSERT_TRUE(store.flush(at(t0 + 71)));
    RawDatabase db(path);
    const std::string at70 = std::to_string(static_cast<std::int64_t>(t0 + 70) * 1000);
    EXPECT_EQ(db.value("SELECT COUNT(*) FROM raw WHERE ts=" + at70), "2");
    EXPECT_EQ(db.value("SELECT v FROM raw WHERE metric=1 AND ts=" + at70), "77.0");
    EXPECT_EQ(db.value("SELECT COUNT(*) FROM events WHERE kind='system'"), "1");
  }
}

// Appends racing flushes and queries from several threads: every value is written once.
// Run under ThreadSanitizer too.
TEST(StoreConcurrency, AppendsFromOneThreadWhileOthersFlushAndQueryLoseNothing) {
  QTemporaryDir dir;
  const QString path = dir.path() + "/telemetry.sqlite";
  TimeSeriesStore store(path);
  const double t0 = recentHour();
  constexpr int kTicks = 2000;
  std::atomic<bool> done{false};
  std::thread flusher([&] {
    while (!done.load()) store.flush(at(t0 + 1));
  });
  std::thread reader([&] {
    while (!done.load())
      store.series(MetricID::cpuTotal, at(t0), at(t0 + 3600), 50, std::nullopt, at(t0 + 3600));
  });
  for (int i = 0; i < kTicks; ++i) {
    store.append(std::vector<MetricValue>{{MetricID::cpuTotal, 1}}, at(t0 + i * 0.5));
  }
  done.store(true);
  flusher.join();
  reader.join();
  ASSERT_TRUE(store.flush(at(t0 + kTicks)));
  RawDatabase db(path);
  EXPECT_EQ(db.value("SELECT COUNT(*) FROM raw"), std::to_string(kTicks));
  EXPECT_EQ(db.value("SELECT SUM(n) FROM minute"), std::to_string(kTicks));
  EXPECT_EQ(db.value("SELECT SUM(n) FROM hour"), std::to_string(kTicks));
}
