#include "collectors/PowerSample.h"

#include "metrics/JsonFields.h"

namespace kivo {

std::optional<double> PowerSample::batteryWatts() const {
  if (!voltage || !amperage) return std::nullopt;
  return *voltage * *amperage;
}

std::optional<double> PowerSample::capacityRatio() const {
  if (!maxCapacity || !designCapacity || *designCapacity < 1) return std::nullopt;
  return static_cast<double>(*maxCapacity) / static_cast<double>(*designCapacity);
}

QJsonObject PowerSample::toJson() const {
  using JsonFields::put;
  QJsonObject o;
  o.insert(QLatin1String("hasBattery"), hasBattery);
  const auto kind = PowerSource::rawValue(source);
  o.insert(QLatin1String("source"), QString::fromLatin1(kind.data(), static_cast<qsizetype>(kind.size())));
  put(o, "charge", charge);
  o.insert(QLatin1String("isCharging"), isCharging);
  o.insert(QLatin1String("isCharged"), isCharged);
  put(o, "minutesToEmpty", minutesToEmpty);
  put(o, "minutesToFull", minutesToFull);
  put(o, "lowPowerMode", lowPowerMode);
  put(o, "health", health);
  put(o, "adapterWatts", adapterWatts);
  put(o, "adapterName", adapterName);
  put(o, "cycleCount", cycleCount);
  put(o, "designCapacity", designCapacity);
  put(o, "maxCapacity", maxCapacity);
  put(o, "voltage", voltage);
  put(o, "amperage", amperage);
  put(o, "temperature", temperature);
  put(o, "systemWatts", systemWatts);
  return o;
}

std::optional<PowerSample> PowerSample::fromJson(const QJsonObject& o) {
  namespace J = JsonFields;
  const auto hasBattery = J::optional<bool>(o, "hasBattery");
  const auto sourceText = J::optional<QString>(o, "source");
  const auto isCharging = J::optional<bool>(o, "isCharging");
  const auto isCharged = J::optional<bool>(o, "isCharged");
  const auto lowPowerMode = J::optional<bool>(o, "lowPowerMode");
  if (!hasBattery.value || !sourceText.value || !isCharging.value || !isCharged.value || !lowPowerMode.ok) {
    return std::nullopt;
  }
  const auto source = PowerSource::fromRawValue(sourceText.value->toStdString());
  if (!source) return std::nullopt;

  PowerSample s(*hasBattery.value, *source, *isCharging.value, *isCharged.value, lowPowerMode.value);
  bool ok = true;
  auto take = [&ok](auto field, auto& into) {
    ok = ok && field.ok;
    into = field.value;
  };
  take(J::optional<double>(o, "charge"), s.charge);
  take(J::optional<std::int64_t>(o, "minutesToEmpty"), s.minutesToEmpty);
  take(J::optional<std::int64_t>(o, "minutesToFull"), s.minutesToFull);
  take(J::optional<QString>(o, "health"), s.health);
  take(J::optional<std::int64_t>(o, "adapterWatts"), s.adapterWatts);
  take(J::optional<QString>(o, "adapterName"), s.adapterName);
  take(J::optional<std::int64_t>(o, "cycleCount"), s.cycleCount);
  take(J::optional<std::int64_t>(o, "designCapacity"), s.designCapacity);
  take(J::optional<std::int64_t>(o, "maxCapacity"), s.maxCapacity);
  take(J::optional<double>(o, "voltage"), s.voltage);
  take(J::optional<double>(o, "amperage"), s.amperage);
  take(J::optional<double>(o, "temperature"), s.temperature);
  take(J::optional<double>(o, "systemWatts"), s.systemWatts);
  if (!ok) return std::nullopt;
  return s;
}

}  // namespace kivo
