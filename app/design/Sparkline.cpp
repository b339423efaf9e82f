#include "design/Sparkline.h"

#include "design/ChartGeometry.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace kivo {

Sparkline::Sparkline(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void Sparkline::setValues(std::span<const double> values) {
  if (std::equal(values.begin(), values.end(), values_.begin(), values_.end())) return;
  values_.assign(values.begin(), values.end());
  update();
}

void Sparkline::setColor(const ChartColor& color) {
  color_ = color;
  update();
}

void Sparkline::setCeiling(std::optional<double> ceiling) {
  ceiling_ = ceiling;
  update();
}

void Sparkline::setFilled(bool filled) {
  filled_ = filled;
  update();
}

QSize Sparkline::sizeHint() const { return {120, 28}; }

void Sparkline::paint(QPainter& painter, const QRectF& rect, std::span<const double> values, const QColor& color,
                      std::optional<double> ceiling, bool filled) {
  const std::vector<QPointF> points = ChartGeometry::sparklinePoints(values, ceiling, rect);
  if (points.size() < 2) return;
  const QPolygonF line(QList<QPointF>(points.begin(), points.end()));
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  if (filled) {
    QPolygonF area = line;
    area << QPointF(points.back().x(), rect.bottom()) << QPointF(points.front().x(), rect.bottom());
    QLinearGradient gradient(rect.left(), rect.top(), rect.left(), rect.bottom());
    QColor top = color;
    top.setAlphaF(0.32f);
    QColor bottom = color;
    bottom.setAlphaF(0.02f);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawPolygon(area, Qt::WindingFill);
  }
  QPen pen(color, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  pen.setMiterLimit(10);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawPolyline(line);
  painter.restore();
}

void Sparkline::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paint(painter, QRectF(rect()), values_, color_.resolve(this), ceiling_, filled_);
}

}  // namespace kivo
