#include "collectors/DiskCollector.h"
#include "collectors/DiskMath.h"
#include "platform/BlockDevices.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>

using namespace kivo;
namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kGB = 1'000'000'000ull;

// Capacities by mount point, as statvfs would give them for the fixture's mounts.
std::optional<FileSystemSpace> cannedSpace(const std::string& root, const std::string& path) {
  // Never destroyed: a read still on its way at exit may look here.
  static const auto& spaces = *new std::map<std::string, FileSystemSpace>{
      {"/", {500 * kGB, 120 * kGB, false}},
      {"/boot/efi", {0, 0, false}},  // reports no size: not listed
      {"/home", {1000 * kGB, 400 * kGB, false}},
      {"/srv/media", {1000 * kGB, 400 * kGB, false}},
      {"/mnt/nas", {4000 * kGB, 1000 * kGB, false}},
      {"/media/alex/Debian 12 amd64", {660 * 1000 * 1000ull, 0, true}},
      {"/media/alex/usb", {32 * kGB, 30 * kGB, false}},
  };  // /mnt/remote fails
  const auto it = spaces.find(path.substr(root.size()));
  if (it == spaces.end()) return std::nullopt;
  return it->second;
}

const VolumeInfo* find(const std::vector<VolumeInfo>& volumes, const QString& mountPoint) {
  for (const auto& v : volumes) {
    if (v.mountPoint == mountPoint) return &v;
  }
  return nullptr;
}

// A writable copy of a fixture tree, so a test can move counters between readings.
class FixtureCopy {
 public:
  explicit FixtureCopy(const std::string& name) {
    fs::copy(test::fixture(name), dir_.path().toStdString(),
             fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  }
  std::string root() const { return dir_.path().toStdString(); }
  void write(const std::string& relative, const std::string& text) const {
    std::ofstream(root() + relative, std::ios::trunc) << text;  // same inode: open descriptors see it
  }

 private:
  QTemporaryDir dir_;
};

const char* kStatsBefore =
    "   7       4 loop4 1200 0 409600 80 0 0 0 0 0 100 80 0 0 0 0 0 0\n"
    " 259       0 nvme0n1 100000 2000 8000000 50000 50000 3000 4000000 90000 0 80000 140000 0 0 0 0 0 0\n"
    " 259       2 nvme0n1p2 90000 2000 7000000 45000 45000 3000 3500000 80000 0 70000 125000 0 0 0 0 0 0\n"
    "   8       0 sda 2000 10 160000 9000 100 20 8000 3000 0 6000 12000 0 0 0 0 0 0\n"
    "   8      16 sdb 500 0 40000 1000 10 0 800 200 0 900 1200 0 0 0 0 0 0\n";
// One second later: nvme0n1 read 1 MiB in 8 reads, loop4 read 1 MiB, sda's write counter went
// down (a driver reset), the partition's counters moved too (they must not count twice).
const char* kStatsAfter =
    "   7       4 loop4 1208 0 411648 80 0 0 0 0 0 100 80 0 0 0 0 0 0\n"
    " 259       0 nvme0n1 100008 2000 8002048 50000 50000 3000 4000000 90000 0 80000 140000 0 0 0 0 0 0\n"
    " 259       2 nvme0n1p2 90008 2000 7002048 45000 45000 3000 3500000 80000 0 70000 125000 0 0 0 0 0 0\n"
    "   8       0 sda 2000 10 160000 9000 90 20 7000 3000 0 6000 12000 0 0 0 0 0 0\n"
    "   8      16 sdb 500 0 40000 1000 10 0 800 200 0 900 1200 0 0 0 0 0 0\n";

const PhysicalDisk* disk(const DiskActivitySample& sample, const QString& name) {
  for (const auto& d : sample.disks) {
    if (d.bsdName == name) return &d;
  }
  return nullptr;
}

}  // namespace

TEST(NaturalOrder, ComparesDigitRunsByValue) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"disk2", "disk10", true},     {"disk10", "disk2", false},    {"sda", "sdb", true},
      {"nvme0n1", "nvme10n1", true}, {"nvme1n1", "nvme0n1", false}, {"sda", "sda1", true},
      {"loop9", "loop10", true},     {"sdb", "sdb", false},         {"disk02", "disk3", true},
  };
  for (const auto& [a, b, less] : cases) EXPECT_EQ(naturalLess(a, b), less) << a << " < " << b;
}

