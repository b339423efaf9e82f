#include "analysis/IntelligenceThresholds.h"

#include "metrics/JsonFields.h"

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

std::optional<IntelligenceThresholds> IntelligenceThresholds::fromJson(const QJsonObject& object,
                                                                       QString* error) {
  const auto cpuPercent = JsonFields::required<double>(object, "cpuPercent", error);
  const auto cpuMinutes = JsonFields::required<double>(object, "cpuMinutes", error);
  const auto pressureMinutes = JsonFields::required<double>(object, "pressureMinutes", error);
  const auto swapGrowthBytes = JsonFields::required<double>(object, "swapGrowthBytes", error);
  const auto diskHorizonDays = JsonFields::required<double>(object, "diskHorizonDays", error);
  const auto networkFloor = JsonFields::required<double>(object, "networkFloor", error);
  const auto processEpisodes = JsonFields::required<std::int64_t>(object, "processEpisodes", error);
  if (!cpuPercent || !cpuMinutes || !pressureMinutes || !swapGrowthBytes || !diskHorizonDays ||
      !networkFloor || !processEpisodes) {
    return std::nullopt;
  }
  return IntelligenceThresholds{*cpuPercent,      *cpuMinutes,   *pressureMinutes, *swapGrowthBytes,
                                *diskHorizonDays, *networkFloor, *processEpisodes};
}

}  // namespace kivo
