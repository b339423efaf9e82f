#include "design/SegmentBar.h"

#include <cmath>

namespace kivo::SegmentBar {
namespace {

double nonNegative(double value) {
  return std::isfinite(value) && value > 0 ? value : 0.0;
}

}  // namespace

std::vector<double> widths(std::span<const Segment> segments, double total, double width) {
  std::vector<double> result(segments.size(), 0.0);
  const double w = nonNegative(width);
  if (!std::isfinite(total) || total <= 0) return result;
  for (std::size_t i = 0; i < segments.size(); ++i) {
    const double share = segments[i].value / total * w;
    if (std::isnan(share) || share <= 0) continue;
    result[i] = std::isfinite(share) ? share : w;
  }
  return result;
}

std::vector<QRectF> frames(std::span<const Segment> segments, double total, const QSizeF& size) {
  const std::vector<double> w = widths(segments, total, size.width());
  std::vector<QRectF> result;
  result.reserve(w.size());
  double x = 0;
  const double h = nonNegative(size.height());
  for (const double segment : w) {
    result.emplace_back(x, 0, segment, h);
    x += segment + kGap;
  }
  return result;
}

}  // namespace kivo::SegmentBar
