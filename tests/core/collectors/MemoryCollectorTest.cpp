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
  EXPECT_EQ(first->wired, 300'000 * KiB) << "MemTotal - MemFree - app - cached - compressed";
  EXPECT_EQ(first->compressed, 100'000 * KiB) << "Zswap";
  EXPECT_EQ(first->used, 6'900'000 * KiB);
  EXPECT_EQ(first->cached, 5'100'000 * KiB) << "Buffers + Cached - Shmem + SReclaimable";
  EXPECT_EQ(first->free, 4'000'000 * KiB) << "MemFree";
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
  EXPECT_EQ(sample->used, 6'900'000 * KiB);
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

// Kernel memory without a counter of its own (vmalloc, per-CPU areas, driver memory) belongs to
// wired, never to free: free is MemFree, and used + cached + free is MemTotal.
TEST(MemoryCollector, UnnamedKernelMemoryIsWiredAndFreeIsMemFree) {
  // 8 GiB; the named kernel counters come to 160 MiB and leave 400 MiB that no counter names.
  const std::string common =
      "MemTotal: 8388608 kB\nMemFree: 2492416 kB\nBuffers: 102400 kB\nCached: 2097152 kB\n"
      "Shmem: 204800 kB\nAnonPages: 2867200 kB\nSReclaimable: 204800 kB\nSUnreclaim: 102400 kB\n"
      "KernelStack: 20480 kB\nPageTables: 40960 kB\nSwapTotal: 0 kB\nSwapFree: 0 kB\n";
  struct Case {
    const char* name;
    std::string meminfo;
    std::string zramStat;  // mm_stat of one zram device; empty: none
    std::optional<std::uint64_t> compressed;
    std::uint64_t wired;
  };
  const std::uint64_t unaccounted = 163'840 * KiB + 409'600 * KiB;
  const Case cases[] = {
      {"neither zswap nor zram", common, "", std::nullopt, unaccounted + 51'200 * KiB},
      {"zswap", common + "Zswap: 51200 kB\n", "", 51'200 * KiB, unaccounted},
      {"zram", common, "104857600 20000000 52428800 0 60000000 0 0 0 0\n", 52'428'800, unaccounted},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::StepRoot root("unused");
    root.write("proc/meminfo", c.meminfo);
    if (!c.zramStat.empty()) {
      root.write("sys/block/zram0/mm_stat", c.zramStat);
    }
    MemoryCollector collector(root.root());
    const auto sample = collector.sample(1.0);
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->compressed, c.compressed);
    EXPECT_EQ(sample->free, 2'492'416 * KiB) << "MemFree as the kernel gives it";
    EXPECT_EQ(sample->app, 3'072'000 * KiB);
    EXPECT_EQ(sample->cached, 2'199'552 * KiB);
    EXPECT_EQ(sample->wired, c.wired);
    EXPECT_EQ(sample->used, sample->app + sample->wired + sample->compressed.value_or(0));
    EXPECT_EQ(sample->used + sample->cached + sample->free, sample->physical);
  }
}

TEST(MemoryMath, CountersThatDoNotAddUpStayWithinPhysical) {
  struct Case {
    const char* name;
    MemInfo info;
    std::optional<std::uint64_t> compressed;
  };
  const auto info = [](std::uint64_t total, std::uint64_t memFree, std::uint64_t anon, std::uint64_t shmem,
                       std::uint64_t cached, std::uint64_t unreclaim) {
    MemInfo i;
    i.memTotal = total;
    i.memFree = memFree;
    i.anonPages = anon;
    i.shmem = shmem;
    i.cached = cached;
    i.sUnreclaim = unreclaim;
    return i;
  };
  const Case cases[] = {
      {"free above total", info(1000, 5000, 100, 0, 100, 10), std::nullopt},
      {"app above total", info(1000, 100, 1500, 200, 400, 10), 100},
      {"named kernel counters above the rest", info(1000, 400, 300, 0, 200, 900), std::nullopt},
      {"shmem above buffers + cached", info(1000, 100, 100, 600, 500, 0), std::nullopt},
      {"named kernel counters above total", info(1000, 100, 100, 0, 100, 5000), std::nullopt},
      {"all zero", info(0, 0, 0, 0, 0, 0), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto p = MemoryMath::account(c.info, c.compressed);
    EXPECT_LE(p.used, c.info.memTotal);
    EXPECT_LE(p.wired, c.info.memTotal) << "a saturated difference, never a wrapped one";
    EXPECT_LE(p.free, c.info.memFree);
    EXPECT_LE(p.used + p.cached + p.free, c.info.memTotal);
  }
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
