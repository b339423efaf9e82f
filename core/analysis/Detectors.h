#pragma once

#include "analysis/Finding.h"
#include "storage/Series.h"

#include <optional>
#include <span>
#include <vector>

namespace kivo::Detectors {

struct LinearFit {
  double slope = 0;  // units per second
  double intercept = 0;
};

struct Exhaustion {
  double date = 0;  // seconds since 1970 when the quantity reaches zero
  double bytesPerDay = 0;
};

// Runs of consecutive points whose avg is strictly above `above`; a distance of
// more than three steps between neighbours ends a run. Runs shorter than
// minDuration (inclusive) are dropped. Non-finite arguments give no runs.
std::vector<Episode> sustained(std::span<const SeriesPoint> points, double step, double above,
                               double minDuration);

// Least squares of avg over time; absent below 3 points, without spread in time
// or when a non-finite average makes the line meaningless.
std::optional<LinearFit> linearFit(std::span<const SeriesPoint> points);

// When a falling quantity reaches zero, counted from now; absent when the points
// span less than minSpan, the trend is not falling, or the result is not finite.
std::optional<Exhaustion> exhaustion(std::span<const SeriesPoint> points, double now, double minSpan);

// Middle value (mean of the two middle ones for an even count); NaN entries are
// skipped, and nothing but NaN gives absent.
std::optional<double> median(std::span<const double> values);

// Points far above the series' usual level: avg above the larger of floor and
// median + factor × max(0.1 × median, median absolute deviation). Fewer than
// 30 points, or a non-finite floor or factor, give none.
std::vector<SeriesPoint> anomalies(std::span<const SeriesPoint> points, double floor, double factor);

}  // namespace kivo::Detectors
