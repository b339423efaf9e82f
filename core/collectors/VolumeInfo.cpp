#include "collectors/VolumeInfo.h"

#include "metrics/JsonFields.h"

namespace kivo {

QJsonObject VolumeInfo::toJson() const {
  namespace J = JsonFields;
  QJsonObject o;
  o.insert(QStringLiteral("name"), name);
  o.insert(QStringLiteral("mountPoint"), mountPoint);
  o.insert(QStringLiteral("format"), format);
  o.insert(QStringLiteral("total"), J::fromUInt64(total));
  o.insert(QStringLiteral("available"), J::fromUInt64(available));
  o.insert(QStringLiteral("free"), J::fromUInt64(free));
  o.insert(QStringLiteral("isRoot"), isRoot);
  o.insert(QStringLiteral("isInternal"), isInternal);
  o.insert(QStringLiteral("isRemovable"), isRemovable);
  o.insert(QStringLiteral("isReadOnly"), isReadOnly);
  o.insert(QStringLiteral("isNetwork"), isNetwork);
  J::put(o, "bsdName", bsdName);
  J::put(o, "containerBSDName", containerBSDName);
  J::put(o, "deviceModel", deviceModel);
  J::put(o, "connection", connection);
  return o;
}

std::optional<VolumeInfo> VolumeInfo::fromJson(const QJsonObject& o) {
  namespace J = JsonFields;
  const auto name = J::required<QString>(o, "name");
  const auto mountPoint = J::required<QString>(o, "mountPoint");
  const auto format = J::required<QString>(o, "format");
  const auto total = J::required<std::uint64_t>(o, "total");
  const auto available = J::required<std::uint64_t>(o, "available");
  const auto free = J::required<std::uint64_t>(o, "free");
  const auto isRoot = J::required<bool>(o, "isRoot");
  const auto isInternal = J::required<bool>(o, "isInternal");
  const auto isRemovable = J::required<bool>(o, "isRemovable");
  const auto isReadOnly = J::required<bool>(o, "isReadOnly");
  const auto isNetwork = J::required<bool>(o, "isNetwork");
  const auto bsdName = J::optional<QString>(o, "bsdName");
  const auto container = J::optional<QString>(o, "containerBSDName");
  const auto model = J::optional<QString>(o, "deviceModel");
  const auto connection = J::optional<QString>(o, "connection");
  if (!name || !mountPoint || !format || !total || !available || !free || !isRoot || !isInternal ||
      !isRemovable || !isReadOnly || !isNetwork || !bsdName.ok || !container.ok || !model.ok ||
      !connection.ok) {
    return std::nullopt;
  }
  return VolumeInfo{*name,      *mountPoint,   *format,         *total,       *available,
                    *free,      *isRoot,       *isInternal,     *isRemovable, *isReadOnly,
                    *isNetwork, bsdName.value, container.value, model.value,  connection.value};
}

}  // namespace kivo
