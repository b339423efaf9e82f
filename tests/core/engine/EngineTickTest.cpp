#include "FakeSources.h"

#include "SQLiteHold.h"
#include "TestSupport.h"

#include "scheduler/TelemetryEngine.h"
#include "storage/StoreTime.h"
#include "storage/TimeSeriesStore.h"

#include <gtest/gtest.h>

#include <QTimeZone>

#include <algorithm>
#include <thread>

using namespace kivo;
using kivo::test::FakeSources;

namespace {

// Near the wall clock: statistics() prunes against it, and a fixed date would fall out of raw
// retention a few hours after it was written.
const QDateTime kStart = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), QTimeZone::utc());

CPUSample cpuSample(double user, double system) {
  CPUSample sample;
  sample.total.user = user;
  sample.total.system = system;
  sample.loadAverage = {1.5, 1.0, 0.5};
  return sample;
}

ProcessRecord process(std::int32_t pid, const char* name, double cpu) {
  ProcessRecord record;
  record.pid = pid;
  record.name = QString::fromLatin1(name);
  record.hasStatistics = true;
  record.cpuPercent = cpu;
  return record;
}

ProcessSample processSample(std::vector<ProcessRecord> records) {
  ProcessSample sample;
  sample.total = static_cast<int>(records.size());
  sample.processes = std::move(records);
  return sample;
}

struct Harness {
  std::shared_ptr<FakeSources::Script> script = std::make_shared<FakeSources::Script>();
  FakeSources* sources = nullptr;
  std::shared_ptr<TimeSeriesStore> store;
  std::unique_ptr<TelemetryEngine> engine;
  std::shared_ptr<SnapshotSubscription> subscription;

  explicit Harness(bool withStore = true, TelemetryConfiguration configuration = {},
                   std::vector<AlertRule> rules = {}) {
    script->cpu = cpuSample(0.25, 0.125);
    script->processes = processSample({process(1, "init", 0)});
    script->self = SelfUsage{1'000'000'000, 50'000'000, std::nullopt, std::nullopt};
    if (withStore) store = std::make_shared<TimeSeriesStore>(std::nullopt);
    auto fake = std::make_unique<FakeSources>(script);
    sources = fake.get();
    engine = std::make_unique<TelemetryEngine>(store, configuration, std::move(rules), std::move(fake));
    subscription = engine->snapshots();
  }

  std::shared_ptr<const TelemetrySnapshot> tick(double now, double secondsAfterStart) {
    engine->tick(now, kStart.addMSecs(static_cast<qint64>(secondsAfterStart * 1000)));
    return subscription->take();
  }

  std::vector<StoredEvent> events(EventKind kind) {
    return store->events({kind}, StoreTime::distantPast(), StoreTime::distantFuture(), 100);
  }

  std::int64_t rawRows() { return store->statistics().rawRows; }
};

std::optional<double> valueOf(const TelemetrySnapshot& snapshot, MetricID metric) {
  for (const auto& v : snapshot.values) {
    if (v.metric == metric) return v.value;
  }
  return std::nullopt;
}

}  // namespace

TEST(EngineTick, FirstTickReadsEverythingInOrderFlushesAndPublishes) {
  Harness h;
  // The monotonic clock may read 0: "never happened" is not time zero.
  const auto snapshot = h.tick(0, 0);
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(h.sources->takeLog(),
            (std::vector<std::string>{"slowDue", "volumes", "power", "cpu", "memory", "disk", "network",
                                      "gpu", "thermal", "processes", "self"}));
  EXPECT_EQ(snapshot->sequence, 1);
  EXPECT_FALSE(snapshot->afterDiscontinuity);
  EXPECT_FALSE(snapshot->selfCPU) << "no previous own measurement";
  EXPECT_EQ(snapshot->selfMemory, 50'000'000u);
  EXPECT_EQ(snapshot->interval, 2);
  EXPECT_TRUE(snapshot->processes);
  EXPECT_EQ(valueOf(*snapshot, MetricID::cpuTotal), 37.5);
  EXPECT_GE(snapshot->collectionTime, 0);
  EXPECT_GT(h.rawRows(), 0) << "the first tick flushes";

  // The second tick 2 s later: no flush yet, processes not due, own CPU measured.
  h.script->self->cpuNanos += 20'000'000;  // 20 ms over 2 s = 1 %
  const auto second = h.tick(2, 2);
  ASSERT_TRUE(second);
  EXPECT_EQ(h.sources->takeLog(),
            (std::vector<std::string>{"cpu", "memory", "disk", "network", "gpu", "thermal", "self"}));
  EXPECT_FALSE(second->processes);
  ASSERT_TRUE(second->selfCPU);
  EXPECT_NEAR(*second->selfCPU, 1.0, 1e-9);
  EXPECT_EQ(second->sequence, 2);
  const auto rowsAfterFirst = h.rawRows();  // statistics() flushes, so compare before and after
  h.tick(4, 4);
  EXPECT_GT(h.rawRows(), rowsAfterFirst);
}