TEST(DiskStats, LinesAreReadInBytesAndMalformedOnesRefused) {
  DiskStatLine line;
  ASSERT_TRUE(DiskStats::parseLine(" 259 0 nvme0n1 10 0 2048 5 20 0 4096 9 0 0 0", line));
  EXPECT_EQ(line.name, "nvme0n1");
  EXPECT_EQ(line.readOperations, 10u);
  EXPECT_EQ(line.bytesRead, 2048u * 512);
  EXPECT_EQ(line.writeOperations, 20u);
  EXPECT_EQ(line.bytesWritten, 4096u * 512);
  EXPECT_FALSE(DiskStats::parseLine(" 8 0 sda 1 0 2 3", line)) << "cut short";
  EXPECT_FALSE(DiskStats::parseLine(" 8 0 sda 1 0 x 3 4 0 5 6", line));
  // Sector counts that would wrap once turned into bytes.
  EXPECT_FALSE(DiskStats::parseLine(" 8 0 sda 1 0 36028797018963968 3 4 0 5 6", line));
  EXPECT_FALSE(DiskStats::parseLine(" 8 0 sda 1 0 5 3 4 0 18446744073709551615 6", line));
}

TEST(DiskMath, RateRule) {
  const DiskCounters before{1000, 5000, 10, 20};
  const DiskCounters after{1000 + 1048576, 4000, 18, 20};
  const DiskRates r = DiskMath::rates(before, after, 1.0);
  EXPECT_EQ(r.read, 1048576.0);
  EXPECT_FALSE(r.write) << "a counter that went down is a reset, not a wrap";
  EXPECT_EQ(r.readOps, 8.0);
  EXPECT_EQ(r.writeOps, 0.0);
  EXPECT_EQ(DiskMath::rates(before, after, 0.0), DiskRates{});
  EXPECT_EQ(DiskMath::rates(before, after, -1.0), DiskRates{});
  EXPECT_EQ(DiskMath::rate(0, UINT64_MAX, 2.0), static_cast<double>(UINT64_MAX) / 2.0);
}

TEST(DiskCollector, ListsVolumesWithTheirDevices) {
  const std::string root = test::fixture("disk-desktop");
  DiskCollector collector(
      {root, [root](const std::string& p) { return cannedSpace(root, p); }, std::chrono::milliseconds(2000)});
  const auto volumes = collector.volumes();
  std::vector<QString> points;
  for (const auto& v : volumes) points.push_back(v.mountPoint);
  EXPECT_EQ(points, (std::vector<QString>{"/", "/home", "/srv/media", "/mnt/nas",
                                          "/media/alex/Debian 12 amd64", "/media/alex/usb"}))
      << "/boot/efi has no size, /mnt/remote cannot be read";

  const VolumeInfo* root_ = find(volumes, "/");
  ASSERT_TRUE(root_);
  EXPECT_EQ(root_->name, "/");
  EXPECT_EQ(root_->format, "ext4");
  EXPECT_EQ(root_->total, 500 * kGB);
  EXPECT_EQ(root_->available, 120 * kGB);
  EXPECT_EQ(root_->free, 120 * kGB);
  EXPECT_TRUE(root_->isRoot);
  EXPECT_TRUE(root_->isInternal);
  EXPECT_FALSE(root_->isRemovable);
  EXPECT_FALSE(root_->isReadOnly) << "errors=remount-ro is not ro";
  EXPECT_EQ(root_->bsdName, "nvme0n1p2");
  EXPECT_EQ(root_->containerBSDName, "nvme0n1");
  EXPECT_EQ(root_->deviceModel, "Samsung SSD 980 PRO 1TB") << "padding trimmed";
  EXPECT_EQ(root_->connection, "NVMe");

  const VolumeInfo* home = find(volumes, "/home");
  ASSERT_TRUE(home);
  EXPECT_EQ(home->name, "home");
  EXPECT_EQ(home->bsdName, "dm-0") << "found through /dev/mapper";
  EXPECT_EQ(home->containerBSDName, "nvme0n1") << "the disk under the encrypted partition";
  EXPECT_TRUE(home->isInternal);

  const VolumeInfo* nas = find(volumes, "/mnt/nas");
  ASSERT_TRUE(nas);
  EXPECT_TRUE(nas->isNetwork);
  EXPECT_FALSE(nas->isInternal);
  EXPECT_EQ(nas->format, "nfs4");
  EXPECT_FALSE(nas->bsdName);
  EXPECT_FALSE(nas->deviceModel);

  const VolumeInfo* image = find(volumes, "/media/alex/Debian 12 amd64");
  ASSERT_TRUE(image);
  EXPECT_EQ(image->name, "Debian 12 amd64");
  EXPECT_TRUE(image->isReadOnly);
  EXPECT_FALSE(image->isInternal);
  EXPECT_EQ(image->bsdName, "loop4");
  EXPECT_EQ(image->containerBSDName, "loop4");
  EXPECT_EQ(image->connection, "Virtual Interface");
  EXPECT_EQ(image->used(), image->total);

  const VolumeInfo* usb = find(volumes, "/media/alex/usb");
  ASSERT_TRUE(usb);
  EXPECT_EQ(usb->name, "Holiday Photos") << "the label from /dev/disk/by-label";
  EXPECT_TRUE(usb->isRemovable);
  EXPECT_FALSE(usb->isInternal);
  EXPECT_EQ(usb->connection, "USB");
  EXPECT_EQ(usb->deviceModel, "Flash Drive");
  EXPECT_EQ(usb->containerBSDName, "sdb");
}

