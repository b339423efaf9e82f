#include "collectors/PowerCollector.h"
#include "platform/PowerProfiles.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kivo {
namespace {

class FakeProfiles : public PowerProfileSource {
 public:
  explicit FakeProfiles(std::optional<QString> profile) : profile_(std::move(profile)) {}
  std::optional<QString> activeProfile() override {
    ++calls;
    return profile_;
  }
  int calls = 0;

 private:
  std::optional<QString> profile_;
};

PowerSample read(const char* fixture, bool bestEffort = true, std::optional<QString> profile = std::nullopt) {
  FakeProfiles profiles(std::move(profile));
  return PowerCollector::sample(bestEffort, KernelFiles(test::fixture(fixture)), &profiles);
}

void expectNoBatteryFigures(const PowerSample& s) {
  EXPECT_FALSE(s.hasBattery);
  EXPECT_FALSE(s.charge);
  EXPECT_FALSE(s.isCharging);
  EXPECT_FALSE(s.isCharged);
  EXPECT_FALSE(s.minutesToEmpty);
  EXPECT_FALSE(s.minutesToFull);
  EXPECT_FALSE(s.health);
  EXPECT_FALSE(s.cycleCount);
  EXPECT_FALSE(s.designCapacity);
  EXPECT_FALSE(s.maxCapacity);
  EXPECT_FALSE(s.voltage);
  EXPECT_FALSE(s.amperage);
  EXPECT_FALSE(s.temperature);
  EXPECT_FALSE(s.systemWatts);
  EXPECT_FALSE(s.batteryWatts());
}

TEST(PowerCollector, LaptopOnBatteryWithPositiveDischargeCurrent) {
  const PowerSample s = read("power-laptop");
  EXPECT_TRUE(s.hasBattery);
  EXPECT_EQ(s.source, PowerSourceKind::battery);
  EXPECT_EQ(s.charge, 76.0);  // capacity, not the mouse's 5 %
  EXPECT_FALSE(s.isCharging);
  EXPECT_FALSE(s.isCharged);
  EXPECT_EQ(s.minutesToEmpty, 133);  // 38 Wh at 1.5 A × 11.4 V
  EXPECT_FALSE(s.minutesToFull);
  EXPECT_EQ(s.health, QStringLiteral("Good"));
  EXPECT_FALSE(s.adapterWatts);
  EXPECT_FALSE(s.adapterName);
  EXPECT_EQ(s.cycleCount, 312);
  EXPECT_EQ(s.designCapacity, 5000);  // 57 Wh at 11.4 V
  EXPECT_EQ(s.maxCapacity, 4386);
  EXPECT_EQ(s.voltage, 11.4);
  ASSERT_TRUE(s.amperage);
  EXPECT_DOUBLE_EQ(*s.amperage, -1.5);  // the driver's sign is ignored: status says discharging
  ASSERT_TRUE(s.batteryWatts());
  EXPECT_NEAR(*s.batteryWatts(), -17.1, 1e-9);
  EXPECT_EQ(s.temperature, 31.5);
  ASSERT_TRUE(s.systemWatts);  // on battery, the battery feeds the whole computer
  EXPECT_NEAR(*s.systemWatts, 17.1, 1e-9);
}

TEST(PowerCollector, ChargingBatteryWithPowerNowOnlyAndUsbAdapter) {
  const PowerSample s = read("power-powernow");
  EXPECT_TRUE(s.hasBattery);
  EXPECT_EQ(s.source, PowerSourceKind::ac);
  EXPECT_EQ(s.charge, 50.0);
  EXPECT_TRUE(s.isCharging);
  EXPECT_FALSE(s.minutesToEmpty);
  EXPECT_EQ(s.minutesToFull, 60);  // 20 Wh to go at 20 W
  EXPECT_EQ(s.adapterWatts, 65);   // 20 V × 3.25 A of the online port
  EXPECT_EQ(s.adapterName, QStringLiteral("USB-C PD 65W"));
  EXPECT_EQ(s.cycleCount, 0);  // a published zero is a reading
  ASSERT_TRUE(s.amperage);
  EXPECT_NEAR(*s.amperage, 20.0 / 15.0, 1e-12);
  EXPECT_NEAR(*s.batteryWatts(), 20.0, 1e-9);
  EXPECT_FALSE(s.systemWatts);  // on AC the computer's draw is not known
  EXPECT_FALSE(s.temperature);
}

TEST(PowerCollector, PeripheralBatteriesAndMachinesWithoutBattery) {
  struct Case {
    const char* fixture;
    PowerSourceKind source;
  };
  const Case cases[] = {
      {"power-desktop-mouse", PowerSourceKind::unknown},  // the mouse is not the computer's battery
      {"power-desktop-ac", PowerSourceKind::ac},
      {"power-ups", PowerSourceKind::ups},
      {"does-not-exist", PowerSourceKind::unknown},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fixture);
    const PowerSample s = read(c.fixture);
    EXPECT_EQ(s.source, c.source);
    expectNoBatteryFigures(s);
    EXPECT_FALSE(s.adapterWatts);
  }
}

