#include "design/ChartAxis.h"
#include "design/ChartGeometry.h"
#include "design/LiveChart.h"
#include "metrics/ValueFormatter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace kivo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

LiveSeries series(std::vector<ChartPoint> points) {
  return {"s", "S", {}, std::move(points)};
}

TEST(ChartGeometry, PlotRectKeepsRoomForLabelsAndNeverCollapses) {
  EXPECT_EQ(ChartGeometry::plotRect(QRectF(0, 0, 300, 160)), QRectF(62, 4, 234, 138));  // x 62..296, y 4..142
  EXPECT_EQ(ChartGeometry::plotRect(QRectF(10, 20, 300, 160)), QRectF(72, 24, 234, 138));
  EXPECT_EQ(ChartGeometry::plotRect(QRectF(0, 0, 40, 10)), QRectF(62, 4, 1, 1));
  // A label 80.2 px wide ("810.8 kB/s") moves the plot right: 81 + 1 + the 6 px gap.
  const std::vector<double> wide = {40, 80.2, 30};
  EXPECT_EQ(ChartGeometry::plotRect(QRectF(10, 20, 300, 160), wide), QRectF(98, 24, 208, 138));
}

TEST(ChartGeometry, LeftMarginFollowsTheWidestLabelWithinBounds) {
  struct Case {
    const char* name;
    std::vector<double> widths;
    double canvasWidth;
    double expected;
  };
  const std::vector<Case> cases = {
      {"no labels keep the least margin", {}, 600, 62},
      {"short labels keep the least margin", {20, 35.5}, 600, 62},
      {"the widest label sets it", {20, 80.2, 64}, 600, 88},
      {"a whole-pixel width", {90}, 600, 97},
      {"at most the largest margin", {400}, 1000, 160},
      {"at most a share of a narrow canvas", {200}, 300, 120},
      {"never below the least margin, even when tiny", {200}, 50, 62},
      {"widths that are not finite are skipped", {kNaN, kInf, 70}, 600, 77},
      {"a canvas width that is not finite", {200}, kNaN, 62},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_DOUBLE_EQ(ChartGeometry::leftMargin(c.widths, c.canvasWidth), c.expected);
  }
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
      {"negative values pull the lower end down",
       {series({{0, -10}, {1000, 20}})},
       std::nullopt,
       false,
       {-10, 23}},
      {"no values", {}, std::nullopt, false, {0, 1.15}},
      {"only zeros get one unit of room", {series({{0, 0}, {1000, 0}})}, std::nullopt, false, {0, 1}},
      {"one repeated value", {series({{0, 40}, {1000, 40}})}, std::nullopt, false, {0, 46}},
      {"values all below 0 keep 0 as the top",
       {series({{0, -10}, {1000, -5}})},
       std::nullopt,
       false,
       {-10, 0}},
      {"one repeated value below 0", {series({{0, -5}, {1000, -5}})}, std::nullopt, false, {-5, 0}},
      {"stacked zeros", {series({{0, 0}}), series({{0, 0}})}, std::nullopt, true, {0, 1}},
      {"a domain is used as it is", {series({{0, 500}})}, ChartRange{0, 100}, false, {0, 100}},
      {"a reversed domain is put in order", {}, ChartRange{100, 0}, false, {0, 100}},
      {"a domain that is not finite is ignored", {series({{0, 40}})}, ChartRange{0, kNaN}, false, {0, 46}},
      {"stacked: the per-instant totals",
       {series({{0, 10}, {1000, 30}}), series({{0, 20}, {1000, 10}, {2000, 5}})},
       std::nullopt,
       true,
       {0, 46}},
      {"non-finite points are skipped",
       {series({{0, kNaN}, {1000, 40}, {2000, kInf}, {3000, -kInf}})},
       std::nullopt,
       false,
       {0, 46}},
  };
  for (const RangeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ChartRange got = ChartGeometry::range(c.series, c.domain, c.stacked);
    EXPECT_DOUBLE_EQ(got.lower, c.expected.lower);
    EXPECT_DOUBLE_EQ(got.upper, c.expected.upper);
  }
}

TEST(ChartGeometry, StackedTotalsSumEachInstantOnce) {
  const std::vector<LiveSeries> two = {series({{0, 1}, {1000, 2}}),
                                       series({{1000, 3}, {2000, kNaN}, {3000, 4}})};
  std::vector<double> totals = ChartGeometry::stackedTotals(two);
  std::sort(totals.begin(), totals.end());
  EXPECT_EQ(totals, (std::vector<double>{1, 4, 5}));
}

