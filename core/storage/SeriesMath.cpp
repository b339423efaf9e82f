#include "storage/SeriesMath.h"

#include <algorithm>
#include <cmath>

namespace kivo::SeriesMath {

StoreTier tier(double from, double to, double now, const RetentionPolicy& retention) {
  const double span = to - from;
  if (span <= 7200 && from >= now - retention.raw) return StoreTier::raw;
  if (span <= 604800 && from >= now - retention.minute) return StoreTier::minute;
  return StoreTier::hour;
}

double step(double span, StoreTier tier, int maxPoints, double rawInterval) {
  double base = StoreTiers::step(tier);
  if (tier == StoreTier::raw) base = (std::isfinite(rawInterval) && rawInterval > 1) ? rawInterval : 1;
  const double per = span / static_cast<double>(std::max(maxPoints, 1));
  if (std::isfinite(per) && base < per) return base * std::ceil(per / base);
  return base;
}

std::vector<SeriesGap> gaps(std::span<const SeriesPoint> points, double from, double to, double step,
                            double tolerance) {
  std::vector<SeriesGap> result;
  if (!(step > 0) || !std::isfinite(step)) return result;
  // A range that starts after its end (say, one starting after now) has nothing to report.
  auto add = [&result](double start, double end) {
    if (end > start) result.push_back({start, end});
  };
  if (points.empty()) {
    add(from, to);
    return result;
  }
  const double limit = tolerance * step;
  if (points.front().time - from > limit) add(from, points.front().time);
  for (std::size_t i = 1; i < points.size(); ++i) {
    if (points[i].time - points[i - 1].time > limit) add(points[i - 1].time + step, points[i].time);
  }
  const double afterLast = points.back().time + step;
  if (to - afterLast > limit) add(afterLast, to);
  return result;
}

}  // namespace kivo::SeriesMath
