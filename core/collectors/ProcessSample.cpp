#include "collectors/ProcessSample.h"

#include "collectors/RecordJson.h"

#include <QJsonArray>

namespace kivo {

QJsonObject ProcessRecord::toJson() const {
  using RecordJson::put;
  QJsonObject object{{QLatin1String("pid"), pid},         {QLatin1String("parentPID"), parentPID},
                     {QLatin1String("name"), name},       {QLatin1String("uid"), static_cast<qint64>(uid)},
                     {QLatin1String("user"), user},       {QLatin1String("hasStatistics"), hasStatistics},
                     {QLatin1String("cpuTime"), cpuTime}, {QLatin1String("threads"), threads}};
  put(object, QLatin1String("startTime"), startTime);
  put(object, QLatin1String("path"), path);
  put(object, QLatin1String("cpuPercent"), cpuPercent);
  put(object, QLatin1String("memory"), memory);
  put(object, QLatin1String("diskRead"), diskRead);
  put(object, QLatin1String("diskWritten"), diskWritten);
  put(object, QLatin1String("power"), power);
  return object;
}

std::optional<ProcessRecord> ProcessRecord::fromJson(const QJsonObject& object) {
  namespace J = RecordJson;
  const auto pid = J::int64(object, QLatin1String("pid")).value;
  const auto parentPID = J::int64(object, QLatin1String("parentPID")).value;
  const auto name = J::string(object, QLatin1String("name")).value;
  const auto uid = J::uint64(object, QLatin1String("uid")).value;
  const auto user = J::string(object, QLatin1String("user")).value;
  const auto hasStatistics = J::boolean(object, QLatin1String("hasStatistics")).value;
  const auto cpuTime = J::number(object, QLatin1String("cpuTime")).value;
  const auto threads = J::int64(object, QLatin1String("threads")).value;
  if (!pid || !parentPID || !name || !uid || !user || !hasStatistics || !cpuTime || !threads)
    return std::nullopt;
  if (*pid < INT32_MIN || *pid > INT32_MAX || *parentPID < INT32_MIN || *parentPID > INT32_MAX ||
      *uid > UINT32_MAX || *threads < 0 || *threads > INT32_MAX) {
    return std::nullopt;
  }
  const auto startTime = J::date(object, QLatin1String("startTime"));
  const auto path = J::string(object, QLatin1String("path"));
  const auto cpuPercent = J::number(object, QLatin1String("cpuPercent"));
  const auto memory = J::uint64(object, QLatin1String("memory"));
  const auto diskRead = J::uint64(object, QLatin1String("diskRead"));
  const auto diskWritten = J::uint64(object, QLatin1String("diskWritten"));
  const auto power = J::number(object, QLatin1String("power"));
  if (!startTime.ok || !path.ok || !cpuPercent.ok || !memory.ok || !diskRead.ok || !diskWritten.ok ||
      !power.ok) {
    return std::nullopt;
  }
  ProcessRecord record;
  record.pid = static_cast<std::int32_t>(*pid);
  record.parentPID = static_cast<std::int32_t>(*parentPID);
  record.name = *name;
  record.uid = static_cast<std::uint32_t>(*uid);
  record.user = *user;
  record.startTime = startTime.value;
  record.path = path.value;
  record.hasStatistics = *hasStatistics;
  record.cpuPercent = cpuPercent.value;
  record.cpuTime = *cpuTime;
  record.memory = memory.value;
  record.threads = static_cast<int>(*threads);
  record.diskRead = diskRead.value;
  record.diskWritten = diskWritten.value;
  record.power = power.value;
  return record;
}

QJsonObject ProcessSample::toJson() const {
  QJsonArray array;
  for (const auto& process : processes) array.append(process.toJson());
  return QJsonObject{{QLatin1String("processes"), array},
                     {QLatin1String("total"), total},
                     {QLatin1String("restricted"), restricted},
                     {QLatin1String("interval"), interval}};
}

std::optional<ProcessSample> ProcessSample::fromJson(const QJsonObject& object) {
  const QJsonValue processes = object.value(QLatin1String("processes"));
  const auto total = RecordJson::int64(object, QLatin1String("total")).value;
  const auto restricted = RecordJson::int64(object, QLatin1String("restricted")).value;
  const auto interval = RecordJson::number(object, QLatin1String("interval")).value;
  if (!processes.isArray() || !total || !restricted || !interval) return std::nullopt;
  if (*total < 0 || *total > INT32_MAX || *restricted < 0 || *restricted > INT32_MAX) return std::nullopt;
  ProcessSample sample;
  sample.total = static_cast<int>(*total);
  sample.restricted = static_cast<int>(*restricted);
  sample.interval = *interval;
  for (const QJsonValue value : processes.toArray()) {
    if (!value.isObject()) return std::nullopt;
    auto record = ProcessRecord::fromJson(value.toObject());
    if (!record) return std::nullopt;
    sample.processes.push_back(std::move(*record));
  }
  return sample;
}

}  // namespace kivo
