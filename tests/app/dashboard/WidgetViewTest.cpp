#include "features/dashboard/DualSparkline.h"
#include "features/dashboard/WidgetFigures.h"
#include "features/dashboard/WidgetLine.h"
#include "features/dashboard/WidgetPresenter.h"
#include "features/dashboard/WidgetView.h"

#include "design/CoreBars.h"
#include "design/KeyValueRow.h"
#include "design/Meter.h"
#include "design/Readout.h"
#include "design/SeverityLook.h"
#include "design/Sparkline.h"
#include "design/ThermalScale.h"
#include "design/ToneLabel.h"
#include "design/UnavailableRow.h"
#include "texts/AlertText.h"

#include "DashboardSupport.h"

#include "texts/PowerText.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <memory>
#include <tuple>
#include <vector>

namespace kivo {
namespace {

using test::fullSnapshot;

struct WidgetFixture : ::testing::Test {
  test::ModelRig rig;

  std::unique_ptr<WidgetView> view(WidgetKind kind, WidgetSize size = WidgetSize::medium) {
    return std::unique_ptr<WidgetView>(WidgetView::create(*rig.model, kind, size));
  }
  static bool waiting(const WidgetView& view) {
    const auto* label = view.findChild<ToneLabel*>(QStringLiteral("widget.waiting"));
    return label && label->isVisibleTo(&view);
  }
  template <typename State>
  static QStringList lines(const State& state) {
    QStringList shown;
    for (std::size_t i = 0; i < state.count; ++i) {
      if constexpr (requires { state.lines[0].available; }) {
        shown << state.lines[i].name + QStringLiteral(" | ") + state.lines[i].available;
      } else {
        shown << state.lines[i].name + QStringLiteral(" | ") + state.lines[i].value;
      }
    }
    return shown;
  }
  void feed(int count, std::optional<double> charge = 62) {
    for (int i = 0; i < count; ++i) rig.model->ingest(fullSnapshot(i, charge));
  }
};

TEST_F(WidgetFixture, BeforeTheFirstSnapshotFiguresAreAbsentOrWaiting) {
  const MonitorModel& model = *rig.model;
  EXPECT_EQ(WidgetPresenter::cpu(model).value, "—");
  EXPECT_TRUE(WidgetPresenter::cpu(model).caption.isEmpty());
  EXPECT_TRUE(view(WidgetKind::cpu)->findChild<Sparkline*>()->values().empty());
  EXPECT_EQ(WidgetPresenter::gpu(model).value, "—");
  // The rig's computer lists no graphics device.
  EXPECT_EQ(WidgetPresenter::gpu(model).shows, GPUUtilizationState::noDevice);
  EXPECT_FALSE(WidgetPresenter::memory(model, WidgetSize::medium).hasSample);
  EXPECT_TRUE(WidgetPresenter::battery(model).waiting);
  EXPECT_TRUE(WidgetPresenter::thermal(model).waiting);
  EXPECT_TRUE(WidgetPresenter::volumes(model).waiting);
  EXPECT_EQ(WidgetPresenter::top(model, false).count, 0u);
  for (WidgetKind kind : {WidgetKind::cores, WidgetKind::memory, WidgetKind::battery, WidgetKind::thermal,
                          WidgetKind::disk, WidgetKind::topCPU, WidgetKind::topMemory}) {
    EXPECT_TRUE(waiting(*view(kind))) << WidgetKinds::rawString(kind).toStdString();
  }
  // The rig's computer has no known boot time: "—", never decades of uptime.
  const auto system = WidgetPresenter::system(model, QDateTime::currentDateTimeUtc());
  EXPECT_EQ((QStringList{system.uptime, system.processes, system.load, system.model}),
            (QStringList{"—", "—", "—", "—"}));  // no DMI model: no made-up name
  const auto overhead = WidgetPresenter::overhead(model);
  EXPECT_EQ((QStringList{overhead.cpu, overhead.memory, overhead.collection}), (QStringList{"—", "—", "—"}));
}

TEST_F(WidgetFixture, EveryKindBuildsAndShowsItsPresentersFigures) {
  feed(2);
  for (const WidgetKind kind : WidgetKinds::allCases()) {
    const auto shown = view(kind);
    EXPECT_EQ(shown->kind(), kind);
    EXPECT_FALSE(waiting(*shown)) << WidgetKinds::rawString(kind).toStdString();
  }
  EXPECT_EQ(view(WidgetKind::cpu)->findChild<Readout*>()->shownValue(),
            WidgetPresenter::cpu(*rig.model).value);
  const auto system = view(WidgetKind::system);
  EXPECT_EQ(system->findChildren<KeyValueRow*>()[1]->shownValue(),
            WidgetPresenter::system(*rig.model, QDateTime::currentDateTimeUtc()).processes);
}

TEST_F(WidgetFixture, LiveFiguresAfterSnapshots) {
  feed(130);
  const MonitorModel& model = *rig.model;
  const ValueFormatter& format = model.format();
  const auto cpuState = WidgetPresenter::cpu(model);
  EXPECT_EQ(cpuState.value, format.percent(*model.latest(MetricID::cpuTotal), 0));
  EXPECT_EQ(cpuState.caption, "User " + format.percent(27, 0) + " · System " + format.percent(11, 0));
  const auto cpu = view(WidgetKind::cpu, WidgetSize::small);
  EXPECT_EQ(cpu->findChild<Sparkline*>()->values().size(), 60u);
  cpu->setSize(WidgetSize::large);
  EXPECT_EQ(cpu->findChild<Sparkline*>()->values().size(), 120u);

  const auto small = WidgetPresenter::memory(model, WidgetSize::small);
  EXPECT_EQ(small.used, format.bytes(std::uint64_t{9} << 30, true));
  EXPECT_FALSE(small.swapShown);  // no swap row on a small card
  const auto medium = WidgetPresenter::memory(model, WidgetSize::medium);
  EXPECT_TRUE(medium.swapShown);
  EXPECT_EQ(medium.swapUsed, format.bytes(std::uint64_t{512} << 20, true));
  const auto memory = view(WidgetKind::memory, WidgetSize::small);
  EXPECT_FALSE(memory->findChild<KeyValueRow*>()->isVisibleTo(memory.get()));
  memory->setSize(WidgetSize::medium);
  EXPECT_TRUE(memory->findChild<KeyValueRow*>()->isVisibleTo(memory.get()));

  const auto volumes = WidgetPresenter::volumes(model);
  EXPECT_FALSE(volumes.waiting);
  const auto shown = lines(volumes);
  ASSERT_EQ(shown.size(), 2);
  EXPECT_EQ(shown[1], "home <b>data</b> | " + format.bytes(std::uint64_t{20} << 30, false) + " available");
  EXPECT_EQ(volumes.lines[1].meter.fraction, 480.0 / 500.0);

  const auto thermal = WidgetPresenter::thermal(model);
  EXPECT_EQ(thermal.value, "Fair");
  EXPECT_EQ(thermal.level, ThermalLevel::fair);
  EXPECT_EQ(view(WidgetKind::cores)->findChild<CoreBars*>()->cores().size(), 8u);

  const auto system = WidgetPresenter::system(model, QDateTime::currentDateTimeUtc());
  EXPECT_EQ(system.processes, "7");
  EXPECT_EQ(system.load, format.number(2.345, 2));
  EXPECT_EQ(WidgetPresenter::overhead(model).collection, format.number(3.4, 1) + " ms");
}

// An idle link sends the same flat series every tick: nothing to repaint then.
TEST(DualSparkline, RepaintsOnlyWhenItsFiguresChange) {
  struct Paints : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      count += event->type() == QEvent::Paint;
      return false;
    }
  };
  DualSparkline dual(ChartColor::of(MetricFamily::network));
  dual.resize(200, 60);
  dual.show();
  const std::vector<double> flat(60, 0.0);
  dual.setValues(flat, flat, 1024);
  QApplication::processEvents();
  Paints paints;
  dual.installEventFilter(&paints);
  dual.setValues(flat, flat, 1024);
  QApplication::processEvents();
  EXPECT_EQ(paints.count, 0);
  std::vector<double> moved = flat;
  moved.back() = 300;
  for (const auto& [first, second, ceiling] :
       {std::tuple{flat, moved, 1024.0}, std::tuple{moved, moved, 1024.0},
        std::tuple{moved, moved, 2048.0}}) {
    paints.count = 0;
    dual.setValues(first, second, ceiling);
    QApplication::processEvents();
    EXPECT_EQ(paints.count, 1);
  }
  EXPECT_EQ(dual.ceiling(), 2048);
}

