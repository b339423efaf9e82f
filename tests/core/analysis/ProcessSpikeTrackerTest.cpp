#include "analysis/ProcessSpikeTracker.h"

#include "TestSupport.h"

#include <QTimeZone>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace kivo;

namespace {

constexpr double kT0 = 1'700'000'000;

QDateTime at(double t) {
  return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround((kT0 + t) * 1000)),
                                        QTimeZone::utc());
}

ProcessRecord proc(std::int32_t pid, const char* name, std::optional<double> cpu) {
  ProcessRecord r;
  r.pid = pid;
  r.name = QString::fromUtf8(name);
  r.cpuPercent = cpu;
  return r;
}

// Samples every 4 s: high from 0 through lastHigh, then one low sample.
std::vector<ProcessSpikeTracker::Spike> run(ProcessSpikeTracker& tracker, double lastHigh,
                                            double peakAt = -1) {
  std::vector<ProcessSpikeTracker::Spike> all;
  for (double t = 0; t <= lastHigh; t += 4) {
    const ProcessRecord records[] = {proc(42, "encoder", t == peakAt ? 99.5 : 85)};
    auto spikes = tracker.update(records, at(t));
    all.insert(all.end(), spikes.begin(), spikes.end());
  }
  const ProcessRecord low[] = {proc(42, "encoder", 10)};
  auto spikes = tracker.update(low, at(lastHigh + 4));
  all.insert(all.end(), spikes.begin(), spikes.end());
  return all;
}

TEST(ProcessSpikeTracker, RunLengthsAroundTheMinimum) {
  ProcessSpikeTracker short28(80, 30);
  EXPECT_TRUE(run(short28, 28).empty());  // high 0..28: 28 s

  ProcessSpikeTracker long32(80, 30);
  const auto spikes = run(long32, 32, 12);  // high 0..32: 32 s
  ASSERT_EQ(spikes.size(), 1u);
  EXPECT_EQ(spikes[0].name, QStringLiteral("encoder"));
  EXPECT_EQ(spikes[0].pid, 42);
  EXPECT_EQ(spikes[0].start, at(0));
  EXPECT_DOUBLE_EQ(spikes[0].duration, 32);
  EXPECT_DOUBLE_EQ(spikes[0].peak, 99.5);

  ProcessSpikeTracker exact(80, 32);
  EXPECT_EQ(run(exact, 32).size(), 1u);  // the minimum is inclusive
}

TEST(ProcessSpikeTracker, ThresholdIsInclusiveAndMissingSharesAreNotHigh) {
  ProcessSpikeTracker tracker(80, 0);
  const ProcessRecord first[] = {proc(1, "a", 80), proc(2, "b", 79.99), proc(3, "c", std::nullopt),
                                 proc(4, "d", std::numeric_limits<double>::quiet_NaN()), proc(5, "e", 100)};
  EXPECT_TRUE(tracker.update(first, at(0)).empty());
  const ProcessRecord second[] = {proc(1, "a", 81), proc(5, "e", 100)};
  EXPECT_TRUE(tracker.update(second, at(4)).empty());
  // An empty sample ends every run; a single-sample run lasts 0 s, which meets a minimum of 0.
  const auto spikes = tracker.update({}, at(8));
  ASSERT_EQ(spikes.size(), 2u);
  EXPECT_EQ(spikes[0].pid, 1);
  EXPECT_EQ(spikes[1].pid, 5);

  ProcessSpikeTracker positive(80, 1);
  const ProcessRecord once[] = {proc(1, "a", 95)};
  positive.update(once, at(0));
  EXPECT_TRUE(positive.update({}, at(4)).empty());  // a single sample is never long enough
}

TEST(ProcessSpikeTracker, ReusedPidStartsOverAndSameNamesStaySeparate) {
  ProcessSpikeTracker tracker(80, 30);
  for (double t = 0; t <= 40; t += 4) {
    const ProcessRecord records[] = {proc(7, "old", 90), proc(8, "worker", 90), proc(9, "worker", 95)};
    tracker.update(records, at(t));
  }
  // pid 7 now belongs to another process: the old run is dropped unreported.
  const ProcessRecord reused[] = {proc(7, "new", 90), proc(8, "worker", 90)};
  auto spikes = tracker.update(reused, at(44));
  ASSERT_EQ(spikes.size(), 1u);
  EXPECT_EQ(spikes[0].pid, 9);
  EXPECT_DOUBLE_EQ(spikes[0].duration, 40);

  spikes = tracker.update({}, at(48));
  ASSERT_EQ(spikes.size(), 1u);  // pid 7's new run lasted 0 s
  EXPECT_EQ(spikes[0].pid, 8);
  EXPECT_DOUBLE_EQ(spikes[0].duration, 44);
}

TEST(ProcessSpikeTracker, NonFiniteLimitsReportNothing) {
  ProcessSpikeTracker nanThreshold(std::numeric_limits<double>::quiet_NaN(), 0);
  ProcessSpikeTracker infMinimum(80, std::numeric_limits<double>::infinity());
  for (double t = 0; t <= 100; t += 4) {
    const ProcessRecord records[] = {proc(1, "a", 1e6)};
    EXPECT_TRUE(nanThreshold.update(records, at(t)).empty());
    EXPECT_TRUE(infMinimum.update(records, at(t)).empty());
  }
  EXPECT_TRUE(nanThreshold.update({}, at(200)).empty());
  EXPECT_TRUE(infMinimum.update({}, at(200)).empty());
}

}  // namespace
