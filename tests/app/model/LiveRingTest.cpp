#include "model/LiveRing.h"

#include <QTimeZone>

#include <gtest/gtest.h>

#include <vector>

namespace kivo {
namespace {

QDateTime at(int second) {
  return QDateTime::fromSecsSinceEpoch(1'700'000'000 + second, QTimeZone::utc());
}

std::vector<double> valuesOf(const LiveRing& series) {
  std::vector<double> values;
  for (const LivePoint& point : series) values.push_back(point.value);
  return values;
}

// The ring's start moves as it wraps; every read must still go oldest to newest.
TEST(LiveRing, KeepsTheNewestInOrderAcrossTheWrapAndAfterCuts) {
  struct Case {
    const char* name;
    int appended;
    int kept;  // keepNewest after appending; -1 for none
    std::vector<double> expectedTail;
    int expectedSize;
  };
  const std::vector<Case> cases = {
      {"short", 3, -1, {0, 1, 2}, 3},
      {"exactly full", 150, -1, {147, 148, 149}, 150},
      {"wrapped once", 151, -1, {148, 149, 150}, 150},
      {"wrapped far", 1000, -1, {997, 998, 999}, 150},
      {"cut after wrapping", 170, 2, {168, 169}, 2},
      {"cut to nothing", 170, 0, {}, 0},
      {"cut to more than held", 5, 9, {2, 3, 4}, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LiveRing series;
    for (int i = 0; i < c.appended; ++i) series.append(at(i), i);
    if (c.kept >= 0) series.keepNewest(c.kept);
    ASSERT_EQ(series.size(), c.expectedSize);
    const std::vector<double> values = valuesOf(series);
    ASSERT_GE(values.size(), c.expectedTail.size());
    EXPECT_EQ(
        std::vector<double>(values.end() - static_cast<std::ptrdiff_t>(c.expectedTail.size()), values.end()),
        c.expectedTail);
    for (int i = 1; i < series.size(); ++i) EXPECT_LT(series[i - 1].date, series[i].date);
    if (!series.isEmpty()) {
      EXPECT_EQ(series.last().date, at(c.appended - 1));
      EXPECT_EQ(series.first().value, values.front());
      EXPECT_EQ(series.toList().size(), series.size());
    }
  }
}

TEST(LiveRing, GrowsAgainAfterACutOrAClearWithoutLosingOrder) {
  LiveRing series;
  for (int i = 0; i < 160; ++i) series.append(at(i), i);
  series.keepNewest(1);
  for (int i = 160; i < 320; ++i) series.append(at(i), i);
  ASSERT_EQ(series.size(), 150);
  EXPECT_EQ(series.first().value, 170);
  EXPECT_EQ(series.last().value, 319);

  series.clear();
  EXPECT_TRUE(series.isEmpty());
  EXPECT_EQ(series.begin(), series.end());
  series.append(at(400), 4);
  EXPECT_EQ(series.toList(), (QList<LivePoint>{{at(400), 4}}));
}

}  // namespace
}  // namespace kivo
