#include "ProcessFixtures.h"

#include "features/processes/ProcessHistory.h"

#include <gtest/gtest.h>

using namespace kivo;
using test::process;

namespace {

QDateTime at(int seconds) {
  return QDateTime::fromSecsSinceEpoch(1'700'000'000 + seconds, QTimeZone::utc());
}

}  // namespace

TEST(ProcessHistory, KeepsTheNewest120PointsOfTheSelectedPid) {
  ProcessHistory history;
  history.reset(42);
  for (int i = 0; i < 121; ++i) {
    ProcessRecord record = process(42, QStringLiteral("worker"), static_cast<double>(i));
    record.memory = static_cast<std::uint64_t>(1000 + i);
    history.record(42, &record, at(i));
  }
  ASSERT_EQ(history.cpu().size(), 120u);
  ASSERT_EQ(history.memory().size(), 120u);
  EXPECT_EQ(history.cpu().front().value, 1);
  EXPECT_EQ(history.cpu().front().date, at(1));
  EXPECT_EQ(history.cpu().back().value, 120);
  EXPECT_EQ(history.memoryValues().back(), 1120);
  EXPECT_EQ(history.cpuValues().size(), 120u);

  // Selecting another row and then this one again starts from empty.
  history.reset(7);
  history.reset(42);
  EXPECT_TRUE(history.cpu().empty());
  EXPECT_TRUE(history.memory().empty());
}

TEST(ProcessHistory, RecordsOnlyFiguresThatExist) {
  ProcessHistory history;
  history.reset(5);
  ProcessRecord noCpu = process(5, QStringLiteral("new"), std::nullopt);
  history.record(5, &noCpu, at(0));
  EXPECT_TRUE(history.cpu().empty());
  EXPECT_EQ(history.memory().size(), 1u);

  ProcessRecord noMemory = process(5, QStringLiteral("kthread"), 2.0);
  noMemory.memory.reset();
  history.record(5, &noMemory, at(1));
  EXPECT_EQ(history.cpu().size(), 1u);
  EXPECT_EQ(history.memory().size(), 1u);  // no made-up zero

  ProcessRecord restricted = process(5, QStringLiteral("other"), 2.0);
  restricted.hasStatistics = false;
  history.record(5, &restricted, at(2));
  history.record(5, nullptr, at(3));           // left the sample
  history.record(6, &noMemory, at(4));         // not the kept pid
  history.record(5, &noMemory, std::nullopt);  // no snapshot date
  EXPECT_EQ(history.cpu().size(), 1u);
  EXPECT_EQ(history.memory().size(), 1u);
}
