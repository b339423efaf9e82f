#include "settings/AppearanceChoice.h"

#include <array>

namespace kivo {

namespace {
constexpr std::array kCases{AppearanceChoice::system, AppearanceChoice::light, AppearanceChoice::dark};
constexpr std::array<const char16_t*, kCases.size()> kNames{u"system", u"light", u"dark"};
}  // namespace

namespace AppearanceChoices {
std::span<const AppearanceChoice> allCases() {
  return kCases;
}
QString rawValue(AppearanceChoice value) {
  return QString::fromUtf16(kNames[static_cast<std::size_t>(value)]);
}
std::optional<AppearanceChoice> fromRawValue(QStringView raw) {
  for (std::size_t i = 0; i < kCases.size(); ++i) {
    if (raw == QStringView(kNames[i])) return kCases[i];
  }
  return std::nullopt;
}
QJsonValue toJson(AppearanceChoice value) {
  return rawValue(value);
}
std::optional<AppearanceChoice> fromJson(const QJsonValue& value) {
  if (!value.isString()) return std::nullopt;
  return fromRawValue(value.toString());
}
}  // namespace AppearanceChoices

}  // namespace kivo
