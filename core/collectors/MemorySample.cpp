#include "collectors/MemorySample.h"

#include "metrics/JsonFields.h"

namespace kivo {

namespace MemoryPressure {
QJsonValue toJson(MemoryPressureLevel level) {
  return QJsonValue(static_cast<int>(level));
}

std::optional<MemoryPressureLevel> fromRawValue(std::int64_t raw) {
  if (raw < 0 || raw > 2) return std::nullopt;
  return static_cast<MemoryPressureLevel>(raw);
}

std::optional<MemoryPressureLevel> fromJson(const QJsonValue& value) {
  const auto raw = JsonFields::as<std::int64_t>(value);
  if (!raw) return std::nullopt;
  return fromRawValue(*raw);
}
}  // namespace MemoryPressure

QJsonObject MemorySample::toJson() const {
  using JsonFields::put;
  QJsonObject object;
  const std::pair<const char*, std::uint64_t> required[] = {
      {"physical", physical},   {"used", used},         {"app", app},
      {"wired", wired},         {"cached", cached},     {"free", free},
      {"swapTotal", swapTotal}, {"swapUsed", swapUsed}, {"pageSize", pageSize}};
  for (const auto& [key, value] : required) put(object, key, std::optional<std::uint64_t>(value));
  put(object, "compressed", compressed);
  if (pressure) object.insert(QLatin1String("pressure"), MemoryPressure::toJson(*pressure));
  put(object, "pageInRate", pageInRate);
  put(object, "pageOutRate", pageOutRate);
  put(object, "swapInRate", swapInRate);
  put(object, "swapOutRate", swapOutRate);
  return object;
}

std::optional<MemorySample> MemorySample::fromJson(const QJsonObject& object) {
  namespace J = JsonFields;
  MemorySample sample;
  const std::pair<const char*, std::uint64_t*> required[] = {
      {"physical", &sample.physical},   {"used", &sample.used},         {"app", &sample.app},
      {"wired", &sample.wired},         {"cached", &sample.cached},     {"free", &sample.free},
      {"swapTotal", &sample.swapTotal}, {"swapUsed", &sample.swapUsed}, {"pageSize", &sample.pageSize}};
  for (const auto& [key, field] : required) {
    const auto value = J::required<std::uint64_t>(object, key);
    if (!value) return std::nullopt;
    *field = *value;
  }
  const auto compressed = J::optional<std::uint64_t>(object, "compressed");
  const auto pageIn = J::optional<double>(object, "pageInRate");
  const auto pageOut = J::optional<double>(object, "pageOutRate");
  const auto swapIn = J::optional<double>(object, "swapInRate");
  const auto swapOut = J::optional<double>(object, "swapOutRate");
  if (!compressed.ok || !pageIn.ok || !pageOut.ok || !swapIn.ok || !swapOut.ok) return std::nullopt;
  const QJsonValue pressure = object.value(QLatin1String("pressure"));
  if (!pressure.isUndefined() && !pressure.isNull()) {
    sample.pressure = MemoryPressure::fromJson(pressure);
    if (!sample.pressure) return std::nullopt;
  }
  sample.compressed = compressed.value;
  sample.pageInRate = pageIn.value;
  sample.pageOutRate = pageOut.value;
  sample.swapInRate = swapIn.value;
  sample.swapOutRate = swapOut.value;
  return sample;
}

}  // namespace kivo
