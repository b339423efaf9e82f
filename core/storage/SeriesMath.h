#pragma once

#include "storage/RetentionPolicy.h"
#include "storage/Series.h"
#include "storage/StoreTier.h"

#include <span>
#include <vector>

namespace kivo::SeriesMath {

// All times are seconds since 1970.

// raw when the span is at most 2 hours and from is within raw retention; else minute
// when the span is at most 7 days and from is within minute retention; else hour.
StoreTier tier(double from, double to, double now, const RetentionPolicy& retention);

// The base step of the tier (raw: the sampling interval, at least 1 s), raised to a
// whole multiple of itself so that the span has about maxPoints buckets (maxPoints < 1 counts as 1).
double step(double span, StoreTier tier, int maxPoints, double rawInterval);

// Stretches longer than tolerance × step between neighbouring points, plus a leading
// one after from and a trailing one before to; with no points one gap from from to to.
// A stretch that would not have positive length is never reported.
std::vector<SeriesGap> gaps(std::span<const SeriesPoint> points, double from, double to, double step,
                            double tolerance = 2.5);

}  // namespace kivo::SeriesMath
