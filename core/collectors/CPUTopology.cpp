#include "collectors/CPUTopology.h"

#include "collectors/RecordJson.h"
#include "platform/CPUInfoReader.h"
#include "platform/KernelFiles.h"

#include <QJsonArray>

namespace kivo {

namespace {
std::optional<int> intField(const QJsonObject& object, const char* key) {
  const auto value = RecordJson::int64(object, QLatin1String(key)).value;
  if (!value || *value < INT32_MIN || *value > INT32_MAX) return std::nullopt;
  return static_cast<int>(*value);
}
}  // namespace

QJsonObject CPUCoreGroup::toJson() const {
  return QJsonObject{{QStringLiteral("name"), name},
                     {QStringLiteral("physicalCores"), physicalCores},
                     {QStringLiteral("logicalCores"), logicalCores}};
}

std::optional<CPUCoreGroup> CPUCoreGroup::fromJson(const QJsonObject& object) {
  const auto name = RecordJson::string(object, QLatin1String("name")).value;
  const auto physical = intField(object, "physicalCores");
  const auto logical = intField(object, "logicalCores");
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
  const auto brand = RecordJson::string(object, QLatin1String("brand")).value;
  const auto physical = intField(object, "physicalCores");
  const auto logical = intField(object, "logicalCores");
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
