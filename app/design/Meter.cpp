#include "design/Meter.h"

#include "design/Accessibility.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kivo {
namespace {

double nonNegative(double value) {
  return std::isfinite(value) && value > 0 ? value : 0.0;
}

}  // namespace

Meter::Meter(std::optional<double> fraction, DynamicColor color, qreal height, QWidget* parent)
    : QWidget(parent), fraction_(fraction), color_(color), height_(std::max(1.0, nonNegative(height))) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setFixedHeight(static_cast<int>(std::ceil(height_)));
  Accessibility::hideDecoration(this);
  setFocusPolicy(Qt::NoFocus);
}

void Meter::setFraction(std::optional<double> fraction) {
  if (fraction == fraction_) return;
  fraction_ = fraction;
  update();
}

void Meter::setColor(DynamicColor color) {
  if (color == color_) return;
  color_ = color;
  update();
}

double Meter::clampedFraction(double fraction) {
  if (!std::isfinite(fraction)) return fraction > 0 ? 1.0 : 0.0;
  return fraction <= 0 ? 0.0 : (fraction > 1 ? 1.0 : fraction);
}

double Meter::fillWidth(double fraction, double width, double height) {
  const double w = nonNegative(width);
  const double f = clampedFraction(fraction) * w;
  return std::min(std::max(f, minimumFillWidth(height)), w);
}

double Meter::minimumFillWidth(double height) {
  return nonNegative(height);
}

QSize Meter::sizeHint() const {
  return {120, static_cast<int>(std::ceil(height_))};
}

QSize Meter::minimumSizeHint() const {
  const int h = static_cast<int>(std::ceil(height_));
  return {h, h};
}

void Meter::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  const QRectF track(0, (height() - height_) / 2, width(), height_);
  const qreal radius = height_ / 2;
  painter.setBrush(Palette::surfaceRaised.resolve(this));
  painter.drawRoundedRect(track, radius, radius);
  if (!fraction_) return;
  const double fill = fillWidth(*fraction_, track.width(), track.height());
  if (fill <= 0) return;
  painter.setBrush(color_.resolve(this));
  painter.drawRoundedRect(QRectF(track.left(), track.top(), fill, track.height()), radius, radius);
}

}  // namespace kivo