// A network server that does not answer until released. The collector's reads run on threads
// that may outlive the test, so they share this by pointer, never through the test's stack.
struct HangingServer {
  std::mutex mutex;
  std::condition_variable changed;
  bool released = false;
  int reads = 0;     // reads started
  int returned = 0;  // reads that returned
};

TEST(DiskCollector, AHangingNetworkVolumeNeverHoldsUpTheListing) {
  const std::string root = test::fixture("disk-desktop");
  const auto nas = std::make_shared<HangingServer>();
  DiskCollector collector({root,
                           [root, nas](const std::string& p) {
                             if (p == root + "/mnt/nas") {
                               std::unique_lock lock(nas->mutex);
                               ++nas->reads;
                               nas->changed.wait(lock, [&] { return nas->released; });
                               ++nas->returned;
                               nas->changed.notify_all();
                             }
                             return cannedSpace(root, p);
                           },
                           std::chrono::milliseconds(50)});
  auto volumes = collector.volumes();
  EXPECT_FALSE(find(volumes, "/mnt/nas"));
  EXPECT_TRUE(find(volumes, "/"));
  volumes = collector.volumes();
  EXPECT_FALSE(find(volumes, "/mnt/nas"));
  {
    std::lock_guard lock(nas->mutex);
    EXPECT_EQ(nas->reads, 1) << "a read that still hangs is not started again";
    nas->released = true;
  }
  nas->changed.notify_all();

  // Once the server answers, a listing reads it again; one whose read is still on its way (a
  // busy machine) leaves it out, so list again after each read has returned.
  for (int attempt = 0; attempt < 100 && !find(volumes, "/mnt/nas"); ++attempt) {
    {
      std::unique_lock lock(nas->mutex);
      ASSERT_TRUE(
          nas->changed.wait_for(lock, std::chrono::seconds(60), [&] { return nas->returned == nas->reads; }));
    }
    volumes = collector.volumes();
  }
  EXPECT_TRUE(find(volumes, "/mnt/nas")) << "listed again once the server answers";
}

TEST(DiskCollector, ReadsWholeDisksInNaturalOrder) {
  const auto disks = DiskCollector::readDisks(test::fixture("disk-desktop"));
  std::vector<QString> names;
  for (const auto& d : disks) names.push_back(d.bsdName);
  // Not partitions, dm, zram, nor the unattached loop5.
  EXPECT_EQ(names, (std::vector<QString>{"loop3", "loop4", "nvme0n1", "sda", "sdb"}));

  const RawDisk& image = disks[1];
  EXPECT_EQ(image.model, "Disk Image");
  EXPECT_TRUE(image.isDiskImage);
  EXPECT_FALSE(image.isInternal);
  EXPECT_EQ(image.interconnect, "Virtual Interface");
  EXPECT_FALSE(image.mediumType);
  EXPECT_EQ(image.size, 1290240ull * 512);
  EXPECT_EQ(image.counters.bytesRead, 409600ull * 512);

  const RawDisk& nvme = disks[2];
  EXPECT_EQ(nvme.model, "Samsung SSD 980 PRO 1TB");
  EXPECT_EQ(nvme.mediumType, "Solid State");
  EXPECT_EQ(nvme.interconnect, "NVMe");
  EXPECT_TRUE(nvme.isInternal);
  EXPECT_EQ(nvme.counters, (DiskCounters{8000000ull * 512, 4000000ull * 512, 100000, 50000}));

  EXPECT_EQ(disks[3].model, "WDC WD40EFRX-68N") << "a trailing tab is trimmed";
  EXPECT_EQ(disks[3].mediumType, "Rotational");
  EXPECT_EQ(disks[3].interconnect, "SATA");
  EXPECT_EQ(disks[4].interconnect, "USB");
  EXPECT_FALSE(disks[4].isInternal);

  EXPECT_TRUE(DiskCollector::readDisks(test::fixture("no-such-tree")).empty());
}

