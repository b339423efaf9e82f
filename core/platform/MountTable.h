#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kivo {

// One line of /proc/self/mountinfo, with the octal escapes (\040 and so on) decoded.
struct MountEntry {
  int mountId = 0;
  int parentId = 0;
  unsigned major = 0;
  unsigned minor = 0;
  std::string root;  // the part of the file system seen at the mount point
  std::string mountPoint;
  std::string options;  // per-mount options ("ro,nosuid,...")
  std::string fsType;   // "ext4", "nfs4", "fuse.sshfs", ...
  std::string source;   // "/dev/nvme0n1p2", "server:/export", "tmpfs", ...
  std::string superOptions;
};

enum class MountKind { pseudo, local, network };

namespace MountTable {
// Undoes the kernel's escaping of blanks, tabs, newlines and backslashes ("\040" is a space).
std::string decode(std::string_view field);
// Malformed lines are skipped.
std::vector<MountEntry> parse(std::string_view text);
// Whether a comma-separated option list holds exactly this option.
bool hasOption(std::string_view options, std::string_view option);
// Value of "key=value" in an option list; empty when missing.
std::string_view optionValue(std::string_view options, std::string_view key);

// A volume a person would call a disk: block-device and network file systems; everything the
// kernel or a package manager mounts for itself (proc, tmpfs, overlay, autofs, snap images) is pseudo.
MountKind kind(const MountEntry& entry);

// The mounts worth listing as volumes, in mount order: local and network kinds only, one per
// file system (a bind mount or a second mount of the same device is left out; btrfs subvolumes
// are file systems of their own), and only the topmost mount on a mount point.
std::vector<MountEntry> volumes(const std::vector<MountEntry>& entries);
}  // namespace MountTable

}  // namespace kivo
