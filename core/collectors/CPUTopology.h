#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace kivo {

// One kind of core of a hybrid processor.
struct CPUCoreGroup {
  QString name;
  int physicalCores = 0;
  int logicalCores = 0;

  bool operator==(const CPUCoreGroup&) const = default;

  QJsonObject toJson() const;
  static std::optional<CPUCoreGroup> fromJson(const QJsonObject& object);
};

struct CPUTopology {
  QString brand = QStringLiteral("Unknown");
  int physicalCores = 0;
  int logicalCores = 0;
  // Performance cores first; empty on a processor with one kind of core.
  std::vector<CPUCoreGroup> groups;

  bool operator==(const CPUTopology&) const = default;

  QJsonObject toJson() const;
  static std::optional<CPUTopology> fromJson(const QJsonObject& object);

  // Reads /proc/cpuinfo and /sys/devices/system/cpu below `root`; unreadable parts take
  // "Unknown" and 0.
  static CPUTopology current(const std::string& root = "/");
};

}  // namespace kivo
