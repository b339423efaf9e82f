#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>
#include <vector>

namespace kivo {

// Outcome of a run of TCP connection handshakes to one host.
struct LatencyResult {
  QString host;
  int port = 0;                 // as asked for, before clamping
  std::vector<double> samples;  // milliseconds of each successful attempt, in attempt order
  int attempts = 0;

  int failures() const { return attempts - static_cast<int>(samples.size()); }
  std::optional<double> minimum() const;
  std::optional<double> maximum() const;
  std::optional<double> average() const;

  bool operator==(const LatencyResult&) const = default;

  QJsonObject toJson() const;
  static std::optional<LatencyResult> fromJson(const QJsonObject& object);
};

}  // namespace kivo
