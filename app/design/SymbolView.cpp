#include "design/SymbolView.h"

#include "design/Accessibility.h"
#include "design/Icons.h"

#include <QPainter>

namespace kivo {

SymbolView::SymbolView(const QString& symbol, ChartColor tint, int size, QWidget* parent)
    : QWidget(parent), symbol_(symbol), tint_(tint), size_(size) {
  setFixedSize(size, size);
  Accessibility::hideDecoration(this);
}

void SymbolView::setSymbol(const QString& symbol, ChartColor tint) {
  if (symbol == symbol_ && tint == tint_) return;
  symbol_ = symbol;
  tint_ = tint;
  update();
}

void SymbolView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPixmap pixmap = Icons::pixmap(symbol_, size_, tint_.resolve(this), devicePixelRatioF());
  if (!pixmap.isNull()) painter.drawPixmap(QRect(0, 0, size_, size_), pixmap);
}

}  // namespace kivo
