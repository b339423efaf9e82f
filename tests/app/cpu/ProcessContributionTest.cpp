#include "design/ProcessContribution.h"

#include "CPUFeed.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>

namespace kivo {
namespace {

const ValueFormatter kFormat(QLocale(QLocale::English, QLocale::UnitedStates));

TEST(ProcessContribution, SevenLargestFootprintsFirstBarFull) {
  ProcessSample sample;
  for (int i = 0; i < 12; ++i) {
    ProcessRecord record;
    record.pid = 100 + i;
    record.name = QStringLiteral("p%1").arg(i);
    record.hasStatistics = true;
    record.memory = static_cast<std::uint64_t>(i + 1) << 20;
    sample.processes.push_back(record);
  }
  const auto rows = ProcessContribution::rows(&sample, true, kFormat);
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows.front().pid, 111);
  EXPECT_EQ(rows.back().pid, 105);
  EXPECT_DOUBLE_EQ(rows.front().fraction, 1.0);
  EXPECT_DOUBLE_EQ(rows[1].fraction, 11.0 / 12.0);
  EXPECT_EQ(rows.front().figure, kFormat.bytes(12.0 * 1024 * 1024, true));
}

TEST(ProcessContribution, WhatQualifiesByCPUAndByMemory) {
  ProcessSample sample = test::busyProcesses();
  ProcessRecord hidden;
  hidden.pid = 9999;
  hidden.name = QStringLiteral("no-statistics");
  hidden.memory = 8ull << 30;
  hidden.cpuPercent = 400;
  sample.processes.push_back(hidden);

  const auto byCPU = ProcessContribution::rows(&sample, false, kFormat);
  ASSERT_EQ(byCPU.size(), 7u);
  EXPECT_EQ(byCPU.front().name, QStringLiteral("cc1plus"));
  EXPECT_EQ(byCPU.front().figure, kFormat.percent(99.5, 1));
  for (const auto& row : byCPU) {
    EXPECT_NE(row.pid, 9999);  // without statistics
    EXPECT_NE(row.pid, 2400);  // without a CPU figure
  }
  const auto byMemory = ProcessContribution::rows(&sample, true, kFormat);
  EXPECT_EQ(byMemory.front().name, QStringLiteral("firefox-esr"));
  // By memory a record without a CPU figure counts; one without a resident size (a kernel
  // thread) does not.
  const ProcessSample mixed =
      test::processSample({{1, "bash", std::nullopt, 5u << 20}, {2, "kworker/0:1", 1.0, std::nullopt}});
  const auto memoryRows = ProcessContribution::rows(&mixed, true, kFormat);
  ASSERT_EQ(memoryRows.size(), 1u);
  EXPECT_EQ(memoryRows.front().pid, 1);
  const auto cpuRows = ProcessContribution::rows(&mixed, false, kFormat);
  ASSERT_EQ(cpuRows.size(), 1u);
  EXPECT_EQ(cpuRows.front().pid, 2);
}

TEST(ProcessContribution, ScalesThatNeverDivideByZero) {
  // A top process below 1 % is scaled against 1 %.
  const ProcessSample quiet = test::processSample({{10, "idle-ish", 0.4, 1u << 20}});
  EXPECT_DOUBLE_EQ(ProcessContribution::rows(&quiet, false, kFormat).front().fraction, 0.4);
  // Every footprint 0: empty bars, not NaN.
  const ProcessSample empty = test::processSample({{10, "a", 0.0, 0u}, {11, "b", 0.0, 0u}});
  for (const auto& row : ProcessContribution::rows(&empty, true, kFormat))
    EXPECT_DOUBLE_EQ(row.fraction, 0.0);
  EXPECT_TRUE(ProcessContribution::rows(nullptr, true, kFormat).empty());
}

TEST(ProcessContribution, RowsAreKeptByPidAndTheNoteIsOnlyForCPU) {
  ProcessContribution list(false);
  auto* empty = list.findChild<QLabel*>(QStringLiteral("processContribution.empty"));
  ASSERT_TRUE(empty);
  list.setSample(nullptr, kFormat);
  EXPECT_FALSE(empty->isHidden());
  EXPECT_TRUE(list.findChild<QLabel*>(QStringLiteral("processContribution.note")));
  EXPECT_FALSE(ProcessContribution(true).findChild<QLabel*>(QStringLiteral("processContribution.note")));

  ProcessSample sample = test::busyProcesses();
  list.setSample(&sample, kFormat);
  EXPECT_TRUE(empty->isHidden());
  auto rowFor = [&](const QString& name) -> QWidget* {
    for (QWidget* child : list.findChildren<QWidget*>()) {
      if (child->accessibleName().startsWith(name + QStringLiteral(", "))) return child;
    }
    return nullptr;
  };
  QWidget* firefox = rowFor(QStringLiteral("firefox-esr"));
  ASSERT_TRUE(firefox);
  // Outside text stays text: the markup in a name is spoken and drawn as written.
  EXPECT_TRUE(rowFor(QStringLiteral("<b>Web Content</b>")));

  // firefox drops to the bottom, Xorg leaves the list: firefox's row is the same widget.
  sample.processes[2].cpuPercent = 0.5;
  sample.processes[1].cpuPercent = std::nullopt;
  list.setSample(&sample, kFormat);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(rowFor(QStringLiteral("firefox-esr")), firefox);
  EXPECT_FALSE(rowFor(QStringLiteral("Xorg")));
  ASSERT_EQ(list.shownRows().size(), 7u);
  EXPECT_EQ(list.shownRows().front().name, QStringLiteral("cc1plus"));
}

}  // namespace
}  // namespace kivo
