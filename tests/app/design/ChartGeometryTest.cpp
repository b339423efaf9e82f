#include "design/ChartGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace kivo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

LiveSeries series(std::vector<ChartPoint> points) { return {"s", "S", {}, std::move(points)}; }

TEST(ChartGeometry, PlotRectKeepsRoomForLabelsAndNeverCollapses) {
  EXPECT_EQ(ChartGeometry::plotRect(QRectF(0, 0, 300, 160)), QRectF(62, 4, 234, 138));  // x 62..296, y 4..142
  EXPECT_EQ(ChartGeometry::plotRect(QRectF(10, 20, 300, 160)), QRectF(72, 24, 234, 138));
  EXPECT_EQ(ChartGeometry::plotRect(QRectF(0, 0, 40, 10)), QRectF(62, 4, 1, 1));
}

struct RangeCase {
  const char* name;
  std::vector<LiveSeries> series;
  std::optional<ChartRange> domain;
  bool stacked;
  ChartRange expected;
};

TEST(ChartGeometry, RangeIncludesZeroAndLeavesHeadroom) {
  const std::vector<RangeCase> cases = {
      {"values 0 to 40", {series({{0, 0}, {1000, 40}})}, std::nullopt, false, {0, 46}},
      {"negative values pull the lower end down", {series({{0, -10}, {1000, 20}})}, std::nullopt, false, {-10, 23}},
      {"no values", {}, std::nullopt, false, {0, 1.15}},
      {"only zeros", {series({{0, 0}, {1000, 0}})}, std::nullopt, false, {0, 1e-9}},
      {"a domain is used as it is", {series({{0, 500}})}, ChartRange{0, 100}, false, {0, 100}},
      {"a reversed domain is put in order", {}, ChartRange{100, 0}, false, {0, 100}},
      {"a domain that is not finite is ignored", {series({{0, 40}})}, ChartRange{0, kNaN}, false, {0, 46}},
      {"stacked: the per-instant totals",
       {series({{0, 10}, {1000, 30}}), series({{0, 20}, {1000, 10}, {2000, 5}})},
       std::nullopt,
       true,
       {0, 46}},
      {"non-finite points are skipped", {series({{0, kNaN}, {1000, 40}, {2000, kInf}, {3000, -kInf}})},
       std::nullopt, false, {0, 46}},
  };
  for (const RangeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ChartRange got = ChartGeometry::range(c.series, c.domain, c.stacked);
    EXPECT_DOUBLE_EQ(got.lower, c.expected.lower);
    EXPECT_DOUBLE_EQ(got.upper, c.expected.upper);
  }
}

TEST(ChartGeometry, StackedTotalsSumEachInstantOnce) {
  const std::vector<LiveSeries> two = {series({{0, 1}, {1000, 2}}), series({{1000, 3}, {2000, kNaN}, {3000, 4}})};
  std::vector<double> totals = ChartGeometry::stackedTotals(two);
  std::sort(totals.begin(), totals.end());
  EXPECT_EQ(totals, (std::vector<double>{1, 4, 5}));
}

TEST(ChartGeometry, TicksAreGivenOnesOrFiveEvenSteps) {
  EXPECT_EQ(ChartGeometry::ticks({0, 46}, std::nullopt), (std::vector<double>{0, 11.5, 23, 34.5, 46}));
  EXPECT_EQ(ChartGeometry::ticks({0, 100}, std::vector<double>{100, 0, 50}), (std::vector<double>{100, 0, 50}));
  EXPECT_TRUE(ChartGeometry::ticks({0, 100}, std::vector<double>{}).empty());
  EXPECT_EQ(ChartGeometry::ticks({0, 100}, std::vector<double>{kNaN, 50, kInf}), (std::vector<double>{50}));
}

