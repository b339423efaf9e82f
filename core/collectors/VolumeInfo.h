#pragma once

#include <QJsonObject>
#include <QString>

#include <cstdint>
#include <optional>

namespace kivo {

// One mounted volume (a block-device or network file system), identified by its mount point.
struct VolumeInfo {
  QString name;  // label, else the last component of the mount point ("/" for the root)
  QString mountPoint;
  QString format;           // file-system type as the kernel names it ("ext4", "btrfs", "nfs4"); may be empty
  std::uint64_t total = 0;  // bytes, always > 0
  std::uint64_t available = 0;  // bytes available to an unprivileged user (f_bavail)
  std::uint64_t free = 0;       // bytes the file system reports available (f_bavail as well on Linux)
  bool isRoot = false;
  bool isInternal = false;
  bool isRemovable = false;
  bool isReadOnly = false;
  bool isNetwork = false;
  std::optional<QString> bsdName;           // kernel block device name ("nvme0n1p2", "dm-0", "loop3")
  std::optional<QString> containerBSDName;  // the whole disk that holds it ("nvme0n1")
  std::optional<QString> deviceModel;       // trimmed model text of the whole disk
  std::optional<QString> connection;        // bus of the whole disk ("NVMe", "SATA", "USB", ...)

  std::uint64_t used() const { return total >= available ? total - available : 0; }
  double usedFraction() const {
    return total == 0 ? 0.0 : static_cast<double>(used()) / static_cast<double>(total);
  }

  bool operator==(const VolumeInfo&) const = default;

  QJsonObject toJson() const;
  static std::optional<VolumeInfo> fromJson(const QJsonObject& object);
};

}  // namespace kivo