TEST_F(WidgetFixture, DualWidgetsShareACeilingFrom120PointsEvenWhenSmall) {
  const auto quiet = view(WidgetKind::network, WidgetSize::small);
  EXPECT_EQ(quiet->findChild<DualSparkline*>()->ceiling(), 1024);
  EXPECT_EQ(WidgetPresenter::rates(*rig.model, MetricID::netDown, MetricID::netUp).first, "—");
  feed(130);
  const auto network = view(WidgetKind::network, WidgetSize::small);
  const auto* dual = network->findChild<DualSparkline*>();
  EXPECT_EQ(dual->first().size(), 60u);
  EXPECT_EQ(dual->second().size(), 60u);
  const auto down = rig.model->values(MetricID::netDown, 120);
  const auto up = rig.model->values(MetricID::netUp, 120);
  double largest = 1024;
  for (double v : down) largest = std::max(largest, v);
  for (double v : up) largest = std::max(largest, v);
  EXPECT_EQ(dual->ceiling(), largest);
  EXPECT_EQ(WidgetFigures::dualCeiling({}, {}), 1024);
  const std::vector<double> small{10, 900};
  EXPECT_EQ(WidgetFigures::dualCeiling(small, small), 1024);
}

TEST_F(WidgetFixture, TopProcessesSkipRecordsWithoutTheirFigure) {
  feed(1);
  const ValueFormatter& format = rig.model->format();
  const auto byCPU = lines(WidgetPresenter::top(*rig.model, false));
  ASSERT_EQ(byCPU.size(), 5);
  EXPECT_EQ(byCPU[0], "cc1plus | " + format.percent(97.3, 1));
  EXPECT_EQ(byCPU[2], "<i>odd</i> | " + format.percent(7.5, 1));
  const auto byMemory = lines(WidgetPresenter::top(*rig.model, true));
  ASSERT_EQ(byMemory.size(), 5);
  EXPECT_TRUE(byMemory[0].startsWith("firefox-esr"));
  for (const QString& line : byMemory) EXPECT_FALSE(line.startsWith("kworker"));

  // A sample where nothing qualifies shows the waiting text.
  TelemetrySnapshot bare = fullSnapshot(2);
  for (auto& record : bare.processes->processes) record.cpuPercent.reset();
  rig.model->ingest(bare);
  EXPECT_EQ(WidgetPresenter::top(*rig.model, false).count, 0u);
  const auto none = view(WidgetKind::topCPU);
  for (const auto* line : none->findChildren<WidgetLine*>()) EXPECT_FALSE(line->isVisibleTo(none.get()));
  EXPECT_TRUE(waiting(*none));
}

