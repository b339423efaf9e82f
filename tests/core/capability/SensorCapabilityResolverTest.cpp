#include "collectors/SensorCapabilityResolver.h"

#include "LinuxNames.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSet>
#include <QTemporaryDir>

#include <map>

namespace kivo {
namespace {

std::map<QString, bool> presence(const std::vector<SensorCapability>& rows) {
  std::map<QString, bool> result;
  for (const auto& row : rows) result[row.id] = row.present;
  return result;
}

CapabilityProbes nothing() {
  CapabilityProbes p;
  p.power = [] { return PowerSample(); };
  p.gpuStatistics = [] { return std::vector<GPUStatistics>(); };
  p.topology = [] { return CPUTopology(); };
  p.diskCount = [] { return std::size_t{0}; };
  p.thermal = [] { return std::optional<ThermalLevel>(); };
  p.memoryPressure = [] { return false; };
  p.wifi = [] { return std::optional<WiFiLink>(); };
  p.gpuDevices = [] { return std::vector<GPUDevice>(); };
  return p;
}

const QStringList kIds = {
    "cpu.load",        "cpu.groups",          "cpu.frequency",       "cpu.temperature",
    "thermal.state",   "thermal.fans",        "battery.temperature", "memory.accounting",
    "memory.pressure", "memory.swap",         "disk.capacity",       "disk.io",
    "disk.health",     "network.throughput",  "network.perprocess",  "network.ssid",
    "network.wifi",    "process.identity",    "process.stats",       "process.stats.other",
    "gpu.devices",     "gpu.utilization",     "gpu.perprocess",      "gpu.temperature",
    "power.battery",   "power.timeremaining", "power.cycles",        "power.flow",
    "power.system",    "power.lowpower"};

const QStringList kProbed = {"cpu.groups",    "thermal.state",       "battery.temperature", "memory.pressure",
                             "disk.io",       "network.wifi",        "gpu.devices",         "gpu.utilization",
                             "power.battery", "power.timeremaining", "power.cycles",        "power.flow",
                             "power.system",  "power.lowpower"};

TEST(SensorCapabilityResolver, ThirtyRowsInOrderWithTheirCategories) {
  const auto rows = SensorCapabilityResolver::resolve(nothing());
  ASSERT_EQ(rows.size(), 30u);
  QSet<QString> seen;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].id, kIds[static_cast<qsizetype>(i)]);
    EXPECT_FALSE(seen.contains(rows[i].id));
    seen.insert(rows[i].id);
    EXPECT_FALSE(rows[i].name.isEmpty());
    EXPECT_FALSE(rows[i].source.isEmpty());
    EXPECT_NE(rows[i].classification, CapabilityClass::systemCommand);
    // What nothing reads has no source.
    if (rows[i].classification == CapabilityClass::unavailable ||
        rows[i].classification == CapabilityClass::privilegedHelper) {
      EXPECT_EQ(rows[i].source, QStringLiteral("—")) << rows[i].id.toStdString();
      EXPECT_FALSE(rows[i].present);
    }
  }
  const std::map<QString, QString> categories = {
      {"cpu.temperature", "Thermal"},     {"gpu.temperature", "Thermal"},
      {"battery.temperature", "Thermal"}, {"process.stats.other", "Processes"},
      {"power.lowpower", "Power"},        {"network.ssid", "Network"}};
  for (const auto& row : rows) {
    if (auto it = categories.find(row.id); it != categories.end()) {
      EXPECT_EQ(row.category, it->second);
    }
  }
}

TEST(SensorCapabilityResolver, TextsNameOnlyWhatLinuxHas) {
  for (const auto& row : SensorCapabilityResolver::resolve(nothing())) {
    for (const QString& text : {row.name, row.source, row.note})
      EXPECT_TRUE(test::namesOnlyLinux(text)) << row.id.toStdString();
  }
}

