#pragma once

#include "collectors/CPUTopology.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QTimeZone>

#include <cstdint>
#include <optional>
#include <string>

namespace kivo {

// The fixed description of this computer, read once. Never carries a serial number.
struct SystemInfo {
  std::optional<QString> model;                 // DMI product name; absent without DMI
  QString chip = QStringLiteral("Unknown");     // the topology's brand
  QString osVersion = QStringLiteral("Linux");  // os-release PRETTY_NAME
  QString osBuild;                              // kernel release
  std::uint64_t physicalMemory = 0;             // MemTotal, bytes
  CPUTopology topology;
  QDateTime bootTime = QDateTime::fromSecsSinceEpoch(0, QTimeZone::utc());
  QString hostName;

  // Seconds since boot, at the moment of the call.
  double uptime() const;

  bool operator==(const SystemInfo&) const = default;

  QJsonObject toJson() const;
  static std::optional<SystemInfo> fromJson(const QJsonObject& object);

  // Reads the files below `root`; the host name and kernel release come from the running system.
  static SystemInfo current(const std::string& root = "/");
};

}  // namespace kivo
