#include "texts/AlertText.h"
#include "texts/FindingText.h"
#include "texts/SeverityTitle.h"

#include "LinuxNames.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kivo {
namespace {

const ValueFormatter kFormat{QLocale(QLocale::English, QLocale::UnitedStates)};

AlertRule rule(MetricID metric, AlertComparison comparison, double threshold, double duration,
               Severity severity = Severity::warning) {
  return AlertRule{QUuid::createUuid(), metric, comparison, threshold, duration, 600, severity, true};
}

TEST(AlertText, RuleOnTotalCPU) {
  const AlertRule cpu = rule(MetricID::cpuTotal, AlertComparison::above, 90, 120);
  EXPECT_EQ(AlertText::title(cpu), QStringLiteral("CPU usage is high"));
  EXPECT_EQ(AlertText::condition(cpu, kFormat), QStringLiteral("above 90.0% for 2 min"));
  const AlertTransition fired{cpu, AlertTransition::Kind::fired, 93.4, QDateTime::currentDateTimeUtc(), 120};
  EXPECT_EQ(AlertText::body(fired, kFormat), QStringLiteral("Now 93.4%. Condition: above 90.0% for 2 min."));
}

TEST(AlertText, ABelowRuleOnFreeDiskSpaceReadsDecimalBytes) {
  const AlertRule disk = rule(MetricID::diskFree, AlertComparison::below, 2e10, 60);
  EXPECT_EQ(AlertText::title(disk),
            QStringLiteral("%1 is low").arg(MetricCatalog::descriptor(MetricID::diskFree).name));
  EXPECT_EQ(AlertText::condition(disk, kFormat),
            QStringLiteral("below %1 for %2").arg(kFormat.bytes(2e10, false), kFormat.duration(60)));
  EXPECT_EQ(AlertText::formatted(2e10, MetricID::diskFree, kFormat), QStringLiteral("20.0 GB"));
  // Other byte metrics keep the memory style of their unit.
  EXPECT_EQ(AlertText::formatted(1073741824, MetricID::swapUsed, kFormat), kFormat.bytes(1073741824.0, true));
}

TEST(AlertText, LevelMetricsNameTheirLevels) {
  const struct {
    MetricID metric;
    double value;
    const char* expected;
  } values[] = {
      {MetricID::thermalState, 0, "Nominal"},   {MetricID::thermalState, 1.49, "Fair"},
      {MetricID::thermalState, 1.5, "Serious"}, {MetricID::thermalState, 3, "Critical"},
      {MetricID::thermalState, 7, "Critical"},  {MetricID::thermalState, -2, "Nominal"},
      {MetricID::thermalState, NAN, "—"},       {MetricID::memPressure, 0.49, "Normal"},
      {MetricID::memPressure, 0.5, "Warning"},  {MetricID::memPressure, 1.49, "Warning"},
      {MetricID::memPressure, 1.5, "Critical"}, {MetricID::memPressure, NAN, "—"},
  };
  for (const auto& v : values) {
    EXPECT_EQ(AlertText::formatted(v.value, v.metric, kFormat), QString::fromUtf8(v.expected))
        << Metric::key(v.metric) << " " << v.value;
  }

  const struct {
    MetricID metric;
    AlertComparison comparison;
    double threshold;
    const char* expected;
  } conditions[] = {
      {MetricID::thermalState, AlertComparison::above, 2, "at or above Serious for 30 s"},
      {MetricID::thermalState, AlertComparison::above, 2.5, "at or above Critical for 30 s"},
      {MetricID::thermalState, AlertComparison::below, 1, "at or above Fair for 30 s"},
      {MetricID::memPressure, AlertComparison::above, 0.5, "at or above Warning for 30 s"},
      {MetricID::memPressure, AlertComparison::above, 1.5, "at or above Critical for 30 s"},
  };
  for (const auto& c : conditions) {
    EXPECT_EQ(AlertText::condition(rule(c.metric, c.comparison, c.threshold, 30), kFormat),
              QString::fromUtf8(c.expected));
  }
}

TEST(SeverityTitle, NamesEachSeverity) {
  EXPECT_EQ(Severities::title(Severity::info), QStringLiteral("Info"));
  EXPECT_EQ(Severities::title(Severity::warning), QStringLiteral("Warning"));
  EXPECT_EQ(Severities::title(Severity::critical), QStringLiteral("Critical"));
}

Finding finding(FindingKind kind, double minutes) {
  Finding f;
  f.kind = kind;
  f.start = QDateTime(QDate(2026, 12, 1), QTime(10, 0), Qt::UTC);
  f.end = f.start.addSecs(static_cast<qint64>(minutes * 60));
  return f;
}

TEST(FindingText, TitlesDependOnKindDirectionAndSubject) {
  Finding net = finding(FindingKind::networkAnomaly, 5);
  net.metric = MetricID::netDown;
  EXPECT_EQ(FindingText::title(net), QStringLiteral("Unusual download volume"));
  net.metric = MetricID::netUp;
  EXPECT_EQ(FindingText::title(net), QStringLiteral("Unusual upload volume"));
  net.metric = MetricID::cpuTotal;
  EXPECT_EQ(FindingText::title(net), QStringLiteral("Unusual download volume"));

  Finding spikes = finding(FindingKind::processSpikes, 5);
  EXPECT_EQ(FindingText::title(spikes), QStringLiteral("“” repeatedly used a full core"));
  spikes.subject = QStringLiteral("cc1plus %1");
  EXPECT_EQ(FindingText::title(spikes), QStringLiteral("“cc1plus %1” repeatedly used a full core"));
  EXPECT_EQ(FindingText::title(finding(FindingKind::diskExhaustion, 1)),
            QStringLiteral("Startup volume is filling up"));
}

TEST(FindingText, ExplanationsFillTheirFigures) {
  Finding cpu = finding(FindingKind::sustainedCPU, 12);
  cpu.threshold = 85;
  cpu.mean = 91.26;
  cpu.peak = 99.5;
  EXPECT_EQ(FindingText::explanation(cpu, kFormat),
            QStringLiteral("Average CPU usage stayed above 85% for 12 min (mean 91.3%, peak 99.5%)."));

  Finding pressure = finding(FindingKind::memoryPressure, 6);
  pressure.peak = 2;
  EXPECT_TRUE(
      FindingText::explanation(pressure, kFormat).endsWith(QStringLiteral("Highest level: Critical.")));
  pressure.peak = 1.9;
  EXPECT_TRUE(
      FindingText::explanation(pressure, kFormat).endsWith(QStringLiteral("Highest level: Warning.")));

  Finding disk = finding(FindingKind::diskExhaustion, 24 * 60);
  disk.mean = 5e9;
  disk.peak = 4e10;
  EXPECT_TRUE(FindingText::explanation(disk, kFormat).contains(QStringLiteral("would be full around —.")));
  disk.projected = QDateTime(QDate(2027, 1, 5), QTime(12, 0), Qt::UTC);
  EXPECT_EQ(FindingText::explanation(disk, kFormat),
            QStringLiteral(
                "Available space fell by about %1 per day over the last 1 d. %2 remain. At that rate the "
                "volume would be full around Jan 5, 2027. This is a straight-line estimate, not a "
                "measurement.")
                .arg(kFormat.bytes(5e9, false), kFormat.bytes(4e10, false)));

  Finding spikes = finding(FindingKind::processSpikes, 30);
  spikes.peak = 187.4;
  const struct {
    std::int64_t occasions;
    std::optional<std::int64_t> concurrent;
    const char* words;
  } spikeCases[] = {
      {4, std::nullopt, "on 4 occasions."},
      {1, std::nullopt, "on 1 occasion."},
      {3, 8, "on 3 occasions, up to 8 processes at once."},
  };
  for (const auto& c : spikeCases) {
    spikes.occurrences = c.occasions;
    spikes.concurrent = c.concurrent;
    EXPECT_EQ(
        FindingText::explanation(spikes, kFormat),
        QStringLiteral("It kept at least 80% of one core busy for 30 seconds or more %1 Highest reading: "
                       "187% of one core.")
            .arg(QString::fromUtf8(c.words)));
  }

  Finding net = finding(FindingKind::networkAnomaly, 3);
  net.peak = 2e7;
  net.threshold = 1e6;
  const struct {
    std::int64_t periods;
    const char* words;
  } netCases[] = {{3, "3 one-minute periods carried"}, {1, "1 one-minute period carried"}};
  for (const auto& c : netCases) {
    net.occurrences = c.periods;
    EXPECT_EQ(FindingText::explanation(net, kFormat),
              QStringLiteral("%1 far more traffic than usual: up to %2, against a typical %3.")
                  .arg(QString::fromUtf8(c.words), kFormat.rate(2e7), kFormat.rate(1e6)));
  }

  Finding swap = finding(FindingKind::swapGrowth, 90);
  swap.mean = 3221225472;
  swap.peak = 4294967296;
  EXPECT_EQ(FindingText::explanation(swap, kFormat),
            QStringLiteral("Swap in use grew by %1 over 1 h 30 min, reaching %2.")
                .arg(kFormat.bytes(3221225472.0, true), kFormat.bytes(4294967296.0, true)));

  EXPECT_EQ(FindingText::explanation(finding(FindingKind::thermalPressure, 2), kFormat),
            QStringLiteral("The kernel reported a thermal state of Serious or higher for 2 min."));
}

TEST(FindingText, EveryKindHasAnActionThatNamesNoOtherSystem) {
  for (const FindingKind kind : FindingKinds::allCases()) {
    const Finding f = finding(kind, 10);
    EXPECT_FALSE(FindingText::action(f).isEmpty()) << FindingKinds::rawValue(kind);
    for (const QString& text :
         {FindingText::title(f), FindingText::explanation(f, kFormat), FindingText::action(f)}) {
      EXPECT_TRUE(test::namesOnlyLinux(text)) << FindingKinds::rawValue(kind);
    }
  }
}

}  // namespace
}  // namespace kivo
