#include "analysis/IntelligenceThresholds.h"

#include "analysis/JsonRead.h"

namespace kivo {

QJsonObject IntelligenceThresholds::toJson() const {
  QJsonObject object;
  object.insert(QStringLiteral("cpuPercent"), cpuPercent);
  object.insert(QStringLiteral("cpuMinutes"), cpuMinutes);
  object.insert(QStringLiteral("pressureMinutes"), pressureMinutes);
  object.insert(QStringLiteral("swapGrowthBytes"), swapGrowthBytes);
  object.insert(QStringLiteral("diskHorizonDays"), diskHorizonDays);
  object.insert(QStringLiteral("networkFloor"), networkFloor);
  object.insert(QStringLiteral("processEpisodes"), static_cast<qint64>(processEpisodes));
  return object;
}

std::optional<IntelligenceThresholds> IntelligenceThresholds::fromJson(const QJsonObject& object, QString* error) {
  const auto cpuPercent = json::number(object, "cpuPercent", error);
  const auto cpuMinutes = json::number(object, "cpuMinutes", error);
  const auto pressureMinutes = json::number(object, "pressureMinutes", error);
  const auto swapGrowthBytes = json::number(object, "swapGrowthBytes", error);
  const auto diskHorizonDays = json::number(object, "diskHorizonDays", error);
  const auto networkFloor = json::number(object, "networkFloor", error);
  const auto processEpisodes = json::integer(object, "processEpisodes", error);
  if (!cpuPercent || !cpuMinutes || !pressureMinutes || !swapGrowthBytes || !diskHorizonDays || !networkFloor ||
      !processEpisodes) {
    return std::nullopt;
  }
  return IntelligenceThresholds{*cpuPercent,      *cpuMinutes,   *pressureMinutes, *swapGrowthBytes,
                                *diskHorizonDays, *networkFloor, *processEpisodes};
}

}  // namespace kivo
