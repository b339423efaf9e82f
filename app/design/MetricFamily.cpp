#include "design/MetricFamily.h"

namespace kivo::MetricFamilies {
namespace {

struct Entry {
  MetricFamily family;
  const char* raw;
  DynamicColor standard;
  DynamicColor safe;
  const char* symbol;
};

constexpr std::array<Entry, 8> kEntries{{
    {MetricFamily::cpu, "cpu", {0x2563EB, 0x60A5FA}, {0x0072B2, 0x56B4E9}, "cpu"},
    {MetricFamily::gpu, "gpu", {0x7C3AED, 0xA78BFA}, {0xAA4499, 0xCC79A7}, "square.stack.3d.up"},
    {MetricFamily::memory, "memory", {0x059669, 0x34D399}, {0x007A5A, 0x009E73}, "memorychip"},
    {MetricFamily::disk, "disk", {0xC2620A, 0xFBBF24}, {0xB07800, 0xE69F00}, "internaldrive"},
    {MetricFamily::network, "network", {0x0891B2, 0x22D3EE}, {0x2A7FB8, 0x88CCEE}, "network"},
    {MetricFamily::power, "power", {0x4D7C0F, 0xA3E635}, {0x8A7A00, 0xF0E442}, "bolt.fill"},
    {MetricFamily::thermal, "thermal", {0xDB2777, 0xF472B6}, {0xD55E00, 0xFF8A3D}, "thermometer.medium"},
    {MetricFamily::system, "system", {0x596078, 0xA3AAC2}, {0x596078, 0xA3AAC2}, "desktopcomputer"},
}};

const Entry& entry(MetricFamily family) {
  const auto index = static_cast<std::size_t>(family);
  return index < kEntries.size() ? kEntries[index] : kEntries.back();
}

}  // namespace

const std::array<MetricFamily, 8>& all() {
  static constexpr std::array<MetricFamily, 8> kAll{
      MetricFamily::cpu,     MetricFamily::gpu,   MetricFamily::memory,  MetricFamily::disk,
      MetricFamily::network, MetricFamily::power, MetricFamily::thermal, MetricFamily::system};
  return kAll;
}

QString rawValue(MetricFamily family) {
  return QString::fromLatin1(entry(family).raw);
}

std::optional<MetricFamily> fromRawValue(const QString& raw) {
  for (const Entry& e : kEntries) {
    if (raw == QLatin1String(e.raw)) return e.family;
  }
  return std::nullopt;
}

QJsonValue toJson(MetricFamily family) {
  return rawValue(family);
}

std::optional<MetricFamily> fromJson(const QJsonValue& value) {
  if (!value.isString()) return std::nullopt;
  return fromRawValue(value.toString());
}

DynamicColor standard(MetricFamily family) {
  return entry(family).standard;
}

DynamicColor colorBlindSafe(MetricFamily family) {
  return entry(family).safe;
}

DynamicColor color(MetricFamily family, bool safe) {
  return safe ? colorBlindSafe(family) : standard(family);
}

QString symbol(MetricFamily family) {
  return QString::fromLatin1(entry(family).symbol);
}

MetricFamily of(MetricID metric) {
  switch (metric) {
    case MetricID::cpuTotal:
    case MetricID::cpuUser:
    case MetricID::cpuSystem:
    case MetricID::loadAverage1:
      return MetricFamily::cpu;
    case MetricID::gpuUtilization:
      return MetricFamily::gpu;
    case MetricID::memUsed:
    case MetricID::memApp:
    case MetricID::memWired:
    case MetricID::memCompressed:
    case MetricID::memCached:
    case MetricID::memFree:
    case MetricID::memPressure:
    case MetricID::swapUsed:
    case MetricID::pageIns:
    case MetricID::pageOuts:
      return MetricFamily::memory;
    case MetricID::diskRead:
    case MetricID::diskWrite:
    case MetricID::diskFree:
      return MetricFamily::disk;
    case MetricID::netDown:
    case MetricID::netUp:
      return MetricFamily::network;
    case MetricID::batteryCharge:
    case MetricID::batteryPower:
      return MetricFamily::power;
    case MetricID::batteryTemperature:
    case MetricID::thermalState:
      return MetricFamily::thermal;
    case MetricID::processCount:
    case MetricID::selfCPU:
    case MetricID::selfMemory:
      return MetricFamily::system;
  }
  return MetricFamily::system;
}

}  // namespace kivo::MetricFamilies
