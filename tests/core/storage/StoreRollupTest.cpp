#include "storage/StoreRollup.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

using namespace kivo::StoreDetail;

namespace {

// On a whole hour (and so a whole minute).
constexpr double kBase = 1'800'000'000;

struct Summary {
  double start, min, max, mean;
  std::int64_t count;
};

Bucket bucketOf(double start, std::initializer_list<double> values) {
  Bucket bucket{start, 0, 0, 0, 0};
  for (double value : values) bucket.add(value);
  return bucket;
}

void expectSummary(const Bucket& bucket, const Summary& expected, const std::string& where) {
  EXPECT_EQ(bucket.start, expected.start) << where;
  EXPECT_EQ(bucket.count, expected.count) << where;
  if (expected.count == 0) return;
  EXPECT_EQ(bucket.min, expected.min) << where;
  EXPECT_EQ(bucket.max, expected.max) << where;
  EXPECT_EQ(bucket.mean(), expected.mean) << where;  // exact: the clamp is one step
}

}  // namespace

TEST(StoreRollup, PeriodStartIsTheBoundaryAtOrBefore) {
  struct Case {
    double t, minute, hour;
  };
  const Case cases[] = {
      {0, 0, 0},
      {59.999, 0, 0},
      {60, 60, 0},  // a boundary starts its period
      {3599.5, 3540, 0},
      {3600, 3600, 3600},
      {kBase + 61.25, kBase + 60, kBase},
      {kBase - 0.001, kBase - 60, kBase - 3600},
      {-1, -60, -3600},  // before 1970 rounds down too, not toward zero
      {-60, -60, -3600},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(periodStart(c.t, kMinuteSeconds), c.minute) << c.t;
    EXPECT_EQ(periodStart(c.t, kHourSeconds), c.hour) << c.t;
  }
}

TEST(StoreRollup, BucketGathersMinMaxMeanAndCount) {
  struct Case {
    std::string name;
    std::vector<double> values;
    Summary expected;
  };
  const std::vector<Case> cases = {
      {"one sample", {5}, {0, 5, 5, 5, 1}},
      {"falling then rising", {3, 1, 2}, {0, 1, 3, 2, 3}},
      {"negative", {-2, -8}, {0, -8, -2, -5, 2}},
      {"first sample is the extreme", {9, 4, 5}, {0, 4, 9, 6, 3}},
      // The rounding of the sum lands the plain quotient a step above, then below, the samples.
      {"mean not above equal samples", {0.1, 0.1, 0.1}, {0, 0.1, 0.1, 0.1, 3}},
      {"mean not below equal samples", {0.7, 0.7, 0.7}, {0, 0.7, 0.7, 0.7, 3}},
  };
  for (const Case& c : cases) {
    Bucket bucket{0, 0, 0, 0, 0};
    for (double value : c.values) bucket.add(value);
    expectSummary(bucket, c.expected, c.name);
  }
}

TEST(StoreRollup, MergeTakesInAnotherStretch) {
  struct Case {
    std::string name;
    Bucket into, other;
    Summary expected;
  };
  const std::vector<Case> cases = {
      {"both hold samples", bucketOf(60, {4, 6}), bucketOf(60, {1, 9, 5}), {60, 1, 9, 5, 5}},
      {"into an empty one", bucketOf(60, {}), bucketOf(60, {2, 4}), {60, 2, 4, 3, 2}},
      {"an empty one changes nothing", bucketOf(60, {7}), bucketOf(60, {}), {60, 7, 7, 7, 1}},
      // An empty bucket's zeros are no samples: they would raise this maximum.
      {"negatives into an empty one", bucketOf(60, {}), bucketOf(60, {-3, -5}), {60, -5, -3, -4, 2}},
  };
  for (Case c : cases) {
    c.into.merge(c.other);
    expectSummary(c.into, c.expected, c.name);
  }
}

