#pragma once

#include <QJsonObject>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace kivo {

// Cumulative counters of one block device (/proc/diskstats; sectors are 512 bytes).
struct DiskCounters {
  std::uint64_t bytesRead = 0;
  std::uint64_t bytesWritten = 0;
  std::uint64_t readOperations = 0;
  std::uint64_t writeOperations = 0;

  bool operator==(const DiskCounters&) const = default;
};

// One whole disk with its counters and the rates since the collector's previous call.
struct PhysicalDisk {
  QString bsdName;                      // kernel name of the whole disk ("nvme0n1", "sda", "loop0")
  QString model;                        // model text, "Disk Image" for a loop device, else empty
  std::optional<QString> mediumType;    // "Solid State" or "Rotational"
  std::optional<QString> interconnect;  // bus ("NVMe", "SATA", "USB", ...; "Virtual Interface" for loop)
  bool isInternal = false;
  bool isDiskImage = false;           // a loop device
  std::optional<std::uint64_t> size;  // bytes
  std::uint64_t totalBytesRead = 0;
  std::uint64_t totalBytesWritten = 0;
  std::optional<double> readRate;  // bytes per second
  std::optional<double> writeRate;
  std::optional<double> readOpsRate;  // operations per second
  std::optional<double> writeOpsRate;

  bool operator==(const PhysicalDisk&) const = default;

  QJsonObject toJson() const;
  static std::optional<PhysicalDisk> fromJson(const QJsonObject& object);
};

// One tick's disk activity; the totals leave disk images out.
struct DiskActivitySample {
  std::vector<PhysicalDisk> disks;  // in natural name order (disk2 before disk10)
  std::optional<double> readRate;
  std::optional<double> writeRate;

  bool operator==(const DiskActivitySample&) const = default;

  QJsonObject toJson() const;
  static std::optional<DiskActivitySample> fromJson(const QJsonObject& object);
};

}  // namespace kivo
