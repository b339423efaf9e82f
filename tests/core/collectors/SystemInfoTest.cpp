#include "collectors/SystemInfo.h"
#include "platform/CPUInfoReader.h"
#include "platform/SystemReader.h"

#include "TestSupport.h"

#include <QThread>

#include <gtest/gtest.h>

using namespace kivo;

TEST(SystemInfo, ReadsTheFixtureMachine) {
  const SystemInfo info = SystemInfo::current(test::fixture("system-hybrid"));
  EXPECT_EQ(info.model, QStringLiteral("Test Laptop 14"));
  EXPECT_EQ(info.osVersion, QStringLiteral("Debian GNU/Linux 12 \"bookworm\""));
  EXPECT_EQ(info.physicalMemory, 16315112ull * 1024);
  EXPECT_EQ(info.bootTime.toSecsSinceEpoch(), 1700000000);
  EXPECT_EQ(info.chip, QStringLiteral("Test(R) Core(TM) i7-1260P"));
  EXPECT_EQ(info.chip, info.topology.brand);
  EXPECT_EQ(info.topology.logicalCores, 6);
  EXPECT_EQ(info.topology.physicalCores, 4);
  const std::vector<CPUCoreGroup> groups{{QStringLiteral("Performance"), 2, 4},
                                         {QStringLiteral("Efficiency"), 2, 2}};
  EXPECT_EQ(info.topology.groups, groups);
  EXPECT_FALSE(info.osBuild.isEmpty()) << "the running kernel's release";
  const QJsonObject json = info.toJson();
  for (const auto& key : json.keys())
    EXPECT_FALSE(key.contains(QStringLiteral("serial"), Qt::CaseInsensitive));
}

TEST(SystemInfo, AnEmptyRootGivesTheFallbacks) {
  const SystemInfo info = SystemInfo::current(test::fixture("nothing-here"));
  EXPECT_EQ(info.model, std::nullopt);  // no DMI: no made-up model name
  EXPECT_EQ(info.chip, QStringLiteral("Unknown"));
  EXPECT_EQ(info.osVersion, QStringLiteral("Linux"));
  EXPECT_EQ(info.physicalMemory, 0u);
  EXPECT_EQ(info.bootTime.toSecsSinceEpoch(), 0);
  EXPECT_EQ(info.topology.logicalCores, 0);
  EXPECT_TRUE(info.topology.groups.empty());
}

TEST(SystemInfo, UptimeGrows) {
  const SystemInfo info = SystemInfo::current();
  EXPECT_GT(info.bootTime.toSecsSinceEpoch(), 0);
  const double first = info.uptime();
  QThread::msleep(20);
  EXPECT_GT(info.uptime(), first);
  EXPECT_GT(info.physicalMemory, 0u);
  EXPECT_GT(info.topology.logicalCores, 0);
  EXPECT_FALSE(info.hostName.isEmpty());
}

TEST(SystemReader, OsReleaseQuoting) {
  EXPECT_EQ(SystemReader::osReleaseValue("PRETTY_NAME=Plain\n", "PRETTY_NAME"), "Plain");
  EXPECT_EQ(SystemReader::osReleaseValue("PRETTY_NAME='Single $quoted'\n", "PRETTY_NAME"), "Single $quoted");
  EXPECT_EQ(SystemReader::osReleaseValue("PRETTY_NAME_X=no\nPRETTY_NAME=\"yes\"", "PRETTY_NAME"), "yes");
  EXPECT_FALSE(SystemReader::osReleaseValue("NAME=x\n", "PRETTY_NAME"));
}

TEST(CPUInfoReader, CPULists) {
  using V = std::vector<int>;
  EXPECT_EQ(CPUInfoReader::parseCPUList("0-3,8,10-11\n"), (V{0, 1, 2, 3, 8, 10, 11}));
  EXPECT_EQ(CPUInfoReader::parseCPUList("5"), (V{5}));
  EXPECT_EQ(CPUInfoReader::parseCPUList(""), V{});
  EXPECT_FALSE(CPUInfoReader::parseCPUList("3-1"));
  EXPECT_FALSE(CPUInfoReader::parseCPUList("0-x"));
  EXPECT_FALSE(CPUInfoReader::parseCPUList("0-99999999"));
}