TEST(PowerCollector, NotChargingOnAcAndUnknownValuesStayAbsent) {
  const PowerSample s = read("power-notcharging");
  EXPECT_TRUE(s.hasBattery);
  EXPECT_EQ(s.source, PowerSourceKind::ac);
  EXPECT_EQ(s.charge, 80.0);
  EXPECT_FALSE(s.isCharging);
  EXPECT_FALSE(s.isCharged);
  EXPECT_FALSE(s.minutesToEmpty);
  EXPECT_FALSE(s.minutesToFull);
  EXPECT_FALSE(s.health);       // "Unknown"
  EXPECT_FALSE(s.temperature);  // 0 means no sensor
  EXPECT_FALSE(s.cycleCount);   // -1 means unknown
  EXPECT_EQ(s.designCapacity, 5000);
  EXPECT_EQ(s.maxCapacity, 4000);
  EXPECT_EQ(s.amperage, 0.0);
}

TEST(PowerCollector, EmptySlotDriverEstimateAndFirmwareLowPower) {
  const PowerSample s = read("power-firmware");
  EXPECT_TRUE(s.hasBattery);
  EXPECT_EQ(s.source, PowerSourceKind::battery);
  EXPECT_EQ(s.charge, 50.0);
  EXPECT_EQ(s.minutesToEmpty, 120);  // the driver's time_to_empty_now
  EXPECT_EQ(s.temperature, -40.0);
  EXPECT_EQ(s.designCapacity, 4400);
  EXPECT_EQ(s.lowPowerMode, true);  // no daemon: the firmware profile decides
}

TEST(PowerCollector, LowPowerModeFollowsTheProfileDaemonFirst) {
  EXPECT_EQ(read("power-laptop", true, QStringLiteral("power-saver")).lowPowerMode, true);
  EXPECT_EQ(read("power-laptop", true, QStringLiteral("balanced")).lowPowerMode, false);
  // Neither a daemon nor a firmware profile: nothing to report, not "off".
  EXPECT_EQ(read("power-laptop", true, std::nullopt).lowPowerMode, std::nullopt);
  // The daemon overrides the firmware's own profile.
  EXPECT_EQ(read("power-firmware", true, QStringLiteral("performance")).lowPowerMode, false);
  // Without a bus to ask, the firmware profile alone.
  EXPECT_EQ(PowerCollector::sample(false, KernelFiles(test::fixture("power-firmware")), nullptr).lowPowerMode,
            true);
}

TEST(PowerCollector, BestEffortOffLeavesTheGaugeFiguresAbsent) {
  const PowerSample s = read("power-laptop", false);
  EXPECT_TRUE(s.hasBattery);
  EXPECT_EQ(s.charge, 76.0);
  EXPECT_EQ(s.minutesToEmpty, 133);
  for (const bool present : {bool(s.cycleCount), bool(s.designCapacity), bool(s.maxCapacity), bool(s.voltage),
                             bool(s.amperage), bool(s.temperature), bool(s.systemWatts)}) {
    EXPECT_FALSE(present);
  }
}

TEST(PowerCollector, ThisMachineInventsNoFigures) {
  const PowerSample s = PowerCollector::sample(true);
  bool machineHasBattery = false;
  for (const auto& supply : PowerSupplies::read(KernelFiles("/"))) {
    machineHasBattery = machineHasBattery || PowerMath::isComputerBattery(supply);
  }
  EXPECT_EQ(s.hasBattery, machineHasBattery);
  if (!machineHasBattery) {
    expectNoBatteryFigures(s);
  }
}

