#include "design/ProcessRanking.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

ProcessRecord record(int pid, std::optional<double> cpu, std::optional<std::uint64_t> memory,
                     bool statistics = true) {
  ProcessRecord r;
  r.pid = pid;
  r.name = QStringLiteral("p%1").arg(pid);
  r.hasStatistics = statistics;
  r.cpuPercent = cpu;
  r.memory = memory;
  return r;
}

std::vector<int> pids(const std::vector<const ProcessRecord*>& rows) {
  std::vector<int> out;
  for (const auto* row : rows) out.push_back(row->pid);
  return out;
}

TEST(ProcessRanking, KeepsQualifyingRecordsLargestFirstWithEqualFiguresInPidOrder) {
  ProcessSample sample;
  sample.processes = {
      record(5, 5, 50),    record(9, 9, std::nullopt), record(8, 9, 900), record(1, std::nullopt, 10'000),
      record(30, 30, 300), record(2, 80, 80, false),   record(3, NAN, 1)};
  EXPECT_EQ(pids(ProcessRanking::top(&sample, false, 7)), (std::vector<int>{30, 8, 9, 5}));
  // By memory, a missing CPU figure does not matter, a missing resident size does.
  EXPECT_EQ(pids(ProcessRanking::top(&sample, true, 7)), (std::vector<int>{1, 8, 30, 5, 3}));
  EXPECT_EQ(pids(ProcessRanking::top(&sample, true, 2)), (std::vector<int>{1, 8}));
  EXPECT_TRUE(ProcessRanking::top(nullptr, false, 7).empty());
}

TEST(ProcessRanking, BarsAreScaledToTheLargestWithOnePercentAtLeastForCPU) {
  ProcessSample sample;
  sample.processes = {record(1, 0.4, 0), record(2, 0.2, 0)};
  const auto cpu = ProcessRanking::top(&sample, false, 7);
  const double cpuScale = ProcessRanking::scale(cpu, false);
  EXPECT_DOUBLE_EQ(cpuScale, 1);
  EXPECT_DOUBLE_EQ(ProcessRanking::fraction(*cpu[0], cpuScale, false), 0.4);
  // Every footprint 0: bars are empty, never NaN.
  const auto memory = ProcessRanking::top(&sample, true, 7);
  EXPECT_DOUBLE_EQ(ProcessRanking::fraction(*memory[0], ProcessRanking::scale(memory, true), true), 0);
  EXPECT_DOUBLE_EQ(ProcessRanking::scale({}, true), 1);
}

}  // namespace
}  // namespace kivo
