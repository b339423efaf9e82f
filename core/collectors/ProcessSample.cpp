#include "collectors/ProcessSample.h"

#include "metrics/JsonFields.h"

#include <QJsonArray>

namespace kivo {

QJsonObject ProcessRecord::toJson() const {
  using JsonFields::put;
  QJsonObject object{{QLatin1String("pid"), pid},         {QLatin1String("parentPID"), parentPID},
                     {QLatin1String("name"), name},       {QLatin1String("uid"), static_cast<qint64>(uid)},
                     {QLatin1String("user"), user},       {QLatin1String("hasStatistics"), hasStatistics},
                     {QLatin1String("cpuTime"), cpuTime}, {QLatin1String("threads"), threads}};
  put(object, "startTime", startTime);
  put(object, "path", path);
  put(object, "cpuPercent", cpuPercent);
  put(object, "memory", memory);
  put(object, "diskRead", diskRead);
  put(object, "diskWritten", diskWritten);
  put(object, "power", power);
  if (ended) object.insert(QLatin1String("ended"), true);
  return object;
}

std::optional<ProcessRecord> ProcessRecord::fromJson(const QJsonObject& object) {
  namespace J = JsonFields;
  const auto pid = J::required<std::int64_t>(object, "pid");
  const auto parentPID = J::required<std::int64_t>(object, "parentPID");
  const auto name = J::required<QString>(object, "name");
  const auto uid = J::required<std::uint64_t>(object, "uid");
  const auto user = J::required<QString>(object, "user");
  const auto hasStatistics = J::required<bool>(object, "hasStatistics");
  const auto cpuTime = J::required<double>(object, "cpuTime");
  const auto threads = J::required<std::int64_t>(object, "threads");
  if (!pid || !parentPID || !name || !uid || !user || !hasStatistics || !cpuTime || !threads)
    return std::nullopt;
  if (*pid < INT32_MIN || *pid > INT32_MAX || *parentPID < INT32_MIN || *parentPID > INT32_MAX ||
      *uid > UINT32_MAX || *threads < 0 || *threads > INT32_MAX) {
    return std::nullopt;
  }
  const auto startTime = J::optional<QDateTime>(object, "startTime");
  const auto path = J::optional<QString>(object, "path");
  const auto cpuPercent = J::optional<double>(object, "cpuPercent");
  const auto memory = J::optional<std::uint64_t>(object, "memory");
  const auto diskRead = J::optional<std::uint64_t>(object, "diskRead");
  const auto diskWritten = J::optional<std::uint64_t>(object, "diskWritten");
  const auto power = J::optional<double>(object, "power");
  const auto ended = J::optional<bool>(object, "ended");
  if (!ended.ok || !startTime.ok || !path.ok || !cpuPercent.ok || !memory.ok || !diskRead.ok ||
      !diskWritten.ok || !power.ok) {
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
  record.ended = ended.value.value_or(false);
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
  const auto total = JsonFields::required<std::int64_t>(object, "total");
  const auto restricted = JsonFields::required<std::int64_t>(object, "restricted");
  const auto interval = JsonFields::required<double>(object, "interval");
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