TEST_F(WidgetFixture, WithoutABatteryTheCardNamesTheSourceAsThePowerPageDoes) {
  const struct {
    PowerSourceKind source;
    const char* words;
  } cases[] = {{PowerSourceKind::ac, "AC adapter"},
               {PowerSourceKind::ups, "UPS"},
               {PowerSourceKind::unknown, "Unknown"}};
  double at = 0;
  for (const auto& c : cases) {
    TelemetrySnapshot snapshot = test::snapshotAt(at += 2);
    snapshot.power = PowerSample(false, c.source, false, false, std::nullopt);
    rig.model->ingest(snapshot);
    const auto state = WidgetPresenter::battery(*rig.model);
    EXPECT_EQ(state.source, QString::fromUtf8(c.words));
    EXPECT_EQ(state.source, PowerText::source(c.source));  // the power page's readout
  }
}

TEST_F(WidgetFixture, BatteryAndThermalOnLinux) {
  feed(1, std::nullopt);
  const auto onAC = WidgetPresenter::battery(*rig.model);
  EXPECT_FALSE(onAC.waiting);
  EXPECT_FALSE(onAC.hasBattery);
  const auto ac = view(WidgetKind::battery);
  // The kernel lists no supply here: the power page's word, not a guessed "AC power".
  EXPECT_EQ(ac->findChildren<Readout*>().at(1)->shownValue(), PowerText::source(PowerSourceKind::unknown));
  EXPECT_FALSE(ac->findChild<Meter*>()->isVisibleTo(ac.get()));
  bool note = false;
  for (const auto* label : ac->findChildren<ToneLabel*>()) {
    note = note || (label->text() == "This computer has no battery." && label->isVisibleTo(ac.get()));
  }
  EXPECT_TRUE(note);

  TelemetrySnapshot cool = fullSnapshot(1);
  cool.thermal.reset();
  rig.model->ingest(cool);
  const auto thermal = WidgetPresenter::thermal(*rig.model);
  EXPECT_EQ(thermal.value, "—");
  EXPECT_FALSE(thermal.level);
  const auto scale = view(WidgetKind::thermal);
  EXPECT_TRUE(scale->findChild<ThermalScale*>()->isHidden());
  EXPECT_FALSE(scale->findChild<UnavailableRow*>()->isHidden());
  EXPECT_EQ(scale->findChild<Readout*>()->shownCaption(), QString());
  rig.model->ingest(fullSnapshot(2));
  scale->refresh();
  EXPECT_EQ(scale->findChild<Readout*>()->shownCaption(), QStringLiteral("Estimated from thermal zones"));

  const auto battery = WidgetPresenter::battery(*rig.model);
  EXPECT_EQ(battery.charge, rig.model->format().percent(62, 0));
  EXPECT_EQ(battery.timeLabel, QStringLiteral("Remaining"));
  EXPECT_EQ(battery.time, rig.model->format().duration(185 * 60));
}

