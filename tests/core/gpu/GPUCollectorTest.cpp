#include "collectors/GPUCollector.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

class FakeNvidia : public NvidiaManagement {
 public:
  std::vector<NvidiaReading> readings;
  int calls = 0;
  std::vector<NvidiaReading> read() override {
    ++calls;
    return readings;
  }
};

GPUCollector collector(const char* fixture, std::shared_ptr<NvidiaManagement> nvidia = nullptr) {
  return GPUCollector(test::fixture(fixture), std::move(nvidia));
}

TEST(GPUCollector, DevicesFromDrmCards) {
  const auto devices = collector("gpu-amdgpu").devices();
  ASSERT_EQ(devices.size(), 2u);  // connectors, render nodes and "version" are not cards

  const GPUDevice& intel = devices[0];
  EXPECT_EQ(intel.id, 0u);
  EXPECT_EQ(intel.name, QStringLiteral("Intel GPU"));  // not in the id database: the maker
  EXPECT_EQ(intel.vendorID, 0x8086u);
  EXPECT_EQ(intel.driver, QStringLiteral("i915"));
  EXPECT_TRUE(intel.isHeadless);  // its only connector is disconnected
  EXPECT_FALSE(intel.isRemovable);

  const GPUDevice& amd = devices[1];
  EXPECT_EQ(amd.id, 1u);
  EXPECT_EQ(amd.name, QStringLiteral("Navi 23 [Radeon RX 6600/6600 XT/6600M]"));
  EXPECT_EQ(amd.vendorID, 0x1002u);
  EXPECT_EQ(amd.deviceID, 0x73ffu);
  EXPECT_EQ(amd.driver, QStringLiteral("amdgpu"));
  EXPECT_EQ(amd.isRemovable, false);
  EXPECT_FALSE(amd.isHeadless);
  // What the kernel does not publish stays absent.
  EXPECT_FALSE(amd.isLowPower);
  EXPECT_FALSE(amd.hasUnifiedMemory);
  EXPECT_FALSE(amd.recommendedMaxWorkingSet);
  EXPECT_FALSE(amd.maxBufferLength);
  EXPECT_FALSE(amd.supportsRaytracing);
  EXPECT_FALSE(amd.supports32BitMSAA);
  EXPECT_FALSE(amd.maxThreadsPerThreadgroup);
}

TEST(GPUCollector, VirtualCardHasADisplayAndNoStatistics) {
  auto gpu = collector("gpu-virtio");
  const auto devices = gpu.devices();
  ASSERT_EQ(devices.size(), 1u);
  EXPECT_EQ(devices[0].name, QStringLiteral("GPU (virtio_gpu)"));
  EXPECT_FALSE(devices[0].isHeadless);
  EXPECT_FALSE(devices[0].isRemovable);  // "unknown"
  EXPECT_TRUE(gpu.statistics().empty());
}

TEST(GPUCollector, AmdgpuStatisticsAndCardsWithoutThem) {
  auto gpu = collector("gpu-amdgpu");
  // Later reads go through the kept files, and past a periodic rescan of the cards.
  for (int round = 0; round < 130; ++round) {
    SCOPED_TRACE(round);
    const auto stats = gpu.statistics();
    ASSERT_EQ(stats.size(), 1u);  // the Intel card publishes none and is not listed
    EXPECT_EQ(stats[0].name, QStringLiteral("Navi 23 [Radeon RX 6600/6600 XT/6600M]"));
    EXPECT_EQ(stats[0].deviceUtilization, 37.0);
    EXPECT_EQ(stats[0].memoryInUse, 512u << 20);
    EXPECT_FALSE(stats[0].memoryAllocated);
    EXPECT_FALSE(stats[0].rendererUtilization);
    EXPECT_FALSE(stats[0].tilerUtilization);
    EXPECT_FALSE(stats[0].coreCount);
  }
}

TEST(GPUCollector, SuspendedCardIsIdleAndNotWoken) {
  const auto stats = collector("gpu-suspended").statistics();
  ASSERT_EQ(stats.size(), 1u);
  EXPECT_EQ(stats[0].name, QStringLiteral("AMD GPU"));
  EXPECT_EQ(stats[0].deviceUtilization, 0.0);  // not the 12 left in the file
  EXPECT_FALSE(stats[0].memoryInUse);
}

TEST(GPUCollector, ParseClampsAndRefusesMalformedText) {
  struct Case {
    std::optional<std::string_view> busy;
    std::optional<std::string_view> vram;
    std::optional<double> utilization;
    std::optional<std::uint64_t> memory;
    bool listed;
  };
  const Case cases[] = {
      {"130", std::nullopt, 100.0, std::nullopt, true},
      {"-5", std::nullopt, 0.0, std::nullopt, true},
      {"abc", "4096", std::nullopt, 4096u, true},
      {std::nullopt, "-1", std::nullopt, std::nullopt, false},
      {"", "", std::nullopt, std::nullopt, false},
      {std::nullopt, std::nullopt, std::nullopt, std::nullopt, false},
  };
  for (const auto& c : cases) {
    const auto s = GPUCollector::parse(QStringLiteral("GPU"), c.busy, c.vram);
    ASSERT_EQ(s.has_value(), c.listed) << c.busy.value_or("<none>");
    if (!s) continue;
    EXPECT_EQ(s->deviceUtilization, c.utilization);
    EXPECT_EQ(s->memoryInUse, c.memory);
  }
}

TEST(GPUCollector, NvidiaCardsFollowTheSysfsOnes) {
  auto nvidia = std::make_shared<FakeNvidia>();
  nvidia->readings = {{"NVIDIA GeForce RTX 3060", 55.0, 3ull << 30, 12ull << 30},
                      {"", std::nullopt, std::nullopt, std::nullopt}};
  auto gpu = collector("gpu-amdgpu", nvidia);
  const auto stats = gpu.statistics();
  ASSERT_EQ(stats.size(), 3u);
  EXPECT_EQ(stats[1].name, QStringLiteral("NVIDIA GeForce RTX 3060"));
  EXPECT_EQ(stats[1].deviceUtilization, 55.0);
  EXPECT_EQ(stats[1].memoryInUse, 3ull << 30);
  EXPECT_EQ(stats[2].name, QStringLiteral("NVIDIA GPU"));
  EXPECT_FALSE(stats[2].deviceUtilization);
}

TEST(GPUCollector, ThisMachineInventsNoFigures) {
  GPUCollector gpu;
  // Whatever the machine has, no record carries a made-up zero for a missing figure.
  const auto stats = gpu.statistics();
  for (const auto& s : stats) EXPECT_TRUE(s.hasFigures());
  if (DrmCards::read(KernelFiles("/")).empty()) {
    EXPECT_TRUE(gpu.devices().empty());
  }
}

TEST(DrmCards, PciNameLookupStaysUnderItsVendor) {
  const std::string db = "1002  AMD\n\t73ff  Navi\n10de  NVIDIA\n\t1234  Other\n\t\t1002 73ff  sub\n";
  EXPECT_EQ(DrmCards::lookupPciName(db, 0x1002, 0x73ff), "Navi");
  EXPECT_FALSE(DrmCards::lookupPciName(db, 0x10de, 0x73ff));
  EXPECT_FALSE(DrmCards::lookupPciName(db, 0x8086, 0x1234));
}

}  // namespace
}  // namespace kivo
