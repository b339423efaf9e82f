#pragma once

#include "platform/KernelFiles.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kivo {

// Static facts about one whole disk under /sys/block.
struct BlockDiskInfo {
  std::string name;                         // "nvme0n1", "sda", "loop0"
  std::optional<std::string> model;         // trimmed device/model
  std::optional<std::string> mediumType;    // "Solid State" or "Rotational"
  std::optional<std::string> interconnect;  // "NVMe", "SATA", "USB", ...; "Virtual Interface" for loop
  bool isRemovable = false;
  bool isInternal = false;
  bool isDiskImage = false;           // an attached loop device
  std::optional<std::uint64_t> size;  // bytes
};

// Cumulative counters of one /proc/diskstats line, in bytes and completed operations.
struct DiskStatLine {
  std::string_view name;
  std::uint64_t bytesRead = 0;
  std::uint64_t bytesWritten = 0;
  std::uint64_t readOperations = 0;
  std::uint64_t writeOperations = 0;
};

// Block devices as sysfs and /dev describe them, below a root folder.
class BlockDevices {
 public:
  explicit BlockDevices(std::string root = "/");

  // Whole disks that are hardware (an entry of /sys/block with a device link) and attached loop
  // devices (disk images). Partitions, dm, md, zram and ram devices are not disks of their own.
  std::vector<BlockDiskInfo> wholeDisks() const;
  std::optional<BlockDiskInfo> disk(const std::string& name) const;

  // The kernel name of the device behind a mount: by its device number, else by its /dev source.
  std::optional<std::string> deviceName(unsigned major, unsigned minor, std::string_view source) const;
  // The whole disk holding a partition, or under a dm/md device the disk of its first member.
  std::optional<std::string> wholeDisk(const std::string& name) const;
  // File-system label from /dev/disk/by-label.
  std::optional<std::string> label(const std::string& name) const;

  const KernelFiles& files() const { return files_; }

 private:
  std::optional<std::string> readLink(const std::string& kernelPath) const;
  std::optional<std::string> interconnect(const std::string& name) const;

  KernelFiles files_;
};

namespace DiskStats {
// Calls visit(const DiskStatLine&) for each well-formed line of /proc/diskstats; sectors are
// always 512 bytes there, whatever the device's block size.
template <typename Visit>
void forEach(std::string_view text, Visit&& visit);
bool parseLine(std::string_view line, DiskStatLine& out);
}  // namespace DiskStats

template <typename Visit>
void DiskStats::forEach(std::string_view text, Visit&& visit) {
  std::string_view line;
  DiskStatLine parsed;
  while (KernelText::nextLine(text, line)) {
    if (parseLine(line, parsed)) visit(parsed);
  }
}

// Orders names as a person would: runs of digits by their value (sda2 before sda10).
bool naturalLess(std::string_view a, std::string_view b);

}  // namespace kivo
