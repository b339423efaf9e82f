#include "features/tray/MenuBarRenderer.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>

namespace kivo {

namespace {

constexpr double kGraphWidth = 26;
constexpr double kGraphHeight = 15;
constexpr double kGraphBottom = 3.5;  // from the bottom edge
constexpr double kGraphRoom = kGraphWidth + 3;
constexpr double kSegmentGap = 7;
constexpr double kFirstSegment = MenuBarRenderer::kLogoWidth + 5;
// The dot is 6 wide and starts 2 before x; the image keeps its right 2 as well.
constexpr double kAlertRoom = kSegmentGap + 2;

// Measuring and painting both happen on a device of 96 dots per inch, so a font of p points
// is p × 4/3 pixels whatever the screen says; this gives the fractional pixel sizes (7.5,
// 11.5) that QFont::setPixelSize cannot.
constexpr int kDotsPerMeter = 3780;  // 96 dpi

QFont font(double pixels, QFont::Weight weight) {
  QFont f = QApplication::font();
  f.setPointSizeF(pixels * 72.0 / 96.0);
  f.setWeight(weight);
  f.setStyleStrategy(QFont::PreferAntialias);
  return f;
}

struct Fonts {
  QFont caption = font(7.5, QFont::Bold);
  QFont value = font(11.5, QFont::Medium);
  QFont small = font(8.5, QFont::Medium);
  QImage device{1, 1, QImage::Format_ARGB32_Premultiplied};
  QFontMetricsF captionMetrics{caption};
  QFontMetricsF valueMetrics{value};
  QFontMetricsF smallMetrics{small};