// --- the pure rules, on supplies built in place ---

PowerSupply battery(std::string status) {
  PowerSupply b;
  b.name = "BAT";
  b.type = "Battery";
  b.status = std::move(status);
  return b;
}

TEST(PowerMath, WhichSuppliesAreTheComputersBatteries) {
  PowerSupply b = battery("Discharging");
  EXPECT_TRUE(PowerMath::isComputerBattery(b));
  b.scope = "System";
  EXPECT_TRUE(PowerMath::isComputerBattery(b));
  b.scope = "Device";
  EXPECT_FALSE(PowerMath::isComputerBattery(b));
  b.scope.clear();
  b.present = 0;
  EXPECT_FALSE(PowerMath::isComputerBattery(b));
  b.present = 1;
  b.type = "UPS";
  EXPECT_FALSE(PowerMath::isComputerBattery(b));
}

TEST(PowerMath, SeveralBatteriesCombineTheirEnergy) {
  PowerSupply a = battery("Discharging");
  a.capacity = 90;
  a.energyNow = 45'000'000;
  a.energyFull = 50'000'000;
  PowerSupply b = battery("Unknown");
  b.capacity = 10;
  b.energyNow = 2'000'000;
  b.energyFull = 20'000'000;
  const PowerSupply* both[] = {&a, &b};
  EXPECT_NEAR(*PowerMath::charge(both), 47.0 / 70.0 * 100.0, 1e-9);
  // Without energies in both, the last battery that gives a value wins.
  b.energyNow.reset();
  EXPECT_EQ(PowerMath::charge(both), 10.0);
  // Not clamped, and a zero full charge gives nothing.
  PowerSupply over = battery("Full");
  over.chargeNow = 4'200'000;
  over.chargeFull = 4'000'000;
  const PowerSupply* one[] = {&over};
  EXPECT_DOUBLE_EQ(*PowerMath::charge(one), 105.0);
  over.chargeFull = 0;
  EXPECT_FALSE(PowerMath::charge(one));
}

