#include "platform/BlockDevices.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>

namespace kivo {

namespace {

std::string_view baseName(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  const auto slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view parentDirectory(std::string_view path) {
  const auto slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}

std::vector<std::string> listDirectory(const KernelFiles& files, std::string_view kernelDir) {
  std::vector<std::string> names = files.list(kernelDir);
  std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return naturalLess(a, b); });
  return names;
}

// Only the blank characters a model text is padded with, not line breaks.
std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// udev writes by-label names with \xNN escapes for blanks and slashes.
std::string decodeUdevName(std::string_view name) {
  std::string out;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' &&
        std::isxdigit(static_cast<unsigned char>(name[i + 2])) &&
        std::isxdigit(static_cast<unsigned char>(name[i + 3]))) {
      out.push_back(static_cast<char>(std::stoi(std::string(name.substr(i + 2, 2)), nullptr, 16)));
      i += 3;
      continue;
    }
    out.push_back(name[i]);
  }
  return out;
}

bool isWholeDiskCandidate(std::string_view name) {
  return !name.starts_with("dm-") && !name.starts_with("md") && !name.starts_with("zram") &&
         !name.starts_with("ram");
}

}  // namespace

bool naturalLess(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const bool da = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
    const bool db = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
    if (da && db) {
      std::size_t ea = i, eb = j;
      while (ea < a.size() && std::isdigit(static_cast<unsigned char>(a[ea]))) ++ea;
      while (eb < b.size() && std::isdigit(static_cast<unsigned char>(b[eb]))) ++eb;
      auto na = a.substr(i, ea - i), nb = b.substr(j, eb - j);
      while (na.size() > 1 && na.front() == '0') na.remove_prefix(1);
      while (nb.size() > 1 && nb.front() == '0') nb.remove_prefix(1);
      if (na.size() != nb.size()) return na.size() < nb.size();
      if (na != nb) return na < nb;
      i = ea;
      j = eb;
      continue;
    }
    if (a[i] != b[j]) return a[i] < b[j];
    ++i;
    ++j;
  }
  return a.size() - i < b.size() - j;
}

bool DiskStats::parseLine(std::string_view line, DiskStatLine& out) {
  // major minor name reads merged sectors ms writes merged sectors ...
  std::string_view token;
  std::string_view fields[10];
  for (auto& field : fields) {
    if (!KernelText::nextToken(line, token)) return false;
    field = token;
  }
  const auto reads = KernelText::parseUInt(fields[3]);
  const auto sectorsRead = KernelText::parseUInt(fields[5]);
  const auto writes = KernelText::parseUInt(fields[7]);
  const auto sectorsWritten = KernelText::parseUInt(fields[9]);
  if (!reads || !sectorsRead || !writes || !sectorsWritten) return false;
  // A count no disk can reach would wrap when turned into bytes.
  if (*sectorsRead > UINT64_MAX / 512 || *sectorsWritten > UINT64_MAX / 512) return false;
  out.name = fields[2];
  out.readOperations = *reads;
  out.bytesRead = *sectorsRead * 512;
  out.writeOperations = *writes;
  out.bytesWritten = *sectorsWritten * 512;
  return true;
}

BlockDevices::BlockDevices(std::string root) : files_(std::move(root)) {}

std::optional<std::string> BlockDevices::readLink(const std::string& kernelPath) const {
  const std::string full = files_.path(kernelPath);
  char buffer[4096];
  const ssize_t n = ::readlink(full.c_str(), buffer, sizeof buffer);
  if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer) return std::nullopt;
  return std::string(buffer, static_cast<std::size_t>(n));
}

std::optional<std::string> BlockDevices::interconnect(const std::string& name) const {
  const auto target = readLink("/sys/block/" + name);
  if (!target) return std::nullopt;
  const std::string_view path = *target;
  if (path.find("/devices/virtual/block/loop") != std::string_view::npos) return "Virtual Interface";
  if (path.find("/usb") != std::string_view::npos) return "USB";
  if (path.find("/nvme/") != std::string_view::npos) return "NVMe";
  if (path.find("/mmc_host/") != std::string_view::npos) return "SD";
  if (path.find("/virtio") != std::string_view::npos) return "Virtio";
  if (path.find("/ata") != std::string_view::npos) return "SATA";
  if (path.find("/firewire") != std::string_view::npos) return "FireWire";
  if (path.find("/host") != std::string_view::npos) return "SCSI";
  return std::nullopt;
}