TEST(EngineTick, UnreadableSourcesAreLeftOutNotZero) {
  Harness h;
  h.script->cpu.reset();
  h.script->thermal.reset();
  h.script->self.reset();
  const auto snapshot = h.tick(10, 0);
  ASSERT_TRUE(snapshot);
  for (MetricID absent : {MetricID::cpuTotal, MetricID::thermalState, MetricID::selfMemory, MetricID::selfCPU,
                          MetricID::batteryCharge, MetricID::gpuUtilization}) {
    EXPECT_FALSE(valueOf(*snapshot, absent)) << Metric::key(absent);
  }
  EXPECT_TRUE(valueOf(*snapshot, MetricID::processCount));

  // An empty scan means /proc could not be listed, not that nothing runs.
  h.script->processes = processSample({});
  const auto failed = h.tick(20, 10);
  ASSERT_TRUE(failed->processes);
  EXPECT_FALSE(valueOf(*failed, MetricID::processCount));
}

TEST(EngineTick, GapResetsBaselinesAndRecordsItsLength) {
  Harness h;
  h.tick(100, 0);
  h.tick(102, 2);
  // 11.9 s later with an interval of 2: within the bound of 12 s.
  auto snapshot = h.tick(113.9, 13.9);
  EXPECT_FALSE(snapshot->afterDiscontinuity);
  EXPECT_TRUE(h.events(EventKind::system).empty());
  h.sources->takeLog();

  snapshot = h.tick(714.6, 614.6);
  EXPECT_TRUE(snapshot->afterDiscontinuity);
  EXPECT_EQ(h.sources->count("reset"), 1);
  EXPECT_FALSE(snapshot->selfCPU) << "baselines start over";
  const auto events = h.events(EventKind::system);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].code, QStringLiteral("system.gap"));
  EXPECT_EQ(events[0].payload.value(QStringLiteral("seconds")), QStringLiteral("600"));
  EXPECT_EQ(events[0].date, kStart.addMSecs(614'600));

  // The tick after a reset performs no gap test and is no longer marked.
  snapshot = h.tick(716.6, 616.6);
  EXPECT_FALSE(snapshot->afterDiscontinuity);
}

TEST(EngineTick, SlowReadingsAndProcessesFollowTheirCadences) {
  TelemetryConfiguration configuration;  // interval 2, processes 4, slow 30
  Harness h(true, configuration);
  h.script->processes = processSample({process(1, "init", 0)});
  h.tick(1000, 0);
  h.sources->takeLog();
  int slow = 0;
  int processes = 0;
  for (int i = 1; i <= 15; ++i) {  // 30 s of ticks
    h.tick(1000 + 2 * i, 2 * i);
    const auto log = h.sources->takeLog();
    slow += static_cast<int>(std::count(log.begin(), log.end(), "volumes"));
    processes += static_cast<int>(std::count(log.begin(), log.end(), "processes"));
  }
  EXPECT_EQ(slow, 1) << "volumes and power again after 30 s";
  EXPECT_EQ(processes, 7) << "every second tick";

  h.engine->invalidateSlowReadings();
  h.tick(1032, 32);
  EXPECT_EQ(h.sources->count("volumes"), 1);
  EXPECT_EQ(h.sources->count("slowDue"), 1) << "kept readings (addresses) are read again too";
}

TEST(EngineTick, ProcessCadenceScalesWithTheEffectiveInterval) {
  Harness h;  // battery saver on, interval 2, process interval 4
  h.script->power.hasBattery = true;
  h.script->power.source = PowerSourceKind::battery;
  h.script->processes = processSample({});
  auto first = h.tick(50, 0);
  EXPECT_EQ(first->interval, 2) << "the power reading of a tick counts from the next one";
  std::vector<bool> due;
  for (int i = 1; i <= 4; ++i) {
    auto snapshot = h.tick(50 + 4 * i, 4 * i);
    EXPECT_EQ(snapshot->interval, 4);
    due.push_back(snapshot->processes.has_value());
  }
  EXPECT_EQ(due, (std::vector<bool>{false, true, false, true})) << "due after 8 s: every second tick";
}

TEST(EngineTick, PauseStopsEverythingAndResumeMarksADiscontinuityWithoutGap) {
  Harness h;
  h.tick(10, 0);
  h.engine->setPaused(true);
  h.sources->takeLog();
  EXPECT_EQ(h.engine->tick(12, kStart.addSecs(2)), 2);
  EXPECT_FALSE(h.subscription->take());
  const auto log = h.sources->takeLog();
  EXPECT_EQ(log, std::vector<std::string>{"reset"}) << "pausing resets the baselines and reads nothing";

  h.engine->setPaused(false);
  const auto snapshot = h.tick(500, 490);
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->sequence, 2) << "paused ticks do not count";
  EXPECT_TRUE(snapshot->afterDiscontinuity);
  EXPECT_TRUE(h.events(EventKind::system).empty()) << "no gap for the paused time";
}

