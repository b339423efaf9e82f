#include "metrics/Metric.h"

#include "metrics/JsonFields.h"

#include <QJsonDocument>

#include <cmath>

namespace kivo {

namespace {

struct MetricRow {
  MetricID id;
  std::string_view key;
};

constexpr std::array<MetricRow, kMetricCount> kMetrics{{
    {MetricID::cpuTotal, "cpu.total"},
    {MetricID::cpuUser, "cpu.user"},
    {MetricID::cpuSystem, "cpu.system"},
    {MetricID::loadAverage1, "cpu.load1"},
    {MetricID::memUsed, "memory.used"},
    {MetricID::memApp, "memory.app"},
    {MetricID::memWired, "memory.wired"},
    {MetricID::memCompressed, "memory.compressed"},
    {MetricID::memCached, "memory.cached"},
    {MetricID::memFree, "memory.free"},
    {MetricID::memPressure, "memory.pressure"},
    {MetricID::swapUsed, "memory.swap"},
    {MetricID::pageIns, "memory.pageins"},
    {MetricID::pageOuts, "memory.pageouts"},
    {MetricID::diskRead, "disk.read"},
    {MetricID::diskWrite, "disk.write"},
    {MetricID::diskFree, "disk.free"},
    {MetricID::netDown, "network.down"},
    {MetricID::netUp, "network.up"},
    {MetricID::batteryCharge, "battery.charge"},
    {MetricID::batteryPower, "battery.power"},
    {MetricID::batteryTemperature, "battery.temperature"},
    {MetricID::thermalState, "thermal.state"},
    {MetricID::gpuUtilization, "gpu.utilization"},
    {MetricID::processCount, "process.count"},
    {MetricID::selfCPU, "self.cpu"},
    {MetricID::selfMemory, "self.memory"},
}};

constexpr std::array<MetricID, kMetricCount> kAllCases = [] {
  std::array<MetricID, kMetricCount> ids{};
  for (std::size_t i = 0; i < kMetrics.size(); ++i) ids[i] = kMetrics[i].id;
  return ids;
}();

// Raw values run 1..91; a small table maps them back to positions.
constexpr int kMaxRaw = 91;
constexpr std::array<int, kMaxRaw + 1> kIndexByRaw = [] {
  std::array<int, kMaxRaw + 1> table{};
  for (auto& slot : table) slot = -1;
  for (std::size_t i = 0; i < kMetrics.size(); ++i)
    table[static_cast<int>(kMetrics[i].id)] = static_cast<int>(i);
  return table;
}();

QString fromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<QString> stringField(const QJsonObject& object, const char* key) {
  const QJsonValue value = object.value(QLatin1String(key));
  if (!value.isString()) return std::nullopt;
  return value.toString();
}

const std::array<MetricDescriptor, kMetricCount>& catalogue() {
  using U = MetricUnit;
  using Q = MetricQuality;
  static const std::array<MetricDescriptor, kMetricCount> table = [] {
    const QString procStat = QStringLiteral("/proc/stat");
    const QString meminfo = QStringLiteral("/proc/meminfo");
    const QString diskstats = QStringLiteral("/proc/diskstats");
    const QString netStats = QStringLiteral("/proc/net/dev");
    return std::array<MetricDescriptor, kMetricCount>{{
        {MetricID::cpuTotal, QStringLiteral("CPU usage"), U::percent, Q::derived, procStat,
         QStringLiteral(
             "(user + nice + system + irq + softirq + steal ticks) / all ticks between two samples, "
             "summed over all logical cores. 100 % = every core busy.")},
        {MetricID::cpuUser, QStringLiteral("CPU user"), U::percent, Q::derived, procStat,
         QStringLiteral("(user + nice ticks) / all ticks between two samples.")},
        {MetricID::cpuSystem, QStringLiteral("CPU system"), U::percent, Q::derived, procStat,
         QStringLiteral("(system + irq + softirq + steal ticks) / all ticks between two samples.")},
        {MetricID::loadAverage1, QStringLiteral("Load average (1 min)"), U::load, Q::measured,
         QStringLiteral("/proc/loadavg"), QStringLiteral("Kernel 1-minute run-queue average, as reported.")},
        {MetricID::memUsed, QStringLiteral("Memory used"), U::bytes, Q::derived, meminfo,
         QStringLiteral("App memory + wired + compressed.")},
        {MetricID::memApp, QStringLiteral("App memory"), U::bytes, Q::derived, meminfo,
         QStringLiteral("AnonPages + Shmem (memory processes allocated, plus all shared memory and tmpfs "
                        "files, whether a process holds them or not).")},
        {MetricID::memWired, QStringLiteral("Wired memory"), U::bytes, Q::derived, meminfo,
         QStringLiteral("MemTotal − MemFree − app memory − cached files − compressed: all the memory the "
                        "kernel holds and cannot give back, never less than SUnreclaim + KernelStack + "
                        "PageTables.")},
        {MetricID::memCompressed, QStringLiteral("Compressed memory"), U::bytes, Q::measured,
         QStringLiteral("/proc/meminfo, /sys/block/zram*/mm_stat"),
         QStringLiteral("Zswap (physical memory occupied by the compressed swap cache) + mem_used_total of "
                        "every zram device; unavailable when the kernel has neither.")},
        {MetricID::memCached, QStringLiteral("Cached files"), U::bytes, Q::derived, meminfo,
         QStringLiteral("Buffers + Cached − Shmem + SReclaimable.")},
        {MetricID::memFree, QStringLiteral("Free memory"), U::bytes, Q::measured, meminfo,
         QStringLiteral("MemFree.")},
        {MetricID::memPressure, QStringLiteral("Memory pressure level"), U::level, Q::estimated,
         QStringLiteral("/proc/pressure/memory"),
         QStringLiteral("Pressure stall averages over 10 s: 2 = critical when “full” is at least 10 %, "
                        "1 = warning when “some” is at least 10 %, else 0 = normal.")},
        {MetricID::swapUsed, QStringLiteral("Swap used"), U::bytes, Q::measured, meminfo,
         QStringLiteral("SwapTotal − SwapFree.")},
        {MetricID::pageIns, QStringLiteral("Page-ins"), U::perSecond, Q::derived,
         QStringLiteral("/proc/vmstat"), QStringLiteral("Δ pgmajfault / Δ time.")},
        {MetricID::pageOuts, QStringLiteral("Page-outs"), U::perSecond, Q::derived,
         QStringLiteral("/proc/vmstat"), QStringLiteral("Δ pswpout / Δ time.")},
        {MetricID::diskRead, QStringLiteral("Disk read"), U::bytesPerSecond, Q::derived, diskstats,
         QStringLiteral("Δ sectors read × 512 bytes / Δ time, summed over physical block devices.")},
        {MetricID::diskWrite, QStringLiteral("Disk write"), U::bytesPerSecond, Q::derived, diskstats,
         QStringLiteral("Δ sectors written × 512 bytes / Δ time, summed over physical block devices.")},
        {MetricID::diskFree, QStringLiteral("Startup volume available"), U::bytes, Q::measured,
         QStringLiteral("statvfs(3) on /"),
         QStringLiteral("f_bavail × f_frsize for the root file system: the space an ordinary user can still "
                        "write.")},
        {MetricID::netDown, QStringLiteral("Network download"), U::bytesPerSecond, Q::derived, netStats,
         QStringLiteral("Δ rx_bytes / Δ time, summed over hardware interfaces (tunnels, bridges and loopback "
                        "excluded).")},
        {MetricID::netUp, QStringLiteral("Network upload"), U::bytesPerSecond, Q::derived, netStats,
         QStringLiteral("Δ tx_bytes / Δ time, summed over hardware interfaces (tunnels, bridges and loopback "
                        "excluded).")},
        {MetricID::batteryCharge, QStringLiteral("Battery charge"), U::percent, Q::measured,
         QStringLiteral("/sys/class/power_supply (capacity)"),
         QStringLiteral("capacity, or energy_now / energy_full (charge_now / charge_full), as published by "
                        "the battery driver.")},
        {MetricID::batteryPower, QStringLiteral("Battery power flow"), U::watts, Q::bestEffort,
         QStringLiteral("/sys/class/power_supply (voltage_now, current_now, power_now)"),
         QStringLiteral("Voltage × current, or power_now when the current is missing. Negative while "
                        "discharging. This is the battery flow, not the power drawn by the whole computer "
                        "on AC.")},
        {MetricID::batteryTemperature, QStringLiteral("Battery temperature"), U::celsius, Q::bestEffort,
         QStringLiteral("/sys/class/power_supply (temp)"), QStringLiteral("Value / 10.")},
        {MetricID::thermalState, QStringLiteral("Thermal state"), U::level, Q::estimated,
         QStringLiteral("/sys/class/thermal (thermal zones and their trip points)"),
         QStringLiteral("Zone temperatures against their passive, hot and critical trip points: 0 = nominal, "
                        "1 = fair, 2 = serious, 3 = critical.")},
        {MetricID::gpuUtilization, QStringLiteral("GPU utilization"), U::percent, Q::bestEffort,
         QStringLiteral("/sys/class/drm/card*/device/gpu_busy_percent, NVIDIA management library"),
         QStringLiteral(
             "Busy percentage as published by the graphics driver (amdgpu in sysfs, NVIDIA through "
             "its management library).")},
        {MetricID::processCount, QStringLiteral("Processes"), U::count, Q::measured, QStringLiteral("/proc"),
         QStringLiteral("Number of numeric process directories.")},
        {MetricID::selfCPU, QStringLiteral("KIVO Monitor CPU"), U::percent, Q::derived,
         QStringLiteral("clock_gettime(CLOCK_PROCESS_CPUTIME_ID)"),
         QStringLiteral("Δ (user + system time) / Δ time for this process. 100 % = one core.")},
        {MetricID::selfMemory, QStringLiteral("KIVO Monitor memory"), U::bytes, Q::measured,
         QStringLiteral("/proc/self/status"), QStringLiteral("VmRSS (resident memory) of this process.")},
    }};
  }();
  return table;
}

}  // namespace

namespace Metric {

std::span<const MetricID> allCases() {
  return kAllCases;
}

std::optional<MetricID> fromRawValue(std::int64_t raw) {
  if (raw < 0 || raw > kMaxRaw) return std::nullopt;
  const int i = kIndexByRaw[static_cast<std::size_t>(raw)];
  if (i < 0) return std::nullopt;
  return kMetrics[static_cast<std::size_t>(i)].id;
}

int index(MetricID id) {
  return kIndexByRaw[static_cast<std::size_t>(static_cast<int>(id))];
}

std::string_view key(MetricID id) {
  return kMetrics[static_cast<std::size_t>(index(id))].key;
}

QString keyString(MetricID id) {
  return fromView(key(id));
}

std::optional<MetricID> fromKey(std::string_view text) {
  for (const auto& row : kMetrics) {
    if (row.key == text) return row.id;
  }
  return std::nullopt;
}

QJsonValue toJson(MetricID id) {
  return QJsonValue(rawValue(id));
}

std::optional<MetricID> fromJson(const QJsonValue& value) {
  const auto number = JsonFields::as<std::int64_t>(value);
  if (!number || *number < 0 || *number > kMaxRaw) return std::nullopt;
  return fromRawValue(*number);
}

}  // namespace Metric

QJsonObject MetricDescriptor::toJson() const {
  QJsonObject object;
  object.insert(QStringLiteral("id"), Metric::toJson(id));
  object.insert(QStringLiteral("name"), name);
  object.insert(QStringLiteral("unit"), fromView(Unit::rawValue(unit)));
  object.insert(QStringLiteral("quality"), fromView(Quality::rawValue(quality)));
  object.insert(QStringLiteral("source"), source);
  object.insert(QStringLiteral("method"), method);
  return object;
}

std::optional<MetricDescriptor> MetricDescriptor::fromJson(const QJsonObject& object) {
  const auto id = Metric::fromJson(object.value(QStringLiteral("id")));
  const auto name = stringField(object, "name");
  const auto unitText = stringField(object, "unit");
  const auto qualityText = stringField(object, "quality");
  const auto source = stringField(object, "source");
  const auto method = stringField(object, "method");
  if (!id || !name || !unitText || !qualityText || !source || !method) return std::nullopt;
  const auto unit = Unit::fromRawValue(unitText->toStdString());
  const auto quality = Quality::fromRawValue(qualityText->toStdString());
  if (!unit || !quality) return std::nullopt;
  return MetricDescriptor{*id, *name, *unit, *quality, *source, *method};
}

namespace MetricCatalog {
std::span<const MetricDescriptor> all() {
  return catalogue();
}
const MetricDescriptor& descriptor(MetricID id) {
  return catalogue()[static_cast<std::size_t>(Metric::index(id))];
}
}  // namespace MetricCatalog

}  // namespace kivo