std::optional<BlockDiskInfo> BlockDevices::disk(const std::string& name) const {
  const std::string base = "/sys/block/" + name;
  const bool isLoop = name.starts_with("loop");
  BlockDiskInfo info;
  info.name = name;
  if (isLoop) {
    // An unattached loop device has no backing file and size 0: nothing to show.
    if (!files_.exists(base + "/loop/backing_file")) return std::nullopt;
    info.isDiskImage = true;
  } else if (!isWholeDiskCandidate(name) || !files_.exists(base + "/device")) {
    return std::nullopt;
  }
  // A path of a multipath NVMe namespace: its traffic is already counted on the namespace.
  if (files_.readInt(base + "/hidden").value_or(0) == 1) return std::nullopt;
  if (const auto model = files_.readLine(base + "/device/model")) {
    const auto trimmed = trimBlanks(*model);
    if (!trimmed.empty()) info.model = std::string(trimmed);
  }
  if (const auto rotational = files_.readInt(base + "/queue/rotational"); rotational && !isLoop) {
    info.mediumType = *rotational ? "Rotational" : "Solid State";
  }
  info.interconnect = interconnect(name);
  info.isRemovable = files_.readInt(base + "/removable").value_or(0) == 1;
  info.isInternal =
      !isLoop && !info.isRemovable && info.interconnect != "USB" && info.interconnect != "FireWire";
  if (const auto sectors = files_.readLine(base + "/size")) {
    if (const auto value = KernelText::parseUInt(*sectors); value && *value <= UINT64_MAX / 512) {
      info.size = *value * 512;
    }
  }
  return info;
}

std::vector<BlockDiskInfo> BlockDevices::wholeDisks() const {
  std::vector<BlockDiskInfo> disks;
  for (const auto& name : listDirectory(files_, "/sys/block")) {
    if (auto info = disk(name)) disks.push_back(std::move(*info));
  }
  return disks;
}

std::optional<std::string> BlockDevices::deviceName(unsigned major, unsigned minor,
                                                    std::string_view source) const {
  if (major != 0) {
    const auto target = readLink("/sys/dev/block/" + std::to_string(major) + ':' + std::to_string(minor));
    if (target) return std::string(baseName(*target));
  }
  if (!source.starts_with("/dev/")) return std::nullopt;
  // Follow /dev links (/dev/mapper/root -> ../dm-0) a few steps, staying below the root.
  std::string path(source);
  for (int step = 0; step < 8; ++step) {
    const auto target = readLink(path);
    if (!target) break;
    if (target->starts_with('/')) {
      path = *target;
    } else {
      path = std::string(parentDirectory(path)) + '/' + *target;
    }
  }
  std::string name(baseName(path));
  if (name.empty() || !files_.exists("/sys/class/block/" + name)) return std::nullopt;
  return name;
}

std::optional<std::string> BlockDevices::wholeDisk(const std::string& name) const {
  std::string current = name;
  for (int depth = 0; depth < 4; ++depth) {
    const std::string base = "/sys/class/block/" + current;
    if (!files_.exists(base)) return std::nullopt;
    if (files_.exists(base + "/partition")) {
      const auto target = readLink(base);
      if (!target) return std::nullopt;
      return std::string(baseName(parentDirectory(*target)));
    }
    const auto members = listDirectory(files_, base + "/slaves");
    if (members.empty()) return current;
    current = members.front();
  }
  return std::nullopt;
}

std::optional<std::string> BlockDevices::label(const std::string& name) const {
  for (const auto& entry : listDirectory(files_, "/dev/disk/by-label")) {
    const auto target = readLink("/dev/disk/by-label/" + entry);
    if (target && baseName(*target) == name) return decodeUdevName(entry);
  }
  return std::nullopt;
}

}  // namespace kivo