// Virtual disks (virtio, some USB bridges) publish no model: the model stays empty for the page
// to show as absent, never the kernel name in its place.
TEST(DiskCollector, ModelOnlyAsTheKernelPublishesIt) {
  const std::string model = "/sys/devices/pci0000:00/0000:00:17.0/ata1/host1/target1:0:0/1:0:0:0/model";
  const struct {
    const char* file;  // nullptr: no model file
    const char* expected;
  } cases[] = {
      {"WDC WD40EFRX-68N\n", "WDC WD40EFRX-68N"},
      {"   \n", ""},
      {nullptr, ""},
  };
  for (const auto& c : cases) {
    FixtureCopy tree("disk-desktop");
    if (c.file)
      tree.write(model, c.file);
    else
      fs::remove(tree.root() + model);
    const auto disks = DiskCollector::readDisks(tree.root());
    ASSERT_EQ(disks.size(), 5u);
    EXPECT_EQ(disks[3].bsdName, "sda");
    EXPECT_EQ(disks[3].model, QString::fromUtf8(c.expected)) << (c.file ? c.file : "no file");
  }
}

TEST(DiskCollector, RatesBetweenReadingsLeaveDiskImagesOutOfTheTotals) {
  FixtureCopy tree("disk-desktop");
  tree.write("/proc/diskstats", kStatsBefore);
  DiskCollector collector({tree.root()});

  DiskActivitySample first = collector.activity(100.0);
  ASSERT_EQ(first.disks.size(), 4u);
  EXPECT_FALSE(first.readRate);
  EXPECT_FALSE(first.writeRate);
  for (const auto& d : first.disks)
    EXPECT_FALSE(d.readRate || d.writeRate || d.readOpsRate || d.writeOpsRate);

  tree.write("/proc/diskstats", kStatsAfter);
  const DiskActivitySample second = collector.activity(101.0);
  const PhysicalDisk* nvme = disk(second, "nvme0n1");
  const PhysicalDisk* image = disk(second, "loop4");
  const PhysicalDisk* sda = disk(second, "sda");
  ASSERT_TRUE(nvme && image && sda);
  EXPECT_EQ(nvme->readRate, 1048576.0);
  EXPECT_EQ(nvme->readOpsRate, 8.0);
  EXPECT_EQ(nvme->writeRate, 0.0);
  EXPECT_EQ(nvme->totalBytesRead, 8002048ull * 512);
  EXPECT_EQ(image->readRate, 1048576.0);
  EXPECT_EQ(sda->readRate, 0.0);
  EXPECT_FALSE(sda->writeRate) << "its write counter went down";
  EXPECT_FALSE(sda->writeOpsRate);
  EXPECT_EQ(second.readRate, 1048576.0) << "the disk image and the partition add nothing";
  EXPECT_EQ(second.writeRate, 0.0) << "sda's absent write rate is left out, the others are 0";

  const DiskActivitySample sameTime = collector.activity(101.0);
  EXPECT_FALSE(sameTime.readRate);
  EXPECT_FALSE(disk(sameTime, "nvme0n1")->readRate);

  collector.reset();
  const DiskActivitySample afterReset = collector.activity(150.0);
  EXPECT_FALSE(afterReset.readRate);
  EXPECT_FALSE(disk(afterReset, "nvme0n1")->readRate);
}

