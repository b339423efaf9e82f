#include "collectors/DiskActivitySample.h"

#include "metrics/JsonFields.h"

#include <QJsonArray>

namespace kivo {

QJsonObject PhysicalDisk::toJson() const {
  namespace J = JsonFields;
  QJsonObject o;
  o.insert(QStringLiteral("bsdName"), bsdName);
  o.insert(QStringLiteral("model"), model);
  J::put(o, "mediumType", mediumType);
  J::put(o, "interconnect", interconnect);
  o.insert(QStringLiteral("isInternal"), isInternal);
  o.insert(QStringLiteral("isDiskImage"), isDiskImage);
  J::put(o, "size", size);
  o.insert(QStringLiteral("totalBytesRead"), J::fromUInt64(totalBytesRead));
  o.insert(QStringLiteral("totalBytesWritten"), J::fromUInt64(totalBytesWritten));
  J::put(o, "readRate", readRate);
  J::put(o, "writeRate", writeRate);
  J::put(o, "readOpsRate", readOpsRate);
  J::put(o, "writeOpsRate", writeOpsRate);
  return o;
}

std::optional<PhysicalDisk> PhysicalDisk::fromJson(const QJsonObject& o) {
  namespace J = JsonFields;
  const auto bsdName = J::required<QString>(o, "bsdName");
  const auto model = J::required<QString>(o, "model");
  const auto mediumType = J::optional<QString>(o, "mediumType");
  const auto interconnect = J::optional<QString>(o, "interconnect");
  const auto isInternal = J::required<bool>(o, "isInternal");
  const auto isDiskImage = J::required<bool>(o, "isDiskImage");
  const auto size = J::optional<std::uint64_t>(o, "size");
  const auto totalRead = J::required<std::uint64_t>(o, "totalBytesRead");
  const auto totalWritten = J::required<std::uint64_t>(o, "totalBytesWritten");
  const auto readRate = J::optional<double>(o, "readRate");
  const auto writeRate = J::optional<double>(o, "writeRate");
  const auto readOps = J::optional<double>(o, "readOpsRate");
  const auto writeOps = J::optional<double>(o, "writeOpsRate");
  if (!bsdName || !model || !mediumType.ok || !interconnect.ok || !isInternal || !isDiskImage || !size.ok ||
      !totalRead || !totalWritten || !readRate.ok || !writeRate.ok || !readOps.ok || !writeOps.ok) {
    return std::nullopt;
  }
  return PhysicalDisk{*bsdName,        *model,        mediumType.value, interconnect.value, *isInternal,
                      *isDiskImage,    size.value,    *totalRead,       *totalWritten,      readRate.value,
                      writeRate.value, readOps.value, writeOps.value};
}

QJsonObject DiskActivitySample::toJson() const {
  namespace J = JsonFields;
  QJsonArray list;
  for (const auto& disk : disks) list.append(disk.toJson());
  QJsonObject o;
  o.insert(QStringLiteral("disks"), list);
  J::put(o, "readRate", readRate);
  J::put(o, "writeRate", writeRate);
  return o;
}

std::optional<DiskActivitySample> DiskActivitySample::fromJson(const QJsonObject& o) {
  namespace J = JsonFields;
  const QJsonValue list = o.value(QStringLiteral("disks"));
  if (!list.isArray()) return std::nullopt;
  DiskActivitySample sample;
  for (const QJsonValue& item : list.toArray()) {
    if (!item.isObject()) return std::nullopt;
    auto disk = PhysicalDisk::fromJson(item.toObject());
    if (!disk) return std::nullopt;
    sample.disks.push_back(std::move(*disk));
  }
  const auto readRate = J::optional<double>(o, "readRate");
  const auto writeRate = J::optional<double>(o, "writeRate");
  if (!readRate.ok || !writeRate.ok) return std::nullopt;
  sample.readRate = readRate.value;
  sample.writeRate = writeRate.value;
  return sample;
}

}  // namespace kivo
