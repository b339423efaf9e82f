#pragma once

#include "metrics/RawValueTable.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <optional>
#include <span>

namespace kivo {

// What a dashboard widget shows.
enum class WidgetKind {
  cpu,
  cores,
  gpu,
  memory,
  disk,
  diskActivity,
  network,
  battery,
  thermal,
  topCPU,
  topMemory,
  system,
  alerts,
  overhead,
};

inline constexpr auto kWidgetKindRawValues =
    rawValueTable<WidgetKind>({{WidgetKind::cpu, "cpu"},
                               {WidgetKind::cores, "cores"},
                               {WidgetKind::gpu, "gpu"},
                               {WidgetKind::memory, "memory"},
                               {WidgetKind::disk, "disk"},
                               {WidgetKind::diskActivity, "diskActivity"},
                               {WidgetKind::network, "network"},
                               {WidgetKind::battery, "battery"},
                               {WidgetKind::thermal, "thermal"},
                               {WidgetKind::topCPU, "topCPU"},
                               {WidgetKind::topMemory, "topMemory"},
                               {WidgetKind::system, "system"},
                               {WidgetKind::alerts, "alerts"},
                               {WidgetKind::overhead, "overhead"}});

struct WidgetKinds : RawValueLookups<kWidgetKindRawValues> {};

// How much room a widget takes; the raw value is stored (4, not 3, for large).
enum class WidgetSize : int { small = 1, medium = 2, large = 4 };

namespace WidgetSizes {
std::span<const WidgetSize> allCases();
constexpr int rawValue(WidgetSize size) {
  return static_cast<int>(size);
}
std::optional<WidgetSize> fromRawValue(double raw);
QJsonValue toJson(WidgetSize size);
// Only the numbers 1, 2 and 4 decode.
std::optional<WidgetSize> fromJson(const QJsonValue& value);
}  // namespace WidgetSizes

// One widget placed in a preset.
struct WidgetConfig {
  QUuid id;
  WidgetKind kind = WidgetKind::cpu;
  WidgetSize size = WidgetSize::medium;

  // A new placement gets a new random id.
  WidgetConfig(WidgetKind kind, WidgetSize size) : id(QUuid::createUuid()), kind(kind), size(size) {}
  WidgetConfig(QUuid id, WidgetKind kind, WidgetSize size) : id(id), kind(kind), size(size) {}

  bool operator==(const WidgetConfig&) const = default;

  // {"id": text, "kind": raw value, "size": 1 | 2 | 4}
  QJsonObject toJson() const;
  // Every key required with its exact type and a known value.
  static std::optional<WidgetConfig> fromJson(const QJsonValue& value);
};

}  // namespace kivo
