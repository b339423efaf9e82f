#include "features/power/PowerPage.h"
#include "features/power/PowerPresenter.h"

#include "PageShots.h"
#include "design/KeyValueRow.h"
#include "design/Meter.h"
#include "design/Readout.h"
#include "design/UnavailableRow.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <algorithm>

namespace kivo {
namespace {

using Row = PowerPresenter::Row;

PowerSample laptop(double charge, bool charging) {
  PowerSample power(true, charging ? PowerSourceKind::ac : PowerSourceKind::battery, charging, false, false);
  power.charge = charge;
  return power;
}

std::vector<QString> labels(const std::vector<Row>& rows) {
  std::vector<QString> result;
  for (const auto& row : rows) result.push_back(row.label);
  return result;
}

TEST(PowerPresenter, MeterClampsTheChargeAndTurnsRedBelowFifteen) {
  const struct {
    std::optional<double> charge;
    std::optional<double> fraction;
    bool danger;
  } cases[] = {
      {15.0, 0.15, false}, {14.9, 0.149, true}, {std::nullopt, std::nullopt, false},
      {130.0, 1.0, false}, {-5.0, 0.0, true},
  };
  const ValueFormatter format;
  for (const auto& c : cases) {
    PowerSample power = laptop(0, false);
    power.charge = c.charge;
    const auto fraction = PowerPresenter::meterFraction(power);
    ASSERT_EQ(fraction.has_value(), c.fraction.has_value());
    if (fraction) {
      EXPECT_DOUBLE_EQ(*fraction, *c.fraction);
    }
    EXPECT_EQ(PowerPresenter::meterDanger(power), c.danger);
  }
  PowerSample none = laptop(0, false);
  none.charge.reset();
  EXPECT_EQ(PowerPresenter::chargeText(none, format), QStringLiteral("—"));
}

TEST(PowerPresenter, BatteryRowsForChargingDischargingAndCharged) {
  const ValueFormatter format(QLocale(QLocale::English, QLocale::UnitedStates));
  PowerSample discharging = laptop(62, false);
  discharging.minutesToEmpty = 90;
  auto rows = PowerPresenter::batteryRows(discharging, format);
  EXPECT_EQ(labels(rows), (std::vector<QString>{"Power source", "Time remaining", "Low Power Mode"}));
  EXPECT_EQ(rows[0].value, QStringLiteral("Battery"));
  EXPECT_EQ(rows[1].value, format.duration(5400));
  EXPECT_EQ(rows[1].quality, MetricQuality::estimated);
  EXPECT_EQ(rows[2].value, QStringLiteral("Off"));

  PowerSample charging = laptop(40, true);  // no estimate yet
  charging.adapterWatts = 65;
  rows = PowerPresenter::batteryRows(charging, format);
  EXPECT_EQ(labels(rows),
            (std::vector<QString>{"Power source", "Time remaining", "Low Power Mode", "Adapter"}));
  EXPECT_EQ(rows[1].value, QStringLiteral("Calculating…"));
  EXPECT_EQ(rows[3].value, QStringLiteral("65 W"));
  charging.adapterName = QStringLiteral("USB-C");
  charging.minutesToEmpty = 300;
  charging.minutesToFull = 45;
  charging.lowPowerMode = true;
  rows = PowerPresenter::batteryRows(charging, format);
  EXPECT_EQ(labels(rows), (std::vector<QString>{"Power source", "Time remaining", "Time until full",
                                                "Low Power Mode", "Adapter"}));
  EXPECT_EQ(rows[3].value, QStringLiteral("On"));
  EXPECT_EQ(rows[4].value, QStringLiteral("65 W · USB-C"));

  PowerSample charged = laptop(100, false);
  charged.source = PowerSourceKind::ac;
  charged.isCharged = true;
  EXPECT_EQ(labels(PowerPresenter::batteryRows(charged, format)),
            (std::vector<QString>{"Power source", "Low Power Mode"}));
}

TEST(PowerPresenter, LowPowerModeIsShownOnlyWhereAProfileCanBeRead) {
  const ValueFormatter format(QLocale(QLocale::English, QLocale::UnitedStates));
  const struct {
    const char* machine;
    std::optional<bool> lowPowerMode;
    std::optional<QString> text;
  } cases[] = {
      {"power-saver profile", true, QStringLiteral("On")},
      {"balanced profile", false, QStringLiteral("Off")},
      {"no daemon, no firmware profile", std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    PowerSample power = laptop(50, false);
    power.lowPowerMode = c.lowPowerMode;
    EXPECT_EQ(PowerPresenter::lowPowerText(power), c.text) << c.machine;
    const auto rows = labels(PowerPresenter::batteryRows(power, format));
    EXPECT_EQ(std::count(rows.begin(), rows.end(), QStringLiteral("Low Power Mode")), c.text ? 1 : 0)
        << c.machine;
  }
}

TEST(PowerPresenter, HealthAndFlowShowDashesForWhatTheDriverDoesNotGive) {
  const ValueFormatter format(QLocale(QLocale::English, QLocale::UnitedStates));
  PowerSample power = laptop(80, false);
  power.designCapacity = 4000;
  power.maxCapacity = 3600;
  power.cycleCount = 212;
  power.health = QStringLiteral("Good");
  auto health = PowerPresenter::healthRows(power, format);
  ASSERT_EQ(health.size(), 5U);
  EXPECT_EQ(health[0], (Row{"Condition reported by the battery driver", "Good", std::nullopt}));
  EXPECT_EQ(health[1].value, QStringLiteral("212"));
  EXPECT_EQ(health[2].value, QStringLiteral("3600 mAh"));
  EXPECT_EQ(health[4].value, format.percent(90, 1));
  EXPECT_EQ(health[4].quality, MetricQuality::bestEffort);
  power.designCapacity = 0;
  power.health.reset();
  health = PowerPresenter::healthRows(power, format);
  ASSERT_EQ(health.size(), 4U);
  EXPECT_EQ(health[3].value, QStringLiteral("—"));

  power.voltage = 12.1;
  auto flow = PowerPresenter::flowRows(power, format);
  EXPECT_EQ(flow[0].value, QStringLiteral("—"));
  EXPECT_EQ(flow[1].value, QStringLiteral("12.10 V"));
  EXPECT_EQ(flow[2].value, QStringLiteral("—"));
  EXPECT_EQ(flow[3].value, QStringLiteral("—"));
  power.amperage = -1.6;
  flow = PowerPresenter::flowRows(power, format);
  EXPECT_EQ(flow[0].value, QStringLiteral("-19.4 W"));  // discharging: negative
}

TEST(PowerPresenter, EnergyRowsAboveOneHundredthOfAWattHighestFirst) {
  const ValueFormatter format(QLocale(QLocale::English, QLocale::UnitedStates));
  ProcessSample sample;
  const auto add = [&](int pid, std::optional<double> power) {
    ProcessRecord record;
    record.pid = pid;
    record.name = QStringLiteral("p%1").arg(pid);
    record.power = power;
    sample.processes.push_back(record);
  };
  add(1, 0.01);
  add(2, std::nullopt);
  for (int pid = 10; pid < 22; ++pid) add(pid, pid == 12 || pid == 13 ? 5.0 : 0.1 * pid);
  const auto rows = PowerPresenter::energyRows(&sample, format);
  ASSERT_EQ(rows.size(), 8U);
  EXPECT_EQ(rows[0].pid, 12);  // equal power keeps the sample's order
  EXPECT_EQ(rows[1].pid, 13);
  EXPECT_EQ(rows[2].pid, 21);
  EXPECT_EQ(rows[0].value, QStringLiteral("5.00 W"));
  ProcessSample idle;
  idle.processes = {sample.processes[0]};
  EXPECT_TRUE(PowerPresenter::energyRows(&idle, format).empty());
  EXPECT_TRUE(PowerPresenter::energyRows(nullptr, format).empty());
}

TelemetrySnapshot powerSnapshot(double seconds, const PowerSample& power) {
  std::vector<MetricValue> values;
  if (power.charge) values.push_back({MetricID::batteryCharge, *power.charge});
  if (const auto watts = power.batteryWatts()) values.push_back({MetricID::batteryPower, *watts});
  auto snapshot = test::snapshotAt(seconds, values);
  snapshot.power = power;
  return snapshot;
}

PowerSample busyLaptop(double charge) {
  PowerSample power = laptop(charge, false);
  power.minutesToEmpty = 185;
  power.health = QStringLiteral("Good");
  power.cycleCount = 212;
  power.designCapacity = 4000;
  power.maxCapacity = 3600;
  power.voltage = 11.8;
  power.amperage = -0.9 - (static_cast<int>(charge) % 3) * 0.2;
  return power;
}

TEST(PowerPage, SwitchesBetweenBatteryAndPowerSourceCards) {
  test::ModelRig rig;
  PowerPage page(*rig.model);
  auto* battery = page.findChild<QWidget*>(QStringLiteral("power.batteryCards"));
  auto* source = page.findChild<QWidget*>(QStringLiteral("power.source"));
  EXPECT_TRUE(battery->isHidden());
  EXPECT_TRUE(source->isHidden());

  PowerSample ups(false, PowerSourceKind::ups, false, false, false);
  rig.model->ingest(powerSnapshot(0, ups));
  EXPECT_TRUE(battery->isHidden());
  EXPECT_FALSE(source->isHidden());
  EXPECT_EQ(source->findChild<Readout*>()->shownValue(), QStringLiteral("UPS"));

  PowerSample mains(false, PowerSourceKind::ac, false, false, false);
  rig.model->ingest(powerSnapshot(2, mains));
  EXPECT_EQ(source->findChild<Readout*>()->shownValue(), QStringLiteral("AC adapter"));
  const auto lowPowerRows = [source] {
    std::pair<bool, bool> shown;  // figure, unavailable row
    for (auto* row : source->findChildren<KeyValueRow*>()) {
      if (row->accessibleName().startsWith(QStringLiteral("Low Power Mode")))
        shown.first = row->isVisibleTo(source);
    }
    for (auto* row : source->findChildren<UnavailableRow*>()) {
      if (row->shownReason() == PowerPresenter::lowPowerReason()) shown.second = row->isVisibleTo(source);
    }
    return shown;
  };
  EXPECT_EQ(lowPowerRows(), std::make_pair(true, false));
  // Without any power profile Low Power Mode is no figure at all, not "Off".
  rig.model->ingest(powerSnapshot(3, PowerSample(false, PowerSourceKind::ac, false, false, std::nullopt)));
  EXPECT_EQ(lowPowerRows(), std::make_pair(false, true));

  rig.model->ingest(powerSnapshot(4, laptop(14.9, false)));
  EXPECT_FALSE(battery->isHidden());
  EXPECT_TRUE(source->isHidden());
  auto* meter = page.findChild<Meter*>(QStringLiteral("power.meter"));
  EXPECT_NEAR(*meter->fraction(), 0.149, 1e-9);
  // The energy card says why it is empty instead of waiting for samples forever.
  EXPECT_FALSE(
      page.findChild<QWidget*>(QStringLiteral("power.energy"))->findChild<UnavailableRow*>()->isHidden());
}

// The battery card's rows follow the presenter's as the charging state changes, keeping the
// widgets of rows that stay.
TEST(PowerPage, BatteryRowsFollowTheChargingStateInPlace) {
  test::ModelRig rig;
  PowerPage page(*rig.model);
  auto* card = page.findChild<QWidget*>(QStringLiteral("power.battery"));
  const auto shown = [card] {
    std::vector<KeyValueRow*> rows;
    for (auto* row : card->findChildren<KeyValueRow*>()) {
      if (!row->isHidden()) rows.push_back(row);
    }
    return rows;
  };
  const auto expectRows = [&](const PowerSample& power) {
    const auto want = PowerPresenter::batteryRows(power, rig.model->format());
    const auto rows = shown();
    ASSERT_EQ(rows.size(), want.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(rows[i]->accessibleName(), want[i].label + QStringLiteral(", ") + want[i].value);
    }
  };
  PowerSample discharging = laptop(62, false);
  discharging.minutesToEmpty = 90;
  rig.model->ingest(powerSnapshot(0, discharging));
  expectRows(discharging);
  KeyValueRow* const first = shown().front();

  PowerSample charging = laptop(63, true);
  charging.adapterWatts = 65;
  charging.minutesToFull = 45;
  rig.model->ingest(powerSnapshot(2, charging));
  expectRows(charging);
  EXPECT_EQ(shown().front(), first);

  PowerSample charged = laptop(100, false);
  charged.source = PowerSourceKind::ac;
  charged.isCharged = true;
  rig.model->ingest(powerSnapshot(4, charged));
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  expectRows(charged);
  EXPECT_EQ(shown().front(), first);
}

TEST(PowerPage, WritesThePageForALook) {
  test::ModelRig rig;
  {
    PowerPage empty(*rig.model);
    EXPECT_TRUE(
        test::savePage(empty, QStringLiteral("power"), QStringLiteral("power-empty"), false, 1100, 900));
  }
  for (int i = 0; i < 40; ++i) rig.model->ingest(powerSnapshot(i * 2.0, busyLaptop(72 - i * 0.25)));
  for (bool dark : {false, true}) {
    PowerPage page(*rig.model);
    EXPECT_TRUE(
        test::savePage(page, QStringLiteral("power"), QStringLiteral("power-laptop"), dark, 1100, 1500));
  }
  rig.model->ingest(powerSnapshot(100, PowerSample(false, PowerSourceKind::ac, false, false, std::nullopt)));
  for (bool dark : {false, true}) {
    PowerPage page(*rig.model);
    EXPECT_TRUE(
        test::savePage(page, QStringLiteral("power"), QStringLiteral("power-desktop"), dark, 1100, 900));
  }
}

}  // namespace
}  // namespace kivo
