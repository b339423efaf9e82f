#include "collectors/DiskCollector.h"

#include "collectors/DiskMath.h"
#include "platform/MountTable.h"

namespace kivo {

namespace {

constexpr double kTableRefreshSeconds = 60.0;

QString toQString(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<QString> toQString(const std::optional<std::string>& text) {
  if (!text) return std::nullopt;
  return toQString(*text);
}

QString volumeName(const std::string& mountPoint) {
  if (mountPoint == "/") return QStringLiteral("/");
  std::string_view path = mountPoint;
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  const auto slash = path.rfind('/');
  const auto last = slash == std::string_view::npos ? path : path.substr(slash + 1);
  return QString::fromUtf8(last.data(), static_cast<qsizetype>(last.size()));
}

RawDisk rawDisk(const BlockDiskInfo& info, const DiskCounters& counters) {
  RawDisk disk;
  disk.bsdName = toQString(info.name);
  if (info.model) {
    disk.model = toQString(*info.model);
  } else if (info.isDiskImage) {
    disk.model = QStringLiteral("Disk Image");
  }
  disk.mediumType = toQString(info.mediumType);
  disk.interconnect = toQString(info.interconnect);
  disk.isInternal = info.isInternal;
  disk.isDiskImage = info.isDiskImage;
  disk.size = info.size;
  disk.counters = counters;
  return disk;
}

DiskCounters countersOf(const DiskStatLine& line) {
  return DiskCounters{line.bytesRead, line.bytesWritten, line.readOperations, line.writeOperations};
}

// Which device names a diskstats text lists, as one number: a disk that comes or goes changes it.
std::size_t nameSignature(std::string_view stats) {
  std::size_t hash = 1469598103934665603ull;
  DiskStats::forEach(stats, [&](const DiskStatLine& line) {
    for (char c : line.name) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    hash = (hash ^ 0xff) * 1099511628211ull;
  });
  return hash;
}

}  // namespace

// A disk of the last sysfs walk with its texts already converted, so a tick only copies
// shared strings.
struct DiskCollector::Known {
  std::string name;
  RawDisk raw;
  std::optional<DiskCounters> counters;  // this tick's, when diskstats lists the disk
};

DiskCollector::DiskCollector() : DiskCollector(Options{}) {}

DiskCollector::DiskCollector(Options options)
    : options_(std::move(options)),
      devices_(options_.root),
      spaceReader_(options_.spaceReader),
      diskstats_(devices_.files().path("/proc/diskstats")) {}

DiskCollector::~DiskCollector() = default;

std::vector<VolumeInfo> DiskCollector::volumes() {
  std::vector<VolumeInfo> result;
  std::string text;
  if (!devices_.files().read("/proc/self/mountinfo", text)) return result;
  const auto mounts = MountTable::volumes(MountTable::parse(text));
  tableTime_ = 0;  // a mount often comes with a new disk or disk image: walk sysfs again next tick

  std::vector<std::optional<FileSystemSpace>> spaces(mounts.size());
  std::vector<std::string> networkPaths;
  std::vector<std::size_t> networkIndex;
  for (std::size_t i = 0; i < mounts.size(); ++i) {
    const std::string path = devices_.files().path(mounts[i].mountPoint);
    if (MountTable::kind(mounts[i]) == MountKind::network) {
      networkPaths.push_back(path);
      networkIndex.push_back(i);
    } else {
      spaces[i] = options_.spaceReader(path);
    }
  }
  if (!networkPaths.empty()) {
    const auto remote = spaceReader_.readAll(networkPaths, options_.networkBudget);
    for (std::size_t k = 0; k < remote.size(); ++k) spaces[networkIndex[k]] = remote[k];
  }

  for (std::size_t i = 0; i < mounts.size(); ++i) {
    const MountEntry& mount = mounts[i];
    const auto& space = spaces[i];
    if (!space || space->total < 1) continue;
    VolumeInfo volume;
    volume.mountPoint = toQString(mount.mountPoint);
    volume.name = volumeName(mount.mountPoint);
    volume.format = toQString(mount.fsType);
    volume.total = space->total;
    volume.free = space->available;
    volume.available = space->available;
    volume.isRoot = mount.mountPoint == "/";
    volume.isNetwork = MountTable::kind(mount) == MountKind::network;
    volume.isReadOnly = MountTable::hasOption(mount.options, "ro") || space->readOnly;
    if (!volume.isNetwork) {
      if (const auto device = devices_.deviceName(mount.major, mount.minor, mount.source)) {
        volume.bsdName = toQString(*device);
        if (const auto label = devices_.label(*device); label && !label->empty())
          volume.name = toQString(*label);
        if (const auto whole = devices_.wholeDisk(*device)) {
          volume.containerBSDName = toQString(*whole);
          if (const auto disk = devices_.disk(*whole)) {
            volume.deviceModel = toQString(disk->model);
            volume.connection = toQString(disk->interconnect);
            volume.isInternal = disk->isInternal;
            volume.isRemovable = disk->isRemovable;
          }
        }
      }
    }
    result.push_back(std::move(volume));
  }
  return result;
}

std::vector<RawDisk> DiskCollector::readDisks(const std::string& root) {
  const BlockDevices devices(root);
  std::vector<RawDisk> result;
  std::string stats;
  if (!devices.files().read("/proc/diskstats", stats)) return result;
  for (const auto& info : devices.wholeDisks()) {
    std::optional<DiskCounters> counters;
    DiskStats::forEach(stats, [&](const DiskStatLine& line) {
      if (!counters && line.name == info.name) counters = countersOf(line);
    });
    if (counters) result.push_back(rawDisk(info, *counters));
  }
  return result;
}

bool DiskCollector::refreshDiskTable(double now, std::string_view stats) {
  const std::size_t signature = nameSignature(stats);
  if (tableTime_ > 0 && signature == tableSignature_ && now - tableTime_ <= kTableRefreshSeconds)
    return false;
  table_.clear();
  for (const auto& info : devices_.wholeDisks()) {
    table_.push_back(Known{info.name, rawDisk(info, {}), std::nullopt});
  }
  tableSignature_ = signature;
  tableTime_ = now > 0 ? now : 1e-9;
  return true;
}

DiskActivitySample DiskCollector::activity(double now) {
  DiskActivitySample sample;
  current_.clear();
  if (diskstats_.read(buffer_)) {
    refreshDiskTable(now, buffer_);
    for (auto& known : table_) known.counters.reset();
    DiskStats::forEach(buffer_, [&](const DiskStatLine& line) {
      for (auto& known : table_) {
        if (!known.counters && known.name == line.name) {
          known.counters = countersOf(line);
          break;
        }
      }
    });
  } else {
    table_.clear();
  }

  const double elapsed = previousTime_ > 0 ? now - previousTime_ : 0;
  sample.disks.reserve(table_.size());
  for (const auto& known : table_) {
    if (!known.counters) continue;
    const DiskCounters& counters = *known.counters;
    PhysicalDisk disk;
    disk.bsdName = known.raw.bsdName;
    disk.model = known.raw.model;
    disk.mediumType = known.raw.mediumType;
    disk.interconnect = known.raw.interconnect;
    disk.isInternal = known.raw.isInternal;
    disk.isDiskImage = known.raw.isDiskImage;
    disk.size = known.raw.size;
    disk.totalBytesRead = counters.bytesRead;
    disk.totalBytesWritten = counters.bytesWritten;
    if (elapsed > 0) {
      for (const auto& [name, before] : previous_) {
        if (name != disk.bsdName) continue;
        const DiskRates rates = DiskMath::rates(before, counters, elapsed);
        disk.readRate = rates.read;
        disk.writeRate = rates.write;
        disk.readOpsRate = rates.readOps;
        disk.writeOpsRate = rates.writeOps;
        break;
      }
    }
    if (!disk.isDiskImage) {
      if (disk.readRate) sample.readRate = sample.readRate.value_or(0) + *disk.readRate;
      if (disk.writeRate) sample.writeRate = sample.writeRate.value_or(0) + *disk.writeRate;
    }
    current_.emplace_back(disk.bsdName, counters);
    sample.disks.push_back(std::move(disk));
  }
  std::swap(previous_, current_);
  previousTime_ = now;
  return sample;
}

void DiskCollector::reset() {
  previous_.clear();
  previousTime_ = 0;
}

}  // namespace kivo
