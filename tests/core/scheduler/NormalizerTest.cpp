#include "scheduler/Normalizer.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace kivo;

namespace {

std::string keys(const std::vector<MetricValue>& values) {
  std::string text;
  for (const auto& v : values) {
    if (!text.empty()) text += ' ';
    text += std::string(Metric::key(v.metric));
  }
  return text;
}

std::optional<double> valueOf(const std::vector<MetricValue>& values, MetricID metric) {
  for (const auto& v : values) {
    if (v.metric == metric) return v.value;
  }
  return std::nullopt;
}

struct Fixture {
  CPUSample cpu;
  MemorySample memory;
  DiskActivitySample disk;
  VolumeInfo root;
  NetworkSample network;
  PowerSample power{true, PowerSourceKind::battery, false, false, false};
  std::vector<GPUStatistics> gpu;

  Fixture() {
    cpu.total = CPULoad{0.25, 0.125, 0.625};
    cpu.loadAverage = {1.5, 1.0, 0.5};
    memory.used = 8;
    memory.app = 5;
    memory.wired = 2;
    memory.compressed = 1;
    memory.cached = 3;
    memory.free = 4;
    memory.swapUsed = 6;
    memory.pressure = MemoryPressureLevel::warning;
    memory.pageInRate = 10;
    memory.pageOutRate = 11;
    disk.readRate = 100;
    disk.writeRate = 200;
    root.mountPoint = QStringLiteral("/");
    root.isRoot = true;
    root.available = 123456789012ULL;
    network.downRate = 300;
    network.upRate = 400;
    power.charge = 80;
    power.voltage = 12.5;
    power.amperage = -1.2;
    power.temperature = 31;
    GPUStatistics a(QStringLiteral("a"));
    a.deviceUtilization = 12;
    GPUStatistics b(QStringLiteral("b"));
    b.deviceUtilization = 40;
    GPUStatistics c(QStringLiteral("c"));
    c.rendererUtilization = 90;
    gpu = {a, b, c};
  }

