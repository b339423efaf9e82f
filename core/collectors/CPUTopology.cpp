#include "collectors/CPUTopology.h"

#include "metrics/JsonFields.h"
#include "platform/CPUInfoReader.h"
#include "platform/KernelFiles.h"

#include <QJsonArray>

namespace kivo {

QJsonObject CPUCoreGroup::toJson() const {
  return QJsonObject{{QStringLiteral("name"), name},
                     {QStringLiteral("physicalCores"), physicalCores},
                     {QStringLiteral("logicalCores"), logicalCores}};
}

std::optional<CPUCoreGroup> CPUCoreGroup::fromJson(const QJsonObject& object) {
  const auto name = JsonFields::required<QString>(object, "name");
  const auto physical = JsonFields::required<int>(object, "physicalCores");
  const auto logical = JsonFields::required<int>(object, "logicalCores");
  if (!name || !physical || !logical) return std::nullopt;
  return CPUCoreGroup{*name, *physical, *logical};
}

QJsonObject CPUTopology::toJson() const {
  QJsonArray groupArray;
  for (const auto& group : groups) groupArray.append(group.toJson());
  return QJsonObject{{QStringLiteral("brand"), brand},
                     {QStringLiteral("physicalCores"), physicalCores},
                     {QStringLiteral("logicalCores"), logicalCores},
                     {QStringLiteral("groups"), groupArray}};
}

std::optional<CPUTopology> CPUTopology::fromJson(const QJsonObject& object) {
  const auto brand = JsonFields::required<QString>(object, "brand");
  const auto physical = JsonFields::required<int>(object, "physicalCores");
  const auto logical = JsonFields::required<int>(object, "logicalCores");
  const QJsonValue groupsValue = object.value(QStringLiteral("groups"));
  if (!brand || !physical || !logical || !groupsValue.isArray()) return std::nullopt;
  CPUTopology topology{*brand, *physical, *logical, {}};
  for (const QJsonValue group : groupsValue.toArray()) {
    if (!group.isObject()) return std::nullopt;
    auto decoded = CPUCoreGroup::fromJson(group.toObject());
    if (!decoded) return std::nullopt;
    topology.groups.push_back(std::move(*decoded));
  }
  return topology;
}

CPUTopology CPUTopology::current(const std::string& root) {
  const CPUInfo info = CPUInfoReader(KernelFiles(root)).read();
  CPUTopology topology;
  if (info.brand) topology.brand = QString::fromStdString(*info.brand);
  topology.physicalCores = info.physicalCores.value_or(0);
  topology.logicalCores = info.logicalCores.value_or(0);
  for (const auto& kind : info.kinds) {
    topology.groups.push_back({QString::fromStdString(kind.name), kind.physicalCores, kind.logicalCores});
  }
  return topology;
}

}  // namespace kivo
