#include "collectors/CPUCollector.h"
#include "platform/CPUStatReader.h"

#include "StepRoot.h"
#include "TestSupport.h"

#include <filesystem>

#include <gtest/gtest.h>

using namespace kivo;

namespace {
void expectLoad(const CPULoad& load, double user, double system, double idle, const char* what) {
  EXPECT_DOUBLE_EQ(load.user, user) << what;
  EXPECT_DOUBLE_EQ(load.system, system) << what;
  EXPECT_DOUBLE_EQ(load.idle, idle) << what;
}
}  // namespace

TEST(CPUCollector, FirstCallTakesTheBaselineThenMeasures) {
  test::StepRoot root("cpu-basic");
  root.apply("1");
  CPUCollector collector(root.root());
  EXPECT_FALSE(collector.sample(100.0)) << "first call only takes the baseline";

  root.apply("2");
  const auto sample = collector.sample(102.5);
  ASSERT_TRUE(sample);
  EXPECT_DOUBLE_EQ(sample->interval, 2.5);
  // cpu0: user 300 + nice 50 (guest 100 is inside user), system 100 + irq 5 + softirq 15 +
  // steal 10, idle 100 + iowait 50.
  ASSERT_EQ(sample->cores.size(), 2u);
  expectLoad(sample->cores[0], 350.0 / 630, 130.0 / 630, 150.0 / 630, "cpu0");
  expectLoad(sample->cores[1], 350.0 / 920, 120.0 / 920, 450.0 / 920, "cpu1");
  // Summed ticks, not averaged fractions.
  expectLoad(sample->total, 700.0 / 1550, 250.0 / 1550, 600.0 / 1550, "total");
  EXPECT_DOUBLE_EQ(sample->total.busy(), 950.0 / 1550);
  EXPECT_EQ(sample->coreIDs, (std::vector<int>{0, 1}));
  EXPECT_EQ(sample->loadAverage, (std::vector<double>{1.25, 0.75, 0.50}));

  // Nothing moved: zero load, not a division by zero.
  const auto still = collector.sample(104.5);
  ASSERT_TRUE(still);
  EXPECT_EQ(still->total, CPULoad::zero());
  EXPECT_EQ(still->cores[1], CPULoad::zero());

  collector.reset();
  EXPECT_FALSE(collector.sample(106.0)) << "a reset makes the next call a first call";
  EXPECT_TRUE(collector.sample(108.0));
}

TEST(CPUCollector, CPUsGoingOfflineAndBackAreMatchedByNumber) {
  test::StepRoot root("cpu-offline");
  root.apply("1");
  CPUCollector collector(root.root());
  ASSERT_FALSE(collector.sample(1.0));

  root.apply("2");  // cpu2 went offline; the "cpu " total line dropped its ticks
  auto sample = collector.sample(2.0);
  ASSERT_TRUE(sample) << "an offline CPU does not cost a sample";
  EXPECT_EQ(sample->coreIDs, (std::vector<int>{0, 1, 3}));
  ASSERT_EQ(sample->cores.size(), 3u);
  expectLoad(sample->cores[0], 0, 0, 1, "cpu0");
  expectLoad(sample->cores[1], 1, 0, 0, "cpu1");
  expectLoad(sample->cores[2], 0, 0, 1, "cpu3");
  expectLoad(sample->total, 1.0 / 3, 0, 2.0 / 3, "total");
  EXPECT_TRUE(sample->loadAverage.empty()) << "no /proc/loadavg: absent, not zeros";

  root.apply("3");  // cpu2 is back: it has no baseline yet, the others are measured
  sample = collector.sample(3.0);
  ASSERT_TRUE(sample);
  EXPECT_EQ(sample->coreIDs, (std::vector<int>{0, 1, 3}));
  expectLoad(sample->total, 1.0 / 3, 0, 2.0 / 3, "total");
}

