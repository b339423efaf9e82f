#include "settings/DensityChoice.h"

#include "metrics/RawValueTable.h"

namespace kivo {

namespace {
constexpr auto kTable = rawValueTable<DensityChoice>({{DensityChoice::compact, "compact"},
                                                      {DensityChoice::regular, "regular"},
                                                      {DensityChoice::comfortable, "comfortable"}});
}  // namespace

namespace DensityChoices {
std::span<const DensityChoice> allCases() {
  return kTable.allCases();
}
QString rawValue(DensityChoice value) {
  return kTable.rawString(value);
}
std::optional<DensityChoice> fromRawValue(QStringView raw) {
  return kTable.fromRawValue(raw);
}
QJsonValue toJson(DensityChoice value) {
  return kTable.toJson(value);
}
std::optional<DensityChoice> fromJson(const QJsonValue& value) {
  return kTable.fromJson(value);
}
}  // namespace DensityChoices

}  // namespace kivo
