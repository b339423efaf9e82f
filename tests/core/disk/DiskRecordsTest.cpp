#include "collectors/DiskActivitySample.h"
#include "collectors/VolumeInfo.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

using namespace kivo;

namespace {
VolumeInfo sampleVolume() {
  VolumeInfo v;
  v.name = "Data";
  v.mountPoint = "/mnt/data disk";
  v.format = "ext4";
  v.total = 500'000'000'000ull;
  v.available = 120'000'000'000ull;
  v.free = 120'000'000'000ull;
  v.isInternal = true;
  v.bsdName = QStringLiteral("nvme0n1p3");
  v.containerBSDName = QStringLiteral("nvme0n1");
  return v;
}
}  // namespace

TEST(VolumeInfo, UsedNeverWrapsBelowZero) {
  VolumeInfo v = sampleVolume();
  EXPECT_EQ(v.used(), 380'000'000'000ull);
  EXPECT_DOUBLE_EQ(v.usedFraction(), 0.76);
  v.available = v.total + 1;  // a file system may report more than its size
  EXPECT_EQ(v.used(), 0u);
  EXPECT_EQ(v.usedFraction(), 0.0);
  v.total = 0;
  EXPECT_EQ(v.usedFraction(), 0.0);
}

TEST(VolumeInfo, JsonRoundTripLeavesAbsentTextsOut) {
  const VolumeInfo v = sampleVolume();
  const QJsonObject json = v.toJson();
  EXPECT_FALSE(json.contains("deviceModel"));
  EXPECT_FALSE(json.contains("connection"));
  EXPECT_EQ(json.value("containerBSDName").toString(), "nvme0n1");
  // Through text, so the 64-bit byte counts must survive serialisation exactly.
  const auto text = QJsonDocument(json).toJson();
  const auto back = VolumeInfo::fromJson(QJsonDocument::fromJson(text).object());
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, v);

  QJsonObject missing = json;
  missing.remove("isNetwork");
  EXPECT_FALSE(VolumeInfo::fromJson(missing)) << "a required key is missing";
  QJsonObject wrongType = json;
  wrongType.insert("bsdName", 3);
  EXPECT_FALSE(VolumeInfo::fromJson(wrongType)) << "an optional text of the wrong type";
  QJsonObject negative = json;
  negative.insert("total", -1);
  EXPECT_FALSE(VolumeInfo::fromJson(negative));
}

TEST(DiskActivitySample, JsonRoundTripKeepsHugeCountersAndAbsentRates) {
  PhysicalDisk disk;
  disk.bsdName = "nvme0n1";
  disk.model = "Samsung SSD 980";
  disk.mediumType = QStringLiteral("Solid State");
  disk.interconnect = QStringLiteral("NVMe");
  disk.isInternal = true;
  disk.size = 1'000'204'886'016ull;
  disk.totalBytesRead = (1ull << 62) + 1;  // beyond double precision
  disk.totalBytesWritten = UINT64_MAX;
  disk.readRate = 1048576.0;
  PhysicalDisk image;
  image.bsdName = "loop0";
  image.model = "Disk Image";
  image.isDiskImage = true;

  const DiskActivitySample sample{{disk, image}, 1048576.0, std::nullopt};
  const QJsonObject json = sample.toJson();
  EXPECT_FALSE(json.contains("writeRate"));
  const auto back =
      DiskActivitySample::fromJson(QJsonDocument::fromJson(QJsonDocument(json).toJson()).object());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->disks[0].totalBytesRead, (1ull << 62) + 1);
  EXPECT_EQ(back->disks[0].totalBytesWritten, UINT64_MAX);
  EXPECT_FALSE(back->disks[1].size);
  EXPECT_FALSE(back->disks[0].writeRate);
  EXPECT_EQ(back->disks[0].readRate, 1048576.0);
  EXPECT_EQ(back->disks[1], image);

  QJsonObject broken = json;
  broken.insert("disks", QJsonArray{QJsonObject{{"bsdName", "sda"}}});
  EXPECT_FALSE(DiskActivitySample::fromJson(broken));
}
