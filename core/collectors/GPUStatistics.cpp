#include "collectors/GPUStatistics.h"

#include "collectors/RecordJson.h"

namespace kivo {

bool GPUStatistics::hasFigures() const {
  return coreCount || deviceUtilization || rendererUtilization || tilerUtilization || memoryInUse ||
         memoryAllocated;
}

QJsonObject GPUStatistics::toJson() const {
  using RecordJson::put;
  QJsonObject o;
  o.insert(QLatin1String("name"), name);
  put(o, QLatin1String("coreCount"), coreCount);
  put(o, QLatin1String("deviceUtilization"), deviceUtilization);
  put(o, QLatin1String("rendererUtilization"), rendererUtilization);
  put(o, QLatin1String("tilerUtilization"), tilerUtilization);
  put(o, QLatin1String("memoryInUse"), memoryInUse);
  put(o, QLatin1String("memoryAllocated"), memoryAllocated);
  return o;
}

std::optional<GPUStatistics> GPUStatistics::fromJson(const QJsonObject& o) {
  namespace J = RecordJson;
  const auto name = J::string(o, QLatin1String("name"));
  if (!name.value) return std::nullopt;
  GPUStatistics s(*name.value);
  bool ok = true;
  auto take = [&ok](auto field, auto& into) {
    ok = ok && field.ok;
    into = field.value;
  };
  take(J::int64(o, QLatin1String("coreCount")), s.coreCount);
  take(J::number(o, QLatin1String("deviceUtilization")), s.deviceUtilization);
  take(J::number(o, QLatin1String("rendererUtilization")), s.rendererUtilization);
  take(J::number(o, QLatin1String("tilerUtilization")), s.tilerUtilization);
  take(J::uint64(o, QLatin1String("memoryInUse")), s.memoryInUse);
  take(J::uint64(o, QLatin1String("memoryAllocated")), s.memoryAllocated);
  if (!ok) return std::nullopt;
  return s;
}

}  // namespace kivo
