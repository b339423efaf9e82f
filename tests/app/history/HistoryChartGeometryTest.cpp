#include "features/history/HistoryChartGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kivo {
namespace {

namespace Geo = HistoryChartGeometry;

Series seriesAt(std::vector<double> times, double step = 10) {
  Series series;
  series.step = step;
  for (double t : times) series.points.push_back({t, 1, 3, 2, 1});
  return series;
}

TEST(HistoryChartGeometry, SegmentsBreakOnlyWhereNeighboursAreMoreThanTwoAndAHalfStepsApart) {
  struct Case {
    const char* name;
    std::vector<double> times;
    std::vector<int> segments;
  } cases[] = {
      {"no points", {}, {}},
      {"one point", {100}, {0}},
      {"even steps", {0, 10, 20, 30}, {0, 0, 0, 0}},
      {"exactly 2.5 steps stays joined", {0, 25, 50}, {0, 0, 0}},
      {"just over 2.5 steps breaks", {0, 25.001, 35}, {0, 1, 1}},
      {"an isolated point between two breaks", {0, 10, 100, 200, 210}, {0, 0, 1, 2, 2}},
  };
  for (const Case& c : cases) EXPECT_EQ(Geo::segments(seriesAt(c.times)), c.segments) << c.name;
}

TEST(HistoryChartGeometry, NearestPointPrefersTheEarlierOnATie) {
  const Series series = seriesAt({100, 110, 130});
  struct Case {
    double time;
    std::optional<std::size_t> index;
  } cases[] = {
      {50, 0}, {100, 0}, {104.9, 0}, {105, 0} /* half-way */, {105.1, 1}, {120, 1} /* half-way */,
      {121, 2}, {500, 2}, {NAN, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(Geo::nearestPoint(series, c.time), c.index) << c.time;
  EXPECT_EQ(Geo::nearestPoint(Series{}, 100), std::nullopt);
}

TEST(HistoryChartGeometry, ZeroWidthDomainsAreWidened) {
  EXPECT_EQ(Geo::timeDomain(1000, 1000), (ChartRange{999.5, 1000.5}));
  EXPECT_EQ(Geo::timeDomain(2000, 1000), (ChartRange{1000, 2000}));
  EXPECT_EQ(Geo::timeDomain(NAN, 1000), (ChartRange{0, 1}));

  Series flat;
  flat.points = {{0, 40, 40, 40, 1}, {10, 40, 40, 40, 1}};
  EXPECT_EQ(Geo::valueDomain(flat), (ChartRange{39, 41}));
  EXPECT_EQ(Geo::valueDomain(Series{}), (ChartRange{0, 1}));

  // Every mapping stays finite on a flat or empty domain.
  const QRectF plot(10, 10, 100, 50);
  EXPECT_TRUE(std::isfinite(Geo::y(40, Geo::valueDomain(flat), plot)));
  EXPECT_TRUE(std::isfinite(Geo::x(5, ChartRange{5, 5}, plot)));
}

TEST(HistoryChartGeometry, ValueTicksAreRoundAndCoverTheData) {
  struct Case {
    ChartRange range;
    std::vector<double> ticks;
  } cases[] = {
      {{3, 45}, {0, 10, 20, 30, 40, 50}},
      {{39, 41}, {39, 39.5, 40, 40.5, 41}},
      {{0, 100}, {0, 20, 40, 60, 80, 100}},
      {{-0.3, 0.2}, {-0.3, -0.2, -0.1, 0, 0.1, 0.2}},
  };
  for (const Case& c : cases) {
    const auto ticks = Geo::valueTicks(c.range);
    ASSERT_EQ(ticks.size(), c.ticks.size()) << c.range.lower << ".." << c.range.upper;
    for (std::size_t i = 0; i < ticks.size(); ++i) EXPECT_NEAR(ticks[i], c.ticks[i], 1e-9);
  }
  Series series;
  series.points = {{0, 3, 45, 20, 1}};
  EXPECT_EQ(Geo::valueDomain(series), (ChartRange{0, 50}));
}

TEST(HistoryChartGeometry, AboutSixTimeTicksForEveryRange) {
  struct Case {
    double span;
    double step;
  } cases[] = {
      {3600, 600}, {21600, 3600}, {86400, 14400}, {604800, 86400}, {2592000, 432000}, {31536000, 5184000},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Geo::timeStep(c.span), c.step) << c.span;
    const auto ticks = Geo::timeTicks({1'765'000'123, 1'765'000'123 + c.span}, 0);
    EXPECT_GE(ticks.size(), 5u) << c.span;
    EXPECT_LE(ticks.size(), 8u) << c.span;
    for (double tick : ticks) EXPECT_EQ(std::fmod(tick, c.step), 0) << c.span;
  }
  // Ticks fall on local multiples of the step: an hour east of UTC moves them by an hour.
  const auto shifted = Geo::timeTicks({0, 86400 * 7}, 3600);
  ASSERT_FALSE(shifted.empty());
  EXPECT_EQ(shifted.front(), 86400 - 3600);
}

TEST(HistoryChartGeometry, PointerPositionsMapToTimesInsideThePlotOnly) {
  const QRectF plot(50, 10, 200, 100);
  const ChartRange domain{1000, 3000};
  EXPECT_EQ(Geo::timeAt(50, domain, plot), 1000);
  EXPECT_EQ(Geo::timeAt(150, domain, plot), 2000);
  EXPECT_EQ(Geo::timeAt(250, domain, plot), 3000);
  EXPECT_EQ(Geo::timeAt(49, domain, plot), std::nullopt);
  EXPECT_EQ(Geo::timeAt(251, domain, plot), std::nullopt);
  EXPECT_DOUBLE_EQ(Geo::x(2000, domain, plot), 150);
}

}  // namespace
}  // namespace kivo
