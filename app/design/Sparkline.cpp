#include "design/Sparkline.h"

#include "design/Accessibility.h"
#include "design/ChartGeometry.h"
#include "design/ChartPainting.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace kivo {

Sparkline::Sparkline(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  Accessibility::hideDecoration(this);  // the figure beside it is what is read
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

void Sparkline::setBackdrop(std::optional<DynamicColor> color) {
  backdrop_ = color;
  setAttribute(Qt::WA_OpaquePaintEvent, backdrop_.has_value());
  update();
}

QSize Sparkline::sizeHint() const {
  return {120, 28};
}

void Sparkline::paint(QPainter& painter, const QRectF& rect, std::span<const double> values,
                      const QColor& color, std::optional<double> ceiling, bool filled) {
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
    // The only slanted edge lies under the line, which antialiases it.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.drawPolygon(area, Qt::WindingFill);
    painter.setRenderHint(QPainter::Antialiasing, true);
  }
  ChartPainting::strokeLine(painter, line, color, 1.5);
  painter.restore();
}

void Sparkline::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (backdrop_) painter.fillRect(rect(), backdrop_->resolve(this));
  paint(painter, QRectF(rect()), values_, color_.resolve(this), ceiling_, filled_);
}

}  // namespace kivo