// One metric's open period fed samples at given times, with flushes taking what it gathered in
// between: every bucket that leaves it (closed, or taken by a flush) in order, and what stays.
TEST(StoreRollup, RollUpClosesAPeriodWhenTimeLeavesIt) {
  struct Step {
    double t;  // seconds after kBase
    double value;
    bool take = false;  // a flush takes the samples instead
  };
  const Step take{0, 0, true};
  struct Case {
    std::string name;
    double length;
    std::vector<Step> steps;
    std::vector<Summary> out;  // starts after kBase
    Summary open;
  };
  const std::vector<Case> cases = {
      {"one minute", kMinuteSeconds, {{0, 10}, {30, 20}, {59.9, 30}}, {}, {0, 10, 30, 20, 3}},
      {"into the next minute",
       kMinuteSeconds,
       {{10, 4}, {50, 8}, {60, 1}},
       {{0, 4, 8, 6, 2}},
       {60, 1, 1, 1, 1}},
      {"minutes without samples leave no bucket",
       kMinuteSeconds,
       {{10, 4}, {250, 2}},
       {{0, 4, 4, 4, 1}},
       {240, 2, 2, 2, 1}},
      {"clock back to an earlier minute",
       kMinuteSeconds,
       {{130, 5}, {135, 7}, {70, 3}},
       {{120, 5, 7, 6, 2}},
       {60, 3, 3, 3, 1}},
      {"clock back within the minute", kMinuteSeconds, {{40, 5}, {20, 7}}, {}, {0, 5, 7, 6, 2}},
      {"back to a minute already closed opens it anew",
       kMinuteSeconds,
       {{10, 1}, {70, 2}, {20, 3}},
       {{0, 1, 1, 1, 1}, {60, 2, 2, 2, 1}},
       {0, 3, 3, 3, 1}},
      {"a flushed period closes with nothing",
       kMinuteSeconds,
       {{10, 4}, take, {70, 6}},
       {{0, 4, 4, 4, 1}},
       {60, 6, 6, 6, 1}},
      {"a period closes with what came after the flush",
       kMinuteSeconds,
       {{10, 4}, take, {20, 9}, {30, 1}, {70, 6}},
       {{0, 4, 4, 4, 1}, {0, 1, 9, 5, 2}},
       {60, 6, 6, 6, 1}},
      {"a flush with nothing new takes nothing",
       kMinuteSeconds,
       {{10, 4}, take, take},
       {{0, 4, 4, 4, 1}},
       {0, 0, 0, 0, 0}},
      {"one hour", kHourSeconds, {{0, 2}, {1800, 4}, {3599, 6}}, {}, {0, 2, 6, 4, 3}},
      {"into the next hour",
       kHourSeconds,
       {{0, 2}, {3599, 6}, {3600, 1}},
       {{0, 2, 6, 4, 2}},
       {3600, 1, 1, 1, 1}},
      {"clock back an hour", kHourSeconds, {{3700, 8}, {100, 2}}, {{3600, 8, 8, 8, 1}}, {0, 2, 2, 2, 1}},
  };
  for (const Case& c : cases) {
    std::optional<Bucket> open;
    std::vector<Bucket> out;
    for (const Step& step : c.steps) {
      const auto left =
          step.take ? takeSamples(open) : rollUp(open, periodStart(kBase + step.t, c.length), step.value);
      if (left) out.push_back(*left);
    }
    ASSERT_EQ(out.size(), c.out.size()) << c.name;
    for (std::size_t i = 0; i < out.size(); ++i) {
      Summary expected = c.out[i];
      expected.start += kBase;
      expectSummary(out[i], expected, c.name + ", bucket " + std::to_string(i));
    }
    ASSERT_TRUE(open.has_value()) << c.name;
    Summary expected = c.open;
    expected.start += kBase;
    expectSummary(*open, expected, c.name + ", open");
  }
}

// A flush that failed gives back what it took: to the period it came from while that is still
// open; otherwise the caller keeps it to write later.
TEST(StoreRollup, PutBackOnlyIntoThePeriodItCameFrom) {
  struct Case {
    std::string name;
    std::optional<Bucket> open;
    Bucket taken;
    bool accepted;
    std::optional<Summary> after;
  };
  const std::vector<Case> cases = {
      {"period still open with newer samples", bucketOf(60, {8, 2}), bucketOf(60, {5}), true,
       Summary{60, 2, 8, 5, 3}},
      {"period still open and empty", bucketOf(60, {}), bucketOf(60, {5, 7}), true, Summary{60, 5, 7, 6, 2}},
      {"time moved on", bucketOf(120, {3}), bucketOf(60, {5}), false, Summary{120, 3, 3, 3, 1}},
      {"clock went back", bucketOf(0, {3}), bucketOf(60, {5}), false, Summary{0, 3, 3, 3, 1}},
      {"no period open (history erased)", std::nullopt, bucketOf(60, {5}), false, std::nullopt},
  };
  for (Case c : cases) {
    EXPECT_EQ(putBack(c.open, c.taken), c.accepted) << c.name;
    ASSERT_EQ(c.open.has_value(), c.after.has_value()) << c.name;
    if (c.open) expectSummary(*c.open, *c.after, c.name);
  }
}