TEST(EngineTick, AlertsAndSpikesAreRecordedEvenWithHistoryOff) {
  AlertRule rule;
  rule.id = QUuid::fromString(QStringLiteral("{3F2504E0-4F89-11D3-9A0C-0305E82C3301}"));
  rule.metric = MetricID::cpuTotal;
  rule.comparison = AlertComparison::above;
  rule.threshold = 90;
  rule.duration = 0;
  rule.cooldown = 0;
  rule.severity = Severity::critical;
  TelemetryConfiguration configuration;
  configuration.historyEnabled = false;
  Harness h(true, configuration, {rule});

  h.script->cpu = cpuSample(0.6, 0.325);  // 92.5 %
  h.script->processes = processSample({process(42, "render farm", 93.44)});
  auto snapshot = h.tick(0.5, 0);
  ASSERT_EQ(snapshot->alerts.size(), 1u);
  ASSERT_EQ(snapshot->firingRules.size(), 1u);
  auto alerts = h.events(EventKind::alert);
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_EQ(alerts[0].code, QStringLiteral("alert.fired"));
  EXPECT_EQ(alerts[0].severity, Severity::critical);
  EXPECT_EQ(alerts[0].metric, MetricID::cpuTotal);
  EXPECT_EQ(alerts[0].payload.value(QStringLiteral("rule")),
            QStringLiteral("3F2504E0-4F89-11D3-9A0C-0305E82C3301"));
  EXPECT_EQ(alerts[0].payload.value(QStringLiteral("value")), QStringLiteral("92.5"));
  EXPECT_EQ(alerts[0].payload.value(QStringLiteral("threshold")), QStringLiteral("90.0"));
  EXPECT_EQ(alerts[0].payload.value(QStringLiteral("comparison")), QStringLiteral("above"));

  // The spike lasts 45.9 s (processes every 4 s), then ends.
  for (int k = 1; k <= 11; ++k) {
    const double t = 1.9 + 4 * k;
    h.tick(0.5 + t, t);
  }
  h.script->processes = processSample({process(42, "render farm", 1)});
  h.script->cpu = cpuSample(0.01, 0.01);
  h.tick(0.5 + 50, 50);
  const auto spikes = h.events(EventKind::process);
  ASSERT_EQ(spikes.size(), 1u);
  EXPECT_EQ(spikes[0].code, QStringLiteral("process.spike"));
  EXPECT_EQ(spikes[0].date, kStart);
  EXPECT_EQ(spikes[0].payload.value(QStringLiteral("name")), QStringLiteral("render farm"));
  EXPECT_EQ(spikes[0].payload.value(QStringLiteral("pid")), QStringLiteral("42"));
  EXPECT_EQ(spikes[0].payload.value(QStringLiteral("peak")), QStringLiteral("93.4"));
  EXPECT_EQ(spikes[0].payload.value(QStringLiteral("duration")), QStringLiteral("45"));
  EXPECT_EQ(h.events(EventKind::alert).size(), 2u) << "the alert resolved";
  EXPECT_EQ(h.rawRows(), 0) << "history off: nothing appended";
}

