#include "scheduler/SchedulerMath.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace kivo;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct IntervalCase {
  const char* name;
  double interval;
  double background;
  bool batterySaver;
  bool foreground;
  bool onBattery;
  bool lowPower;
  double expected;
};

TEST(SchedulerMath, EffectiveIntervalTable) {
  const IntervalCase cases[] = {
      {"defaults in the foreground", 2, 5, true, true, false, false, 2},
      {"too short is raised to 0.5", 0.2, 5, true, true, false, false, 0.5},
      {"exactly 0.5", 0.5, 5, true, true, false, false, 0.5},
      {"zero", 0, 5, false, true, false, false, 0.5},
      {"negative", -3, 5, false, true, false, false, 0.5},
      {"background lengthens", 2, 5, true, false, false, false, 5},
      {"background on battery doubles", 2, 5, true, false, true, false, 10},
      {"shorter background is not used", 8, 5, true, false, false, false, 8},
      {"equal background is taken", 5, 5, true, false, false, false, 5},
      {"foreground ignores background", 2, 5, true, true, true, false, 4},
      {"low power on mains doubles", 2, 5, true, true, false, true, 4},
      {"battery saver off: battery changes nothing", 2, 5, false, true, true, true, 2},
      {"doubling clamped to 60", 40, 5, true, true, true, false, 60},
      {"exactly 60", 60, 5, false, true, false, false, 60},
      {"background beyond 60 clamped", 2, 500, false, false, false, false, 60},
      {"doubling 0.2 stays above the floor", 0.2, 0.1, true, true, true, false, 0.5},
      {"NaN interval counts as the default", kNaN, 5, false, true, false, false, 2},
      {"NaN interval in the background", kNaN, 5, false, false, false, false, 5},
      {"infinite interval counts as the default", kInf, 5, true, true, true, false, 4},
      {"NaN background is never taken", 2, kNaN, false, false, false, false, 2},
      {"infinite background is never taken", 2, kInf, false, false, false, false, 2},
  };
  for (const auto& c : cases) {
    TelemetryConfiguration config;
    config.interval = c.interval;
    config.backgroundInterval = c.background;
    config.batterySaver = c.batterySaver;
    const double result = SchedulerMath::effectiveInterval(config, c.foreground, c.onBattery, c.lowPower);
    EXPECT_DOUBLE_EQ(result, c.expected) << c.name;
    EXPECT_TRUE(std::isfinite(result)) << c.name;
  }
}

struct GapCase {
  double elapsed;
  double planned;
  bool expected;
};

TEST(SchedulerMath, DiscontinuityTable) {
  const GapCase cases[] = {
      {12, 2, false},   {12.01, 2, true},   {11.9, 2, false}, {20, 5, false},     {20.001, 5, true},
      {240, 60, false}, {240.5, 60, true},  {600, 2, true},   {10.5, 0.5, false}, {10.51, 0.5, true},
      {kNaN, 2, false}, {100, kNaN, false}, {kInf, 2, true},  {1e9, kInf, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SchedulerMath::isDiscontinuity(c.elapsed, c.planned), c.expected)
        << "elapsed " << c.elapsed << " planned " << c.planned;
  }
  EXPECT_DOUBLE_EQ(SchedulerMath::discontinuityBound(2), 12);
  EXPECT_DOUBLE_EQ(SchedulerMath::discontinuityBound(5), 20);
  EXPECT_DOUBLE_EQ(SchedulerMath::discontinuityBound(60), 240);
}

}  // namespace

namespace {

TEST(SchedulerMath, ProcessCadenceKeepsItsRatio) {
  struct Case {
    double interval, process, effective, expected;
  };
  const Case cases[] = {
      {2, 4, 2, 4},      // every second tick in the foreground
      {2, 4, 4, 8},      // on battery: still every second tick
      {2, 4, 5, 10},     // in the background
      {0.2, 4, 0.5, 4},  // interval raised to 0.5 before the ratio
      {kNaN, 4, 2, 4},   // a non-finite configured value counts as its default
      {2, kInf, 2, 4},  {2, kNaN, 10, 20},
  };
  for (const auto& c : cases) {
    TelemetryConfiguration config;
    config.interval = c.interval;
    config.processInterval = c.process;
    EXPECT_DOUBLE_EQ(SchedulerMath::processCadence(config, c.effective), c.expected)
        << c.interval << " " << c.process << " " << c.effective;
  }
}

TEST(TelemetryConfiguration, SanitizedReplacesOnlyNonFiniteIntervals) {
  TelemetryConfiguration config;
  config.interval = 0.1;
  config.backgroundInterval = kNaN;
  config.slowInterval = -kInf;
  config.flushInterval = kInf;
  config.batterySaver = false;
  const TelemetryConfiguration clean = config.sanitized();
  EXPECT_TRUE(clean.isValid());
  EXPECT_EQ(clean.interval, 0.1);
  EXPECT_EQ(clean.backgroundInterval, 5);
  EXPECT_EQ(clean.slowInterval, 30);
  EXPECT_EQ(clean.flushInterval, 30);
  EXPECT_FALSE(clean.batterySaver);
}

}  // namespace