TEST(DiskCollector, ADiskThatComesAndGoesHasNoRateOnItsFirstReading) {
  FixtureCopy tree("disk-desktop");
  tree.write("/proc/diskstats", kStatsBefore);
  DiskCollector collector({tree.root()});
  collector.activity(10.0);

  // The USB stick is pulled: its line and its sysfs entry go.
  fs::remove(tree.root() + "/sys/block/sdb");
  std::string without = kStatsAfter;
  without.erase(without.find("   8      16 sdb"));
  tree.write("/proc/diskstats", without);
  auto sample = collector.activity(11.0);
  EXPECT_FALSE(disk(sample, "sdb"));
  EXPECT_EQ(disk(sample, "nvme0n1")->readRate, 1048576.0);

  // It comes back: listed again, without a rate until the next reading.
  fs::create_directory_symlink(
      "../devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host0/target0:0:0/0:0:0:0/block/sdb",
      tree.root() + "/sys/block/sdb");
  tree.write("/proc/diskstats", kStatsAfter);
  sample = collector.activity(12.0);
  ASSERT_TRUE(disk(sample, "sdb"));
  EXPECT_FALSE(disk(sample, "sdb")->readRate);
  sample = collector.activity(13.0);
  EXPECT_EQ(disk(sample, "sdb")->readRate, 0.0);
}

TEST(DiskCollector, AnEmptyOrMissingDiskstatsGivesAnEmptySampleAndDropsTheBaseline) {
  DiskCollector missing({test::fixture("no-such-tree")});
  EXPECT_EQ(missing.activity(1.0), DiskActivitySample{});
  EXPECT_EQ(missing.activity(2.0), DiskActivitySample{});

  FixtureCopy tree("disk-desktop");
  tree.write("/proc/diskstats", kStatsBefore);
  DiskCollector collector({tree.root()});
  collector.activity(1.0);
  tree.write("/proc/diskstats", "garbage\n");
  const auto empty = collector.activity(2.0);
  EXPECT_TRUE(empty.disks.empty());
  EXPECT_FALSE(empty.readRate);
  tree.write("/proc/diskstats", kStatsAfter);
  const auto back = collector.activity(3.0);
  EXPECT_FALSE(disk(back, "nvme0n1")->readRate) << "no baseline survives an empty reading";
}

TEST(DiskCollector, ReadsTheLiveMachine) {
  DiskCollector collector;
  const auto volumes = collector.volumes();
  EXPECT_TRUE(std::any_of(volumes.begin(), volumes.end(), [](const VolumeInfo& v) { return v.isRoot; }));
  for (const auto& v : volumes) EXPECT_GT(v.total, 0u) << v.mountPoint.toStdString();
  collector.activity(1.0);
  const auto sample = collector.activity(2.0);
  for (const auto& d : sample.disks) {
    if (!d.isDiskImage) {
      EXPECT_TRUE(d.readRate) << d.bsdName.toStdString();
    }
  }
}

TEST(DiskCollector, AnAttachedDiskImageShowsUpAfterTheVolumesAreReadAgain) {
  FixtureCopy tree("disk-desktop");
  tree.write("/proc/diskstats",
             std::string(kStatsBefore) + "   7       5 loop5 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n");
  DiskCollector collector({tree.root(), [](const std::string&) { return std::nullopt; }});
  EXPECT_FALSE(disk(collector.activity(1.0), "loop5")) << "not attached";

  // Attaching a loop device changes no device name in /proc/diskstats; the mount that follows
  // makes the engine read the volumes, and the next tick walks sysfs again.
  fs::create_directories(tree.root() + "/sys/devices/virtual/block/loop5/loop");
  tree.write("/sys/devices/virtual/block/loop5/loop/backing_file", "/home/alex/image.img\n");
  EXPECT_FALSE(disk(collector.activity(2.0), "loop5"));
  collector.volumes();
  const auto sample = collector.activity(3.0);
  ASSERT_TRUE(disk(sample, "loop5"));
  EXPECT_TRUE(disk(sample, "loop5")->isDiskImage);
}

TEST(DiskCollector, HiddenMultipathDevicesAreNotDisks) {
  FixtureCopy tree("disk-desktop");
  fs::create_directories(tree.root() + "/sys/block/nvme0c0n1/device");
  tree.write("/sys/block/nvme0c0n1/hidden", "1\n");
  tree.write(
      "/proc/diskstats",
      std::string(kStatsBefore) +
          " 259       9 nvme0c0n1 100000 2000 8000000 50000 50000 3000 4000000 90000 0 0 0 0 0 0 0 0 0\n");
  const auto disks = DiskCollector::readDisks(tree.root());
  for (const auto& d : disks) EXPECT_NE(d.bsdName, "nvme0c0n1");
  EXPECT_EQ(disks.size(), 4u);
}