TEST(ChartGeometry, ValuesMapIntoThePlotAndOutliersSitOnItsEdges) {
  const QRectF plot(62, 4, 234, 138);  // bottom 142
  const ChartRange range{0, 100};
  struct Case {
    double value;
    double y;
  };
  const std::vector<Case> cases = {{0, 142}, {50, 73},   {100, 4},  {150, 4},
                                   {-5, 142}, {kNaN, 142}, {kInf, 4}, {-kInf, 142}};
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(ChartGeometry::y(c.value, range, plot), c.y) << c.value;
  // A range given out of order or not finite still maps onto the plot.
  EXPECT_DOUBLE_EQ(ChartGeometry::y(50, {100, 0}, plot), 73);
  EXPECT_TRUE(std::isfinite(ChartGeometry::y(50, {kNaN, kInf}, plot)));
  // An empty range does not divide by zero.
  EXPECT_TRUE(std::isfinite(ChartGeometry::y(5, {5, 5}, plot)));
  // Huge figures keep the span finite.
  const ChartRange huge = ChartGeometry::range(
      std::vector<LiveSeries>{series({{0, -std::numeric_limits<double>::max()}, {1, std::numeric_limits<double>::max()}})},
      std::nullopt, false);
  for (double v : {0.0, 1e308, -1e308}) EXPECT_TRUE(std::isfinite(ChartGeometry::y(v, huge, plot)));
}

TEST(ChartGeometry, TimeSpanNeedsTwoInstants) {
  EXPECT_FALSE(ChartGeometry::timeSpan({}));
  EXPECT_FALSE(ChartGeometry::timeSpan(std::vector<LiveSeries>{series({{5000, 1}, {5000, 2}})}));
  // A non-finite point brings no instant.
  EXPECT_FALSE(ChartGeometry::timeSpan(std::vector<LiveSeries>{series({{5000, 1}, {9000, kNaN}})}));
  const std::vector<LiveSeries> two = {series({{2000, 1}, {4000, 2}}), series({{1000, 3}})};
  const auto span = ChartGeometry::timeSpan(two);
  ASSERT_TRUE(span);
  EXPECT_EQ(*span, (ChartGeometry::TimeSpan{1000, 4000}));
  const QRectF plot(62, 4, 234, 138);
  EXPECT_DOUBLE_EQ(ChartGeometry::x(1000, *span, plot), 62);
  EXPECT_DOUBLE_EQ(ChartGeometry::x(2500, *span, plot), 62 + 117);
  EXPECT_DOUBLE_EQ(ChartGeometry::x(4000, *span, plot), 296);
}

TEST(ChartGeometry, ALineNeedsTwoFinitePoints) {
  EXPECT_FALSE(ChartGeometry::hasLine(std::vector<LiveSeries>{series({{0, 1}}), series({})}));
  EXPECT_FALSE(ChartGeometry::hasLine(std::vector<LiveSeries>{series({{0, 1}, {1000, kNaN}})}));
  EXPECT_TRUE(ChartGeometry::hasLine(std::vector<LiveSeries>{series({{0, 1}}), series({{0, 1}, {0, 2}})}));
}

struct SparkCase {
  const char* name;
  std::vector<double> values;
  std::optional<double> ceiling;
  std::vector<QPointF> expected;  // in a 100 x 21 rectangle at the origin
};

TEST(ChartGeometry, SparklinePoints) {
  const std::vector<SparkCase> cases = {
      {"one value draws nothing", {5}, std::nullopt, {}},
      {"zeros lie half a point above the bottom", {0, 0}, std::nullopt, {{0, 20.5}, {100, 20.5}}},
      {"the largest value is the scale", {0, 10, 5}, std::nullopt, {{0, 20.5}, {50, 0.5}, {100, 10.5}}},
      {"above the ceiling sits half a point below the top", {150, 50}, 100.0, {{0, 0.5}, {100, 10.5}}},
      {"negative values sit on the bottom", {-3, 4}, std::nullopt, {{0, 20.5}, {100, 0.5}}},
      {"non-finite values leave their slot empty", {kNaN, 0, kInf, 10, -kInf}, std::nullopt,
       {{25, 20.5}, {75, 0.5}}},
      {"a ceiling that is not finite is ignored", {0, 10}, kNaN, {{0, 20.5}, {100, 0.5}}},
      {"a single finite value draws nothing", {kNaN, 3}, std::nullopt, {}},
  };
  for (const SparkCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ChartGeometry::sparklinePoints(c.values, c.ceiling, QRectF(0, 0, 100, 21)), c.expected);
  }
}

}  // namespace
}  // namespace kivo