  Normalizer::Readings full() const {
    Normalizer::Readings r;
    r.cpu = &cpu;
    r.memory = &memory;
    r.disk = &disk;
    r.bootVolume = &root;
    r.network = &network;
    r.processCount = 321;
    r.power = &power;
    r.thermal = ThermalLevel::serious;
    r.gpu = gpu;
    r.selfCPU = 1.5;
    r.selfMemory = 50'000'000;
    return r;
  }
};

TEST(Normalizer, OrderAndOmissions) {
  Fixture f;
  const std::string all =
      "cpu.total cpu.user cpu.system cpu.load1 memory.used memory.app memory.wired memory.compressed "
      "memory.cached memory.free memory.pressure memory.swap memory.pageins memory.pageouts disk.read "
      "disk.write "
      "disk.free network.down network.up battery.charge battery.power battery.temperature thermal.state "
      "gpu.utilization process.count self.cpu self.memory";
  struct Case {
    const char* name;
    void (*change)(Normalizer::Readings&, Fixture&);
    const char* missing;  // keys left out, in order
  };
  const Case cases[] = {
      {"everything present", [](Normalizer::Readings&, Fixture&) {}, ""},
      {"first tick: no rates, no CPU sample, no own CPU",
       [](Normalizer::Readings& r, Fixture& f) {
         r.cpu = nullptr;
         f.memory.pageInRate.reset();
         f.memory.pageOutRate.reset();
         f.disk.readRate.reset();
         f.disk.writeRate.reset();
         f.network.downRate.reset();
         f.network.upRate.reset();
         r.selfCPU.reset();
         r.processCount.reset();
       },
       "cpu.total cpu.user cpu.system cpu.load1 memory.pageins memory.pageouts disk.read disk.write "
       "network.down "
       "network.up process.count self.cpu"},
      {"no load averages", [](Normalizer::Readings&, Fixture& f) { f.cpu.loadAverage.clear(); }, "cpu.load1"},
      {"no compression and no pressure information",
       [](Normalizer::Readings&, Fixture& f) {
         f.memory.compressed.reset();
         f.memory.pressure.reset();
       },
       "memory.compressed memory.pressure"},
      {"no battery: figures present but not emitted",
       [](Normalizer::Readings&, Fixture& f) { f.power.hasBattery = false; },
       "battery.charge battery.power battery.temperature"},
      {"battery without voltage", [](Normalizer::Readings&, Fixture& f) { f.power.voltage.reset(); },
       "battery.power"},
      {"no power reading at all", [](Normalizer::Readings& r, Fixture&) { r.power = nullptr; },
       "battery.charge battery.power battery.temperature"},
      {"no thermal zones", [](Normalizer::Readings& r, Fixture&) { r.thermal.reset(); }, "thermal.state"},
      {"own memory unreadable", [](Normalizer::Readings& r, Fixture&) { r.selfMemory.reset(); },
       "self.memory"},
      {"no GPU utilisation",
       [](Normalizer::Readings&, Fixture& f) {
         for (auto& g : f.gpu) g.deviceUtilization.reset();
       },
       "gpu.utilization"},
      {"no root volume", [](Normalizer::Readings& r, Fixture&) { r.bootVolume = nullptr; }, "disk.free"},
      {"nothing at all", [](Normalizer::Readings& r, Fixture&) { r = Normalizer::Readings{}; }, nullptr},
  };
  for (const auto& c : cases) {
    Fixture fixture;
    Normalizer::Readings readings = fixture.full();
    c.change(readings, fixture);
    const auto values = Normalizer::values(readings);
    std::string expected;
    if (c.missing) {
      std::string missing = std::string(" ") + c.missing + " ";
      std::string rest = all + " ";
      std::size_t pos = 0;
      while (pos < rest.size()) {
        const std::size_t space = rest.find(' ', pos);
        const std::string key = rest.substr(pos, space - pos);
        if (missing.find(" " + key + " ") == std::string::npos)
          expected += (expected.empty() ? "" : " ") + key;
        pos = space + 1;
      }
    }
    EXPECT_EQ(keys(values), expected) << c.name;
  }
}

TEST(Normalizer, Values) {
  Fixture f;
  const auto values = Normalizer::values(f.full());
  EXPECT_EQ(valueOf(values, MetricID::cpuTotal), 37.5);
  EXPECT_EQ(valueOf(values, MetricID::cpuUser), 25);
  EXPECT_EQ(valueOf(values, MetricID::cpuSystem), 12.5);
  EXPECT_EQ(valueOf(values, MetricID::loadAverage1), 1.5);
  EXPECT_EQ(valueOf(values, MetricID::memPressure), 1);
  EXPECT_EQ(valueOf(values, MetricID::diskFree), 123456789012.0);
  EXPECT_DOUBLE_EQ(*valueOf(values, MetricID::batteryPower), -15.0);
  EXPECT_EQ(valueOf(values, MetricID::thermalState), 2);
  EXPECT_EQ(valueOf(values, MetricID::gpuUtilization), 40);
  EXPECT_EQ(valueOf(values, MetricID::processCount), 321);
  EXPECT_EQ(valueOf(values, MetricID::selfMemory), 5e7);

  // The reusing form clears what the buffer held.
  std::vector<MetricValue> buffer(40, MetricValue{MetricID::netUp, 1});
  Normalizer::values(Normalizer::Readings{}, buffer);
  EXPECT_TRUE(buffer.empty());
}

TEST(Normalizer, BootVolumeIsTheFirstRoot) {
  std::vector<VolumeInfo> volumes(3);
  volumes[0].mountPoint = QStringLiteral("/home");
  volumes[1].mountPoint = QStringLiteral("/");
  volumes[1].isRoot = true;
  volumes[2].mountPoint = QStringLiteral("/also-root");
  volumes[2].isRoot = true;
  EXPECT_EQ(Normalizer::bootVolume(volumes), &volumes[1]);
  volumes[1].isRoot = volumes[2].isRoot = false;
  EXPECT_EQ(Normalizer::bootVolume(volumes), nullptr);
}

}  // namespace
