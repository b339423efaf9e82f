#include "settings/DensityChoice.h"

#include <array>

namespace kivo {

namespace {
constexpr std::array kCases{DensityChoice::compact, DensityChoice::regular, DensityChoice::comfortable};
constexpr std::array<const char16_t*, kCases.size()> kNames{u"compact", u"regular", u"comfortable"};
}  // namespace

namespace DensityChoices {
std::span<const DensityChoice> allCases() {
  return kCases;
}
QString rawValue(DensityChoice value) {
  return QString::fromUtf16(kNames[static_cast<std::size_t>(value)]);
}
std::optional<DensityChoice> fromRawValue(QStringView raw) {
  for (std::size_t i = 0; i < kCases.size(); ++i) {
    if (raw == QStringView(kNames[i])) return kCases[i];
  }
  return std::nullopt;
}
QJsonValue toJson(DensityChoice value) {
  return rawValue(value);
}
std::optional<DensityChoice> fromJson(const QJsonValue& value) {
  if (!value.isString()) return std::nullopt;
  return fromRawValue(value.toString());
}
}  // namespace DensityChoices

}  // namespace kivo
