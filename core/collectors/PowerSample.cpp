#include "collectors/PowerSample.h"

#include "collectors/RecordJson.h"

namespace kivo {

namespace {
constexpr std::array<PowerSourceKind, 4> kKinds{PowerSourceKind::ac, PowerSourceKind::battery,
                                                 PowerSourceKind::ups, PowerSourceKind::unknown};
constexpr std::array<std::string_view, 4> kKindNames{"ac", "battery", "ups", "unknown"};
}  // namespace

namespace PowerSource {
std::span<const PowerSourceKind> allCases() { return kKinds; }
std::string_view rawValue(PowerSourceKind kind) { return kKindNames[static_cast<std::size_t>(kind)]; }
std::optional<PowerSourceKind> fromRawValue(std::string_view raw) {
  for (std::size_t i = 0; i < kKindNames.size(); ++i) {
    if (kKindNames[i] == raw) return kKinds[i];
  }
  return std::nullopt;
}
}  // namespace PowerSource

std::optional<double> PowerSample::batteryWatts() const {
  if (!voltage || !amperage) return std::nullopt;
  return *voltage * *amperage;
}

std::optional<double> PowerSample::capacityRatio() const {
  if (!maxCapacity || !designCapacity || *designCapacity < 1) return std::nullopt;
  return static_cast<double>(*maxCapacity) / static_cast<double>(*designCapacity);
}

QJsonObject PowerSample::toJson() const {
  using RecordJson::put;
  QJsonObject o;
  o.insert(QLatin1String("hasBattery"), hasBattery);
  const auto kind = PowerSource::rawValue(source);
  o.insert(QLatin1String("source"), QString::fromLatin1(kind.data(), static_cast<qsizetype>(kind.size())));
  put(o, QLatin1String("charge"), charge);
  o.insert(QLatin1String("isCharging"), isCharging);
  o.insert(QLatin1String("isCharged"), isCharged);
  put(o, QLatin1String("minutesToEmpty"), minutesToEmpty);
  put(o, QLatin1String("minutesToFull"), minutesToFull);
  o.insert(QLatin1String("lowPowerMode"), lowPowerMode);
  put(o, QLatin1String("health"), health);
  put(o, QLatin1String("adapterWatts"), adapterWatts);
  put(o, QLatin1String("adapterName"), adapterName);
  put(o, QLatin1String("cycleCount"), cycleCount);
  put(o, QLatin1String("designCapacity"), designCapacity);
  put(o, QLatin1String("maxCapacity"), maxCapacity);
  put(o, QLatin1String("voltage"), voltage);
  put(o, QLatin1String("amperage"), amperage);
  put(o, QLatin1String("temperature"), temperature);
  put(o, QLatin1String("systemWatts"), systemWatts);
  return o;
}

std::optional<PowerSample> PowerSample::fromJson(const QJsonObject& o) {
  namespace J = RecordJson;
  const auto hasBattery = J::boolean(o, QLatin1String("hasBattery"));
  const auto sourceText = J::string(o, QLatin1String("source"));
  const auto isCharging = J::boolean(o, QLatin1String("isCharging"));
  const auto isCharged = J::boolean(o, QLatin1String("isCharged"));
  const auto lowPowerMode = J::boolean(o, QLatin1String("lowPowerMode"));
  if (!hasBattery.value || !sourceText.value || !isCharging.value || !isCharged.value || !lowPowerMode.value) {
    return std::nullopt;
  }
  const auto source = PowerSource::fromRawValue(sourceText.value->toStdString());
  if (!source) return std::nullopt;

  PowerSample s(*hasBattery.value, *source, *isCharging.value, *isCharged.value, *lowPowerMode.value);
  bool ok = true;
  auto take = [&ok](auto field, auto& into) {
    ok = ok && field.ok;
    into = field.value;
  };
  take(J::number(o, QLatin1String("charge")), s.charge);
  take(J::int64(o, QLatin1String("minutesToEmpty")), s.minutesToEmpty);
  take(J::int64(o, QLatin1String("minutesToFull")), s.minutesToFull);
  take(J::string(o, QLatin1String("health")), s.health);
  take(J::int64(o, QLatin1String("adapterWatts")), s.adapterWatts);
  take(J::string(o, QLatin1String("adapterName")), s.adapterName);
  take(J::int64(o, QLatin1String("cycleCount")), s.cycleCount);
  take(J::int64(o, QLatin1String("designCapacity")), s.designCapacity);
  take(J::int64(o, QLatin1String("maxCapacity")), s.maxCapacity);
  take(J::number(o, QLatin1String("voltage")), s.voltage);
  take(J::number(o, QLatin1String("amperage")), s.amperage);
  take(J::number(o, QLatin1String("temperature")), s.temperature);
  take(J::number(o, QLatin1String("systemWatts")), s.systemWatts);
  if (!ok) return std::nullopt;
  return s;
}

}  // namespace kivo
