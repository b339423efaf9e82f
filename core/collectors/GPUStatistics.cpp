#include "collectors/GPUStatistics.h"

#include "metrics/JsonFields.h"

namespace kivo {

bool GPUStatistics::hasFigures() const {
  return coreCount || deviceUtilization || rendererUtilization || tilerUtilization || memoryInUse ||
         memoryAllocated;
}

QJsonObject GPUStatistics::toJson() const {
  using JsonFields::put;
  QJsonObject o;
  o.insert(QLatin1String("name"), name);
  put(o, "coreCount", coreCount);
  put(o, "deviceUtilization", deviceUtilization);
  put(o, "rendererUtilization", rendererUtilization);
  put(o, "tilerUtilization", tilerUtilization);
  put(o, "memoryInUse", memoryInUse);
  put(o, "memoryAllocated", memoryAllocated);
  return o;
}

std::optional<GPUStatistics> GPUStatistics::fromJson(const QJsonObject& o) {
  namespace J = JsonFields;
  const auto name = J::optional<QString>(o, "name");
  if (!name.value) return std::nullopt;
  GPUStatistics s(*name.value);
  bool ok = true;
  auto take = [&ok](auto field, auto& into) {
    ok = ok && field.ok;
    into = field.value;
  };
  take(J::optional<std::int64_t>(o, "coreCount"), s.coreCount);
  take(J::optional<double>(o, "deviceUtilization"), s.deviceUtilization);
  take(J::optional<double>(o, "rendererUtilization"), s.rendererUtilization);
  take(J::optional<double>(o, "tilerUtilization"), s.tilerUtilization);
  take(J::optional<std::uint64_t>(o, "memoryInUse"), s.memoryInUse);
  take(J::optional<std::uint64_t>(o, "memoryAllocated"), s.memoryAllocated);
  if (!ok) return std::nullopt;
  return s;
}

}  // namespace kivo
