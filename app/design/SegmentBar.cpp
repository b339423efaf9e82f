#include "design/SegmentBar.h"

#include "design/Accessibility.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace kivo {
namespace {

double nonNegative(double value) {
  return std::isfinite(value) && value > 0 ? value : 0.0;
}

}  // namespace

SegmentBar::SegmentBar(std::vector<Segment> segments, double total, qreal height, QWidget* parent)
    : QWidget(parent),
      segments_(std::move(segments)),
      total_(total),
      height_(std::max(1.0, nonNegative(height))) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setFixedHeight(static_cast<int>(std::ceil(height_)));
  Accessibility::hideDecoration(this);
}

void SegmentBar::setSegments(std::vector<Segment> segments, double total) {
  segments_ = std::move(segments);
  total_ = total;
  update();
}

std::vector<double> SegmentBar::widths(std::span<const Segment> segments, double total, double width) {
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

std::vector<QRectF> SegmentBar::frames(std::span<const Segment> segments, double total, const QSizeF& size) {
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

QSize SegmentBar::sizeHint() const {
  return {160, static_cast<int>(std::ceil(height_))};
}

QSize SegmentBar::minimumSizeHint() const {
  return {0, static_cast<int>(std::ceil(height_))};
}

void SegmentBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  const QRectF bar(0, (height() - height_) / 2, width(), height_);
  QPainterPath capsule;
  capsule.addRoundedRect(bar, height_ / 2, height_ / 2);
  painter.setClipPath(capsule);
  painter.fillRect(bar, Palette::surfaceRaised.resolve(this));
  const std::vector<QRectF> rects = frames(segments_, total_, bar.size());
  for (std::size_t i = 0; i < rects.size(); ++i) {
    if (rects[i].width() <= 0 || rects[i].left() >= bar.width()) continue;
    painter.fillRect(rects[i].translated(bar.topLeft()), segments_[i].color.resolve(this));
  }
}

}  // namespace kivo
