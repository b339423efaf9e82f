#include "collectors/VolumeInfo.h"

#include "collectors/SampleJson.h"

namespace kivo {

QJsonObject VolumeInfo::toJson() const {
  using namespace SampleJson;
  QJsonObject o;
  o.insert(QStringLiteral("name"), name);
  o.insert(QStringLiteral("mountPoint"), mountPoint);
  o.insert(QStringLiteral("format"), format);
  o.insert(QStringLiteral("total"), fromUInt64(total));
  o.insert(QStringLiteral("available"), fromUInt64(available));
  o.insert(QStringLiteral("free"), fromUInt64(free));
  o.insert(QStringLiteral("isRoot"), isRoot);
  o.insert(QStringLiteral("isInternal"), isInternal);
  o.insert(QStringLiteral("isRemovable"), isRemovable);
  o.insert(QStringLiteral("isReadOnly"), isReadOnly);
  o.insert(QStringLiteral("isNetwork"), isNetwork);
  put(o, "bsdName", bsdName);
  put(o, "containerBSDName", containerBSDName);
  put(o, "deviceModel", deviceModel);
  put(o, "connection", connection);
  return o;
}

std::optional<VolumeInfo> VolumeInfo::fromJson(const QJsonObject& o) {
  using namespace SampleJson;
  const auto name = text(o, "name");
  const auto mountPoint = text(o, "mountPoint");
  const auto format = text(o, "format");
  const auto total = uint64(o, "total");
  const auto available = uint64(o, "available");
  const auto free = uint64(o, "free");
  const auto isRoot = boolean(o, "isRoot");
  const auto isInternal = boolean(o, "isInternal");
  const auto isRemovable = boolean(o, "isRemovable");
  const auto isReadOnly = boolean(o, "isReadOnly");
  const auto isNetwork = boolean(o, "isNetwork");
  const auto bsdName = optionalText(o, "bsdName");
  const auto container = optionalText(o, "containerBSDName");
  const auto model = optionalText(o, "deviceModel");
  const auto connection = optionalText(o, "connection");
  if (!name || !mountPoint || !format || !total || !available || !free || !isRoot || !isInternal ||
      !isRemovable || !isReadOnly || !isNetwork || !bsdName || !container || !model || !connection) {
    return std::nullopt;
  }
  return VolumeInfo{*name,       *mountPoint, *format,     *total,    *available, *free,
                    *isRoot,     *isInternal, *isRemovable, *isReadOnly, *isNetwork, *bsdName,
                    *container,  *model,      *connection};
}

}  // namespace kivo
