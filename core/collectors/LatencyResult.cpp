#include "collectors/LatencyResult.h"

#include "metrics/JsonFields.h"

#include <QJsonArray>

#include <algorithm>
#include <numeric>

namespace kivo {

std::optional<double> LatencyResult::minimum() const {
  if (samples.empty()) return std::nullopt;
  return *std::min_element(samples.begin(), samples.end());
}

std::optional<double> LatencyResult::maximum() const {
  if (samples.empty()) return std::nullopt;
  return *std::max_element(samples.begin(), samples.end());
}

std::optional<double> LatencyResult::average() const {
  if (samples.empty()) return std::nullopt;
  return std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(samples.size());
}

QJsonObject LatencyResult::toJson() const {
  QJsonArray list;
  for (double sample : samples) list.append(sample);
  QJsonObject o;
  o.insert(QStringLiteral("host"), host);
  o.insert(QStringLiteral("port"), port);
  o.insert(QStringLiteral("samples"), list);
  o.insert(QStringLiteral("attempts"), attempts);
  return o;
}

std::optional<LatencyResult> LatencyResult::fromJson(const QJsonObject& o) {
  namespace J = JsonFields;
  const auto host = J::required<QString>(o, "host");
  const auto port = J::required<int>(o, "port");
  const auto samples = J::required<std::vector<double>>(o, "samples");
  const auto attempts = J::required<int>(o, "attempts");
  if (!host || !port || !samples || !attempts) return std::nullopt;
  return LatencyResult{*host, *port, *samples, *attempts};
}

}  // namespace kivo
