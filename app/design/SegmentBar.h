#pragma once

#include "design/Tokens.h"

#include <QRectF>
#include <QString>

#include <span>
#include <vector>

namespace kivo {

// The geometry of a stacked composition: segments left to right, 1 apart, each value ÷ total of
// the whole width (segments past the end are cut off when drawn, by a capsule clip).
namespace SegmentBar {

struct Segment {
  QString id;  // unique within one bar
  double value = 0;
  DynamicColor color;
};

// value ÷ total × width per segment; every width 0 when the total is not above 0 or not finite;
// a negative or not-a-number width is 0, an infinite one the whole width; a negative width of
// the bar counts as 0.
std::vector<double> widths(std::span<const Segment> segments, double total, double width);
// The segments' rectangles in a bar of this size: 1 apart from the leading edge, full height.
std::vector<QRectF> frames(std::span<const Segment> segments, double total, const QSizeF& size);
inline constexpr qreal kGap = 1;

}  // namespace SegmentBar

}  // namespace kivo
