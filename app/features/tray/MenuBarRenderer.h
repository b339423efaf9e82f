#pragma once

#include <QColor>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class QPainter;
class QPointF;

namespace kivo {

// The drawn tray label: a logo (a ring crossed by a pulse line), one compact indicator per
// segment and a dot while alerts fire. Everything is drawn in one ink colour at varying
// opacity, so the caller chooses the colour that suits the panel behind it.
//
// Text widths are measured once, when the renderer is made; painting reads only what was
// measured. Lengths are device-independent pixels, the image is 22 high.
class MenuBarRenderer {
 public:
  struct Segment {
    QString caption;                           // above a single value line; may be empty
    QStringList lines;                         // one line drawn large, two drawn small
    std::optional<std::vector<double>> graph;  // mini bar graph; absent: no room for one
    std::optional<double> ceiling;             // fills a bar; absent: the largest graph value

    bool operator==(const Segment&) const = default;
  };

  static constexpr double kHeight = 22;
  static constexpr double kLogoWidth = 18;
  static constexpr int kBars = 13;

  // Measures the segments.
  MenuBarRenderer(std::vector<Segment> segments, bool alert);
  static MenuBarRenderer image(std::vector<Segment> segments, bool alert) {
    return MenuBarRenderer(std::move(segments), alert);
  }

  QSizeF size() const { return {width_, kHeight}; }
  const std::vector<Segment>& segments() const { return segments_; }
  // Width of each segment (text or caption, plus the graph and its gap).
  const std::vector<double>& segmentWidths() const { return widths_; }
  bool alert() const { return alert_; }
  // Left edge of the alert dot (meaningful with an alert).
  double alertDotX() const;

  // Paints the label with its top-left corner at origin, on any device (fonts keep their pixel
  // sizes). Needs no transparent layer: the gap in the ring is left out by clipping, not erased.
  void paint(QPainter& painter, const QPointF& origin, const QColor& ink) const;
  // The label alone on a transparent image of size() × scale pixels.
  QImage render(qreal scale, const QColor& ink) const;

  // Heights of the graph bars for these values (oldest first), at most the last 13: each at
  // least 1, full at the ceiling or the largest value.
  static std::vector<double> barHeights(const std::vector<double>& graph, std::optional<double> ceiling);

 private:
  std::vector<Segment> segments_;
  std::vector<double> widths_;
  bool alert_ = false;
  double width_ = kLogoWidth;
};

}  // namespace kivo
