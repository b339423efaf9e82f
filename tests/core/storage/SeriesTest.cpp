#include "storage/SeriesMath.h"

#include "StoreTestSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <string>

using namespace kivo;
using namespace kivo::test;

TEST(SeriesMath, TierFollowsSpanAndRetention) {
  const RetentionPolicy retention{21600, 1209600, 63072000};
  const double now = 1'800'000'000;
  struct Case {
    double from, to;
    StoreTier tier;
  };
  const Case cases[] = {
      {now - 7200, now, StoreTier::raw},  // both bounds inclusive
      {now - 7201, now, StoreTier::minute},
      {now - 21600, now - 21600 + 60, StoreTier::raw},  // from exactly at the raw retention
      {now - 21601, now - 21500, StoreTier::minute},
      {now - 604800, now, StoreTier::minute},
      {now - 604801, now, StoreTier::hour},
      {now - 1209601, now - 1209000, StoreTier::hour},  // before the minute retention, however short
      {now + 100, now + 200, StoreTier::raw},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SeriesMath::tier(c.from, c.to, now, retention), c.tier) << c.from - now;
}

TEST(SeriesMath, StepIsAWholeMultipleOfTheBaseStep) {
  struct Case {
    double span;
    StoreTier tier;
    int maxPoints;
    double rawInterval;
    double step;
  };
  const Case cases[] = {
      {7200, StoreTier::raw, 360, 2, 20},   // 20 s per point
      {7200, StoreTier::raw, 10000, 2, 2},  // never finer than the base
      {100, StoreTier::raw, 1000, 0.5, 1},  // sub-second sampling still buckets by 1 s
      {100, StoreTier::raw, 1000, 1, 1},
      {100, StoreTier::raw, 1000, 2.0004, 2.0004},
      {7000, StoreTier::raw, 360, 3, 21},  // per = 19.44 → 7 × 3
      {3600, StoreTier::raw, 0, 2, 3600},  // maxPoints below 1 counts as 1
      {3600, StoreTier::raw, -5, 2, 3600},
      {604800, StoreTier::minute, 360, 2, 1680},
      {365 * 86400.0, StoreTier::hour, 360, 2, 90000},
      {60, StoreTier::hour, 360, 2, 3600},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(SeriesMath::step(c.span, c.tier, c.maxPoints, c.rawInterval), c.step)
        << c.span << " " << c.maxPoints << " " << c.rawInterval;
  }
}

TEST(SeriesMath, GapsAreHolesLongerThanTwoAndAHalfSteps) {
  auto points = [](std::vector<double> times) {
    std::vector<SeriesPoint> result;
    for (double t : times) result.push_back({t, 0, 0, 0, 1});
    return result;
  };
  using Gaps = std::vector<SeriesGap>;
  // Exactly 2.5 steps apart: no gap; a little more: a gap from after the earlier bucket.
  EXPECT_EQ(SeriesMath::gaps(points({0, 25}), 0, 35, 10), Gaps{});
  EXPECT_EQ(SeriesMath::gaps(points({0, 25.5}), 0, 35, 10), (Gaps{{10, 25.5}}));
  // Leading and trailing holes.
  EXPECT_EQ(SeriesMath::gaps(points({100, 110}), 0, 200, 10), (Gaps{{0, 100}, {120, 200}}));
  EXPECT_EQ(SeriesMath::gaps(points({25, 30}), 0, 65, 10), Gaps{});
  // Without points the whole range is one gap.
  EXPECT_EQ(SeriesMath::gaps(points({}), 50, 80, 10), (Gaps{{50, 80}}));
  // A range that begins at or after its end reports nothing, never a negative stretch.
  EXPECT_EQ(SeriesMath::gaps(points({}), 80, 50, 10), Gaps{});
  EXPECT_EQ(SeriesMath::gaps(points({}), 80, 80, 10), Gaps{});
  EXPECT_EQ(SeriesMath::gaps(points({}), 0, 100, 0), Gaps{});
}

namespace {

struct SeriesQuery : ::testing::Test {
  TimeSeriesStore store{std::nullopt};
  double now = recentHour() + 3600;

