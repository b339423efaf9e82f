#include "platform/KernelFiles.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kivo;

TEST(KernelText, Numbers) {
  EXPECT_EQ(KernelText::parseInt(" -1 \n"), -1);
  EXPECT_EQ(KernelText::parseInt("+7"), 7);
  EXPECT_FALSE(KernelText::parseInt("12abc"));
  EXPECT_FALSE(KernelText::parseInt(""));
  EXPECT_FALSE(KernelText::parseInt("99999999999999999999"));
  EXPECT_EQ(KernelText::parseUInt("18446744073709551615"), UINT64_MAX);
  EXPECT_FALSE(KernelText::parseUInt("-1"));
  EXPECT_EQ(KernelText::parseQuantity("  12 kB"), 12u * 1024);
  EXPECT_EQ(KernelText::parseQuantity("0"), 0u);
  EXPECT_FALSE(KernelText::parseQuantity("12 MB"));
  EXPECT_FALSE(KernelText::parseQuantity("18446744073709551615 kB"));  // would overflow
}

TEST(KernelFiles, ReadsBelowItsRoot) {
  const KernelFiles files(test::fixture("kernel-basic") + "/");
  EXPECT_EQ(files.path("/proc/meminfo"), test::fixture("kernel-basic") + "/proc/meminfo");

  const auto meminfo = files.readTable("/proc/meminfo");
  ASSERT_TRUE(meminfo);
  EXPECT_EQ(meminfo->number("MemTotal"), 16315112ull * 1024);
  EXPECT_EQ(meminfo->number("HugePages_Total"), 0u);
  EXPECT_FALSE(meminfo->number("Zswap")) << "a missing line is absent, not 0";
  EXPECT_FALSE(meminfo->number("MemTot"));

  EXPECT_EQ(files.readInt("/sys/class/power_supply/BAT0/temp"), -1);
  EXPECT_EQ(files.readLine("/sys/class/power_supply/BAT0/status"), "Discharging");
  EXPECT_FALSE(files.readInt("/sys/class/power_supply/BAT0/capacity")) << "not a number";
  EXPECT_FALSE(files.readInt("/proc/empty"));
  EXPECT_EQ(files.readText("/proc/empty"), "");
  EXPECT_FALSE(files.readText("/proc/missing"));
  EXPECT_FALSE(files.readTable("/proc/missing"));
  EXPECT_FALSE(files.readText("/proc")) << "a folder is not a file";
  EXPECT_TRUE(files.exists("/proc/meminfo"));

  auto names = files.list("/proc");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"empty", "meminfo"})) << "without . and ..";
  EXPECT_TRUE(files.list("/proc/missing").empty());
  EXPECT_TRUE(files.list("/proc/meminfo").empty()) << "a file is not a folder";
}

TEST(KernelFile, RereadsAnOpenFileAndReusesTheBuffer) {
  const KernelFiles files(test::fixture("kernel-basic"));
  KernelFile file(files.path("/proc/meminfo"));
  std::string buffer;
  ASSERT_TRUE(file.read(buffer));
  const std::string first = buffer;
  ASSERT_TRUE(file.read(buffer));
  EXPECT_EQ(buffer, first);
  EXPECT_EQ(KernelText::tableNumber(buffer, "SwapFree"), 2097148ull * 1024);

  KernelFile missing(files.path("/proc/nothing"));
  EXPECT_FALSE(missing.read(buffer));
  EXPECT_TRUE(buffer.empty());
}

TEST(KernelFile, ReadsRealProcFiles) {
  // procfs reports size 0; the reader must not trust the size.
  KernelFile stat("/proc/self/stat");
  std::string buffer;
  ASSERT_TRUE(stat.read(buffer));
  EXPECT_FALSE(buffer.empty());
  const KernelFiles root;
  EXPECT_TRUE(root.readTable("/proc/self/status")->text("Name"));
}