TEST(EngineTick, BestEffortOffLeavesOutTheGpu) {
  TelemetryConfiguration configuration;
  configuration.bestEffortMetrics = false;
  Harness h(true, configuration);
  GPUStatistics gpu;
  gpu.deviceUtilization = 40;
  h.script->gpu = {gpu};
  const auto snapshot = h.tick(3, 0);
  EXPECT_TRUE(snapshot->gpu.empty());
  EXPECT_FALSE(valueOf(*snapshot, MetricID::gpuUtilization));
  EXPECT_EQ(h.sources->count("gpu"), 0);
}

// Erasing the history (a VACUUM on the store's worker) must not hold up sampling: the
// tick whose flush falls due meanwhile, and which records a gap, completes at once, and its
// values and event are kept.
TEST(EngineTick, TickDuringAnEraseCompletesAtOnceAndKeepsItsValues) {
  kivo::test::SQLiteHold hold;
  TelemetryConfiguration configuration;
  configuration.flushInterval = 2;
  Harness h(true, configuration);
  ASSERT_TRUE(h.tick(0, 0));
  hold.arm("VACUUM");
  std::thread eraser([&] { h.store->eraseAll(); });
  ASSERT_TRUE(hold.waitUntilHolding());
  EXPECT_TRUE(h.tick(700, 700));
  EXPECT_TRUE(hold.isHolding()) << "the tick waited for the erase";
  hold.release();
  eraser.join();
  const auto written = h.store->series(MetricID::cpuTotal, kStart, kStart.addSecs(800), 100, StoreTier::raw,
                                       kStart.addSecs(800));
  EXPECT_EQ(written.sampleCount(), 1) << "the second tick's value, after the erase";
  ASSERT_EQ(h.events(EventKind::system).size(), 1u);
  EXPECT_EQ(h.events(EventKind::system)[0].code, QStringLiteral("system.gap"));
}

TEST(EngineTick, RunsWithoutAStore) {
  Harness h(false);
  h.engine->noteDiscontinuity(QStringLiteral("system.wake"));
  const auto snapshot = h.tick(7, 0);
  ASSERT_TRUE(snapshot);
  EXPECT_TRUE(snapshot->afterDiscontinuity);
  EXPECT_TRUE(h.engine->findings(86400, IntelligenceThresholds(), kStart).empty());
  h.engine->stop();
}

TEST(EngineCommands, ApplyInOrderAtTheNextTick) {
  Harness h;
  h.engine->setForeground(false);
  EXPECT_EQ(h.engine->tick(1, kStart), 5) << "background interval";
  h.engine->setForeground(true);
  TelemetryConfiguration faster;
  faster.interval = 1;
  h.engine->update(faster);
  EXPECT_EQ(h.engine->configuration(), faster);
  EXPECT_EQ(h.store->rawInterval(), 1);
  EXPECT_EQ(h.engine->tick(3, kStart.addSecs(2)), 1);

  TelemetryConfiguration broken;
  broken.interval = std::numeric_limits<double>::quiet_NaN();
  h.engine->update(broken);
  EXPECT_EQ(h.engine->configuration(), faster) << "a non-finite interval never reaches a sleep";
}