TEST(SensorCapabilityResolver, NothingProbedMeansOnlyTheFixedRows) {
  const auto present = presence(SensorCapabilityResolver::resolve(nothing()));
  for (const QString& id : kProbed) EXPECT_FALSE(present.at(id)) << id.toStdString();
  for (const char* id : {"cpu.load", "memory.accounting", "memory.swap", "disk.capacity",
                         "network.throughput", "process.identity", "process.stats"}) {
    EXPECT_TRUE(present.at(QString::fromLatin1(id))) << id;
  }
  // Missing probes count as reading nothing.
  const auto bare = presence(SensorCapabilityResolver::resolve(CapabilityProbes{}));
  for (const QString& id : kProbed) EXPECT_FALSE(bare.at(id)) << id.toStdString();
}

TEST(SensorCapabilityResolver, EachProbedRowFollowsItsReader) {
  CapabilityProbes p = nothing();
  p.topology = [] {
    CPUTopology t;
    t.groups.push_back(CPUCoreGroup{QStringLiteral("Performance"), 6, 12});
    return t;
  };
  p.diskCount = [] { return std::size_t{1}; };
  p.thermal = [] { return std::optional<ThermalLevel>(ThermalLevel::nominal); };
  p.memoryPressure = [] { return true; };
  p.wifi = [] { return std::optional<WiFiLink>(WiFiLink{}); };
  p.gpuDevices = [] { return std::vector<GPUDevice>(1); };
  p.gpuStatistics = [] {
    GPUStatistics memoryOnly(QStringLiteral("a"));
    memoryOnly.memoryInUse = 1;
    GPUStatistics busy(QStringLiteral("b"));
    busy.deviceUtilization = 0.0;  // an idle GPU still publishes utilisation
    return std::vector<GPUStatistics>{memoryOnly, busy};
  };
  p.power = [] {
    PowerSample s(true, PowerSourceKind::battery, false, false, false);
    s.minutesToFull = 30;  // only the time to full is known
    s.cycleCount = 0;
    s.voltage = 12.0;
    s.amperage = -1.0;
    s.temperature = 30.0;
    s.systemWatts = 12.0;
    return s;
  };
  const auto present = presence(SensorCapabilityResolver::resolve(p));
  for (const QString& id : kProbed) EXPECT_TRUE(present.at(id)) << id.toStdString();

  // A voltage without a current is no power flow; utilisation must come from some GPU.
  p.power = [] {
    PowerSample s(true, PowerSourceKind::ac, false, false, false);
    s.voltage = 12.0;
    return s;
  };
  p.gpuStatistics = [] {
    GPUStatistics memoryOnly(QStringLiteral("a"));
    memoryOnly.memoryInUse = 1;
    return std::vector<GPUStatistics>{memoryOnly};
  };
  const auto partial = presence(SensorCapabilityResolver::resolve(p));
  EXPECT_TRUE(partial.at(QStringLiteral("power.battery")));
  EXPECT_FALSE(partial.at(QStringLiteral("power.flow")));
  EXPECT_FALSE(partial.at(QStringLiteral("power.timeremaining")));
  EXPECT_FALSE(partial.at(QStringLiteral("gpu.utilization")));
}

TEST(SensorCapabilityResolver, RealReadersOnFixtureTrees) {
  // Best-effort figures are probed whatever the user's setting.
  const auto laptop =
      presence(SensorCapabilityResolver::resolve(CapabilityProbes::system(test::fixture("power-laptop"))));
  for (const char* id : {"power.battery", "power.timeremaining", "power.cycles", "power.flow", "power.system",
                         "battery.temperature"}) {
    EXPECT_TRUE(laptop.at(QString::fromLatin1(id))) << id;
  }
  EXPECT_FALSE(laptop.at(QStringLiteral("gpu.devices")));
  EXPECT_FALSE(laptop.at(QStringLiteral("thermal.state")));

  const auto gpu =
      presence(SensorCapabilityResolver::resolve(CapabilityProbes::system(test::fixture("gpu-amdgpu"))));
  EXPECT_TRUE(gpu.at(QStringLiteral("gpu.devices")));
  EXPECT_TRUE(gpu.at(QStringLiteral("gpu.utilization")));
  EXPECT_FALSE(gpu.at(QStringLiteral("power.battery")));

  const auto warm =
      presence(SensorCapabilityResolver::resolve(CapabilityProbes::system(test::fixture("thermal-laptop"))));
  EXPECT_TRUE(warm.at(QStringLiteral("thermal.state")));
}