// The card tells a computer without a graphics device, a driver without the figure and readings
// turned off apart, in the GPU page's words.
TEST(GPUWidget, SaysWhichOfThreeThingsIsMissing) {
  GPUDevice virtio;
  virtio.name = QStringLiteral("Virtio GPU");
  const struct {
    const char* computer;
    bool device;
    bool figure;
    bool bestEffort;
    GPUUtilizationState shows;
    const char* reason;  // the one unavailable row shown; none for the figure
  } cases[] = {
      {"no graphics device", false, false, true, GPUUtilizationState::noDevice,
       "This computer has no graphics device: the kernel lists none under /sys/class/drm."},
      {"no device, readings off", false, false, false, GPUUtilizationState::noDevice,
       "This computer has no graphics device: the kernel lists none under /sys/class/drm."},
      {"a driver without the figure", true, false, true, GPUUtilizationState::noFigure,
       "The graphics driver publishes no utilization figure."},
      {"readings turned off", true, false, false, GPUUtilizationState::bestEffortOff,
       "Best-effort readings are turned off in Settings."},
      {"amdgpu", true, true, true, GPUUtilizationState::figure, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.computer);
    test::ModelRig rig({}, [&](MonitorModel::Environment& environment) {
      environment.gpuDevices = [&c, virtio] {
        return c.device ? std::vector<GPUDevice>{virtio} : std::vector<GPUDevice>{};
      };
    });
    TelemetryConfiguration telemetry = rig.settings->telemetry();
    telemetry.bestEffortMetrics = c.bestEffort;
    rig.settings->setTelemetry(telemetry);
    TelemetrySnapshot snapshot = fullSnapshot(1);
    if (!c.figure)
      std::erase_if(snapshot.values,
                    [](const MetricValue& v) { return v.metric == MetricID::gpuUtilization; });
    rig.model->ingest(snapshot);

    const auto state = WidgetPresenter::gpu(*rig.model);
    EXPECT_EQ(state.shows, c.shows);
    const std::unique_ptr<WidgetView> card(
        WidgetView::create(*rig.model, WidgetKind::gpu, WidgetSize::medium));
    QStringList shown;
    for (const auto* row : card->findChildren<UnavailableRow*>()) {
      if (row->isVisibleTo(card.get())) shown << row->shownReason();
    }
    EXPECT_EQ(shown, c.reason ? QStringList{QString::fromUtf8(c.reason)} : QStringList{});
    EXPECT_EQ(card->findChild<Sparkline*>()->isVisibleTo(card.get()), c.shows == GPUUtilizationState::figure);
  }
}

