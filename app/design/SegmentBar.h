#pragma once

#include "design/Tokens.h"

#include <QRectF>
#include <QString>
#include <QWidget>

#include <span>
#include <vector>

namespace kivo {

// A stacked composition: segments left to right, 1 apart, each value ÷ total of the whole width,
// over a raised track, clipped to a capsule (segments past the end are cut off). Hidden from
// screen readers: callers describe the composition in text.
class SegmentBar : public QWidget {
  Q_OBJECT

 public:
  struct Segment {
    QString id;  // unique within one bar
    double value = 0;
    DynamicColor color;
  };

  SegmentBar(std::vector<Segment> segments, double total, qreal height, QWidget* parent = nullptr);

  // Replaces the segments in place (same bar, new amounts).
  void setSegments(std::vector<Segment> segments, double total);
  const std::vector<Segment>& segments() const { return segments_; }

  // value ÷ total × width per segment; every width 0 when the total is not above 0 or not finite;
  // a negative or not-a-number width is 0, an infinite one the whole width; a negative width of
  // the bar counts as 0.
  static std::vector<double> widths(std::span<const Segment> segments, double total, double width);
  // The segments' rectangles in a bar of this size: 1 apart from the leading edge, full height.
  static std::vector<QRectF> frames(std::span<const Segment> segments, double total, const QSizeF& size);
  static constexpr qreal kGap = 1;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<Segment> segments_;
  double total_;
  qreal height_;
};

}  // namespace kivo