TEST(SensorCapabilityResolver, MachineWithoutBatteryShowsNoPowerRows) {
  const auto present = presence(
      SensorCapabilityResolver::resolve(CapabilityProbes::system(test::fixture("power-desktop-mouse"))));
  for (const char* id : {"power.battery", "power.timeremaining", "power.cycles", "power.flow", "power.system",
                         "battery.temperature"}) {
    EXPECT_FALSE(present.at(QString::fromLatin1(id))) << id;
  }
  // No power-profiles-daemon is asked in a fixture tree and it has no firmware profile.
  EXPECT_FALSE(present.at(QStringLiteral("power.lowpower")));
  const auto firmware =
      presence(SensorCapabilityResolver::resolve(CapabilityProbes::system(test::fixture("power-firmware"))));
  EXPECT_TRUE(firmware.at(QStringLiteral("power.lowpower")));
}

TEST(SensorCapabilityResolver, NotesSayWhatThisComputerHas) {
  const auto note = [](const CapabilityProbes& probes, const char* id) {
    for (const auto& row : SensorCapabilityResolver::resolve(probes)) {
      if (row.id == QLatin1String(id)) return row.note;
    }
    return QString();
  };
  CapabilityProbes probes = nothing();
  const struct {
    const char* machine;
    bool cpufreq;
    std::optional<bool> lowPowerMode;
    const char* frequencyWords;
    const char* lowPowerWords;
  } cases[] = {
      {"virtual machine", false, std::nullopt, "publishes no CPU frequency on this computer",
       "neither power-profiles-daemon nor"},
      {"laptop with profiles", true, false, "publishes it under /sys/devices/system/cpu/cpufreq", "On when"},
  };
  for (const auto& c : cases) {
    probes.cpuFrequency = [&c] { return c.cpufreq; };
    probes.power = [&c] { return PowerSample(false, PowerSourceKind::ac, false, false, c.lowPowerMode); };
    EXPECT_TRUE(note(probes, "cpu.frequency").contains(QLatin1String(c.frequencyWords))) << c.machine;
    EXPECT_TRUE(note(probes, "power.lowpower").contains(QLatin1String(c.lowPowerWords))) << c.machine;
  }
}

// The cpufreq folder is there on virtual machines too, empty: only a policy means the kernel
// publishes a frequency.
TEST(SensorCapabilityResolver, FrequencyNeedsACpufreqPolicy) {
  const struct {
    const char* computer;
    QStringList folders;  // made under the root
    const char* words;
  } cases[] = {
      {"laptop with a policy", {"sys/devices/system/cpu/cpufreq/policy0"}, "publishes it under"},
      {"virtual machine with an empty folder",
       {"sys/devices/system/cpu/cpufreq"},
       "publishes no CPU frequency"},
      {"no folder at all", {"sys/devices/system/cpu"}, "publishes no CPU frequency"},
  };
  for (const auto& c : cases) {
    QTemporaryDir root;
    for (const QString& folder : c.folders) ASSERT_TRUE(QDir(root.path()).mkpath(folder));
    QString note;
    for (const auto& row :
         SensorCapabilityResolver::resolve(CapabilityProbes::system(root.path().toStdString())))
      if (row.id == QLatin1String("cpu.frequency")) note = row.note;
    EXPECT_TRUE(note.contains(QLatin1String(c.words))) << c.computer << ": " << note.toStdString();
  }
}

}  // namespace
}  // namespace kivo
