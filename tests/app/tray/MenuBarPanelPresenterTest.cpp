#include "features/tray/MenuBarPanelPresenter.h"

#include "TraySupport.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

using test::busySnapshot;
using test::ModelRig;
using Process = MenuBarPanelState::Process;

ProcessRecord process(std::int32_t pid, std::optional<double> cpu) {
  ProcessRecord record;
  record.pid = pid;
  record.name = QStringLiteral("proc-%1").arg(pid);
  record.cpuPercent = cpu;
  return record;
}

TEST(MenuBarPanelPresenter, BeforeTheFirstSnapshotEveryTileIsADash) {
  ModelRig rig;
  const MenuBarPanelState state = MenuBarPanelPresenter::state(*rig.model);
  EXPECT_FALSE(state.thermal);
  EXPECT_FALSE(state.paused);
  EXPECT_TRUE(state.alerts.empty());
  for (const auto& tile : state.tiles) {
    EXPECT_FALSE(tile.value) << tile.title.toStdString();
    EXPECT_TRUE(tile.values.empty());
  }
  EXPECT_EQ(state.tiles[0].title, QStringLiteral("CPU"));
  EXPECT_EQ(state.tiles[1].title, QStringLiteral("Memory"));
  EXPECT_EQ(state.tiles[2].title, QStringLiteral("Network"));
  EXPECT_EQ(state.tiles[3].title, QStringLiteral("Disk"));
  EXPECT_EQ(state.tiles[0].ceiling, 100);
  EXPECT_FALSE(state.tiles[1].ceiling);  // the fake system reports no memory size
  EXPECT_FALSE(state.battery);
  EXPECT_TRUE(state.processes.empty());
}

TEST(MenuBarPanelPresenter, TilesBatteryAndThermalFromSnapshots) {
  ModelRig rig;
  MonitorModel& model = *rig.model;
  for (int i = 0; i < 70; ++i) model.ingest(busySnapshot(i, i, 76.4, true));
  MenuBarPanelState state = MenuBarPanelPresenter::state(model);
  ASSERT_TRUE(state.thermal);
  EXPECT_EQ(state.thermal->text, QStringLiteral("Nominal"));
  EXPECT_EQ(state.tiles[0].value, QStringLiteral("69%"));
  EXPECT_EQ(state.tiles[0].values.size(), 60u);
  EXPECT_EQ(state.tiles[0].values.back(), 69);
  EXPECT_EQ(state.tiles[1].value, QStringLiteral("5.6 GiB \u00b7 38%"));
  EXPECT_EQ(state.tiles[2].value, QStringLiteral("\u2193 11.8 MB/s  \u2191 84.0 kB/s"));
  EXPECT_EQ(state.tiles[3].value, QStringLiteral("R 2.5 MB/s  W 12.3 MB/s"));
  EXPECT_EQ(state.tiles[3].values.back(), 12.3e6);  // the write rate
  ASSERT_TRUE(state.battery);
  EXPECT_EQ(state.battery->state, QStringLiteral("Charging"));
  EXPECT_TRUE(state.battery->charging);
  EXPECT_EQ(state.battery->charge, QStringLiteral("76%"));

  // Network without upload reads 0 for it; so does disk without write; no battery, no row.
  TelemetrySnapshot partial = test::snapshotAt(80, {{MetricID::netDown, 2000}, {MetricID::diskRead, 5e6}});
  partial.afterDiscontinuity = true;  // the live series start afresh
  model.ingest(partial);
  state = MenuBarPanelPresenter::state(model);
  EXPECT_EQ(state.tiles[2].value, QStringLiteral("\u2193 2.0 kB/s  \u2191 0 bytes/s"));
  EXPECT_EQ(state.tiles[3].value, QStringLiteral("R 5.0 MB/s  W 0 bytes/s"));
  EXPECT_FALSE(state.tiles[1].value);  // no memory sample
  EXPECT_FALSE(state.battery);
  EXPECT_FALSE(state.thermal);

  // An upload value without a download value is still a dash.
  TelemetrySnapshot upOnly = test::snapshotAt(81, {{MetricID::netUp, 2000}});
  upOnly.afterDiscontinuity = true;
  model.ingest(upOnly);
  EXPECT_FALSE(MenuBarPanelPresenter::state(model).tiles[2].value);

  // A battery without a charge figure shows a dash.
  TelemetrySnapshot battery = test::snapshotAt(82);
  battery.power = PowerSample(true, PowerSourceKind::battery, false, false, false);
  model.ingest(battery);
  state = MenuBarPanelPresenter::state(model);
  ASSERT_TRUE(state.battery);
  EXPECT_EQ(state.battery->state, QStringLiteral("On battery"));
  EXPECT_EQ(state.battery->charge, QStringLiteral("\u2014"));
}

TEST(MenuBarPanelPresenter, TopFourProcessesByCPUInSampleOrderForTies) {
  ModelRig rig;
  TelemetrySnapshot snapshot = test::snapshotAt(0);
  ProcessSample sample;
  sample.processes = {process(1, 5), process(2, 9),  process(3, 9),
                      process(4, 1), process(5, 30), process(6, std::nullopt)};
  snapshot.processes = sample;
  rig.model->ingest(snapshot);
  const MenuBarPanelState state = MenuBarPanelPresenter::state(*rig.model);
  EXPECT_EQ(state.processes, (std::vector<Process>{{5, QStringLiteral("proc-5"), QStringLiteral("30.0%")},
                                                   {2, QStringLiteral("proc-2"), QStringLiteral("9.0%")},
                                                   {3, QStringLiteral("proc-3"), QStringLiteral("9.0%")},
                                                   {1, QStringLiteral("proc-1"), QStringLiteral("5.0%")}}));

  // The rows are copies: a later sample that replaces the model's does not change them.
  TelemetrySnapshot next = test::snapshotAt(1);
  next.processes = ProcessSample{};
  rig.model->ingest(next);
  EXPECT_EQ(state.processes.front().name, QStringLiteral("proc-5"));
  EXPECT_TRUE(MenuBarPanelPresenter::state(*rig.model).processes.empty());

  EXPECT_TRUE(MenuBarPanelPresenter::topProcesses(nullptr).empty());
  EXPECT_EQ(MenuBarPanelPresenter::topProcesses(&sample, 10).size(), 5u);
}

TEST(MenuBarPanelPresenter, FiringAlertsInTheModelsOrderAndThePauseState) {
  ModelRig rig;
  TelemetrySnapshot snapshot = test::snapshotAt(0);
  for (Severity severity : {Severity::critical, Severity::info, Severity::warning}) {
    AlertRule rule;
    rule.id = QUuid::createUuid();
    rule.metric = MetricID::cpuTotal;
    rule.severity = severity;
    snapshot.firingRules.push_back(rule);
  }
  rig.model->ingest(snapshot);
  rig.model->setPaused(true);
  const MenuBarPanelState state = MenuBarPanelPresenter::state(*rig.model);
  ASSERT_EQ(state.alerts.size(), 3u);
  EXPECT_EQ(state.alerts[0].severity, Severity::critical);
  EXPECT_EQ(state.alerts[1].severity, Severity::info);
  EXPECT_EQ(state.alerts[0].id, snapshot.firingRules[0].id);
  EXPECT_TRUE(state.alerts[0].title.endsWith(QStringLiteral(" is high")))
      << state.alerts[0].title.toStdString();
  EXPECT_TRUE(state.paused);
}

}  // namespace
}  // namespace kivo
