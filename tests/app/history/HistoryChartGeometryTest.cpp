#include "features/history/HistoryChart.h"
#include "features/history/HistoryChartGeometry.h"
#include "metrics/ValueFormatter.h"
#include "texts/AlertText.h"

#include "LocalZone.h"

#include <gtest/gtest.h>

#include <array>
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
      {50, 0},  {100, 0}, {104.9, 0},          {105, 0} /* half-way */, {105.1, 1}, {120, 1} /* half-way */,
      {121, 2}, {500, 2}, {NAN, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(Geo::nearestPoint(series, c.time), c.index) << c.time;
  EXPECT_EQ(Geo::nearestPoint(Series{}, 100), std::nullopt);
}

TEST(HistoryChartGeometry, ZeroWidthDomainsAreWidened) {
  EXPECT_EQ(Geo::timeDomain(1000, 1000), (ChartRange{999.5, 1000.5}));
  EXPECT_EQ(Geo::timeDomain(2000, 1000), (ChartRange{1000, 2000}));
  EXPECT_EQ(Geo::timeDomain(NAN, 1000), (ChartRange{0, 1}));

  // Every mapping stays finite on a flat or empty domain.
  const QRectF plot(10, 10, 100, 50);
  EXPECT_TRUE(std::isfinite(Geo::y(40, ChartRange{40, 40}, plot)));
  EXPECT_TRUE(std::isfinite(Geo::x(5, ChartRange{5, 5}, plot)));
}

TEST(HistoryChartGeometry, ValueGridIsRoundInTheMetricsUnitAndAFlatZeroSitsAtTheBottom) {
  const QLocale english(QLocale::English, QLocale::UnitedStates);
  const ValueFormatter format(english);
  struct Case {
    const char* name;
    MetricID metric;
    std::vector<std::array<double, 3>> points;  // min, max, avg
    std::vector<const char*> labels;
  } cases[] = {
      {"swap used, always 0",
       MetricID::swapUsed,
       {{0, 0, 0}, {0, 0, 0}},
       {"0.0 KiB", "0.2 KiB", "0.4 KiB", "0.6 KiB", "0.8 KiB", "1.0 KiB"}},
      {"memory used 3.1 to 7.4 GiB",
       MetricID::memUsed,
       {{3.1 * 1073741824, 7.4 * 1073741824, 5 * 1073741824.0}},
       {"3 GiB", "4 GiB", "5 GiB", "6 GiB", "7 GiB", "8 GiB"}},
      {"CPU 3 to 45 %", MetricID::cpuTotal, {{3, 45, 20}}, {"0%", "10%", "20%", "30%", "40%", "50%"}},
      {"CPU 33 to 100 %: a share starts at 0",
       MetricID::cpuTotal,
       {{33, 100, 60}},
       {"0%", "20%", "40%", "60%", "80%", "100%"}},
      {"no points",
       MetricID::netDown,
       {},
       {"0.0 kB/s", "0.2 kB/s", "0.4 kB/s", "0.6 kB/s", "0.8 kB/s", "1.0 kB/s"}},
      {"thermal levels", MetricID::thermalState, {{0, 2, 1}}, {"Nominal", "Fair", "Serious"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Series series;
    series.metric = c.metric;
    series.step = 10;
    double t = 0;
    for (const auto& p : c.points) series.points.push_back({t += 10, p[0], p[1], p[2], 1});
    HistoryChartContent content;
    content.series = &series;
    content.format = [&](double value) { return AlertText::formatted(value, c.metric, format); };
    content.axis = AxisUnit::of(c.metric, english);
    const ChartAxis::Axis axis = HistoryChart::valueAxis(content);
    std::vector<std::string> got;
    for (const QString& label : HistoryChart::valueLabels(content, axis)) got.push_back(label.toStdString());
    EXPECT_EQ(got, std::vector<std::string>(c.labels.begin(), c.labels.end()));
    // The grid spans the values; a flat zero lies on the plot's floor.
    const QRectF plot(50, 10, 200, 100);
    for (const SeriesPoint& point : series.points) {
      EXPECT_GE(point.min, axis.range.lower);
      EXPECT_LE(point.max, axis.range.upper);
    }
    if (c.metric == MetricID::swapUsed) {
      EXPECT_DOUBLE_EQ(Geo::y(0, axis.range, plot), plot.bottom());
    }
  }
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
    const auto ticks = Geo::timeTicks({1'765'000'123, 1'765'000'123 + c.span});
    EXPECT_GE(ticks.size(), 5u) << c.span;
    EXPECT_LE(ticks.size(), 8u) << c.span;
    if (c.step < Geo::kMonthStep) {
      for (double tick : ticks) EXPECT_EQ(std::fmod(tick, c.step), 0) << c.span;
    }
  }
  // Ticks fall on local multiples of the step: an hour east of UTC moves them by an hour.
  const test::LocalZone berlin("Europe/Berlin");
  const auto shifted = Geo::timeTicks({0, 86400 * 7});
  ASSERT_FALSE(shifted.empty());
  EXPECT_EQ(shifted.front(), 86400 - 3600);
}

// Long ranges tick on the calendar: a year on the first of every other month, a week on each
// midnight, also across a change of the clocks.
TEST(HistoryChartGeometry, DayAndMonthTicksFallOnLocalMidnightsAndMonthStarts) {
  const auto local = [](double seconds) {
    return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(seconds)).toLocalTime();
  };
  const auto at = [](int y, int m, int d) {
    return static_cast<double>(QDateTime(QDate(y, m, d), QTime(0, 0), Qt::LocalTime).toSecsSinceEpoch());
  };
  struct Case {
    const char* name;
    const char* zone;
    QDate from;
    double span;
    std::vector<QDate> ticks;
  } cases[] = {
      {"a year to 11 Dec 2026, UTC",
       "UTC",
       {2025, 12, 11},
       31536000,
       {{2026, 1, 1}, {2026, 3, 1}, {2026, 5, 1}, {2026, 7, 1}, {2026, 9, 1}, {2026, 11, 1}}},
      {"a year to 11 Dec 2026, Berlin, through both clock changes",
       "Europe/Berlin",
       {2025, 12, 11},
       31536000,
       {{2026, 1, 1}, {2026, 3, 1}, {2026, 5, 1}, {2026, 7, 1}, {2026, 9, 1}, {2026, 11, 1}}},
      {"a year from 1 March, the first tick on its first moment",
       "UTC",
       {2026, 3, 1},
       31536000,
       {{2026, 3, 1}, {2026, 5, 1}, {2026, 7, 1}, {2026, 9, 1}, {2026, 11, 1}, {2027, 1, 1}, {2027, 3, 1}}},
      {"a week over the night the clocks go back, Berlin",
       "Europe/Berlin",
       {2026, 10, 21},
       604800,
       {{2026, 10, 22},
        {2026, 10, 23},
        {2026, 10, 24},
        {2026, 10, 25},
        {2026, 10, 26},
        {2026, 10, 27},
        {2026, 10, 28}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const test::LocalZone zone(c.zone);
    const double from = at(c.from.year(), c.from.month(), c.from.day()) + (c.from.day() == 1 ? 0 : 3600);
    std::vector<QDate> dates;
    for (double tick : Geo::timeTicks({from, from + c.span})) {
      EXPECT_EQ(local(tick).time(), QTime(0, 0)) << local(tick).toString().toStdString();
      dates.push_back(local(tick).date());
    }
    EXPECT_EQ(dates, c.ticks);
  }
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
