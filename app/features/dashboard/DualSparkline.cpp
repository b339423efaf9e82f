#include "features/dashboard/DualSparkline.h"

#include "design/Accessibility.h"
#include "design/Sparkline.h"
#include "design/Tokens.h"

#include <QPainter>

#include <algorithm>

namespace kivo {

DualSparkline::DualSparkline(const ChartColor& first, QWidget* parent) : QWidget(parent), color_(first) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setMinimumHeight(12);
  Accessibility::hideDecoration(this);  // the figures beside it are what is read
  // It sits on a card's plain fill and paints that fill itself, so a new value repaints only
  // this widget and not the card and page under it.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void DualSparkline::setValues(std::span<const double> first, std::span<const double> second, double ceiling) {
  if (ceiling == ceiling_ && std::equal(first.begin(), first.end(), first_.begin(), first_.end()) &&
      std::equal(second.begin(), second.end(), second_.begin(), second_.end())) {
    return;
  }
  first_.assign(first.begin(), first.end());
  second_.assign(second.begin(), second.end());
  ceiling_ = ceiling;
  update();
}

void DualSparkline::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Palette::surface.resolve(this));
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF area = QRectF(rect()).adjusted(1, 1, -1, -1);
  Sparkline::paint(painter, area, first_, color_.resolve(this), ceiling_, true);
  Sparkline::paint(painter, area, second_, Palette::textSecondary.resolve(this), ceiling_, false);
}

}  // namespace kivo