TEST_F(WidgetFixture, AlertsListTheFirstFourOrSayHowManyRulesAreWatched) {
  const auto& rules = rig.settings->rules();
  const auto enabled =
      std::count_if(rules.begin(), rules.end(), [](const AlertRule& r) { return r.isEnabled; });
  const auto calm = WidgetPresenter::alerts(*rig.model);
  EXPECT_TRUE(calm.calm);
  EXPECT_EQ(calm.count, 0u);
  EXPECT_EQ(calm.watched, QString::number(enabled) + " rules are being watched.");
  EXPECT_FALSE(calm.hasFindings);

  TelemetrySnapshot firing = fullSnapshot(1);
  for (int i = 0; i < 5; ++i) {
    AlertRule rule = AlertRule::defaults().at(static_cast<std::size_t>(i));
    firing.firingRules.push_back(rule);
  }
  rig.model->ingest(firing);
  const auto loud = WidgetPresenter::alerts(*rig.model);
  EXPECT_FALSE(loud.calm);
  ASSERT_EQ(loud.count, 4u);
  EXPECT_EQ(loud.lines[0].title, AlertText::title(firing.firingRules[0]));
  EXPECT_EQ(loud.lines[0].symbol, SeverityLook::symbol(firing.firingRules[0].severity));
  const auto shown = view(WidgetKind::alerts);
  int visible = 0;
  for (const auto* line : shown->findChildren<WidgetLine*>(QStringLiteral("widget.alert"))) {
    visible += line->isVisibleTo(shown.get());
  }
  EXPECT_EQ(visible, 4);
}

TEST(WidgetFigures, MetersAndTimeRows) {
  VolumeInfo volume;
  volume.total = 1000;
  volume.available = 90;  // 91 % used
  EXPECT_TRUE(WidgetFigures::volumeMeter(volume).danger);
  volume.available = 100;  // exactly 90 %
  EXPECT_FALSE(WidgetFigures::volumeMeter(volume).danger);
  volume.total = 0;
  EXPECT_EQ(WidgetFigures::volumeMeter(volume).fraction, 0);

  struct ChargeCase {
    std::optional<double> charge;
    double fraction;
    bool danger;
  };
  for (const ChargeCase& c : {ChargeCase{14.9, 0.149, true}, ChargeCase{15, 0.15, false},
                              ChargeCase{std::nullopt, 0, false}, ChargeCase{104, 1, false}}) {
    PowerSample power;
    power.charge = c.charge;
    const auto meter = WidgetFigures::batteryMeter(power);
    EXPECT_NEAR(meter.fraction, c.fraction, 1e-12);
    EXPECT_EQ(meter.danger, c.danger);
  }

  struct TimeCase {
    bool charging;
    std::optional<std::int64_t> toEmpty, toFull;
    std::optional<QString> label;
    double seconds;
  };
  const TimeCase times[] = {
      {false, 95, std::nullopt, QStringLiteral("Remaining"), 5700},
      {true, std::nullopt, 40, QStringLiteral("Until full"), 2400},
      {true, 95, 40, QStringLiteral("Until full"), 2400},
      {false, 95, 40, QStringLiteral("Remaining"), 5700},
      {false, std::nullopt, std::nullopt, std::nullopt, 0},
  };
  for (const TimeCase& c : times) {
    PowerSample power;
    power.isCharging = c.charging;
    power.minutesToEmpty = c.toEmpty;
    power.minutesToFull = c.toFull;
    const auto row = WidgetFigures::batteryTime(power);
    ASSERT_EQ(row.has_value(), c.label.has_value());
    if (row) {
      EXPECT_EQ(row->label, *c.label);
      EXPECT_EQ(row->seconds, c.seconds);
    }
  }
}

TEST(WidgetFigures, UptimeNeedsAKnownBootTime) {
  SystemInfo system;
  const QDateTime now = QDateTime::fromSecsSinceEpoch(1'700'000'000, QTimeZone::utc());
  EXPECT_FALSE(WidgetFigures::uptime(system, now));
  system.bootTime = now.addSecs(-3600);
  EXPECT_EQ(WidgetFigures::uptime(system, now), 3600);
  system.bootTime = now.addSecs(60);
  EXPECT_FALSE(WidgetFigures::uptime(system, now));
  EXPECT_EQ(WidgetFigures::sparklineWindow(WidgetSize::small), 60);
  EXPECT_EQ(WidgetFigures::sparklineWindow(WidgetSize::large), 120);
}

}  // namespace
}  // namespace kivo