TEST(PowerMath, TimeRemainingAcrossBatteriesAndRates) {
  // Two batteries, one discharging: all remaining energy over the one rate.
  PowerSupply a = battery("Discharging");
  a.energyNow = 30'000'000;
  a.powerNow = 10'000'000;
  PowerSupply b = battery("Unknown");
  b.energyNow = 20'000'000;
  const PowerSupply* both[] = {&a, &b};
  EXPECT_EQ(PowerMath::minutesRemaining(both).toEmpty, 300);

  struct Case {
    const char* name;
    std::optional<std::int64_t> power;
    std::optional<std::int64_t> published;
    std::optional<std::int64_t> expected;
  };
  const Case cases[] = {
      {"zero rate", 0, std::nullopt, std::nullopt},
      {"tiny rate", 1, std::nullopt, std::nullopt},  // 3·10^7 h is no estimate
      {"published", 10'000'000, 60, 1},
      {"published zero falls back", 10'000'000, 0, 180},
      {"under half a minute", 10'000'000'000'000, std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PowerSupply s = battery("Discharging");
    s.energyNow = 30'000'000;
    s.powerNow = c.power;
    s.timeToEmptyNow = c.published;
    const PowerSupply* one[] = {&s};
    EXPECT_EQ(PowerMath::minutesRemaining(one).toEmpty, c.expected);
    EXPECT_FALSE(PowerMath::minutesRemaining(one).toFull);
  }
  // Held or full batteries have no estimate.
  PowerSupply held = battery("Not charging");
  held.energyNow = 30'000'000;
  held.powerNow = 1'000'000;
  const PowerSupply* heldOnly[] = {&held};
  EXPECT_FALSE(PowerMath::minutesRemaining(heldOnly).toEmpty);
  EXPECT_FALSE(PowerMath::minutesRemaining(heldOnly).toFull);
}

TEST(PowerMath, GaugeTemperatureRange) {
  struct Case {
    std::int64_t tenths;
    std::optional<double> celsius;
  };
  const Case cases[] = {{0, std::nullopt}, {315, 31.5},          {-400, -40.0},
                        {1500, 150.0},     {1501, std::nullopt}, {-401, std::nullopt}};
  for (const auto& c : cases) {
    PowerSupply b = battery("Full");
    b.temp = c.tenths;
    EXPECT_EQ(PowerMath::batteryFields(b, false).celsius, c.celsius) << c.tenths;
  }
}

TEST(PowerMath, CurrentDirectionComesFromStatus) {
  struct Case {
    const char* status;
    std::optional<std::int64_t> current;
    std::optional<std::int64_t> power;
    std::optional<double> amps;
  };
  const Case cases[] = {
      {"Discharging", 1'500'000, std::nullopt, -1.5},      {"Discharging", -1'500'000, std::nullopt, -1.5},
      {"Charging", -2'000'000, std::nullopt, 2.0},         {"Not charging", -100'000, std::nullopt, -0.1},
      {"Discharging", std::nullopt, 24'000'000, -2.0},     {"Charging", std::nullopt, 12'000'000, 1.0},
      {"Unknown", std::nullopt, 12'000'000, std::nullopt},  // direction unknowable
      {"Full", std::nullopt, std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    PowerSupply b = battery(c.status);
    b.voltageNow = 12'000'000;
    b.currentNow = c.current;
    b.powerNow = c.power;
    EXPECT_EQ(PowerMath::amperage(b), c.amps) << c.status;
  }
}

TEST(PowerMath, SourceFromSupplies) {
  PowerSupply mainsOn;
  mainsOn.type = "Mains";
  mainsOn.online = 1;
  PowerSupply mainsOff = mainsOn;
  mainsOff.online = 0;
  PowerSupply ups;
  ups.type = "UPS";
  PowerSupply mouseCharger;  // a peripheral's own USB supply is not the computer's adapter
  mouseCharger.type = "USB";
  mouseCharger.scope = "Device";
  mouseCharger.online = 1;
  struct Case {
    const char* name;
    std::vector<PowerSupply> supplies;
    PowerSourceKind expected;
  };
  const Case cases[] = {
      {"nothing", {}, PowerSourceKind::unknown},
      {"mains wins over a discharging battery", {mainsOn, battery("Discharging")}, PowerSourceKind::ac},
      {"discharging", {mainsOff, battery("Discharging")}, PowerSourceKind::battery},
      {"charging without a mains entry", {battery("Charging")}, PowerSourceKind::ac},
      {"full without a mains entry", {battery("Full")}, PowerSourceKind::ac},
      {"ups", {ups}, PowerSourceKind::ups},
      {"peripheral charger", {mouseCharger}, PowerSourceKind::unknown},
  };
  for (const auto& c : cases) EXPECT_EQ(PowerMath::source(c.supplies), c.expected) << c.name;
}

}  // namespace
}  // namespace kivo

namespace kivo {
namespace {

TEST(DBusPowerProfiles, NoBusMeansNoProfile) {
  DBusPowerProfiles profiles(QDBusConnection(QStringLiteral("kivo-test-not-connected")));
  EXPECT_FALSE(profiles.activeProfile());
}

}  // namespace
}  // namespace kivo

namespace kivo {
namespace {

TEST(PowerMath, CapacitiesInMilliampHours) {
  PowerSupply b;
  b.type = "Battery";
  b.status = "Full";
  // Charge-based gauges give µAh directly.
  b.chargeFullDesign = 5'000'000;
  b.chargeFull = 4'500'400;
  auto f = PowerMath::batteryFields(b, false);
  EXPECT_EQ(f.design, 5000);
  EXPECT_EQ(f.maximum, 4500);
  // Energy-based gauges need the design voltage to turn µWh into mAh; without it, nothing.
  PowerSupply e;
  e.type = "Battery";
  e.energyFullDesign = 57'000'000;
  e.energyFull = 50'000'000;
  e.voltageNow = 12'000'000;  // the present voltage moves with the charge: not used
  f = PowerMath::batteryFields(e, false);
  EXPECT_FALSE(f.design);
  EXPECT_FALSE(f.maximum);
  e.voltageMinDesign = 11'400'000;
  f = PowerMath::batteryFields(e, false);
  EXPECT_EQ(f.design, 5000);
  EXPECT_EQ(f.maximum, 4386);
  // Zero is the driver saying it does not know.
  e.energyFullDesign = 0;
  EXPECT_FALSE(PowerMath::batteryFields(e, false).design);
}

}  // namespace
}  // namespace kivo
