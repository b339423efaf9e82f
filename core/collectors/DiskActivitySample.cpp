#include "collectors/DiskActivitySample.h"

#include "collectors/SampleJson.h"

#include <QJsonArray>

namespace kivo {

QJsonObject PhysicalDisk::toJson() const {
  using namespace SampleJson;
  QJsonObject o;
  o.insert(QStringLiteral("bsdName"), bsdName);
  o.insert(QStringLiteral("model"), model);
  put(o, "mediumType", mediumType);
  put(o, "interconnect", interconnect);
  o.insert(QStringLiteral("isInternal"), isInternal);
  o.insert(QStringLiteral("isDiskImage"), isDiskImage);
  put(o, "size", size);
  o.insert(QStringLiteral("totalBytesRead"), fromUInt64(totalBytesRead));
  o.insert(QStringLiteral("totalBytesWritten"), fromUInt64(totalBytesWritten));
  put(o, "readRate", readRate);
  put(o, "writeRate", writeRate);
  put(o, "readOpsRate", readOpsRate);
  put(o, "writeOpsRate", writeOpsRate);
  return o;
}

std::optional<PhysicalDisk> PhysicalDisk::fromJson(const QJsonObject& o) {
  using namespace SampleJson;
  const auto bsdName = text(o, "bsdName");
  const auto model = text(o, "model");
  const auto mediumType = optionalText(o, "mediumType");
  const auto interconnect = optionalText(o, "interconnect");
  const auto isInternal = boolean(o, "isInternal");
  const auto isDiskImage = boolean(o, "isDiskImage");
  const auto size = optionalUInt64(o, "size");
  const auto totalRead = uint64(o, "totalBytesRead");
  const auto totalWritten = uint64(o, "totalBytesWritten");
  const auto readRate = optionalNumber(o, "readRate");
  const auto writeRate = optionalNumber(o, "writeRate");
  const auto readOps = optionalNumber(o, "readOpsRate");
  const auto writeOps = optionalNumber(o, "writeOpsRate");
  if (!bsdName || !model || !mediumType || !interconnect || !isInternal || !isDiskImage || !size ||
      !totalRead || !totalWritten || !readRate || !writeRate || !readOps || !writeOps) {
    return std::nullopt;
  }
  return PhysicalDisk{*bsdName,   *model,        *mediumType, *interconnect, *isInternal,
                      *isDiskImage, *size,       *totalRead,  *totalWritten, *readRate,
                      *writeRate, *readOps,      *writeOps};
}

QJsonObject DiskActivitySample::toJson() const {
  QJsonArray list;
  for (const auto& disk : disks) list.append(disk.toJson());
  QJsonObject o;
  o.insert(QStringLiteral("disks"), list);
  SampleJson::put(o, "readRate", readRate);
  SampleJson::put(o, "writeRate", writeRate);
  return o;
}

std::optional<DiskActivitySample> DiskActivitySample::fromJson(const QJsonObject& o) {
  const QJsonValue list = o.value(QStringLiteral("disks"));
  if (!list.isArray()) return std::nullopt;
  DiskActivitySample sample;
  for (const QJsonValue& item : list.toArray()) {
    if (!item.isObject()) return std::nullopt;
    auto disk = PhysicalDisk::fromJson(item.toObject());
    if (!disk) return std::nullopt;
    sample.disks.push_back(std::move(*disk));
  }
  const auto readRate = SampleJson::optionalNumber(o, "readRate");
  const auto writeRate = SampleJson::optionalNumber(o, "writeRate");
  if (!readRate || !writeRate) return std::nullopt;
  sample.readRate = *readRate;
  sample.writeRate = *writeRate;
  return sample;
}

}  // namespace kivo
