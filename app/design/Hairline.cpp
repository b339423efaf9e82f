#include "design/Hairline.h"

#include "design/Accessibility.h"
#include "design/Tokens.h"

#include <QPainter>

namespace kivo {

Hairline::Hairline(Qt::Orientation orientation, QWidget* parent) : QWidget(parent) {
  if (orientation == Qt::Horizontal) {
    setFixedHeight(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  } else {
    setFixedWidth(1);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  }
  Accessibility::hideDecoration(this);
}

void Hairline::paintEvent(QPaintEvent*) {
  QPainter(this).fillRect(rect(), Palette::hairline.resolve(this));
}

}  // namespace kivo
