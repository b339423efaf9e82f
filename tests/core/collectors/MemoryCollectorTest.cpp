#include "collectors/MemoryCollector.h"
#include "platform/MemoryReader.h"

#include "StepRoot.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace kivo;

namespace {
constexpr std::uint64_t KiB = 1024;
}

TEST(MemoryCollector, PartitionsMeminfoAndMeasuresPaging) {
  test::StepRoot root("memory-basic");
  root.apply("1");
  MemoryCollector collector(root.root());
  const auto first = collector.sample(10.0);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->physical, 16'000'000 * KiB);
  EXPECT_EQ(first->app, 6'500'000 * KiB) << "AnonPages + Shmem";
  EXPECT_EQ(first->wired, 230'000 * KiB) << "SUnreclaim + KernelStack + PageTables";
  EXPECT_EQ(first->compressed, 100'000 * KiB) << "Zswap";
  EXPECT_EQ(first->used, 6'830'000 * KiB);
  EXPECT_EQ(first->cached, 5'100'000 * KiB) << "Buffers + Cached - Shmem + SReclaimable";
  EXPECT_EQ(first->free, 4'070'000 * KiB);
  EXPECT_EQ(first->swapTotal, 2'000'000 * KiB);
  EXPECT_EQ(first->swapUsed, 500'000 * KiB);
  EXPECT_EQ(first->pressure, MemoryPressureLevel::warning) << "some avg10 12.5";
  EXPECT_GT(first->pageSize, 0u);
  EXPECT_FALSE(first->pageInRate);
  EXPECT_FALSE(first->pageOutRate);
  EXPECT_FALSE(first->swapInRate);
  EXPECT_FALSE(first->swapOutRate);

  root.apply("2");
  const auto second = collector.sample(12.0);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->pageInRate, 100.0) << "200 more major faults over 2 s";
  EXPECT_EQ(second->swapInRate, 0.0) << "a counter that did not move is a measured 0";
  EXPECT_FALSE(second->pageOutRate) << "pswpout went down: a reset, never a wrap";
  EXPECT_FALSE(second->swapOutRate);

  root.write("proc/vmstat", "pswpin 50\npswpout 80\npgmajfault 1200\n");
  const auto third = collector.sample(14.0);
  ASSERT_TRUE(third);
  EXPECT_EQ(third->pageOutRate, 10.0) << "only the sample after the reset lost its rate";
  EXPECT_EQ(third->pageInRate, 0.0);

  collector.reset();
  const auto afterReset = collector.sample(16.0);
  ASSERT_TRUE(afterReset);
  EXPECT_FALSE(afterReset->pageInRate);
}

TEST(MemoryCollector, NoZswapNoZramNoPSIAreAbsent) {
  MemoryCollector collector(test::fixture("memory-no-zswap-no-psi"));
  const auto sample = collector.sample(1.0);
  ASSERT_TRUE(sample);
  EXPECT_FALSE(sample->compressed) << "neither zswap nor zram: absent, not 0";
  EXPECT_FALSE(sample->pressure) << "no PSI: absent, not normal";
  EXPECT_EQ(sample->used, 6'730'000 * KiB);
  const QJsonObject json = sample->toJson();
  EXPECT_FALSE(json.contains(QStringLiteral("compressed")));
  EXPECT_FALSE(json.contains(QStringLiteral("pressure")));
}

TEST(MemoryCollector, ZramDevicesCountAsCompressed) {
  MemoryCollector collector(test::fixture("memory-zram"));
  const auto sample = collector.sample(1.0);
  ASSERT_TRUE(sample);
  EXPECT_EQ(sample->compressed, 204800u + 51200u) << "mem_used_total of zram0 and zram1";
}

TEST(MemoryCollector, MalformedOrMissingMeminfoGivesNoSample) {
  test::StepRoot root("memory-basic");
  root.apply("1");
  MemoryCollector collector(root.root());
  ASSERT_TRUE(collector.sample(1.0));
  root.write("proc/meminfo", "MemTotal: 16000000 kB\nMemFree: 1 kB\n");
  EXPECT_FALSE(collector.sample(2.0)) << "lines the figures need are missing";
  root.write("proc/meminfo", "MemTotal: lots\n");
  EXPECT_FALSE(collector.sample(3.0));
  MemoryCollector nothing(test::fixture("nothing-here"));
  EXPECT_FALSE(nothing.sample(1.0));
}

TEST(MemoryMath, UsedCachedAndFreeNeverExceedPhysical) {
  MemInfo info;
  info.memTotal = 1000;
  info.anonPages = 700;
  info.shmem = 200;
  info.sUnreclaim = 150;
  info.buffers = 50;
  info.cached = 400;
  info.sReclaimable = 30;
  auto p = MemoryMath::account(info, 100);
  EXPECT_EQ(p.used, 1000u) << "app + wired + compressed is capped at physical";
  EXPECT_EQ(p.cached, 0u);
  EXPECT_EQ(p.free, 0u);

  info.anonPages = 100;
  info.shmem = 600;  // more shared memory than Buffers + Cached: the difference saturates
  info.buffers = 0;
  info.cached = 500;
  p = MemoryMath::account(info, std::nullopt);
  EXPECT_EQ(p.app, 700u);
  EXPECT_EQ(p.used, 850u);
  EXPECT_EQ(p.cached, 30u);
  EXPECT_EQ(p.free, 120u);
  EXPECT_FALSE(p.compressed);
}

TEST(MemoryMath, PressureLevelsFromStallTimes) {
  struct Case {
    double some;
    std::optional<double> full;
    MemoryPressureLevel level;
  };
  const Case cases[] = {
      {0.0, 0.0, MemoryPressureLevel::normal},     {9.99, 9.99, MemoryPressureLevel::normal},
      {10.0, 0.0, MemoryPressureLevel::warning},   {40.0, std::nullopt, MemoryPressureLevel::warning},
      {12.0, 10.0, MemoryPressureLevel::critical}, {95.0, 60.0, MemoryPressureLevel::critical},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MemoryMath::pressureLevel({c.some, c.full}), c.level) << c.some << " / " << c.full.value_or(-1);
  }
}

TEST(MemoryReader, ParsesPressureAndVMStat) {
  const auto stall = MemoryReader::parsePressure(
      "some avg10=1.50 avg60=0 avg300=0 total=9\n"
      "full avg10=0.25 avg60=0 avg300=0 total=1\n");
  ASSERT_TRUE(stall);
  EXPECT_DOUBLE_EQ(stall->some, 1.5);
  EXPECT_EQ(stall->full, 0.25);
  EXPECT_FALSE(MemoryReader::parsePressure("full avg10=0.25\n")) << "no some line";
  EXPECT_FALSE(MemoryReader::parsePressure("some avg10=x\n"));
  const VMStat stat = MemoryReader::parseVMStat("pgmajfault 7\npswpin oops\n");
  EXPECT_EQ(stat.pgmajfault, 7u);
  EXPECT_FALSE(stat.pswpin);
  EXPECT_FALSE(stat.pswpout);
}

TEST(MemoryCollector, RealProcIsPlausible) {
  MemoryCollector collector;
  const auto sample = collector.sample(1.0);
  ASSERT_TRUE(sample);
  EXPECT_GT(sample->physical, 0u);
  EXPECT_LE(sample->used + sample->cached + sample->free, sample->physical);
  EXPECT_EQ(sample->used + sample->cached + sample->free, sample->physical);
  EXPECT_GT(sample->app, 0u);
  EXPECT_LE(sample->swapUsed, sample->swapTotal);
}