TEST(CPUCollector, CountersGoingBackwardsSaturateInsteadOfWrapping) {
  test::StepRoot root("cpu-iowait-backwards");
  root.apply("1");
  CPUCollector collector(root.root());
  ASSERT_FALSE(collector.sample(1.0));
  root.apply("2");  // iowait 500 -> 490 while idle rose by 100
  const auto sample = collector.sample(2.0);
  ASSERT_TRUE(sample);
  expectLoad(sample->total, 1.0 / 3, 1.0 / 3, 1.0 / 3, "iowait's step back counts as 0");

  // The same rule with a counter far above 32 bits.
  root.write("proc/stat", "cpu0 5000000000 0 0 100 50\n");
  collector.reset();
  ASSERT_FALSE(collector.sample(3.0));
  root.write("proc/stat", "cpu0 5000000100 0 0 200 0\n");
  const auto wide = collector.sample(4.0);
  ASSERT_TRUE(wide);
  expectLoad(wide->total, 0.5, 0, 0.5, "64-bit ticks, no 32-bit wrap");
}

TEST(CPUCollector, AnUnreadableReadingKeepsTheBaseline) {
  test::StepRoot root("cpu-basic");
  root.apply("1");
  CPUCollector collector(root.root());
  ASSERT_FALSE(collector.sample(1.0));
  root.write("proc/stat", "intr 1 2 3\nbtime 1\n");  // no CPU lines
  EXPECT_FALSE(collector.sample(2.0));
  root.apply("2");
  const auto sample = collector.sample(3.0);
  ASSERT_TRUE(sample);
  EXPECT_DOUBLE_EQ(sample->interval, 2.0) << "measured from the last good reading";
  expectLoad(sample->total, 700.0 / 1550, 250.0 / 1550, 600.0 / 1550, "total");

  CPUCollector missing(test::fixture("nothing-here"));
  EXPECT_FALSE(missing.sample(1.0));
  EXPECT_FALSE(missing.sample(2.0));
}

TEST(CPUStatReader, ParsesOnlyWellFormedCPULines) {
  std::vector<CPUTicks> ticks;
  ASSERT_TRUE(
      CPUStatReader::parseTicks("cpu  9 9 9 9\ncpu0 1 2 3 4\ncpu7 5 6 7 8 9 10 11 12 13 14\n"
                                "cpux 1 2 3 4\nintr 5\ncpu9 1 1 1 1\n",
                                ticks));
  ASSERT_EQ(ticks.size(), 2u);
  EXPECT_EQ(ticks[0], (CPUTicks{.cpu = 0, .user = 1, .nice = 2, .system = 3, .idle = 4}));
  EXPECT_EQ(ticks[1].cpu, 7);
  EXPECT_EQ(ticks[1].steal, 12u);
  EXPECT_FALSE(CPUStatReader::parseTicks("cpu0 1 2 3\n", ticks)) << "fewer than four columns";
  EXPECT_EQ(CPUStatReader::parseBootTime("cpu 1\nbtime 1700000000\n"), 1700000000);
  EXPECT_FALSE(CPUStatReader::parseBootTime("btime soon\n"));
  EXPECT_EQ(CPUStatReader::parseBootTime("btime 253402300799\n"), 253402300799);
  EXPECT_FALSE(CPUStatReader::parseBootTime("btime 253402300800\n")) << "after the year 9999";
  EXPECT_FALSE(CPUStatReader::parseBootTime("btime 9223372036854775807\n"))
      << "would overflow as milliseconds";
}

TEST(CPUCollector, RealProcIsPlausible) {
  CPUCollector collector;
  ASSERT_FALSE(collector.sample(1.0));
  std::error_code error;
  std::size_t online = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/sys/devices/system/cpu", error)) {
    const std::string name = entry.path().filename().string();
    if (name.size() > 3 && name.rfind("cpu", 0) == 0 && std::isdigit(static_cast<unsigned char>(name[3]))) {
      ++online;
    }
  }
  // Burn a little CPU so ticks move.
  volatile double x = 0;
  for (int i = 0; i < 20'000'000; ++i) x = x + i;
  const auto sample = collector.sample(2.0);
  ASSERT_TRUE(sample);
  EXPECT_GE(sample->total.busy(), 0.0);
  EXPECT_LE(sample->total.busy(), 1.0 + 1e-9);
  EXPECT_NEAR(sample->total.user + sample->total.system + sample->total.idle, 1.0, 1e-9);
  EXPECT_GE(sample->cores.size(), 1u);
  EXPECT_LE(sample->cores.size(), online);
  EXPECT_EQ(sample->loadAverage.size(), 3u);
}
