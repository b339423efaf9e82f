#include "collectors/SystemInfo.h"

#include "collectors/RecordJson.h"
#include "platform/SystemReader.h"

namespace kivo {

double SystemInfo::uptime() const {
  return static_cast<double>(QDateTime::currentMSecsSinceEpoch() - bootTime.toMSecsSinceEpoch()) / 1000.0;
}

QJsonObject SystemInfo::toJson() const {
  QJsonObject object{{QLatin1String("model"), model},
                     {QLatin1String("chip"), chip},
                     {QLatin1String("osVersion"), osVersion},
                     {QLatin1String("osBuild"), osBuild},
                     {QLatin1String("topology"), topology.toJson()},
                     {QLatin1String("hostName"), hostName}};
  RecordJson::put(object, QLatin1String("physicalMemory"), std::optional<std::uint64_t>(physicalMemory));
  RecordJson::put(object, QLatin1String("bootTime"), std::optional<QDateTime>(bootTime));
  return object;
}

std::optional<SystemInfo> SystemInfo::fromJson(const QJsonObject& object) {
  namespace J = RecordJson;
  const auto model = J::string(object, QLatin1String("model")).value;
  const auto chip = J::string(object, QLatin1String("chip")).value;
  const auto osVersion = J::string(object, QLatin1String("osVersion")).value;
  const auto osBuild = J::string(object, QLatin1String("osBuild")).value;
  const auto memory = J::uint64(object, QLatin1String("physicalMemory")).value;
  const QJsonValue topologyValue = object.value(QLatin1String("topology"));
  const auto bootTime = J::date(object, QLatin1String("bootTime")).value;
  const auto hostName = J::string(object, QLatin1String("hostName")).value;
  if (!model || !chip || !osVersion || !osBuild || !memory || !topologyValue.isObject() || !bootTime ||
      !hostName) {
    return std::nullopt;
  }
  auto topology = CPUTopology::fromJson(topologyValue.toObject());
  if (!topology) return std::nullopt;
  return SystemInfo{*model, *chip, *osVersion, *osBuild, *memory, std::move(*topology), *bootTime, *hostName};
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
