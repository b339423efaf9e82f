#include "features/cpu/CPUPagePresenter.h"

#include "CPUFeed.h"
#include "PageShots.h"

#include <gtest/gtest.h>

#include <limits>

namespace kivo {
namespace {

using test::PageRig;

const QString kDash = QStringLiteral("—");

TEST(CPUPagePresenter, BeforeTheFirstSnapshotEveryFigureIsADash) {
  PageRig rig(test::plainSystem());
  const CPUPageState state = CPUPagePresenter::state(*rig.model);
  EXPECT_FALSE(state.hasCPU);
  for (const QString& text : {state.total, state.user, state.system, state.idle, state.loadAverage,
                              state.peak, state.average, state.samplingInterval, state.measuredInterval}) {
    EXPECT_EQ(text, kDash);
  }
}

TEST(CPUPagePresenter, FiguresOfAScriptedTick) {
  PageRig rig(test::plainSystem());
  rig.model->ingest(test::cpuTick(0, 4));
  const CPUPageState state = CPUPagePresenter::state(*rig.model);
  EXPECT_TRUE(state.hasCPU);
  EXPECT_EQ(state.loadAverage, QStringLiteral("1.23   0.50   2.00"));
  EXPECT_EQ(state.samplingInterval, QStringLiteral("2.0 s"));
  EXPECT_EQ(state.measuredInterval, QStringLiteral("2.00 s"));
  const CPULoad total = rig.model->snapshot()->cpu->total;
  const ValueFormatter& format = rig.model->format();
  EXPECT_EQ(state.total, format.percent((total.user + total.system) * 100, 1));
  EXPECT_EQ(state.idle, format.percent(total.idle * 100, 1));
}

TEST(CPUPagePresenter, SubtitleLeavesOutACoreCountItCouldNotRead) {
  SystemInfo system = test::plainSystem();
  EXPECT_EQ(CPUPagePresenter::subtitle(system),
            QStringLiteral("AMD Ryzen 7 5800X 8-Core Processor · 8 cores"));
  system.topology.physicalCores = 0;  // unreadable topology: never "· 0 cores"
  EXPECT_EQ(CPUPagePresenter::subtitle(system), QStringLiteral("AMD Ryzen 7 5800X 8-Core Processor"));
}

TEST(CPUPagePresenter, LevelLineOnlyForHybridProcessors) {
  EXPECT_EQ(CPUPagePresenter::levelLine(test::hybridSystem().topology),
            QStringLiteral("8 Performance cores · 8 Efficiency cores"));
  EXPECT_FALSE(CPUPagePresenter::levelLine(test::plainSystem().topology));
}

TEST(CPUPagePresenter, PercentAndLoadTexts) {
  const ValueFormatter format(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(CPUPagePresenter::percent(0.1234, format), format.percent(12.34, 1));
  EXPECT_EQ(CPUPagePresenter::percent(std::numeric_limits<double>::quiet_NaN(), format), kDash);
  EXPECT_EQ(CPUPagePresenter::loadAverage({}, format), kDash);
  EXPECT_EQ(CPUPagePresenter::loadAverage({1.234, 0.5, 2}, format), QStringLiteral("1.23   0.50   2.00"));
}

TEST(CPUPagePresenter, PeakAndAverageOfTheNewestPoints) {
  LiveRing ring;
  const QDateTime start = QDateTime::fromSecsSinceEpoch(1'700'000'000, QTimeZone::utc());
  EXPECT_FALSE(CPUPagePresenter::peakAndAverage(ring, 150).peak);
  EXPECT_FALSE(CPUPagePresenter::peakAndAverage(ring, 150).average);
  int second = 0;
  for (double value : {90.0, 10.0, 30.0, 20.0}) ring.append(start.addSecs(second++), value);
  // Only the newest three count: the 90 is older.
  const PeakAndAverage figures = CPUPagePresenter::peakAndAverage(ring, 3);
  EXPECT_DOUBLE_EQ(*figures.peak, 30);
  EXPECT_DOUBLE_EQ(*figures.average, 20);
  ring.append(start.addSecs(second++), std::numeric_limits<double>::quiet_NaN());
  EXPECT_DOUBLE_EQ(*CPUPagePresenter::peakAndAverage(ring, 4).average, 20);
}

TEST(CPUPagePresenter, FrequencyReasonComesFromTheCapabilityTable) {
  SensorCapability frequency;
  frequency.id = QStringLiteral("cpu.frequency");
  frequency.note = QStringLiteral("The kernel publishes it under /sys/devices/system/cpu/cpufreq.");
  EXPECT_EQ(CPUPagePresenter::frequencyReason({frequency}), frequency.note);
  EXPECT_FALSE(CPUPagePresenter::frequencyReason({}).isEmpty());
}

}  // namespace
}  // namespace kivo
