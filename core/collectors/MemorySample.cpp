#include "collectors/MemorySample.h"

#include "collectors/RecordJson.h"

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
  if (!value.isDouble()) return std::nullopt;
  return fromRawValue(value.toInteger(-1));  // -1 for anything that is not a whole number
}
}  // namespace MemoryPressure

QJsonObject MemorySample::toJson() const {
  using RecordJson::put;
  QJsonObject object;
  const std::pair<const char*, std::uint64_t> required[] = {
      {"physical", physical},   {"used", used},         {"app", app},
      {"wired", wired},         {"cached", cached},     {"free", free},
      {"swapTotal", swapTotal}, {"swapUsed", swapUsed}, {"pageSize", pageSize}};
  for (const auto& [key, value] : required)
    put(object, QLatin1String(key), std::optional<std::uint64_t>(value));
  put(object, QLatin1String("compressed"), compressed);
  if (pressure) object.insert(QLatin1String("pressure"), MemoryPressure::toJson(*pressure));
  put(object, QLatin1String("pageInRate"), pageInRate);
  put(object, QLatin1String("pageOutRate"), pageOutRate);
  put(object, QLatin1String("swapInRate"), swapInRate);
  put(object, QLatin1String("swapOutRate"), swapOutRate);
  return object;
}

std::optional<MemorySample> MemorySample::fromJson(const QJsonObject& object) {
  namespace J = RecordJson;
  MemorySample sample;
  const std::pair<const char*, std::uint64_t*> required[] = {
      {"physical", &sample.physical},   {"used", &sample.used},         {"app", &sample.app},
      {"wired", &sample.wired},         {"cached", &sample.cached},     {"free", &sample.free},
      {"swapTotal", &sample.swapTotal}, {"swapUsed", &sample.swapUsed}, {"pageSize", &sample.pageSize}};
  for (const auto& [key, field] : required) {
    const auto value = J::uint64(object, QLatin1String(key)).value;
    if (!value) return std::nullopt;
    *field = *value;
  }
  const auto compressed = J::uint64(object, QLatin1String("compressed"));
  const auto pageIn = J::number(object, QLatin1String("pageInRate"));
  const auto pageOut = J::number(object, QLatin1String("pageOutRate"));
  const auto swapIn = J::number(object, QLatin1String("swapInRate"));
  const auto swapOut = J::number(object, QLatin1String("swapOutRate"));
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
