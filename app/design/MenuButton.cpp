#include "design/MenuButton.h"

#include <QPainterPath>
#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace kivo {

namespace {

constexpr double kChevronWidth = 7;
constexpr double kChevronHeight = 4;

}  // namespace

MenuButton::MenuButton(QWidget* parent) : QToolButton(parent) {
  setPopupMode(QToolButton::InstantPopup);
  setAutoRaise(true);
  setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
}

QRectF MenuButton::chevronRect() const {
  const QRectF box(width() - kChevronRoom, (height() - kChevronHeight) / 2.0, kChevronWidth, kChevronHeight);
  return box;
}

QSize MenuButton::sizeHint() const {
  const QSize base = QToolButton::sizeHint();
  return {base.width() + kChevronRoom, base.height()};
}

QSize MenuButton::minimumSizeHint() const {
  return sizeHint();
}

void MenuButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionToolButton option;
  initStyleOption(&option);
  // The style's own arrow sits in the bottom corner: leave it out and draw ours on the text line.
  option.features &= ~QStyleOptionToolButton::HasMenu;
  painter.drawComplexControl(QStyle::CC_ToolButton, option);

  const QRectF box = chevronRect();
  QPainterPath chevron;
  chevron.moveTo(box.left(), box.top());
  chevron.lineTo(box.center().x(), box.bottom());
  chevron.lineTo(box.right(), box.top());
  painter.setRenderHint(QPainter::Antialiasing, true);
  QPen pen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText), 1.5);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(chevron);
}

}  // namespace kivo
