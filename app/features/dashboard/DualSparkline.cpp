#include "features/dashboard/DualSparkline.h"

#include "design/Sparkline.h"
#include "design/Tokens.h"

#include <QPainter>

namespace kivo {

DualSparkline::DualSparkline(const ChartColor& first, QWidget* parent) : QWidget(parent), color_(first) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setMinimumHeight(12);
}

void DualSparkline::setValues(std::span<const double> first, std::span<const double> second, double ceiling) {
  first_.assign(first.begin(), first.end());
  second_.assign(second.begin(), second.end());
  ceiling_ = ceiling;
  update();
}

void DualSparkline::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF area = QRectF(rect()).adjusted(1, 1, -1, -1);
  Sparkline::paint(painter, area, first_, color_.resolve(this), ceiling_, true);
  Sparkline::paint(painter, area, second_, Palette::textSecondary.resolve(this), ceiling_, false);
}

}  // namespace kivo
