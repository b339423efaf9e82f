#pragma once

#include "collectors/DiskActivitySample.h"
#include "collectors/VolumeInfo.h"
#include "platform/BlockDevices.h"
#include "platform/FileSystemSpace.h"
#include "platform/KernelFiles.h"

#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kivo {

// One whole disk and its counters, before any rate exists.
struct RawDisk {
  QString bsdName;
  QString model;
  std::optional<QString> mediumType;
  std::optional<QString> interconnect;
  bool isInternal = false;
  bool isDiskImage = false;
  std::optional<std::uint64_t> size;
  DiskCounters counters;

  bool operator==(const RawDisk&) const = default;
};

// Mounted volumes (a slow reading) and per-disk throughput (every tick). Owned and called by
// the engine only; never throws.
class DiskCollector {
 public:
  struct Options {
    std::string root = "/";  // a fixture tree in tests
    // How capacities are read; statvfs by default. Tests give canned figures. A network
    // volume's read may outlive the listing and the collector: it must own what it uses.
    BoundedSpaceReader::Reader spaceReader = statFileSystem;
    // The longest a volume listing waits for network file systems.
    std::chrono::milliseconds networkBudget{300};
  };

  DiskCollector();
  explicit DiskCollector(Options options);
  ~DiskCollector();
  DiskCollector(const DiskCollector&) = delete;
  DiskCollector& operator=(const DiskCollector&) = delete;

  // Block-device and network volumes in mount order. A network volume that does not answer
  // within the budget is left out of this listing.
  std::vector<VolumeInfo> volumes();
  // Rates since the previous call; the first call after construction or reset() has none.
  DiskActivitySample activity(double now);
  void reset();

  // Whole disks with their counters, in natural name order; also used to learn whether disk
  // counters can be read at all.
  static std::vector<RawDisk> readDisks(const std::string& root = "/");

 private:
  struct Known;
  bool refreshDiskTable(double now, std::string_view stats);

  Options options_;
  BlockDevices devices_;
  BoundedSpaceReader spaceReader_;
  KernelFile diskstats_;
  std::string buffer_;
  std::vector<Known> table_;        // disks of the last sysfs walk, in natural name order
  std::size_t tableSignature_ = 0;  // which device names /proc/diskstats listed then
  double tableTime_ = 0;
  std::vector<std::pair<QString, DiskCounters>> previous_;
  std::vector<std::pair<QString, DiskCounters>> current_;
  double previousTime_ = 0;
};

}  // namespace kivo
