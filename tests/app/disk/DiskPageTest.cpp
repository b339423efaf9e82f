#include "features/disk/DiskPage.h"
#include "features/disk/DiskPresenter.h"

#include "PageShots.h"
#include "design/KeyedGrid.h"
#include "design/Meter.h"
#include "design/Readout.h"
#include "design/ToneLabel.h"
#include "texts/HomePath.h"

#include <gtest/gtest.h>

#include <QDir>

namespace kivo {
namespace {

VolumeInfo volume(const QString& mount, std::uint64_t total, std::uint64_t available) {
  VolumeInfo info;
  info.name = mount == QStringLiteral("/") ? mount : mount.section(QLatin1Char('/'), -1);
  info.mountPoint = mount;
  info.format = QStringLiteral("ext4");
  info.total = total;
  info.available = available;
  info.free = available;
  info.isInternal = true;
  return info;
}

PhysicalDisk disk(const QString& name, bool image) {
  PhysicalDisk result;
  result.bsdName = name;
  result.model = image ? QStringLiteral("Disk Image") : QStringLiteral("Samsung SSD 980 1TB");
  result.isDiskImage = image;
  if (!image) {
    result.interconnect = QStringLiteral("NVMe");
    result.mediumType = QStringLiteral("Solid State");
  }
  result.size = 1'000'204'886'016ULL;
  result.totalBytesRead = 52'000'000'000ULL;
  result.totalBytesWritten = 31'000'000'000ULL;
  result.readRate = 2'400'000;
  return result;
}

TEST(HomePath, ShortensOnlyTheHomeItselfAndPathsBelowIt) {
  const struct {
    const char* path;
    const char* home;
    const char* shown;
  } cases[] = {
      {"/home/al", "/home/al", "~"},
      {"/home/al/media/usb", "/home/al", "~/media/usb"},
      {"/home/alice", "/home/al", "/home/alice"},
      {"/home/alice/x", "/home/al", "/home/alice/x"},
      {"/home/al/x", "/home/al/", "~/x"},
      {"/mnt/data", "/home/al", "/mnt/data"},
      {"/home/al", "", "/home/al"},
      {"/media", "/", "/media"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(HomePath::abbreviated(QString::fromUtf8(c.path), QString::fromUtf8(c.home)),
              QString::fromUtf8(c.shown));
  }
}

TEST(DiskPresenter, MeterFractionAndDangerOnlyAboveNinetyPercent) {
  const ValueFormatter format;
  const struct {
    std::uint64_t total;
    std::uint64_t available;
    double fraction;
    bool danger;
    const char* meterText;
  } cases[] = {
      {1000, 100, 0.9, false, "90% used or reserved"},  // exactly 90 % keeps the family colour
      {1000, 50, 0.95, true, "95% used or reserved"},
      {1000, 2000, 0.0, false, "0% used or reserved"},  // more available than total: empty meter
      {0, 0, 0.0, false, "0% used or reserved"},        // no division by zero
  };
  for (const auto& c : cases) {
    const auto block = DiskPresenter::volumeBlock(volume("/data", c.total, c.available), format, "/home/al");
    EXPECT_DOUBLE_EQ(block.fraction, c.fraction);
    EXPECT_EQ(block.danger, c.danger);
    // The bar counts root's reserved blocks too; its label says so rather than "used".
    EXPECT_EQ(block.meterText, QString::fromUtf8(c.meterText));
  }
}

TEST(DiskPresenter, TagsSymbolAndCaption) {
  const ValueFormatter format(QLocale(QLocale::English, QLocale::UnitedStates));
  auto root = volume("/", 500'000'000'000ULL, 200'000'000'000ULL);
  root.isRoot = true;
  root.isReadOnly = true;
  root.bsdName = QStringLiteral("nvme0n1p2");
  root.containerBSDName = QStringLiteral("nvme0n1");
  root.connection = QStringLiteral("NVMe");
  const auto block = DiskPresenter::volumeBlock(root, format, "/home/al");
  EXPECT_EQ(block.tags, QStringList({"STARTUP", "READ-ONLY"}));
  EXPECT_EQ(block.symbol, QStringLiteral("internaldrive"));
  EXPECT_EQ(block.space, QStringLiteral("200.0 GB available of 500.0 GB"));
  EXPECT_EQ(block.caption, QStringList({"ext4", "/", "nvme0n1p2 → nvme0n1", "NVMe"}));

  auto stick = volume("/home/al/usb", 1000, 10);
  stick.isRemovable = true;
  stick.isReadOnly = true;
  stick.isInternal = false;
  const auto usb = DiskPresenter::volumeBlock(stick, format, "/home/al");
  EXPECT_EQ(usb.tags, QStringList({"READ-ONLY", "REMOVABLE"}));
  EXPECT_EQ(usb.symbol, QStringLiteral("externaldrive"));
  EXPECT_EQ(usb.caption, QStringList({"ext4", "~/usb"}));  // no device without a kernel name

  auto share = volume("/mnt/share", 1000, 10);
  share.isNetwork = true;  // and internal: the network symbol wins
  share.format = QString();
  EXPECT_EQ(DiskPresenter::volumeBlock(share, format, "/home/al").symbol,
            QStringLiteral("externaldrive.connected.to.line.below"));
  EXPECT_EQ(DiskPresenter::volumeBlock(share, format, "/home/al").caption, QStringList({"/mnt/share"}));
}

TEST(DiskPresenter, ModelColumnShowsOnlyAPublishedModel) {
  const ValueFormatter format(QLocale(QLocale::English, QLocale::UnitedStates));
  const struct {
    const char* disk;
    const char* model;
    bool image;
    const char* shown;
  } cases[] = {
      {"nvme0n1", "Samsung SSD 980 1TB", false, "Samsung SSD 980 1TB"},
      {"vda", "", false, "—"},  // virtio publishes none: not the kernel name again
      {"loop0", "Disk Image", true, "Disk image"},
  };
  for (const auto& c : cases) {
    PhysicalDisk device = disk(QString::fromUtf8(c.disk), c.image);
    device.model = QString::fromUtf8(c.model);
    EXPECT_EQ(DiskPresenter::deviceRow(device, format).model, QString::fromUtf8(c.shown)) << c.disk;
  }
}

TEST(DiskPresenter, DiskImagesReadDiskImageWithTheirOwnFigures) {
  const ValueFormatter format(QLocale(QLocale::English, QLocale::UnitedStates));
  const auto image = DiskPresenter::deviceRow(disk("loop0", true), format);
  EXPECT_EQ(image.model, QStringLiteral("Disk image"));
  EXPECT_EQ(image.connection, QStringLiteral("—"));
  EXPECT_TRUE(image.secondary);
  EXPECT_EQ(image.read, format.rate(2'400'000));
  EXPECT_EQ(image.write, QStringLiteral("—"));
  const auto nvme = DiskPresenter::deviceRow(disk("nvme0n1", false), format);
  EXPECT_EQ(nvme.model, QStringLiteral("Samsung SSD 980 1TB"));
  EXPECT_EQ(nvme.connection, QStringLiteral("NVMe · Solid State"));
  EXPECT_FALSE(nvme.secondary);
  PhysicalDisk bare = disk("sda", false);
  bare.interconnect.reset();
  bare.mediumType.reset();
  bare.size.reset();
  const auto row = DiskPresenter::deviceRow(bare, format);
  EXPECT_EQ(row.connection, QString());
  EXPECT_EQ(row.size, QStringLiteral("—"));
  const struct {
    std::size_t volumes, devices;
    const char* words;
  } counts[] = {{0, 0, "0 volumes · 0 block devices"},
                {1, 1, "1 volume · 1 block device"},
                {2, 1, "2 volumes · 1 block device"},
                {1, 3, "1 volume · 3 block devices"}};
  for (const auto& c : counts)
    EXPECT_EQ(DiskPresenter::subtitle(c.volumes, c.devices), QString::fromUtf8(c.words));
}

TelemetrySnapshot diskSnapshot(double seconds, std::vector<VolumeInfo> volumes) {
  auto snapshot =
      test::snapshotAt(seconds, {{MetricID::diskRead, 2'000'000.0 + seconds * 30'000},
                                 {MetricID::diskWrite, 600'000.0 + (static_cast<int>(seconds) % 9) * 80'000},
                                 {MetricID::diskFree, 210'000'000'000.0 - seconds * 1'000'000}});
  snapshot.volumes = std::move(volumes);
  snapshot.disk = DiskActivitySample{{disk("loop0", true), disk("nvme0n1", false)}, 2'400'000.0, 0.0};
  return snapshot;
}

std::vector<VolumeInfo> machineVolumes() {
  auto root = volume("/", 500'000'000'000ULL, 210'000'000'000ULL);
  root.isRoot = true;
  root.bsdName = QStringLiteral("nvme0n1p2");
  root.containerBSDName = QStringLiteral("nvme0n1");
  root.connection = QStringLiteral("NVMe");
  auto full = volume("/srv/backup", 2'000'000'000'000ULL, 60'000'000'000ULL);
  full.format = QStringLiteral("xfs");
  auto stick = volume(QDir::homePath() + QStringLiteral("/usb"), 64'000'000'000ULL, 20'000'000'000ULL);
  stick.name = QStringLiteral("KINGSTON");
  stick.isRemovable = true;
  stick.isInternal = false;
  stick.format = QStringLiteral("vfat");
  stick.connection = QStringLiteral("USB");
  return {root, full, stick};
}

TEST(DiskPage, BeforeTheFirstSnapshotThenUpdatedInPlace) {
  test::ModelRig rig;
  DiskPage page(*rig.model);
  EXPECT_TRUE(page.findChildren<QWidget*>(QStringLiteral("disk.volume")).empty());
  EXPECT_TRUE(page.findChild<KeyedGrid*>(QStringLiteral("disk.devices"))->ids().isEmpty());
  for (auto* readout : page.findChildren<Readout*>()) EXPECT_EQ(readout->shownValue(), QStringLiteral("—"));

  auto volumes = machineVolumes();
  rig.model->ingest(diskSnapshot(0, volumes));
  auto shown = page.findChildren<QWidget*>(QStringLiteral("disk.volume"));
  ASSERT_EQ(shown.size(), 3);
  QWidget* rootView = shown.first();
  volumes.erase(volumes.begin() + 1);
  rig.model->ingest(diskSnapshot(2, volumes));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  shown = page.findChildren<QWidget*>(QStringLiteral("disk.volume"));
  ASSERT_EQ(shown.size(), 2);
  EXPECT_TRUE(shown.contains(rootView));  // kept, not rebuilt
  EXPECT_EQ(page.findChild<KeyedGrid*>(QStringLiteral("disk.devices"))->ids(),
            QStringList({"loop0", "nvme0n1"}));
  auto* loopModel =
      static_cast<ToneLabel*>(page.findChild<KeyedGrid*>(QStringLiteral("disk.devices"))->cells("loop0")[1]);
  EXPECT_EQ(loopModel->text(), QStringLiteral("Disk image"));
  EXPECT_EQ(loopModel->tone(), Palette::textSecondary);
}

TEST(DiskPage, FitsAnyWindowWithoutSidewaysScrollAndIsShotAtEachSize) {
  test::ModelRig rig;
  for (int i = 0; i < 40; ++i) rig.model->ingest(diskSnapshot(i * 2.0, machineVolumes()));
  const auto make = [&](QWidget* parent) { return new DiskPage(*rig.model, parent); };
  for (const QSize size : {QSize(580, 560), QSize(860, 560), QSize(1000, 860)})
    test::expectNoSidewaysScroll(make, size);
  EXPECT_EQ(test::shootPage(make, QStringLiteral("disk"), QStringLiteral("sizes")).size(), 8);
}

TEST(DiskPage, WritesThePageForALook) {
  test::ModelRig rig;
  {
    DiskPage empty(*rig.model);
    EXPECT_TRUE(test::savePage(empty, QStringLiteral("disk"), QStringLiteral("disk-empty"), false));
  }
  for (int i = 0; i < 40; ++i) rig.model->ingest(diskSnapshot(i * 2.0, machineVolumes()));
  for (bool dark : {false, true}) {
    DiskPage page(*rig.model);
    EXPECT_TRUE(test::savePage(page, QStringLiteral("disk"), QStringLiteral("disk"), dark));
    EXPECT_TRUE(test::savePage(page, QStringLiteral("disk"), QStringLiteral("disk-narrow"), dark, 700, 2600));
  }
}

}  // namespace
}  // namespace kivo
