#include "platform/KernelFiles.h"
#include "platform/MountTable.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace kivo;

namespace {
std::vector<std::string> mountPoints(const std::vector<MountEntry>& entries) {
  std::vector<std::string> points;
  for (const auto& e : entries) points.push_back(e.mountPoint);
  return points;
}
}  // namespace

TEST(MountTable, DecodesOctalEscapes) {
  const std::pair<const char*, const char*> cases[] = {
      {R"(/media/My\040Disk)", "/media/My Disk"},
      {R"(/a\011b\012c)", "/a\tb\nc"},
      {R"(back\134slash)", "back\\slash"},
      {R"(not\08escape)", R"(not\08escape)"},  // 8 is not an octal digit
      {R"(trailing\04)", R"(trailing\04)"},
      {R"(\)", R"(\)"},
  };
  for (const auto& [raw, decoded] : cases) EXPECT_EQ(MountTable::decode(raw), decoded) << raw;
}

TEST(MountTable, ParsesFieldsAndSkipsBrokenLines) {
  const KernelFiles files(test::fixture("disk-desktop"));
  const auto entries = MountTable::parse(*files.readText("/proc/self/mountinfo"));
  ASSERT_EQ(entries.size(), 16u) << "the line without a separator is skipped";
  const MountEntry& iso = entries[11];
  EXPECT_EQ(iso.mountPoint, "/media/alex/Debian 12 amd64");
  EXPECT_EQ(iso.major, 7u);
  EXPECT_EQ(iso.minor, 4u);
  EXPECT_EQ(iso.fsType, "iso9660");
  EXPECT_EQ(iso.source, "/dev/loop4");
  EXPECT_TRUE(MountTable::hasOption(iso.options, "ro"));
  EXPECT_FALSE(MountTable::hasOption("rw,errors=remount-ro", "ro"));
  EXPECT_EQ(MountTable::optionValue(entries[4].superOptions, "subvolid"), "257");
  EXPECT_EQ(MountTable::optionValue(entries[4].superOptions, "subvol"), "/@home");
}

TEST(MountTable, KeepsOneMountPerFileSystemAndOnlyRealVolumes) {
  const KernelFiles files(test::fixture("disk-desktop"));
  const auto volumes = MountTable::volumes(MountTable::parse(*files.readText("/proc/self/mountinfo")));
  // Left out: proc, sysfs, tmpfs, overlay, autofs, the snap image, the bind mount of a folder of
  // the root file system and the bind mount of a folder of the @home subvolume.
  EXPECT_EQ(mountPoints(volumes),
            (std::vector<std::string>{"/", "/boot/efi", "/home", "/srv/media", "/mnt/nas",
                                      "/media/alex/Debian 12 amd64", "/media/alex/usb", "/mnt/remote"}));
  EXPECT_EQ(MountTable::kind(volumes[4]), MountKind::network);
  EXPECT_EQ(MountTable::kind(volumes[7]), MountKind::network) << "sshfs";
  EXPECT_EQ(MountTable::kind(volumes[2]), MountKind::local);
}

TEST(MountTable, PrefersTheOriginalOverAnEarlierBindAndTheTopmostMount) {
  const auto volumes =
      MountTable::volumes(MountTable::parse("40 1 8:1 /srv/data /mnt/early rw - ext4 /dev/sda1 rw\n"
                                            "41 1 8:1 / /data rw - ext4 /dev/sda1 rw\n"
                                            "42 1 8:2 / /mnt/stick rw - vfat /dev/sdb1 rw\n"
                                            "43 1 8:3 / /mnt/stick rw - exfat /dev/sdc1 rw\n"
                                            "44 1 0:60 / /mnt/nfs rw - nfs 10.0.0.1:/a rw\n"
                                            "45 1 0:61 / /mnt/nfs2 rw - nfs 10.0.0.1:/b rw\n"));
  ASSERT_EQ(volumes.size(), 4u);
  EXPECT_EQ(volumes[0].mountPoint, "/data");
  EXPECT_EQ(volumes[0].root, "/");
  EXPECT_EQ(volumes[1].source, "/dev/sdc1") << "the later mount hides the earlier one";
  EXPECT_EQ(volumes[2].mountPoint, "/mnt/nfs");
  EXPECT_EQ(volumes[3].mountPoint, "/mnt/nfs2") << "two exports are two volumes";
}
