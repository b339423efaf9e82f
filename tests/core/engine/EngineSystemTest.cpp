#include "TestSupport.h"

#include "scheduler/TelemetryEngine.h"
#include "storage/TimeSeriesStore.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <set>
#include <thread>

using namespace kivo;
using namespace std::chrono_literals;

// The real collectors on this machine: what it can give is stored, what it cannot is not.
TEST(EngineOnThisMachine, StoresExactlyTheMetricsTheMachineGives) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("telemetry.sqlite"));
  TelemetryConfiguration configuration;
  configuration.interval = 0.5;
  configuration.processInterval = 1;
  std::set<MetricID> given;
  QDateTime lastDate;
  {
    auto store = std::make_shared<TimeSeriesStore>(path);
    TelemetryEngine engine(store, configuration, AlertRule::defaults());
    auto subscription = engine.snapshots();
    engine.start();
    std::shared_ptr<const TelemetrySnapshot> snapshot;
    for (int i = 0; i < 40 && (!snapshot || snapshot->sequence < 6); ++i) {
      if (auto s = subscription->waitAndTake(500ms)) snapshot = s;
    }
    engine.stop();
    ASSERT_TRUE(snapshot);
    ASSERT_GE(snapshot->sequence, 6);
    for (const auto& value : snapshot->values) {
      given.insert(value.metric);
      EXPECT_TRUE(std::isfinite(value.value)) << Metric::key(value.metric);
    }
    lastDate = snapshot->date;
    // Linux always has these.
    for (MetricID metric : {MetricID::cpuTotal, MetricID::memUsed, MetricID::swapUsed, MetricID::processCount,
                            MetricID::selfMemory, MetricID::selfCPU}) {
      EXPECT_TRUE(given.count(metric)) << Metric::key(metric);
    }
    EXPECT_GT(snapshot->processes ? snapshot->processes->total : 1, 0);
  }
  TimeSeriesStore reopened(path);
  for (MetricID metric : Metric::allCases()) {
    const auto series = reopened.series(metric, lastDate.addSecs(-120), lastDate.addSecs(1), 1000,
                                        StoreTier::raw, lastDate.addSecs(1));
    if (given.count(metric)) {
      EXPECT_FALSE(series.points.empty()) << Metric::key(metric) << " was measured but not stored";
    } else if (metric != MetricID::diskRead && metric != MetricID::diskWrite && metric != MetricID::netDown &&
               metric != MetricID::netUp && metric != MetricID::pageIns && metric != MetricID::pageOuts) {
      // Rates can be absent on one tick and present on another; everything else never appears.
      EXPECT_TRUE(series.points.empty())
          << Metric::key(metric) << " was stored but the machine cannot give it";
    }
  }
}
