#include "ReportFixtures.h"

#include <gtest/gtest.h>

using namespace kivo;
using namespace kivo::test;

namespace {

ReportSeriesSummary summary(MetricID metric, std::optional<double> average, std::optional<double> maximum) {
  ReportSeriesSummary s;
  s.metric = metric;
  s.name = MetricCatalog::descriptor(metric).name;
  s.unit = MetricCatalog::descriptor(metric).unit;
  s.average = average;
  s.maximum = maximum;
  return s;
}

Report withSeries(std::vector<ReportSeriesSummary> series) {
  Report r;
  r.series = std::move(series);
  return r;
}

}  // namespace

TEST(ReportComparison, HeadersAndNoSharedMetric) {
  const Report cpu = withSeries({summary(MetricID::cpuTotal, 10, 20), summary(MetricID::cpuUser, 5, 6)});
  const Report network = buildReport(emptyInputs());
  const ReportTable table = ReportGenerator::compare(cpu, network, englishFormatter(), identity());
  EXPECT_EQ(table.title, QStringLiteral("Comparison"));
  EXPECT_EQ(table.headers, (QStringList{"Metric", "Average A", "Average B", "Change", "Peak A", "Peak B"}));
  EXPECT_TRUE(table.rows.isEmpty());

  const Localize upper = [](const QString& s) { return s.toUpper(); };
  EXPECT_EQ(ReportGenerator::compare(cpu, cpu, englishFormatter(), upper).headers.front(),
            QStringLiteral("METRIC"));
}

TEST(ReportComparison, Rows) {
  struct Case {
    std::optional<double> averageA, averageB, peakA, peakB;
    QStringList row;
  };
  const Case cases[] = {
      {20, 30, 40, 50, {"CPU usage", "20.0%", "30.0%", "50.0%", "40.0%", "50.0%"}},
      {30, 20, 40, 25, {"CPU usage", "30.0%", "20.0%", "-33.3%", "40.0%", "25.0%"}},
      {0, 20, 0, 25, {"CPU usage", "0.0%", "20.0%", "—", "0.0%", "25.0%"}},
      {-10, -5, 1, 1, {"CPU usage", "-10.0%", "-5.0%", "50.0%", "1.0%", "1.0%"}},  // relative to |a|
      {std::nullopt, 20, std::nullopt, 25, {"CPU usage", "—", "20.0%", "—", "—", "25.0%"}},
      {20, std::nullopt, 40, std::nullopt, {"CPU usage", "20.0%", "—", "—", "40.0%", "—"}},
      // From a tiny average: a bound that fits the cell, not hundreds of digits.
      {1e-300, 50, 1, 50, {"CPU usage", "0.0%", "50.0%", ">100,000,000%", "1.0%", "50.0%"}},
      {-1e-300, 50, 1, 50, {"CPU usage", "0.0%", "50.0%", ">100,000,000%", "1.0%", "50.0%"}},
      {1e-300, -50, 1, 50, {"CPU usage", "0.0%", "-50.0%", "<-100,000,000%", "1.0%", "50.0%"}},
  };
  for (const auto& c : cases) {
    const Report a = withSeries({summary(MetricID::cpuTotal, c.averageA, c.peakA)});
    const Report b = withSeries({summary(MetricID::cpuTotal, c.averageB, c.peakB)});
    const ReportTable table = ReportGenerator::compare(a, b, englishFormatter(), identity());
    ASSERT_EQ(table.rows.size(), 1);
    EXPECT_EQ(table.rows[0], c.row);
  }
}

TEST(ReportComparison, LevelsReadAsTheirNames) {
  const struct {
    MetricID metric;
    double averageA, averageB;
    QStringList row;
  } cases[] = {
      {MetricID::memPressure, 0, 0, {"Normal", "Normal", "—", "Normal", "Normal"}},
      {MetricID::memPressure, 0.2, 1.1, {"Normal", "Warning", "—", "Normal", "Warning"}},
      {MetricID::thermalState, 0, 2, {"Nominal", "Serious", "—", "Nominal", "Serious"}},
  };
  for (const auto& c : cases) {
    const Report a = withSeries({summary(c.metric, c.averageA, c.averageA)});
    const Report b = withSeries({summary(c.metric, c.averageB, c.averageB)});
    const ReportTable table = ReportGenerator::compare(a, b, englishFormatter(), identity());
    ASSERT_EQ(table.rows.size(), 1);
    EXPECT_EQ(table.rows[0].mid(1), c.row) << c.averageA << " " << c.averageB;
  }
}

TEST(ReportComparison, OrderUnitsAndDuplicates) {
  // System report first, incident second: the nine shared metrics in the system report's order.
  const Report system = buildReport(systemInputs());
  const Report incident = buildReport(incidentInputs());
  const ReportTable table = ReportGenerator::compare(system, incident, englishFormatter(), identity());
  QStringList names;
  for (const auto& row : table.rows) names.append(row[0]);
  QStringList expected;
  for (const MetricID m :
       {MetricID::cpuTotal, MetricID::memUsed, MetricID::memPressure, MetricID::swapUsed, MetricID::diskRead,
        MetricID::diskWrite, MetricID::netDown, MetricID::netUp, MetricID::thermalState})
    expected.append(MetricCatalog::descriptor(m).name);
  EXPECT_EQ(names, expected);
  // Levels read by name, as the report shows them, with no ratio of level numbers.
  EXPECT_EQ(table.rows[8].mid(1, 3), (QStringList{"Fair", "Critical", "—"}));
  // Swap has no points in the incident report.
  EXPECT_EQ(table.rows[3][2], QStringLiteral("—"));
  EXPECT_EQ(table.rows[3][3], QStringLiteral("—"));
  EXPECT_EQ(table.rows[3][5], QStringLiteral("—"));

  // Values are written in a's unit; a metric twice in a pairs twice with the first match in b.
  ReportSeriesSummary first = summary(MetricID::cpuTotal, 1024, 2048);
  first.unit = MetricUnit::bytes;
  const Report a = withSeries({first, summary(MetricID::cpuTotal, 10, 10)});
  const Report b = withSeries({summary(MetricID::cpuTotal, 2048, 4096), summary(MetricID::cpuTotal, 1, 1)});
  const ReportTable twice = ReportGenerator::compare(a, b, englishFormatter(), identity());
  ASSERT_EQ(twice.rows.size(), 2);
  EXPECT_EQ(twice.rows[0], (QStringList{"CPU usage", "1.0 KiB", "2.0 KiB", "100.0%", "2.0 KiB", "4.0 KiB"}));
  EXPECT_EQ(twice.rows[1][2], QStringLiteral("2,048.0%"));
}
