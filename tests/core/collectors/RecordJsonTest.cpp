#include "collectors/CPUSample.h"
#include "collectors/MemorySample.h"
#include "collectors/ProcessSample.h"
#include "collectors/SystemInfo.h"

#include "TestSupport.h"

#include <QJsonArray>
#include <QTimeZone>

#include <gtest/gtest.h>

using namespace kivo;

namespace {

CPUSample cpuSample() {
  CPUSample sample;
  sample.total = {0.25, 0.125, 0.625};
  sample.cores = {{0.5, 0.25, 0.25}, {0, 0, 1}};
  sample.coreIDs = {0, 2};
  sample.loadAverage = {1.5, 1.25, 0.75};
  sample.interval = 2.5;
  return sample;
}

MemorySample memorySample() {
  MemorySample sample;
  sample.physical = 8ull << 30;
  sample.used = 3ull << 30;
  sample.app = 2ull << 30;
  sample.wired = 1ull << 29;
  sample.compressed = 1ull << 29;
  sample.cached = 1ull << 30;
  sample.free = 4ull << 30;
  sample.swapTotal = 2ull << 30;
  sample.swapUsed = 1234567;
  sample.pressure = MemoryPressureLevel::warning;
  sample.pageInRate = 100;
  sample.swapOutRate = 0;
  sample.pageSize = 4096;
  return sample;
}

ProcessRecord processRecord() {
  ProcessRecord record;
  record.pid = 4242;
  record.parentPID = 1;
  record.name = QStringLiteral("a) (b\nc");
  record.uid = 1000;
  record.user = QStringLiteral("ada");
  record.startTime = QDateTime::fromMSecsSinceEpoch(1700000000250, QTimeZone::utc());
  record.path = QStringLiteral("/usr/bin/ab");
  record.hasStatistics = true;
  record.cpuPercent = 37.5;
  record.cpuTime = 12.34;
  record.memory = 52428800;
  record.threads = 7;
  record.diskRead = 4096;
  return record;
}

}  // namespace

TEST(RecordJson, RoundTripsEveryRecord) {
  const CPUSample cpu = cpuSample();
  EXPECT_EQ(CPUSample::fromJson(cpu.toJson()), cpu);

  const MemorySample memory = memorySample();
  EXPECT_EQ(MemorySample::fromJson(memory.toJson()), memory);

  ProcessSample processes;
  processes.processes = {processRecord(), ProcessRecord{}};
  processes.total = 2;
  processes.restricted = 1;
  processes.interval = 4;
  EXPECT_EQ(ProcessSample::fromJson(processes.toJson()), processes);

  SystemInfo info;
  info.model = QStringLiteral("Test Laptop");
  info.physicalMemory = 16ull << 30;
  info.topology.groups = {{QStringLiteral("Performance"), 4, 8}};
  info.bootTime = QDateTime::fromMSecsSinceEpoch(1700000000250, QTimeZone::utc());
  info.hostName = QStringLiteral("desk");
  EXPECT_EQ(SystemInfo::fromJson(info.toJson()), info);
  info.model.reset();
  EXPECT_FALSE(info.toJson().contains(QStringLiteral("model")));
  EXPECT_EQ(SystemInfo::fromJson(info.toJson()), info);
}

TEST(RecordJson, AbsentFiguresAreLeftOutNotWrittenAsZero) {
  MemorySample memory = memorySample();
  memory.compressed.reset();
  memory.pressure.reset();
  const QJsonObject object = memory.toJson();
  EXPECT_FALSE(object.contains(QStringLiteral("compressed")));
  EXPECT_FALSE(object.contains(QStringLiteral("pressure")));
  EXPECT_FALSE(object.contains(QStringLiteral("pageOutRate")));
  EXPECT_EQ(object.value(QStringLiteral("swapOutRate")).toDouble(-1), 0.0) << "a measured 0 stays";
  EXPECT_EQ(MemorySample::fromJson(object), memory);

  const QJsonObject process = ProcessRecord{}.toJson();
  for (const char* key : {"startTime", "path", "cpuPercent", "memory", "diskRead", "diskWritten", "power"}) {
    EXPECT_FALSE(process.contains(QLatin1String(key))) << key;
  }
}

TEST(RecordJson, PressureIsStoredAsItsNumber) {
  EXPECT_EQ(memorySample().toJson().value(QStringLiteral("pressure")).toInt(-1), 1);
  EXPECT_EQ(MemoryPressure::fromJson(QJsonValue(2)), MemoryPressureLevel::critical);
  EXPECT_FALSE(MemoryPressure::fromJson(QJsonValue(3)));
  EXPECT_FALSE(MemoryPressure::fromJson(QJsonValue(1.5)));
  EXPECT_FALSE(MemoryPressure::fromJson(QJsonValue(QStringLiteral("warning"))));
  EXPECT_LT(MemoryPressureLevel::normal, MemoryPressureLevel::warning);
  EXPECT_LT(MemoryPressureLevel::warning, MemoryPressureLevel::critical);
}

TEST(RecordJson, MissingOrMistypedFieldsReject) {
  struct Case {
    const char* name;
    QJsonObject object;
    bool (*decodes)(const QJsonObject&);
  };
  const auto without = [](QJsonObject object, const char* key) {
    object.remove(QLatin1String(key));
    return object;
  };
  const auto with = [](QJsonObject object, const char* key, QJsonValue value) {
    object.insert(QLatin1String(key), value);
    return object;
  };
  const auto cpu = +[](const QJsonObject& o) { return CPUSample::fromJson(o).has_value(); };
  const auto memory = +[](const QJsonObject& o) { return MemorySample::fromJson(o).has_value(); };
  const auto process = +[](const QJsonObject& o) { return ProcessRecord::fromJson(o).has_value(); };
  const auto system = +[](const QJsonObject& o) { return SystemInfo::fromJson(o).has_value(); };
  const QJsonObject cpuJson = cpuSample().toJson();
  const QJsonObject memoryJson = memorySample().toJson();
  const QJsonObject processJson = processRecord().toJson();
  const QJsonObject systemJson = SystemInfo{}.toJson();
  const Case cases[] = {
      {"cpu without interval", without(cpuJson, "interval"), cpu},
      {"cpu core ids not matching cores", with(cpuJson, "coreIDs", QJsonArray{0}), cpu},
      {"cpu load as text", with(cpuJson, "total", QJsonObject{{"user", "0.1"}, {"system", 0}, {"idle", 0}}),
       cpu},
      {"memory without used", without(memoryJson, "used"), memory},
      {"memory with negative free", with(memoryJson, "free", -1), memory},
      {"memory with fractional bytes", with(memoryJson, "app", 1.5), memory},
      {"memory rate as text", with(memoryJson, "pageInRate", QStringLiteral("fast")), memory},
      {"process without name", without(processJson, "name"), process},
      {"process with pid beyond 32 bits", with(processJson, "pid", 4294967296.0), process},
      {"process with a bad start date", with(processJson, "startTime", QStringLiteral("yesterday")), process},
      {"system without boot time", without(systemJson, "bootTime"), system},
      {"system without topology", without(systemJson, "topology"), system},
      {"system model as a number", with(systemJson, "model", 3), system},
  };
  for (const auto& c : cases) EXPECT_FALSE(c.decodes(c.object)) << c.name;
}

TEST(RecordJson, DatesAreUtcIsoWithMilliseconds) {
  const QJsonObject object = processRecord().toJson();
  EXPECT_EQ(object.value(QStringLiteral("startTime")).toString(), QStringLiteral("2023-11-14T22:13:20.250Z"));
}
