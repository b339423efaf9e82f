#pragma once

// The roll-up of samples into minute and hour summaries, apart from the database: the period
// a sample falls in, what one period gathers, and when it closes.

#include <algorithm>
#include <cstdint>
#include <optional>

namespace kivo::StoreDetail {

inline constexpr double kMinuteSeconds = 60;
inline constexpr double kHourSeconds = 3600;

// The start of the period of `length` seconds that holds t (seconds since 1970); periods
// count from 1970-01-01 00:00 UTC, and a time on a boundary starts its period.
double periodStart(double t, double length);

struct Bucket {
  double start = 0;
  double min = 0;
  double max = 0;
  double sum = 0;
  std::int64_t count = 0;  // samples not yet written; 0 right after a flush

  void add(double value) {
    if (count == 0) {
      min = max = value;
    } else {
      if (value < min) min = value;
      if (value >= max) max = value;
    }
    sum += value;
    ++count;
  }

  // Takes in the samples of another stretch of the same period.
  void merge(const Bucket& other) {
    if (other.count <= 0) return;
    if (count <= 0) {
      *this = other;
      return;
    }
    min = std::min(min, other.min);
    max = std::max(max, other.max);
    sum += other.sum;
    count += other.count;
  }

  // The rounding of sum / count can land a step outside the samples.
  double mean() const { return std::clamp(sum / static_cast<double>(count), min, max); }
};

// Adds a sample of the period starting at `start` to one metric's open period. A sample of
// another period (later, or earlier when the clock stepped back) closes the open one and opens
// its own; the closed one is returned when it gathered samples since they were last taken.
std::optional<Bucket> rollUp(std::optional<Bucket>& open, double start, double value);

// The samples the open period gathered since they were last taken, if any. The period stays
// open, empty.
std::optional<Bucket> takeSamples(std::optional<Bucket>& open);

// Gives samples taken from a period back to it if it is still the open one; false when it is
// not, and the caller keeps them.
bool putBack(std::optional<Bucket>& open, const Bucket& taken);

}  // namespace kivo::StoreDetail
