#include "metrics/CounterMath.h"
#include "metrics/MonotonicClock.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kivo;

TEST(CounterMath, DeltaResetAndWrap) {
  struct Case {
    std::uint64_t previous, current;
    int bits;
    std::optional<std::uint64_t> expected;
  };
  const Case cases[] = {
      {5, 5, 64, 0},
      {6, 5, 64, std::nullopt},  // a 64-bit counter going down is a reset
      {0, UINT64_MAX, 64, UINT64_MAX},
      {4'294'967'000ull, 300, 32, 596},  // wrapped once
      {3'000'000'000ull, 100, 32, 1'294'967'396ull},
      {2'000'000'000ull, 100, 32, std::nullopt},    // lower half: reset, not wrap
      {2'147'483'648ull, 0, 32, 2'147'483'648ull},  // exactly half way counts as a wrap
      {1'000, 10, 32, std::nullopt},
      {5'000'000'000ull, 100, 32, std::nullopt},  // does not fit 32 bits
      {10, 20, 32, 10},
      {200, 5, 8, 61},
      {100, 5, 8, std::nullopt},
      {10, 20, -1, std::nullopt},  // caller error
      {20, 10, 0, std::nullopt},
      {20, 10, 65, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CounterMath::delta(c.previous, c.current, c.bits), c.expected)
        << c.previous << " -> " << c.current << " (" << c.bits << " bits)";
  }
}

TEST(CounterMath, RateNeedsDeltaAndPositiveElapsed) {
  EXPECT_EQ(CounterMath::rate(100, 2), 50.0);
  EXPECT_FALSE(CounterMath::rate(100, 0));
  EXPECT_FALSE(CounterMath::rate(100, -1));
  EXPECT_FALSE(CounterMath::rate(100, std::nan("")));
  EXPECT_FALSE(CounterMath::rate(std::nullopt, 2));
  EXPECT_EQ(CounterMath::rate(0, 0.5), 0.0);
}

TEST(MonotonicClock, NeverGoesBackwards) {
  double previous = MonotonicClock::now();
  EXPECT_GT(previous, 0);
  for (int i = 0; i < 1000; ++i) {
    const double now = MonotonicClock::now();
    ASSERT_GE(now, previous);
    previous = now;
  }
}
