#pragma once

#include "metrics/RawValueTable.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

namespace kivo {

// The raw value is the metric's key in the history database: it never changes.
enum class MetricID : int {
  cpuTotal = 1,
  cpuUser = 2,
  cpuSystem = 3,
  loadAverage1 = 4,
  memUsed = 10,
  memApp = 11,
  memWired = 12,
  memCompressed = 13,
  memCached = 14,
  memFree = 15,
  memPressure = 16,
  swapUsed = 17,
  pageIns = 18,
  pageOuts = 19,
  diskRead = 30,
  diskWrite = 31,
  diskFree = 32,
  netDown = 40,
  netUp = 41,
  batteryCharge = 50,
  batteryPower = 51,
  batteryTemperature = 52,
  thermalState = 60,
  gpuUtilization = 70,
  processCount = 80,
  selfCPU = 90,
  selfMemory = 91,
};

inline constexpr int kMetricCount = 27;

namespace Metric {
// Declaration order: the order of the catalogue and of the normaliser's output.
std::span<const MetricID> allCases();
constexpr int rawValue(MetricID id) {
  return static_cast<int>(id);
}
std::optional<MetricID> fromRawValue(std::int64_t raw);
// Dotted key used in exported files ("cpu.total").
std::string_view key(MetricID id);
QString keyString(MetricID id);
// Exact, case-sensitive match of a whole key.
std::optional<MetricID> fromKey(std::string_view key);
// Position in allCases(), 0..26; handy for fixed arrays indexed by metric.
int index(MetricID id);

QJsonValue toJson(MetricID id);
// Only an integral JSON number that is a metric's raw value decodes.
std::optional<MetricID> fromJson(const QJsonValue& value);
}  // namespace Metric

enum class MetricUnit {
  percent,
  bytes,
  bytesPerSecond,
  count,
  perSecond,
  seconds,
  milliseconds,
  watts,
  celsius,
  level,
  load,
};

inline constexpr auto kMetricUnitRawValues =
    rawValueTable<MetricUnit>({{MetricUnit::percent, "percent"},
                               {MetricUnit::bytes, "bytes"},
                               {MetricUnit::bytesPerSecond, "bytesPerSecond"},
                               {MetricUnit::count, "count"},
                               {MetricUnit::perSecond, "perSecond"},
                               {MetricUnit::seconds, "seconds"},
                               {MetricUnit::milliseconds, "milliseconds"},
                               {MetricUnit::watts, "watts"},
                               {MetricUnit::celsius, "celsius"},
                               {MetricUnit::level, "level"},
                               {MetricUnit::load, "load"}});

struct Unit : RawValueLookups<kMetricUnitRawValues> {};

enum class MetricQuality { measured, derived, estimated, bestEffort, unavailable };

inline constexpr auto kMetricQualityRawValues =
    rawValueTable<MetricQuality>({{MetricQuality::measured, "measured"},
                                  {MetricQuality::derived, "derived"},
                                  {MetricQuality::estimated, "estimated"},
                                  {MetricQuality::bestEffort, "bestEffort"},
                                  {MetricQuality::unavailable, "unavailable"}});

struct Quality : RawValueLookups<kMetricQualityRawValues> {};

struct MetricDescriptor {
  MetricID id;
  QString name;
  MetricUnit unit;
  MetricQuality quality;
  QString source;  // the Linux file or call read
  QString method;  // how the figure is computed from it

  bool operator==(const MetricDescriptor&) const = default;

  QJsonObject toJson() const;
  // Strict: every key present with its exact type; unknown keys are ignored.
  static std::optional<MetricDescriptor> fromJson(const QJsonObject& object);
};

namespace MetricCatalog {
std::span<const MetricDescriptor> all();
const MetricDescriptor& descriptor(MetricID id);
}  // namespace MetricCatalog

struct MetricValue {
  MetricID metric;
  double value;

  bool operator==(const MetricValue&) const = default;
};

}  // namespace kivo

template <>
struct std::hash<kivo::MetricID> {
  std::size_t operator()(kivo::MetricID id) const noexcept { return std::hash<int>()(static_cast<int>(id)); }
};
