#include "collectors/CPUSample.h"

#include "metrics/JsonFields.h"

#include <QJsonArray>

namespace kivo {

QJsonObject CPULoad::toJson() const {
  return QJsonObject{
      {QLatin1String("user"), user}, {QLatin1String("system"), system}, {QLatin1String("idle"), idle}};
}

std::optional<CPULoad> CPULoad::fromJson(const QJsonObject& object) {
  const auto user = JsonFields::required<double>(object, "user");
  const auto system = JsonFields::required<double>(object, "system");
  const auto idle = JsonFields::required<double>(object, "idle");
  if (!user || !system || !idle) return std::nullopt;
  return CPULoad{*user, *system, *idle};
}

QJsonObject CPUSample::toJson() const {
  QJsonArray coreArray;
  for (const auto& core : cores) coreArray.append(core.toJson());
  QJsonArray idArray;
  for (const int id : coreIDs) idArray.append(id);
  QJsonArray loadArray;
  for (const double load : loadAverage) loadArray.append(load);
  return QJsonObject{{QLatin1String("total"), total.toJson()},
                     {QLatin1String("cores"), coreArray},
                     {QLatin1String("coreIDs"), idArray},
                     {QLatin1String("loadAverage"), loadArray},
                     {QLatin1String("interval"), interval}};
}

std::optional<CPUSample> CPUSample::fromJson(const QJsonObject& object) {
  const QJsonValue totalValue = object.value(QLatin1String("total"));
  const QJsonValue coresValue = object.value(QLatin1String("cores"));
  const QJsonValue idsValue = object.value(QLatin1String("coreIDs"));
  const QJsonValue loadValue = object.value(QLatin1String("loadAverage"));
  const auto interval = JsonFields::required<double>(object, "interval");
  if (!totalValue.isObject() || !coresValue.isArray() || !idsValue.isArray() || !loadValue.isArray() ||
      !interval) {
    return std::nullopt;
  }
  const auto total = CPULoad::fromJson(totalValue.toObject());
  if (!total) return std::nullopt;
  CPUSample sample;
  sample.total = *total;
  sample.interval = *interval;
  for (const QJsonValue core : coresValue.toArray()) {
    if (!core.isObject()) return std::nullopt;
    const auto load = CPULoad::fromJson(core.toObject());
    if (!load) return std::nullopt;
    sample.cores.push_back(*load);
  }
  for (const QJsonValue id : idsValue.toArray()) {
    const auto number = JsonFields::as<int>(id);
    if (!number || *number < 0) return std::nullopt;
    sample.coreIDs.push_back(*number);
  }
  if (sample.coreIDs.size() != sample.cores.size()) return std::nullopt;
  for (const QJsonValue load : loadValue.toArray()) {
    if (!load.isDouble()) return std::nullopt;
    sample.loadAverage.push_back(load.toDouble());
  }
  return sample;
}

}  // namespace kivo
