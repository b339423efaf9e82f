#include "settings/WidgetConfig.h"

#include "metrics/RawValueTable.h"
#include "settings/UuidText.h"

#include <array>

namespace kivo {

namespace {

constexpr auto kKinds = rawValueTable<WidgetKind>({{WidgetKind::cpu, "cpu"},
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

constexpr std::array kSizes{WidgetSize::small, WidgetSize::medium, WidgetSize::large};

}  // namespace

namespace WidgetKinds {
std::span<const WidgetKind> allCases() {
  return kKinds.allCases();
}
QString rawValue(WidgetKind kind) {
  return kKinds.rawString(kind);
}
std::optional<WidgetKind> fromRawValue(QStringView raw) {
  return kKinds.fromRawValue(raw);
}
QJsonValue toJson(WidgetKind kind) {
  return kKinds.toJson(kind);
}
std::optional<WidgetKind> fromJson(const QJsonValue& value) {
  return kKinds.fromJson(value);
}
}  // namespace WidgetKinds

namespace WidgetSizes {
std::span<const WidgetSize> allCases() {
  return kSizes;
}
std::optional<WidgetSize> fromRawValue(double raw) {
  for (const WidgetSize size : kSizes) {
    if (raw == rawValue(size)) return size;
  }
  return std::nullopt;
}
QJsonValue toJson(WidgetSize size) {
  return rawValue(size);
}
std::optional<WidgetSize> fromJson(const QJsonValue& value) {
  if (!value.isDouble()) return std::nullopt;
  return fromRawValue(value.toDouble());
}
}  // namespace WidgetSizes

QJsonObject WidgetConfig::toJson() const {
  return QJsonObject{{QStringLiteral("id"), UuidText::format(id)},
                     {QStringLiteral("kind"), WidgetKinds::toJson(kind)},
                     {QStringLiteral("size"), WidgetSizes::toJson(size)}};
}

std::optional<WidgetConfig> WidgetConfig::fromJson(const QJsonValue& value) {
  if (!value.isObject()) return std::nullopt;
  const QJsonObject object = value.toObject();
  const QJsonValue idValue = object.value(QStringLiteral("id"));
  const auto id = idValue.isString() ? UuidText::parse(idValue.toString()) : std::nullopt;
  const auto kind = WidgetKinds::fromJson(object.value(QStringLiteral("kind")));
  const auto size = WidgetSizes::fromJson(object.value(QStringLiteral("size")));
  if (!id || !kind || !size) return std::nullopt;
  return WidgetConfig(*id, *kind, *size);
}

}  // namespace kivo
