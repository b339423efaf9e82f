#include "settings/AppearanceChoice.h"

#include "metrics/RawValueTable.h"

namespace kivo {

namespace {
constexpr auto kTable = rawValueTable<AppearanceChoice>({{AppearanceChoice::system, "system"},
                                                         {AppearanceChoice::light, "light"},
                                                         {AppearanceChoice::dark, "dark"}});
}  // namespace

namespace AppearanceChoices {
std::span<const AppearanceChoice> allCases() {
  return kTable.allCases();
}
QString rawValue(AppearanceChoice value) {
  return kTable.rawString(value);
}
std::optional<AppearanceChoice> fromRawValue(QStringView raw) {
  return kTable.fromRawValue(raw);
}
QJsonValue toJson(AppearanceChoice value) {
  return kTable.toJson(value);
}
std::optional<AppearanceChoice> fromJson(const QJsonValue& value) {
  return kTable.fromJson(value);
}
}  // namespace AppearanceChoices

}  // namespace kivo