  Fonts() {
    device.setDotsPerMeterX(kDotsPerMeter);
    device.setDotsPerMeterY(kDotsPerMeter);
    captionMetrics = QFontMetricsF(caption, &device);
    valueMetrics = QFontMetricsF(value, &device);
    smallMetrics = QFontMetricsF(small, &device);
  }
};

// Built on first use, after the application exists; the GUI thread is the only user.
const Fonts& fonts() {
  static const Fonts instance;
  return instance;
}

// The font as it must be set on this device to keep its pixel size.
QFont onDevice(const QFont& font, const QPaintDevice* device) {
  const int dpi = device ? device->logicalDpiY() : 96;
  if (dpi == 96 || dpi <= 0) return font;
  QFont adjusted = font;
  adjusted.setPointSizeF(font.pointSizeF() * 96.0 / dpi);
  return adjusted;
}

double textWidth(const QFontMetricsF& metrics, const QString& text) {
  return text.isEmpty() ? 0.0 : std::ceil(metrics.horizontalAdvance(text));
}

}  // namespace

MenuBarRenderer::MenuBarRenderer(std::vector<Segment> segments, bool alert)
    : segments_(std::move(segments)), alert_(alert) {
  const Fonts& f = fonts();
  widths_.reserve(segments_.size());
  double total = 0;
  for (const Segment& segment : segments_) {
    const QFontMetricsF& lineMetrics = segment.lines.size() < 2 ? f.valueMetrics : f.smallMetrics;
    double text = 0;
    for (const QString& line : segment.lines) text = std::max(text, textWidth(lineMetrics, line));
    double w = std::max(text, textWidth(f.captionMetrics, segment.caption));
    if (segment.graph) w += kGraphRoom;
    widths_.push_back(w);
    total += w + kSegmentGap;
  }
  width_ = std::max(kLogoWidth, kLogoWidth + total + (alert_ ? kAlertRoom : 0.0));
}

double MenuBarRenderer::alertDotX() const {
  double x = kFirstSegment;
  for (double w : widths_) x += w + kSegmentGap;
  return x - 2;
}

std::vector<double> MenuBarRenderer::barHeights(const std::vector<double>& graph,
                                                std::optional<double> ceiling) {
  double top = 1;
  if (ceiling) {
    top = *ceiling;
  } else if (!graph.empty()) {
    top = *std::max_element(graph.begin(), graph.end());
  }
  // A top of 0 or below (or NaN) never divides by zero.
  if (!(top >= std::numeric_limits<double>::min())) top = std::numeric_limits<double>::min();
  const std::size_t n = std::min<std::size_t>(graph.size(), kBars);
  std::vector<double> heights;
  heights.reserve(n);
  for (std::size_t j = graph.size() - n; j < graph.size(); ++j) {
    const double ratio = graph[j] / top;
    const double clamped = std::isnan(ratio) ? 0.0 : std::clamp(ratio, 0.0, 1.0);
    heights.push_back(std::max(kGraphHeight * clamped, 1.0));
  }
  return heights;
}

void MenuBarRenderer::paint(QPainter& painter, const QPointF& origin, const QColor& ink) const {
  const Fonts& f = fonts();
  painter.save();
  painter.translate(origin);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  // y of a length measured from the bottom edge, as the drawing is laid out.
  auto up = [](double y) { return kHeight - y; };

  QColor faint = ink;
  faint.setAlphaF(static_cast<float>(ink.alphaF() * 0.18));
  QColor caption = ink;
  caption.setAlphaF(static_cast<float>(ink.alphaF() * 0.7));

  // Logo: a ring open along a horizontal band, crossed by a pulse line.
  {
    painter.save();
    QPainterPath outside;
    outside.addRect(QRectF(0, 0, kLogoWidth, kHeight));
    QPainterPath band;
    band.addRect(QRectF(0, up(9.4 + 3.2), kLogoWidth, 3.2));
    painter.setClipPath(outside.subtracted(band));
    painter.setPen(QPen(ink, 1.6));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(2.5, up(4.5 + 13), 13, 13));
    painter.restore();

    static const QPointF pulse[] = {{0.5, 11},  {4.5, 11}, {6.5, 15.5}, {9.5, 6},
                                    {11.5, 13}, {13, 11},  {17.5, 11}};
    QPolygonF line;
    for (const QPointF& p : pulse) line << QPointF(p.x(), up(p.y()));
    painter.setPen(QPen(ink, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(line);
  }

  double x = kFirstSegment;
  for (std::size_t i = 0; i < segments_.size(); ++i) {
    const Segment& segment = segments_[i];
    double textX = x;
    if (segment.graph) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(faint);
      painter.drawRoundedRect(QRectF(x, up(kGraphBottom + kGraphHeight), kGraphWidth, kGraphHeight), 2, 2);
      const std::vector<double> heights = barHeights(*segment.graph, segment.ceiling);
      const double n = static_cast<double>(heights.size());
      painter.setBrush(ink);
      for (std::size_t j = 0; j < heights.size(); ++j) {
        const double left = x + 2 * (kBars - n + static_cast<double>(j)) + 0.25;
        painter.drawRect(QRectF(left, up(kGraphBottom + heights[j]), 1.5, heights[j]));
      }
      textX = x + kGraphRoom;
    }
    // A text is placed by the bottom-left corner of its line box: baseline = bottom + descent.
    auto text = [&](const QFont& font, const QFontMetricsF& metrics, const QColor& colour, double bottom,
                    const QString& value) {
      painter.setFont(onDevice(font, painter.device()));
      painter.setPen(colour);
      painter.drawText(QPointF(textX, up(bottom + metrics.descent())), value);
    };
    if (segment.lines.size() >= 2) {
      text(f.small, f.smallMetrics, ink, 11, segment.lines[0]);
      text(f.small, f.smallMetrics, ink, 1.5, segment.lines[1]);
    } else {
      text(f.caption, f.captionMetrics, caption, 12.5, segment.caption);
      text(f.value, f.valueMetrics, ink, 0.5, segment.lines.isEmpty() ? QString() : segment.lines[0]);
    }
    x += widths_[i] + kSegmentGap;
  }

  if (alert_) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawEllipse(QRectF(x - 2, up(8 + 6), 6, 6));
  }
  painter.restore();
}

QImage MenuBarRenderer::render(qreal scale, const QColor& ink) const {
  const QSize pixels(static_cast<int>(std::ceil(width_ * scale)),
                     static_cast<int>(std::ceil(kHeight * scale)));
  QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
  image.setDotsPerMeterX(kDotsPerMeter);
  image.setDotsPerMeterY(kDotsPerMeter);
  image.setDevicePixelRatio(scale);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  paint(painter, QPointF(0, 0), ink);
  return image;
}

}  // namespace kivo
