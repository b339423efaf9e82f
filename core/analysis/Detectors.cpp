#include "analysis/Detectors.h"

#include <algorithm>
#include <cmath>

namespace kivo::Detectors {

std::vector<Episode> sustained(std::span<const SeriesPoint> points, double step, double above,
                               double minDuration) {
  std::vector<Episode> episodes;
  if (!std::isfinite(step) || !std::isfinite(above) || !std::isfinite(minDuration)) return episodes;

  // The run is the index range [first, next) of consecutive points.
  std::size_t first = 0;
  std::size_t next = 0;
  const auto close = [&] {
    if (first == next) return;
    const double start = points[first].time;
    const double end = points[next - 1].time + step;
    if (end - start >= minDuration) {
      std::int64_t samples = 0;
      double weighted = 0;
      double peak = points[first].max;
      for (std::size_t i = first; i < next; ++i) {
        samples += points[i].count;
        weighted += points[i].avg * static_cast<double>(points[i].count);
        peak = std::max(peak, points[i].max);
      }
      episodes.push_back(Episode{
          start, end, peak, weighted / static_cast<double>(std::max<std::int64_t>(samples, 1)), samples});
    }
    first = next;
  };

  for (std::size_t i = 0; i < points.size(); ++i) {
    if (first != next && points[i].time - points[next - 1].time > 3 * step) close();
    if (points[i].avg > above) {
      if (first == next) first = next = i;
      next = i + 1;
    } else {
      close();
      first = next = i + 1;
    }
  }
  close();
  return episodes;
}

std::optional<LinearFit> linearFit(std::span<const SeriesPoint> points) {
  const std::size_t n = points.size();
  if (n < 3) return std::nullopt;
  double sumTime = 0;
  double sumValue = 0;
  for (const SeriesPoint& p : points) {
    sumTime += p.time;
    sumValue += p.avg;
  }
  const double mt = sumTime / static_cast<double>(n);
  const double mv = sumValue / static_cast<double>(n);
  double sxy = 0;
  double sxx = 0;
  for (const SeriesPoint& p : points) {
    const double dt = p.time - mt;
    sxy += dt * (p.avg - mv);
    sxx += dt * dt;
  }
  if (!(sxx > 0)) return std::nullopt;
  const double slope = sxy / sxx;
  const double intercept = mv - mt * slope;
  if (!std::isfinite(slope) || !std::isfinite(intercept)) return std::nullopt;
  return LinearFit{slope, intercept};
}

std::optional<Exhaustion> exhaustion(std::span<const SeriesPoint> points, double now, double minSpan) {
  if (points.empty() || !std::isfinite(now) || !std::isfinite(minSpan)) return std::nullopt;
  if (points.back().time - points.front().time < minSpan) return std::nullopt;
  const auto fit = linearFit(points);
  if (!fit || !(fit->slope < 0)) return std::nullopt;
  const double seconds = points.back().avg / -fit->slope;
  if (!std::isfinite(seconds) || !(seconds > 0)) return std::nullopt;
  return Exhaustion{now + seconds, -fit->slope * 86400};
}

std::optional<double> median(std::span<const double> values) {
  // NaN is no measurement, and it would break the ordering the sort relies on.
  std::vector<double> sorted;
  sorted.reserve(values.size());
  for (const double v : values) {
    if (!std::isnan(v)) sorted.push_back(v);
  }
  if (sorted.empty()) return std::nullopt;
  std::sort(sorted.begin(), sorted.end());
  const std::size_t mid = sorted.size() / 2;
  if (sorted.size() % 2 == 1) return sorted[mid];
  return (sorted[mid - 1] + sorted[mid]) * 0.5;
}

std::vector<SeriesPoint> anomalies(std::span<const SeriesPoint> points, double floor, double factor) {
  std::vector<SeriesPoint> result;
  if (points.size() < 30 || !std::isfinite(floor) || !std::isfinite(factor)) return result;
  std::vector<double> values;
  values.reserve(points.size());
  for (const SeriesPoint& p : points) values.push_back(p.avg);
  const auto med = median(values);
  if (!med) return result;
  for (double& v : values) v = std::fabs(v - *med);
  const double mad = median(values).value_or(0);
  const double cut = *med + factor * std::max(0.1 * *med, mad);
  const double limit = std::max(floor, cut);
  for (const SeriesPoint& p : points) {
    if (p.avg > limit) result.push_back(p);
  }
  return result;
}

}  // namespace kivo::Detectors
