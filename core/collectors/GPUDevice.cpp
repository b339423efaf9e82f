#include "collectors/GPUDevice.h"

#include "metrics/JsonFields.h"

#include <limits>

namespace kivo {

namespace {
std::optional<std::uint64_t> widen(const std::optional<std::uint32_t>& value) {
  if (!value) return std::nullopt;
  return *value;
}

JsonFields::Field<std::uint32_t> uint32(const QJsonObject& o, const char* key) {
  const auto wide = JsonFields::optional<std::uint64_t>(o, key);
  if (!wide.ok) return {false, std::nullopt};
  if (!wide.value) return {};
  if (*wide.value > std::numeric_limits<std::uint32_t>::max()) return {false, std::nullopt};
  return {true, static_cast<std::uint32_t>(*wide.value)};
}
}  // namespace

QJsonObject GPUDevice::toJson() const {
  using JsonFields::put;
  QJsonObject o;
  put(o, "id", std::optional<std::uint64_t>(id));
  o.insert(QLatin1String("name"), name);
  put(o, "vendorID", widen(vendorID));
  put(o, "deviceID", widen(deviceID));
  put(o, "driver", driver);
  put(o, "isLowPower", isLowPower);
  put(o, "isRemovable", isRemovable);
  o.insert(QLatin1String("isHeadless"), isHeadless);
  put(o, "hasUnifiedMemory", hasUnifiedMemory);
  put(o, "recommendedMaxWorkingSet", recommendedMaxWorkingSet);
  put(o, "maxBufferLength", maxBufferLength);
  put(o, "supportsRaytracing", supportsRaytracing);
  put(o, "supports32BitMSAA", supports32BitMSAA);
  put(o, "maxThreadsPerThreadgroup", maxThreadsPerThreadgroup);
  return o;
}

std::optional<GPUDevice> GPUDevice::fromJson(const QJsonObject& o) {
  namespace J = JsonFields;
  const auto id = J::optional<std::uint64_t>(o, "id");
  const auto name = J::optional<QString>(o, "name");
  const auto headless = J::optional<bool>(o, "isHeadless");
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
  take(uint32(o, "vendorID"), d.vendorID);
  take(uint32(o, "deviceID"), d.deviceID);
  take(J::optional<QString>(o, "driver"), d.driver);
  take(J::optional<bool>(o, "isLowPower"), d.isLowPower);
  take(J::optional<bool>(o, "isRemovable"), d.isRemovable);
  take(J::optional<bool>(o, "hasUnifiedMemory"), d.hasUnifiedMemory);
  take(J::optional<std::uint64_t>(o, "recommendedMaxWorkingSet"), d.recommendedMaxWorkingSet);
  take(J::optional<std::uint64_t>(o, "maxBufferLength"), d.maxBufferLength);
  take(J::optional<bool>(o, "supportsRaytracing"), d.supportsRaytracing);
  take(J::optional<bool>(o, "supports32BitMSAA"), d.supports32BitMSAA);
  take(J::optional<std::int64_t>(o, "maxThreadsPerThreadgroup"), d.maxThreadsPerThreadgroup);
  if (!ok) return std::nullopt;
  return d;
}

}  // namespace kivo
