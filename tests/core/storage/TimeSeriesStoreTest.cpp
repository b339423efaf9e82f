#include "storage/TimeSeriesStore.h"

#include "storage/StoreTime.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kivo;

namespace {

QDateTime at(double seconds) {
  return StoreTime::date(seconds);
}

}  // namespace

TEST(TimeSeriesStore, InMemoryStoreTakesSamplesAndAnswersQueries) {
  TimeSeriesStore store(std::nullopt);
  const double t0 = std::floor(StoreTime::seconds(QDateTime::currentDateTimeUtc()) / 60) * 60 - 120;
  for (int i = 0; i < 10; ++i) {
    const std::vector<MetricValue> values{{MetricID::cpuTotal, double(i)}, {MetricID::memUsed, 100.0 + i}};
    store.append(values, at(t0 + 2 * i));
  }
  EXPECT_TRUE(store.flush(at(t0 + 20)));
  const Series series = store.series(MetricID::cpuTotal, at(t0), at(t0 + 20), 100, std::nullopt, at(t0 + 20));
  EXPECT_EQ(series.tier, StoreTier::raw);
  EXPECT_EQ(series.sampleCount(), 10);
  const auto id = store.record(
      {0, at(t0), EventKind::bookmark, Severity::info, std::nullopt, "bookmark", {{"note", "x"}}});
  ASSERT_TRUE(id);
  const auto events =
      store.events({EventKind::bookmark}, StoreTime::distantPast(), StoreTime::distantFuture(), 10);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].payload.value("note"), "x");
  const StoreStatistics statistics = store.statistics();
  EXPECT_EQ(statistics.rawRows, 20);
  EXPECT_EQ(statistics.minuteRows, 2);
  EXPECT_EQ(statistics.fileBytes, 0u);
}
