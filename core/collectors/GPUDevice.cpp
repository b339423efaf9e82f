#include "collectors/GPUDevice.h"

#include "collectors/RecordJson.h"

#include <limits>

namespace kivo {

namespace {
std::optional<std::uint64_t> widen(const std::optional<std::uint32_t>& value) {
  if (!value) return std::nullopt;
  return *value;
}

RecordJson::Field<std::uint32_t> uint32(const QJsonObject& o, QLatin1String key) {
  const auto wide = RecordJson::uint64(o, key);
  if (!wide.ok) return {false, std::nullopt};
  if (!wide.value) return {};
  if (*wide.value > std::numeric_limits<std::uint32_t>::max()) return {false, std::nullopt};
  return {true, static_cast<std::uint32_t>(*wide.value)};
}
}  // namespace

QJsonObject GPUDevice::toJson() const {
  using RecordJson::put;
  QJsonObject o;
  put(o, QLatin1String("id"), std::optional<std::uint64_t>(id));
  o.insert(QLatin1String("name"), name);
  put(o, QLatin1String("vendorID"), widen(vendorID));
  put(o, QLatin1String("deviceID"), widen(deviceID));
  put(o, QLatin1String("driver"), driver);
  put(o, QLatin1String("isLowPower"), isLowPower);
  put(o, QLatin1String("isRemovable"), isRemovable);
  o.insert(QLatin1String("isHeadless"), isHeadless);
  put(o, QLatin1String("hasUnifiedMemory"), hasUnifiedMemory);
  put(o, QLatin1String("recommendedMaxWorkingSet"), recommendedMaxWorkingSet);
  put(o, QLatin1String("maxBufferLength"), maxBufferLength);
  put(o, QLatin1String("supportsRaytracing"), supportsRaytracing);
  put(o, QLatin1String("supports32BitMSAA"), supports32BitMSAA);
  put(o, QLatin1String("maxThreadsPerThreadgroup"), maxThreadsPerThreadgroup);
  return o;
}

std::optional<GPUDevice> GPUDevice::fromJson(const QJsonObject& o) {
  namespace J = RecordJson;
  const auto id = J::uint64(o, QLatin1String("id"));
  const auto name = J::string(o, QLatin1String("name"));
  const auto headless = J::boolean(o, QLatin1String("isHeadless"));
  if (!id.value || !name.value || !headless.value) return std::nullopt;
  GPUDevice d;
  d.id = *id.value;
  d.name = *name.value;
  d.isHeadless = *headless.value;
  bool ok = true;
  auto take = [&ok](auto field, auto& into) {
    ok = ok && field.ok;
    into = field.value;
  };
  take(uint32(o, QLatin1String("vendorID")), d.vendorID);
  take(uint32(o, QLatin1String("deviceID")), d.deviceID);
  take(J::string(o, QLatin1String("driver")), d.driver);
  take(J::boolean(o, QLatin1String("isLowPower")), d.isLowPower);
  take(J::boolean(o, QLatin1String("isRemovable")), d.isRemovable);
  take(J::boolean(o, QLatin1String("hasUnifiedMemory")), d.hasUnifiedMemory);
  take(J::uint64(o, QLatin1String("recommendedMaxWorkingSet")), d.recommendedMaxWorkingSet);
  take(J::uint64(o, QLatin1String("maxBufferLength")), d.maxBufferLength);
  take(J::boolean(o, QLatin1String("supportsRaytracing")), d.supportsRaytracing);
  take(J::boolean(o, QLatin1String("supports32BitMSAA")), d.supports32BitMSAA);
  take(J::int64(o, QLatin1String("maxThreadsPerThreadgroup")), d.maxThreadsPerThreadgroup);
  if (!ok) return std::nullopt;
  return d;
}

}  // namespace kivo
