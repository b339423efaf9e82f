#include "platform/MountTable.h"

#include "platform/KernelFiles.h"

#include <array>
#include <charconv>

namespace kivo::MountTable {

namespace {

bool parseDevice(std::string_view field, unsigned& major, unsigned& minor) {
  const auto colon = field.find(':');
  if (colon == std::string_view::npos) return false;
  const auto a = field.substr(0, colon);
  const auto b = field.substr(colon + 1);
  const auto [endA, ecA] = std::from_chars(a.data(), a.data() + a.size(), major);
  const auto [endB, ecB] = std::from_chars(b.data(), b.data() + b.size(), minor);
  return ecA == std::errc() && ecB == std::errc() && endA == a.data() + a.size() &&
         endB == b.data() + b.size();
}

bool parseInt(std::string_view field, int& value) {
  const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
  return ec == std::errc() && end == field.data() + field.size();
}

constexpr std::array<std::string_view, 14> kNetworkTypes{
    "nfs",  "nfs4",      "cifs",   "smb3", "smbfs",      "ncpfs",       "afs",
    "ceph", "glusterfs", "lustre", "9p",   "fuse.sshfs", "fuse.rclone", "fuse.s3fs"};

// File systems that can sit on a block device but are never a user's volume.
constexpr std::array<std::string_view, 2> kNeverVolumes{"autofs", "swap"};

std::string deviceKey(const MountEntry& entry) {
  std::string key = std::to_string(entry.major) + ':' + std::to_string(entry.minor);
  if (entry.fsType == "btrfs") {
    // Every subvolume of one btrfs shares the device number; the subvolume tells them apart.
    auto id = optionValue(entry.superOptions, "subvolid");
    if (id.empty()) id = optionValue(entry.options, "subvolid");
    key.append("/").append(id);
  }
  return key;
}

}  // namespace

std::string decode(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const char a = field[i + 1], b = field[i + 2], c = field[i + 3];
      if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
        out.push_back(static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0')));
        i += 3;
        continue;
      }
    }
    out.push_back(field[i]);
  }
  return out;
}

std::vector<MountEntry> parse(std::string_view text) {
  std::vector<MountEntry> entries;
  std::string_view line;
  while (KernelText::nextLine(text, line)) {
    std::string_view rest = line;
    std::array<std::string_view, 6> head;
    bool ok = true;
    for (auto& field : head) ok = ok && KernelText::nextToken(rest, field);
    if (!ok) continue;
    // Optional fields run up to a lone "-".
    std::string_view token;
    bool separator = false;
    while (KernelText::nextToken(rest, token)) {
      if (token == "-") {
        separator = true;
        break;
      }
    }
    std::string_view fsType, source, superOptions;
    if (!separator || !KernelText::nextToken(rest, fsType) || !KernelText::nextToken(rest, source)) continue;
    KernelText::nextToken(rest, superOptions);

    MountEntry entry;
    if (!parseInt(head[0], entry.mountId) || !parseInt(head[1], entry.parentId) ||
        !parseDevice(head[2], entry.major, entry.minor)) {
      continue;
    }
    entry.root = decode(head[3]);
    entry.mountPoint = decode(head[4]);
    entry.options = std::string(head[5]);
    entry.fsType = decode(fsType);
    entry.source = decode(source);
    entry.superOptions = std::string(superOptions);
    entries.push_back(std::move(entry));
  }
  return entries;
}

bool hasOption(std::string_view options, std::string_view option) {
  while (!options.empty()) {
    const auto comma = options.find(',');
    if (options.substr(0, comma) == option) return true;
    if (comma == std::string_view::npos) break;
    options.remove_prefix(comma + 1);
  }
  return false;
}

std::string_view optionValue(std::string_view options, std::string_view key) {
  while (!options.empty()) {
    const auto comma = options.find(',');
    const auto item = options.substr(0, comma);
    if (item.size() > key.size() && item.starts_with(key) && item[key.size()] == '=') {
      return item.substr(key.size() + 1);
    }
    if (comma == std::string_view::npos) break;
    options.remove_prefix(comma + 1);
  }
  return {};
}

MountKind kind(const MountEntry& entry) {
  for (auto type : kNetworkTypes) {
    if (entry.fsType == type) return MountKind::network;
  }
  for (auto type : kNeverVolumes) {
    if (entry.fsType == type) return MountKind::pseudo;
  }
  // Snap packages are squashfs images mounted read-only under /snap.
  if (entry.fsType == "squashfs" &&
      (entry.mountPoint.starts_with("/snap/") || entry.mountPoint.starts_with("/var/lib/snapd/"))) {
    return MountKind::pseudo;
  }
  if (entry.fsType == "zfs") return MountKind::local;  // its source is a dataset, not a device node
  if (entry.source.starts_with("/dev/") && entry.fsType != "devtmpfs" && entry.fsType != "tmpfs") {
    return MountKind::local;
  }
  return MountKind::pseudo;
}

std::vector<MountEntry> volumes(const std::vector<MountEntry>& entries) {
  std::vector<MountEntry> result;
  std::vector<std::string> keys;
  for (const auto& entry : entries) {
    if (kind(entry) == MountKind::pseudo) continue;
    // A later mount on the same point hides the earlier one.
    for (std::size_t i = 0; i < result.size(); ++i) {
      if (result[i].mountPoint == entry.mountPoint) {
        result.erase(result.begin() + static_cast<std::ptrdiff_t>(i));
        keys.erase(keys.begin() + static_cast<std::ptrdiff_t>(i));
        break;
      }
    }
    const std::string key = deviceKey(entry);
    bool duplicate = false;
    for (std::size_t i = 0; i < result.size(); ++i) {
      if (keys[i] != key) continue;
      duplicate = true;
      // Keep the mount that shows the most of the file system (the original, not a bind of a folder).
      if (entry.root.size() < result[i].root.size()) result[i] = entry;
      break;
    }
    if (duplicate) continue;
    result.push_back(entry);
    keys.push_back(key);
  }
  return result;
}

}  // namespace kivo::MountTable