  void fill(MetricID metric, double from, double to, double every, double value = 1) {
    for (double t = from; t < to; t += every) {
      const std::vector<MetricValue> values{{metric, value}};
      store.append(values, at(t));
    }
  }
};

}  // namespace

TEST_F(SeriesQuery, RecentTwoHoursReadRawBucketsScaledToMaxPoints) {
  fill(MetricID::cpuTotal, now - 7200, now, 2, 5);
  const Series series = store.series(MetricID::cpuTotal, at(now - 7200), at(now), 360, std::nullopt, at(now));
  EXPECT_EQ(series.tier, StoreTier::raw);
  EXPECT_EQ(series.step, 20);
  ASSERT_EQ(series.points.size(), 360u);
  EXPECT_EQ(series.points.front().time, now - 7200);
  EXPECT_EQ(series.points.front().count, 10);
  EXPECT_EQ(series.sampleCount(), 3600);
  EXPECT_EQ(series.average(), 5);
  EXPECT_TRUE(series.gaps.empty());
}

TEST_F(SeriesQuery, RawStepIsGroupedInWholeMillisecondsButReportedAsChosen) {
  store.setRawInterval(2.0004);
  fill(MetricID::netDown, now - 20, now, 1);
  const Series series = store.series(MetricID::netDown, at(now - 20), at(now), 1000, StoreTier::raw, at(now));
  EXPECT_EQ(series.step, 2.0004);
  ASSERT_EQ(series.points.size(), 10u);
  for (const SeriesPoint& point : series.points) {
    EXPECT_EQ(static_cast<std::int64_t>(point.time) % 2, 0) << point.time;
    EXPECT_EQ(point.count, 2);
  }
}

TEST_F(SeriesQuery, HolesInStoredDataBecomeGapsAndTheFutureIsNotAGap) {
  fill(MetricID::memUsed, now - 3600, now - 3000, 2);
  fill(MetricID::memUsed, now - 1000, now - 10, 2);
  const Series series =
      store.series(MetricID::memUsed, at(now - 3600), at(now + 3600), 360, StoreTier::raw, at(now));
  EXPECT_EQ(series.step, 20);
  ASSERT_EQ(series.gaps.size(), 1u);
  EXPECT_EQ(series.gaps[0], (SeriesGap{now - 3000, now - 1000}));
  // The range reaches an hour into the future, but the trailing end is now.
  const Series later =
      store.series(MetricID::memUsed, at(now - 3600), at(now + 3600), 360, StoreTier::raw, at(now + 600));
  ASSERT_EQ(later.gaps.size(), 2u);
  EXPECT_EQ(later.gaps[1], (SeriesGap{now, now + 600}));
}

TEST_F(SeriesQuery, MetricWithoutRowsIsOneGapUpToNow) {
  const Series series =
      store.series(MetricID::gpuUtilization, at(now - 600), at(now + 600), 100, std::nullopt, at(now));
  EXPECT_TRUE(series.points.empty());
  EXPECT_EQ(series.gaps, (std::vector<SeriesGap>{{now - 600, now}}));
  EXPECT_FALSE(series.average());
  EXPECT_EQ(series.sampleCount(), 0);
}

TEST_F(SeriesQuery, RangeStartingAfterNowHasNoGap) {
  const Series series =
      store.series(MetricID::cpuTotal, at(now + 60), at(now + 600), 100, std::nullopt, at(now));
  EXPECT_TRUE(series.points.empty());
  EXPECT_TRUE(series.gaps.empty());
}

