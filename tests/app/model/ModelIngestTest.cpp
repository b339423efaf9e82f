#include "ModelTestSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

using test::ModelRig;
using test::snapshotAt;

TEST(ModelIngest, LiveRingKeepTheNewest150PointsPerMetric) {
  ModelRig rig;
  MonitorModel& model = *rig.model;
  for (int i = 0; i < 151; ++i) {
    model.ingest(snapshotAt(i, {{MetricID::cpuTotal, double(i)}, {MetricID::memUsed, 1000.0 + i}}));
  }
  for (MetricID metric : {MetricID::cpuTotal, MetricID::memUsed}) {
    const LiveRing& series = model.live(metric);
    ASSERT_EQ(series.size(), 150);
    EXPECT_EQ(series.first().date, snapshotAt(1).date);  // the very first point is gone
    EXPECT_EQ(series.last().date, snapshotAt(150).date);
  }
  EXPECT_EQ(model.latest(MetricID::cpuTotal), 150);
  EXPECT_EQ(model.values(MetricID::cpuTotal, 3), (std::vector<double>{148, 149, 150}));
  EXPECT_EQ(model.values(MetricID::cpuTotal, 500).size(), 150u);
  EXPECT_FALSE(model.latest(MetricID::gpuUtilization));
  EXPECT_TRUE(model.values(MetricID::gpuUtilization, 60).empty());
  EXPECT_TRUE(model.values(MetricID::cpuTotal, 0).empty());
}

TEST(ModelIngest, ValuesOfAShortSeriesAreAllOfThem) {
  ModelRig rig;
  for (int i = 0; i < 12; ++i) rig.model->ingest(snapshotAt(i, {{MetricID::cpuTotal, double(i)}}));
  const auto values = rig.model->values(MetricID::cpuTotal, 60);
  ASSERT_EQ(values.size(), 12u);
  EXPECT_EQ(values.front(), 0);
  EXPECT_EQ(values.back(), 11);
}

TEST(ModelIngest, PerCoreRowsHoldBusyFractionsAndKeepTheNewest150) {
  ModelRig rig;
  MonitorModel& model = *rig.model;
  for (int i = 0; i < 151; ++i) {
    model.ingest(snapshotAt(i, {}, std::vector<CPULoad>{{0.5, 0.25, 0.25}, {0.01 * i, 0, 1 - 0.01 * i}}));
  }
  ASSERT_EQ(model.coreHistory().size(), 150);
  EXPECT_EQ(model.coreHistory().last(), (QList<double>{0.75, 1.5}));
  EXPECT_DOUBLE_EQ(model.coreHistory().first()[1], 0.01);

  // A snapshot without a CPU sample adds no row.
  test::SignalCount cores(&model, &MonitorModel::coreHistoryChanged);
  model.ingest(snapshotAt(151));
  EXPECT_EQ(model.coreHistory().size(), 150);
  EXPECT_EQ(cores.count(), 0);
}

TEST(ModelIngest, AfterADiscontinuityOnlyPointsOfThatSnapshotRemain) {
  ModelRig rig;
  MonitorModel& model = *rig.model;
  const std::vector<CPULoad> cores{{0.1, 0.1, 0.8}};
  for (int i = 0; i < 5; ++i) {
    model.ingest(snapshotAt(i, {{MetricID::cpuTotal, 1}, {MetricID::batteryCharge, 80}}, cores));
  }
  model.ingest(snapshotAt(5, {{MetricID::cpuTotal, 2}}));  // one series with one point only
  TelemetrySnapshot gap = snapshotAt(100, {{MetricID::cpuTotal, 3}, {MetricID::netDown, 7}}, cores);
  gap.afterDiscontinuity = true;
  model.ingest(gap);

  EXPECT_EQ(model.live(MetricID::cpuTotal).toList(), (QList<LivePoint>{{gap.date, 3}}));
  EXPECT_EQ(model.live(MetricID::netDown).toList(), (QList<LivePoint>{{gap.date, 7}}));
  // A series the snapshot did not carry held only readings from before the gap: a chart
  // would join them to the next point across the gap, so they go too.
  EXPECT_TRUE(model.live(MetricID::batteryCharge).isEmpty());
  EXPECT_FALSE(model.latest(MetricID::batteryCharge));
  // This snapshot's own row went with the rest.
  EXPECT_TRUE(model.coreHistory().isEmpty());

  model.ingest(snapshotAt(102, {{MetricID::cpuTotal, 4}}, cores));
  EXPECT_EQ(model.values(MetricID::cpuTotal, 10), (std::vector<double>{3, 4}));
  EXPECT_EQ(model.coreHistory().size(), 1);
}

