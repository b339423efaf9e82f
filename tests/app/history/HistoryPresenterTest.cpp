#include "features/history/HistoryPresenter.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

namespace P = HistoryPresenter;

TEST(HistoryPresenter, LoadIdentityNamesRangeMetricsAndRevision) {
  EXPECT_EQ(P::loadIdentity(HistoryRange::hour, MetricID::cpuTotal, std::nullopt, 0),
            QStringLiteral("hour|1|0|0"));
  EXPECT_EQ(P::loadIdentity(HistoryRange::sixHours, MetricID::memCompressed, MetricID::netUp, 12),
            QStringLiteral("sixHours|13|41|12"));
}

TEST(HistoryPresenter, AComparisonEqualToThePrimaryIsNotLoadedTwice) {
  EXPECT_EQ(P::metricsToLoad(MetricID::cpuTotal, std::nullopt), std::vector<MetricID>{MetricID::cpuTotal});
  EXPECT_EQ(P::metricsToLoad(MetricID::cpuTotal, MetricID::cpuTotal),
            std::vector<MetricID>{MetricID::cpuTotal});
  EXPECT_EQ(P::metricsToLoad(MetricID::netUp, MetricID::cpuTotal),
            (std::vector<MetricID>{MetricID::netUp, MetricID::cpuTotal}));
}

TEST(HistoryPresenter, MetricGroupsFollowTheFamilyOrderAndHoldEveryMetricOnce) {
  const auto groups = P::metricGroups();
  ASSERT_EQ(groups.size(), 8u);
  EXPECT_EQ(groups[0].family, MetricFamily::cpu);
  EXPECT_EQ(groups[0].metrics, (std::vector<MetricID>{MetricID::cpuTotal, MetricID::cpuUser,
                                                      MetricID::cpuSystem, MetricID::loadAverage1}));
  EXPECT_EQ(groups[1].metrics, std::vector<MetricID>{MetricID::gpuUtilization});
  EXPECT_EQ(groups[6].metrics, (std::vector<MetricID>{MetricID::batteryTemperature, MetricID::thermalState}));
  std::size_t total = 0;
  for (const auto& group : groups) total += group.metrics.size();
  EXPECT_EQ(total, static_cast<std::size_t>(kMetricCount));
  EXPECT_EQ(P::familyName(MetricFamily::thermal), QStringLiteral("Thermal"));
}

Series threeGaps() {
  Series series;
  series.metric = MetricID::cpuTotal;
  series.step = 8;
  series.points = {{1000, 10, 30, 20, 4}, {1008, 40, 60, 50, 4}};
  series.gaps = {{0, 60}, {1100, 1220}, {2000, 2010}};
  return series;
}

TEST(HistoryPresenter, StatisticsAndGaps) {
  const ValueFormatter format;
  Series series = threeGaps();
  series.gaps = {{0, 60}, {1100, 1220}};
  const auto stats = P::statistics(series, format);
  EXPECT_STREQ(stats[0].label, "Minimum");
  EXPECT_EQ(stats[0].value, QStringLiteral("10.0%"));
  EXPECT_EQ(stats[1].value, QStringLiteral("35.0%"));
  EXPECT_EQ(stats[2].value, QStringLiteral("60.0%"));
  EXPECT_EQ(stats[3].value, QStringLiteral("8"));
  EXPECT_EQ(stats[4].value, QStringLiteral("8 s"));
  EXPECT_EQ(stats[5].value, QStringLiteral("2 · 3 min"));

  series.gaps.clear();
  EXPECT_EQ(P::gapsText(series, format), QStringLiteral("None"));

  Series empty;
  empty.step = 8;
  empty.gaps = {{0, 3600}};
  const auto none = P::statistics(empty, format);
  EXPECT_EQ(none[0].value, std::nullopt);
  EXPECT_EQ(none[1].value, std::nullopt);
  EXPECT_EQ(none[2].value, std::nullopt);
  EXPECT_EQ(none[3].value, QStringLiteral("0"));
  EXPECT_EQ(none[5].value, QStringLiteral("1 · 1 h"));
}

TEST(HistoryPresenter, CountsAreWrittenWithTheLocalesSeparators) {
  Series series = threeGaps();
  series.points.push_back({1016, 10, 30, 20, 15'764'399});
  const struct {
    QLocale locale;
    const char* samples;
  } cases[] = {
      {QLocale(QLocale::English, QLocale::UnitedStates), "15,764,407"},
      {QLocale(QLocale::German, QLocale::Germany), "15.764.407"},
  };
  for (const auto& c : cases) {
    const ValueFormatter format(c.locale);
    EXPECT_EQ(P::statistics(series, format)[3].value, QString::fromUtf8(c.samples)) << c.samples;
  }
}

// A metric this computer never produces has nothing to chart and no gap to count; one it can
// produce shows the time the monitor was away as a gap, and a series that has points is drawn.
TEST(HistoryPresenter, ANeverProducedMetricDrawsNoChartAndCountsNoGap) {
  const ValueFormatter format;
  Series empty;
  empty.metric = MetricID::gpuUtilization;
  empty.step = 8;
  empty.gaps = {{0, 3600}};
  const struct {
    const char* name;
    Series series;
    bool producible;
    bool drawn;
    std::optional<QString> gaps;
  } cases[] = {
      {"never produced, no point", empty, false, false, std::nullopt},
      {"producible, no point yet", empty, true, true, QStringLiteral("1 · 1 h")},
      {"never produced here, points from before", threeGaps(), false, true, QStringLiteral("3 · 3 min 10 s")},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(P::drawsChart(c.series, c.producible), c.drawn) << c.name;
    EXPECT_EQ(P::statistics(c.series, format, c.producible)[5].value, c.gaps) << c.name;
  }
}