TEST_F(SeriesQuery, SummaryTiersWeightTheMeanAndKeepPeriodsStartingInRange) {
  const double m = now - 3600;
  // Minute m: 3 samples averaging 10; minute m+60: one sample of 20.
  for (double v : {5.0, 10.0, 15.0}) {
    const std::vector<MetricValue> values{{MetricID::selfCPU, v}};
    store.append(values, at(m + v));
  }
  const std::vector<MetricValue> last{{MetricID::selfCPU, 20}};
  store.append(last, at(m + 61));
  const Series series = store.series(MetricID::selfCPU, at(m), at(m + 120), 1, StoreTier::minute, at(now));
  ASSERT_EQ(series.points.size(), 1u);
  EXPECT_EQ(series.step, 120);
  EXPECT_EQ(series.points[0], (SeriesPoint{m, 5, 20, 12.5, 4}));
  EXPECT_EQ(series.average(), 12.5);
  // A minute that began before from is left out even though it overlaps the range.
  const Series inner =
      store.series(MetricID::selfCPU, at(m + 30), at(m + 120), 360, StoreTier::minute, at(now));
  ASSERT_EQ(inner.points.size(), 1u);
  EXPECT_EQ(inner.points[0].time, m + 60);
  const Series hours =
      store.series(MetricID::selfCPU, at(m - 7 * 86400), at(now), 360, std::nullopt, at(now));
  EXPECT_EQ(hours.tier, StoreTier::hour);
  EXPECT_EQ(hours.sampleCount(), 4);
}

// Summary rows are only ever written with a positive count and all three figures, but a
// file edited or damaged behind the store's back can hold anything its columns allow. Such
// a row is no measurement: it must neither become a point of zeros nor dilute a mean.
TEST(SeriesQueryOfAFile, SummaryRowsWithoutCountOrFiguresAreSkipped) {
  QTemporaryDir dir;
  const QString path = dir.path() + "/telemetry.sqlite";
  const double m = recentHour();
  {
    TimeSeriesStore store(path);
    const std::vector<MetricValue> values{{MetricID::selfCPU, 10}};
    store.append(values, at(m + 5));
    ASSERT_TRUE(store.flush(at(m + 5)));
  }
  // A count of 0, a negative count, nothing at all, and a count without a mean.
  const auto row = [m](int minute, const char* figures) {
    return "INSERT INTO minute(metric, ts, mn, mx, av, n) VALUES(" +
           std::to_string(Metric::rawValue(MetricID::selfCPU)) + ", " +
           std::to_string(static_cast<long long>(m) + 60 * minute) + ", " + figures + ")";
  };
  {
    RawDatabase db(path);
    ASSERT_EQ(db.exec(row(1, "50, 50, 50, 0")), "");
    ASSERT_EQ(db.exec(row(2, "50, 50, 50, -3")), "");
    ASSERT_EQ(db.exec(row(3, "NULL, NULL, NULL, NULL")), "");
    ASSERT_EQ(db.exec(row(4, "NULL, 9, NULL, 4")), "");
  }
  TimeSeriesStore store(path);
  const Series series =
      store.series(MetricID::selfCPU, at(m), at(m + 300), 1, StoreTier::minute, at(m + 300));
  ASSERT_EQ(series.points.size(), 1u);
  EXPECT_EQ(series.points[0], (SeriesPoint{m, 10, 10, 10, 1}));
  const Series perMinute =
      store.series(MetricID::selfCPU, at(m), at(m + 300), 1000, StoreTier::minute, at(m + 300));
  ASSERT_EQ(perMinute.points.size(), 1u);
  EXPECT_EQ(perMinute.points[0].time, m);
}

// Means are sums divided by counts: their rounding may step just past the extremes they
// summarise, and a summary then reads as a mean above its own maximum.
TEST_F(SeriesQuery, MeansStayWithinTheirBucketsAndTheSummary) {
  fill(MetricID::cpuTotal, now - 600, now, 2, 0.1);
  for (StoreTier tier : {StoreTier::raw, StoreTier::minute, StoreTier::hour}) {
    SCOPED_TRACE(static_cast<int>(tier));
    const Series series = store.series(MetricID::cpuTotal, at(now - 7200), at(now), 3, tier, at(now));
    ASSERT_FALSE(series.points.empty());
    for (const SeriesPoint& point : series.points) {
      EXPECT_GE(point.avg, point.min);
      EXPECT_LE(point.avg, point.max);
    }
  }
  Series summary;
  summary.points = {{0, 0.1, 0.1, 0.1, 1}, {1, 0.1, 0.1, 0.1, 1}, {2, 0.1, 0.1, 0.1, 1}};
  EXPECT_EQ(summary.average(), 0.1);
}
