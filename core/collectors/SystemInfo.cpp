#include "collectors/SystemInfo.h"

#include "metrics/JsonFields.h"
#include "platform/SystemReader.h"

namespace kivo {

double SystemInfo::uptime() const {
  return static_cast<double>(QDateTime::currentMSecsSinceEpoch() - bootTime.toMSecsSinceEpoch()) / 1000.0;
}

QJsonObject SystemInfo::toJson() const {
  QJsonObject object{{QLatin1String("chip"), chip},
                     {QLatin1String("osVersion"), osVersion},
                     {QLatin1String("osBuild"), osBuild},
                     {QLatin1String("topology"), topology.toJson()},
                     {QLatin1String("hostName"), hostName}};
  JsonFields::put(object, "model", model);
  JsonFields::put(object, "physicalMemory", std::optional<std::uint64_t>(physicalMemory));
  JsonFields::put(object, "bootTime", std::optional<QDateTime>(bootTime));
  return object;
}

std::optional<SystemInfo> SystemInfo::fromJson(const QJsonObject& object) {
  namespace J = JsonFields;
  const auto model = J::optional<QString>(object, "model");
  const auto chip = J::required<QString>(object, "chip");
  const auto osVersion = J::required<QString>(object, "osVersion");
  const auto osBuild = J::required<QString>(object, "osBuild");
  const auto memory = J::required<std::uint64_t>(object, "physicalMemory");
  const QJsonValue topologyValue = object.value(QLatin1String("topology"));
  const auto bootTime = J::required<QDateTime>(object, "bootTime");
  const auto hostName = J::required<QString>(object, "hostName");
  if (!model.ok || !chip || !osVersion || !osBuild || !memory || !topologyValue.isObject() || !bootTime ||
      !hostName) {
    return std::nullopt;
  }
  auto topology = CPUTopology::fromJson(topologyValue.toObject());
  if (!topology) return std::nullopt;
  return SystemInfo{model.value,          *chip,     *osVersion, *osBuild, *memory,
                    std::move(*topology), *bootTime, *hostName};
}

SystemInfo SystemInfo::current(const std::string& root) {
  const SystemFacts facts = SystemReader(KernelFiles(root)).read();
  SystemInfo info;
  if (facts.bootTime) info.bootTime = QDateTime::fromSecsSinceEpoch(*facts.bootTime, QTimeZone::utc());
  if (facts.prettyName) info.osVersion = QString::fromStdString(*facts.prettyName);
  info.topology = CPUTopology::current(root);
  info.chip = info.topology.brand;
  if (facts.productName) info.model = QString::fromStdString(*facts.productName);
  if (facts.kernelRelease) info.osBuild = QString::fromStdString(*facts.kernelRelease);
  info.physicalMemory = facts.memTotal.value_or(0);
  if (facts.hostName) info.hostName = QString::fromStdString(*facts.hostName);
  return info;
}

}  // namespace kivo