TEST(ChartGeometry, TicksAreGivenOnesOrFiveEvenSteps) {
  EXPECT_EQ(ChartGeometry::ticks({0, 46}, std::nullopt), (std::vector<double>{0, 11.5, 23, 34.5, 46}));
  EXPECT_EQ(ChartGeometry::ticks({0, 100}, std::vector<double>{100, 0, 50}),
            (std::vector<double>{100, 0, 50}));
  EXPECT_TRUE(ChartGeometry::ticks({0, 100}, std::vector<double>{}).empty());
  EXPECT_EQ(ChartGeometry::ticks({0, 100}, std::vector<double>{kNaN, 50, kInf}), (std::vector<double>{50}));
}

QString whole(double value) {
  return QString::number(std::round(value));
}

std::vector<QString> labels(const std::vector<ChartGeometry::Tick>& ticks) {
  std::vector<QString> texts;
  for (const auto& tick : ticks) texts.push_back(tick.label);
  return texts;
}

TEST(ChartGeometry, LabelledTicksNeverRepeatALabel) {
  using Tick = ChartGeometry::Tick;
  struct Case {
    const char* name;
    ChartRange range;
    std::optional<std::vector<double>> given;
    std::vector<Tick> expected;
  };
  const std::vector<Case> cases = {
      {"five even steps",
       {0, 46},
       std::nullopt,
       {{0, "0"}, {11.5, "12"}, {23, "23"}, {34.5, "35"}, {46, "46"}}},
      // 0, 0.25 ... 1 round to 0, 0, 1, 1, 1 and 0, 0.5, 1 to 0, 1, 1.
      {"a flat range falls back to its ends", {0, 1}, std::nullopt, {{0, "0"}, {1, "1"}}},
      {"three steps when they differ", {0, 2}, std::nullopt, {{0, "0"}, {1, "1"}, {2, "2"}}},
      {"a range that rounds to one label keeps one tick", {0, 1e-9}, std::nullopt, {{0, "0"}}},
      {"given ticks drop a repeated label, keeping the first",
       {0, 100},
       std::vector<double>{0, 50, 50.2, 100},
       {{0, "0"}, {50, "50"}, {100, "100"}}},
      {"given ticks that are not finite are skipped", {0, 100}, std::vector<double>{kNaN, 50}, {{50, "50"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ChartGeometry::labelledTicks(c.range, c.given, whole), c.expected);
  }
  // Without a format the numbers are written as they are.
  EXPECT_EQ(labels(ChartGeometry::labelledTicks({0, 2}, std::nullopt, {})),
            (std::vector<QString>{"0", "0.5", "1", "1.5", "2"}));
}

TEST(ChartGeometry, AFlatRateChartLabelsEachGridLineOnce) {
  // What the network chart shows on an idle link: every sample 0 bytes/s.
  const ValueFormatter format{QLocale(QLocale::English, QLocale::UnitedStates)};
  const auto rate = [&format](double value) { return format.rate(value); };
  for (double level : {0.0, 1.0, 512.0, 810800.0}) {
    SCOPED_TRACE(level);
    const std::vector<LiveSeries> flat = {series({{0, level}, {1000, level}, {2000, level}})};
    const std::vector<QString> texts = labels(
        ChartGeometry::labelledTicks(ChartGeometry::range(flat, std::nullopt, false), std::nullopt, rate));
    ASSERT_GE(texts.size(), 2u);
    for (std::size_t i = 0; i < texts.size(); ++i) {
      for (std::size_t j = i + 1; j < texts.size(); ++j)
        EXPECT_NE(texts[i], texts[j]) << texts[i].toStdString();
    }
  }
}

constexpr double kKiB = 1024;
constexpr double kGiB = 1024.0 * 1024 * 1024;
constexpr double kTiB = kGiB * 1024;

struct AxisCase {
  const char* name;
  double low;
  double high;
  bool fixed;  // a fixed domain keeps its bounds; otherwise the grid reaches out to round ticks
  AxisUnit unit;
  std::vector<const char*> labels;
  ChartRange range;
};

// Ranges as the charts see them (the live charts add 15 % headroom before asking) and the grid
// a person reads: 1-2-5 steps of the one unit shown, a flat zero at the bottom.
TEST(ChartAxis, TicksAreRoundStepsOfTheUnitShown) {
  const QLocale english(QLocale::English, QLocale::UnitedStates);
  const AxisUnit rate = AxisUnit::bytes(false, QStringLiteral("/s"));
  const AxisUnit memory = AxisUnit::bytes(true);
  const AxisUnit volume = AxisUnit::bytes(false);
  const AxisUnit percent = AxisUnit::percent(english);
  const AxisUnit watts = AxisUnit::number(QStringLiteral(" W"));
  const AxisUnit count = AxisUnit::number({}, true);
  const std::vector<AxisCase> cases = {
      {"memory in use, 7.5 GiB installed",
       0,
       7.5 * kGiB,
       true,
       memory,
       {"0 GiB", "2 GiB", "4 GiB", "6 GiB"},
       {0, 7.5 * kGiB}},
      {"memory up to 7.5 GiB with headroom",
       0,
       8.6 * kGiB,
       false,
       memory,
       {"0 GiB", "2 GiB", "4 GiB", "6 GiB", "8 GiB", "10 GiB"},
       {0, 10 * kGiB}},
      {"one and a half GiB: halves, all in GiB",
       0,
       1.5 * kGiB,
       false,
       memory,
       {"0.0 GiB", "0.5 GiB", "1.0 GiB", "1.5 GiB"},
       {0, 1.5 * kGiB}},
      {"swap used, always 0: at the bottom under 1 KiB",
       0,
       0,
       false,
       memory,
       {"0.0 KiB", "0.2 KiB", "0.4 KiB", "0.6 KiB", "0.8 KiB", "1.0 KiB"},
       {0, kKiB}},
      {"an idle link tops out at 1 kB/s",
       0,
       0,
       false,
       rate,
       {"0.0 kB/s", "0.2 kB/s", "0.4 kB/s", "0.6 kB/s", "0.8 kB/s", "1.0 kB/s"},
       {0, 1000}},
      {"disk reads up to 595 MB/s",
       0,
       1.15 * 594.9e6,
       false,
       rate,
       {"0 MB/s", "200 MB/s", "400 MB/s", "600 MB/s", "800 MB/s"},
       {0, 800e6}},
      {"a busy link in kB/s",
       0,
       1.15 * 810800,
       false,
       rate,
       {"0 kB/s", "200 kB/s", "400 kB/s", "600 kB/s", "800 kB/s", "1,000 kB/s"},
       {0, 1e6}},
      {"free space up to 97 GB",
       0,
       1.15 * 97.3e9,
       false,
       volume,
       {"0 GB", "50 GB", "100 GB", "150 GB"},
       {0, 150e9}},
      {"a few TiB",
       0,
       3.5 * kTiB,
       false,
       memory,
       {"0 TiB", "1 TiB", "2 TiB", "3 TiB", "4 TiB"},
       {0, 4 * kTiB}},
      {"percent over its fixed 0 to 100",
       0,
       100,
       true,
       percent,
       {"0%", "20%", "40%", "60%", "80%", "100%"},
       {0, 100}},
      {"values 0 to 40 with headroom",
       0,
       46,
       false,
       percent,
       {"0%", "10%", "20%", "30%", "40%", "50%"},
       {0, 50}},
      {"a stored range away from 0 is not pulled to 0",
       23,
       45,
       false,
       AxisUnit::number(),
       {"20", "25", "30", "35", "40", "45"},
       {20, 45}},
      {"a flat series sits low with room above",
       40,
       40,
       false,
       percent,
       {"0%", "10%", "20%", "30%", "40%", "50%"},
       {0, 50}},
      {"battery flow either side of 0",
       -10,
       23,
       false,
       watts,
       {"-10 W", "0 W", "10 W", "20 W", "30 W"},
       {-10, 30}},
      {"small fractions",
       -0.3,
       0.2,
       false,
       AxisUnit::number(),
       {"-0.3", "-0.2", "-0.1", "0.0", "0.1", "0.2"},
       {-0.3, 0.2}},
      {"counts step by whole numbers", 0, 2, false, count, {"0", "1", "2"}, {0, 2}},
      {"a flat count of 0", 0, 0, false, count, {"0", "1"}, {0, 1}},
      {"process counts", 250, 300, false, count, {"250", "260", "270", "280", "290", "300"}, {250, 300}},
      {"not finite is treated as 0",
       std::numeric_limits<double>::quiet_NaN(),
       0,
       false,
       count,
       {"0", "1"},
       {0, 1}},
  };
  for (const AxisCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ChartAxis::Axis axis =
        c.fixed ? ChartAxis::within({c.low, c.high}, c.unit) : ChartAxis::fitted(c.low, c.high, c.unit);
    std::vector<std::string> got;
    for (double tick : axis.ticks) got.push_back(ChartAxis::label(tick, axis, c.unit, english).toStdString());
    EXPECT_EQ(got, std::vector<std::string>(c.labels.begin(), c.labels.end()));
    EXPECT_NEAR(axis.range.lower, c.range.lower, 1e-6 * std::max(1.0, std::abs(c.range.lower)));
    EXPECT_NEAR(axis.range.upper, c.range.upper, 1e-6 * std::max(1.0, std::abs(c.range.upper)));
    // Every tick lies on a whole multiple of the step, inside the range.
    for (double tick : axis.ticks) {
      EXPECT_NEAR(std::remainder(tick, axis.step), 0, 1e-6 * axis.step);
      EXPECT_GE(tick, axis.range.lower - 1e-6 * axis.step);
      EXPECT_LE(tick, axis.range.upper + 1e-6 * axis.step);
    }
  }
}

TEST(ChartAxis, NamedLevelsStepByWholeLevels) {
  const auto name = [](double level) { return QStringLiteral("L%1").arg(level); };
  const ChartAxis::Axis axis = ChartAxis::fitted(0, 2, AxisUnit::named());
  std::vector<QString> got;
  for (double tick : axis.ticks)
    got.push_back(ChartAxis::label(tick, axis, AxisUnit::named(), QLocale(), name));
  EXPECT_EQ(got, (std::vector<QString>{"L0", "L1", "L2"}));
}

TEST(ChartAxis, StoredMetricsAreReadInTheUnitTheirValuesAreWrittenIn) {
  const QLocale english(QLocale::English, QLocale::UnitedStates);
  EXPECT_EQ(AxisUnit::of(MetricID::swapUsed, english), AxisUnit::bytes(true));
  EXPECT_EQ(AxisUnit::of(MetricID::diskFree, english), AxisUnit::bytes(false));
  EXPECT_EQ(AxisUnit::of(MetricID::netDown, english), AxisUnit::bytes(false, "/s"));
  EXPECT_EQ(AxisUnit::of(MetricID::cpuTotal, english), AxisUnit::number("%"));
  EXPECT_EQ(AxisUnit::of(MetricID::thermalState, english), AxisUnit::named());
  EXPECT_EQ(AxisUnit::of(MetricID::processCount, english), AxisUnit::number({}, true));
}

TEST(LiveChartGrid, AnIdleRateChartSitsOnItsFloorWithRoundLabels) {
  LiveChartOptions options;
  options.axis = AxisUnit::bytes(false, QStringLiteral("/s"));
  const std::vector<LiveSeries> idle = {series({{0, 0}, {1000, 0}, {2000, 0}})};
  const LiveChartGrid grid = LiveChart::grid(idle, options);
  EXPECT_EQ(grid.range, (ChartRange{0, 1000}));
  ASSERT_FALSE(grid.ticks.empty());
  EXPECT_EQ(grid.ticks.back().label, "1.0 kB/s");
  // The zero line is the bottom of the plot.
  const QRectF plot(62, 4, 234, 138);
  EXPECT_DOUBLE_EQ(ChartGeometry::y(0, grid.range, plot), plot.bottom());

  // A fixed domain keeps its bounds and takes round ticks inside it; given ticks stay as given.
  options.domain = ChartRange{0, 7.5 * kGiB};
  options.axis = AxisUnit::bytes(true);
  EXPECT_EQ(LiveChart::grid(idle, options).range, (ChartRange{0, 7.5 * kGiB}));
  EXPECT_EQ(LiveChart::grid(idle, options).ticks.size(), 4u);
  options.ticks = std::vector<double>{0, 1, 2};
  options.domain = ChartRange{0, 2};
  EXPECT_EQ(LiveChart::grid(idle, options).ticks.size(), 3u);
}

TEST(ChartGeometry, ValuesMapIntoThePlotAndOutliersSitOnItsEdges) {
  const QRectF plot(62, 4, 234, 138);  // bottom 142
  const ChartRange range{0, 100};
  struct Case {
    double value;
    double y;
  };
  const std::vector<Case> cases = {{0, 142},  {50, 73},    {100, 4},  {150, 4},
                                   {-5, 142}, {kNaN, 142}, {kInf, 4}, {-kInf, 142}};
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(ChartGeometry::y(c.value, range, plot), c.y) << c.value;
  // A range given out of order or not finite still maps onto the plot.
  EXPECT_DOUBLE_EQ(ChartGeometry::y(50, {100, 0}, plot), 73);
  EXPECT_TRUE(std::isfinite(ChartGeometry::y(50, {kNaN, kInf}, plot)));
  // An empty range does not divide by zero.
  EXPECT_TRUE(std::isfinite(ChartGeometry::y(5, {5, 5}, plot)));
  // Huge figures keep the span finite.
  const ChartRange huge = ChartGeometry::range(
      std::vector<LiveSeries>{
          series({{0, -std::numeric_limits<double>::max()}, {1, std::numeric_limits<double>::max()}})},
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
      {"non-finite values leave their slot empty",
       {kNaN, 0, kInf, 10, -kInf},
       std::nullopt,
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