TEST(ModelIngest, KeepsTheLastProcessSampleAndTheFiringRules) {
  ModelRig rig;
  MonitorModel& model = *rig.model;
  TelemetrySnapshot first = snapshotAt(0);
  first.processes = ProcessSample{};
  first.processes->total = 321;
  first.firingRules = {AlertRule::defaults().front()};
  model.ingest(first);
  test::SignalCount firing(&model, &MonitorModel::firingChanged);
  TelemetrySnapshot second = snapshotAt(2);
  second.firingRules = first.firingRules;
  model.ingest(second);
  ASSERT_TRUE(model.processes());
  EXPECT_EQ(model.processes()->total, 321);
  EXPECT_EQ(model.firing(), first.firingRules);
  EXPECT_EQ(firing.count(), 0);  // equal rules notify nobody
  EXPECT_EQ(model.snapshot()->date, second.date);
  model.ingest(snapshotAt(4));
  EXPECT_TRUE(model.firing().empty());
  EXPECT_EQ(firing.count(), 1);
}

AlertTransition transition(AlertTransition::Kind kind, Severity severity) {
  AlertTransition t;
  t.rule = AlertRule::defaults().front();
  t.rule.severity = severity;
  t.kind = kind;
  t.value = 97;
  return t;
}

TEST(ModelIngest, AlertTransitionsRaiseTheRevisionOnceAndPostOneNotificationPerFiredRule) {
  struct Case {
    const char* name;
    bool setting;
    NotificationStatus status;
    std::size_t posted;
  };
  const std::vector<Case> cases = {
      {"allowed", true, NotificationStatus::authorized, 1},
      {"provisional", true, NotificationStatus::provisional, 1},
      {"switched off", false, NotificationStatus::authorized, 0},
      {"denied", true, NotificationStatus::denied, 0},
      {"never asked", true, NotificationStatus::notDetermined, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ModelRig rig;
    test::FakeNotifier notifier(c.status);
    rig.settings->setNotifications(c.setting);
    rig.model->setNotifier(&notifier);
    TelemetrySnapshot snapshot = snapshotAt(0);
    snapshot.alerts = {transition(AlertTransition::Kind::fired, Severity::warning),
                       transition(AlertTransition::Kind::resolved, Severity::warning)};
    rig.model->ingest(snapshot);
    EXPECT_EQ(rig.model->eventsRevision(), 1);
    ASSERT_EQ(notifier.posted.size(), c.posted);
    if (c.posted) {
      EXPECT_EQ(notifier.posted[0].rule, snapshot.alerts[0].rule.id);
      EXPECT_FALSE(notifier.posted[0].title.isEmpty());
      EXPECT_FALSE(notifier.posted[0].critical);
    }
    // A snapshot without transitions leaves the revision alone.
    rig.model->ingest(snapshotAt(2));
    EXPECT_EQ(rig.model->eventsRevision(), 1);
  }
}

TEST(ModelIngest, ACriticalRuleAsksForASoundAndResolutionsPostNothing) {
  ModelRig rig;
  test::FakeNotifier notifier(NotificationStatus::authorized);
  rig.settings->setNotifications(true);
  rig.model->setNotifier(&notifier);
  TelemetrySnapshot snapshot = snapshotAt(0);
  snapshot.alerts = {transition(AlertTransition::Kind::resolved, Severity::critical),
                     transition(AlertTransition::Kind::fired, Severity::critical),
                     transition(AlertTransition::Kind::fired, Severity::info)};
  rig.model->ingest(snapshot);
  ASSERT_EQ(notifier.posted.size(), 2u);
  EXPECT_TRUE(notifier.posted[0].critical);
  EXPECT_FALSE(notifier.posted[1].critical);
}

// Wi-Fi and DNS come with the snapshots; a snapshot without a DNS reading keeps the last one.
TEST(ModelIngest, WiFiAndDnsFollowTheSnapshotsSlowReadings) {
  ModelRig rig;
  test::SignalCount wifiChanges(rig.model.get(), &MonitorModel::wifiChanged);
  test::SignalCount dnsChanges(rig.model.get(), &MonitorModel::dnsChanged);
  WiFiLink link;
  link.interface = QStringLiteral("wlan0");
  link.rssi = -60;
  DNSConfiguration dns;
  dns.servers = {QStringLiteral("192.0.2.53")};

  TelemetrySnapshot first = snapshotAt(1);
  first.wifi = link;
  first.dns = dns;
  rig.model->ingest(first);
  TelemetrySnapshot same = snapshotAt(2);
  same.wifi = link;
  same.dns = dns;
  rig.model->ingest(same);
  EXPECT_EQ(rig.model->wifi(), link);
  EXPECT_EQ(rig.model->dns(), dns);
  EXPECT_EQ(wifiChanges.count(), 1);
  EXPECT_EQ(dnsChanges.count(), 1);

  TelemetrySnapshot gone = snapshotAt(3);  // no wireless interface now, no DNS reading
  rig.model->ingest(gone);
  EXPECT_FALSE(rig.model->wifi());
  EXPECT_EQ(rig.model->dns(), dns);
  EXPECT_EQ(wifiChanges.count(), 2);
  EXPECT_EQ(dnsChanges.count(), 1);
}

TEST(ModelIngest, FindingsAtTheFirstSnapshotThenOnlyAfterMoreThan300Seconds) {
  ModelRig rig;
  MonitorModel& model = *rig.model;
  test::SignalCount findings(&model, &MonitorModel::findingsChanged);
  const std::vector<std::pair<double, int>> steps = {
      {1000, 1},                          // the first snapshot
      {1100, 1},   {1299, 1}, {1300, 1},  // 300 s is not more than 300 s
      {1300.5, 2}, {1600, 2}, {1601, 3},
  };
  for (const auto& [clock, expected] : steps) {
    SCOPED_TRACE(clock);
    *rig.probe.clock = clock;
    model.ingest(snapshotAt(clock));
    model.waitForWorker();
    EXPECT_EQ(findings.count(), expected);
  }
  EXPECT_TRUE(model.findingsUpdated());
  ASSERT_TRUE(model.storeStatistics());
}

TEST(ModelIngest, TheFindingsCadenceFollowsTheMonotonicClockNotTheSnapshotDates) {
  ModelRig rig;
  test::SignalCount findings(rig.model.get(), &MonitorModel::findingsChanged);
  *rig.probe.clock = 50;
  rig.model->ingest(snapshotAt(0));
  rig.model->ingest(snapshotAt(100'000));  // the wall clock jumped a day ahead
  rig.model->waitForWorker();
  EXPECT_EQ(findings.count(), 1);
}

// A slot on any change signal of a snapshot reads the state of that same snapshot, whichever
// signal it listens to and in whatever order they come.
TEST(ModelIngest, EverySignalOfASnapshotSeesAllOfItsState) {
  ModelRig rig;
  MonitorModel& model = *rig.model;
  struct Seen {
    std::string signal;
    std::optional<double> cpu;
    qsizetype coreRows;
    double newestCore;
    std::size_t firing;
    std::int64_t revision;
    std::int64_t processes;
    QDateTime date;
  };
  std::vector<Seen> seen;
  QObject context;
  auto record = [&](std::string name) {
    return [&, name] {
      seen.push_back({name, model.latest(MetricID::cpuTotal), model.coreHistory().size(),
                      model.coreHistory().isEmpty() ? -1 : model.coreHistory().last().value(0, -1),
                      model.firing().size(), model.eventsRevision(),
                      model.processes() ? model.processes()->total : -1,
                      model.snapshot() ? model.snapshot()->date : QDateTime()});
    };
  };
  QObject::connect(&model, &MonitorModel::snapshotChanged, &context, record("snapshot"));
  QObject::connect(&model, &MonitorModel::processesChanged, &context, record("processes"));
  QObject::connect(&model, &MonitorModel::firingChanged, &context, record("firing"));
  QObject::connect(&model, &MonitorModel::liveChanged, &context, record("live"));
  QObject::connect(&model, &MonitorModel::coreHistoryChanged, &context, record("cores"));
  QObject::connect(&model, &MonitorModel::eventsRevisionChanged, &context, record("revision"));

  for (int i = 1; i <= 3; ++i) {
    SCOPED_TRACE(i);
    seen.clear();
    TelemetrySnapshot snapshot =
        snapshotAt(i, {{MetricID::cpuTotal, 10.0 * i}}, std::vector<CPULoad>{{0.1 * i, 0, 1 - 0.1 * i}});
    snapshot.processes = ProcessSample{};
    snapshot.processes->total = 100 + i;
    // Firing and not firing in turn, so that every snapshot changes the firing rules.
    if (i % 2 == 1) snapshot.firingRules = {AlertRule::defaults().front()};
    snapshot.alerts = {transition(AlertTransition::Kind::fired, Severity::warning)};
    model.ingest(snapshot);

    ASSERT_EQ(seen.size(), 6u);
    for (const Seen& state : seen) {
      SCOPED_TRACE(state.signal);
      EXPECT_EQ(state.cpu, 10.0 * i);
      EXPECT_EQ(state.coreRows, i);
      EXPECT_NEAR(state.newestCore, 0.1 * i, 1e-9);
      EXPECT_EQ(state.firing, i % 2 == 1 ? 1u : 0u);
      EXPECT_EQ(state.revision, i);
      EXPECT_EQ(state.processes, 100 + i);
      EXPECT_EQ(state.date, snapshot.date);
    }
  }
}

}  // namespace
}  // namespace kivo