TEST(HistoryPresenter, SummaryEndsWithTheGapCount) {
  const ValueFormatter format;
  const struct {
    std::size_t gaps;
    const char* ending;
  } cases[] = {{3, ". 3 gaps."}, {1, ". 1 gap."}, {0, ". 0 gaps."}};
  for (const auto& c : cases) {
    Series series = threeGaps();
    series.gaps.resize(c.gaps);
    EXPECT_EQ(P::summary(series, format),
              QStringLiteral("Minimum 10.0%, Average 35.0%, Maximum 60.0%") + QLatin1String(c.ending));
  }
  EXPECT_EQ(P::summary(Series{}, format), QStringLiteral("No stored sample in this range yet."));
  EXPECT_EQ(P::summary(Series{}, format, false), QStringLiteral("Not available on this computer."));
}

TEST(HistoryPresenter, AnEmptyChartSaysWhetherThisComputerCanEverFillIt) {
  const auto row = [](const char* id, bool present) {
    SensorCapability capability;
    capability.id = QString::fromLatin1(id);
    capability.present = present;
    return capability;
  };
  const std::vector<SensorCapability> desktop = {row("power.battery", false), row("thermal.state", false),
                                                 row("gpu.utilization", false), row("memory.pressure", true)};
  const struct {
    MetricID metric;
    bool producible;
  } cases[] = {
      {MetricID::batteryCharge, false},
      {MetricID::thermalState, false},
      {MetricID::gpuUtilization, false},
      {MetricID::memPressure, true},
      {MetricID::cpuTotal, true},
      {MetricID::batteryPower, true},  // no row to judge by: assumed possible
  };
  for (const auto& c : cases) {
    EXPECT_EQ(P::producible(c.metric, desktop), c.producible) << Metric::key(c.metric);
    EXPECT_EQ(P::emptyText(P::producible(c.metric, desktop)),
              c.producible ? QStringLiteral("No stored sample in this range yet.")
                           : QStringLiteral("Not available on this computer."));
  }
}

TEST(HistoryPresenter, ReadoutShowsTheNearestPointOrTheHint) {
  const ValueFormatter format;
  const Series series = threeGaps();
  EXPECT_TRUE(P::readout(series, std::nullopt, format).hint);
  EXPECT_EQ(P::readout(Series{}, 1000, format).text,
            QStringLiteral("Move the pointer over the chart to read a point."));
  // Half-way between the two points: the earlier one.
  const auto readout = P::readout(series, 1004, format);
  EXPECT_FALSE(readout.hint);
  EXPECT_EQ(readout.text, format.date(QDateTime::fromSecsSinceEpoch(1000)) +
                              QStringLiteral(" — Average 20.0% · Minimum 10.0% · Maximum 30.0%"));
}

TEST(HistoryPresenter, TextsOfThePage) {
  const ValueFormatter format;
  StoredEvent bookmark;
  EXPECT_EQ(P::bookmarkNote(bookmark), QStringLiteral("No note"));
  bookmark.payload.insert(QStringLiteral("note"), QString());
  EXPECT_EQ(P::bookmarkNote(bookmark), QStringLiteral("No note"));
  bookmark.payload.insert(QStringLiteral("note"), QStringLiteral("<b>build</b>"));
  EXPECT_EQ(P::bookmarkNote(bookmark), QStringLiteral("<b>build</b>"));

  EXPECT_EQ(P::subtitle(std::nullopt, format),
            QStringLiteral("Collected locally since KIVO Monitor was first opened"));
  StoreStatistics statistics;
  EXPECT_EQ(P::subtitle(statistics, format),
            QStringLiteral("Collected locally since KIVO Monitor was first opened"));
  statistics.earliest = QDateTime::fromSecsSinceEpoch(1'765'000'000);
  EXPECT_EQ(P::subtitle(statistics, format),
            QStringLiteral("Collected locally since ") + format.date(*statistics.earliest));

  EXPECT_EQ(P::unavailable(QStringLiteral("file is not a database")),
            QStringLiteral("History is not available: file is not a database"));
  // Before the first attempt has ended the history is opening, not missing.
  EXPECT_EQ(P::notOpenText(false, std::nullopt), QStringLiteral("Opening the history…"));
  EXPECT_EQ(P::notOpenText(false, QStringLiteral("file is not a database")),
            QStringLiteral("History is not available: file is not a database"));
  EXPECT_EQ(P::notOpenText(true, std::nullopt), std::nullopt);
  EXPECT_EQ(P::notOpenText(true, QStringLiteral("The disk is full.")), std::nullopt);
  // Only an open history's error is a write failure; without one the charts' place says why.
  const QString full = QStringLiteral("The disk is full: 4 samples are waiting to be written.");
  EXPECT_EQ(P::writeFailure(true, full), full);
  EXPECT_FALSE(P::writeFailure(true, std::nullopt));
  EXPECT_FALSE(P::writeFailure(false, QStringLiteral("file is not a database")));
  EXPECT_TRUE(
      P::retentionText(RetentionPolicy{}, format)
          .startsWith(QStringLiteral("Every sample is kept for 6 h, one-minute summaries (minimum, average, "
                                     "maximum) for 14 d and one-hour summaries for 730 d.")));
}

}  // namespace
}  // namespace kivo
