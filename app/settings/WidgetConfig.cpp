#include "settings/WidgetConfig.h"

#include "settings/UuidText.h"

#include <array>

namespace kivo {

namespace {

constexpr std::array kSizes{WidgetSize::small, WidgetSize::medium, WidgetSize::large};

}  // namespace

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
