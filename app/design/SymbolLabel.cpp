#include "design/SymbolLabel.h"

#include "design/Accessibility.h"
#include "design/Appearance.h"
#include "design/Icons.h"

#include <QEvent>

namespace kivo {

SymbolLabel::SymbolLabel(const QString& symbol, int size, DynamicColor tone, QWidget* parent)
    : QLabel(parent), symbol_(symbol), size_(size), tone_(tone) {
  setFixedSize(size, size);
  Accessibility::hideDecoration(this);
  refresh();
}

void SymbolLabel::setSymbol(const QString& symbol, DynamicColor tone) {
  if (symbol == symbol_ && tone == tone_) return;
  symbol_ = symbol;
  tone_ = tone;
  drawn_ = QColor();
  refresh();
}

void SymbolLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange) refresh();
}

void SymbolLabel::refresh() {
  const QWidget* around = parentWidget();
  const QColor color =
      tone_.resolve(around != nullptr ? Appearance::isDark(around) : Appearance::isDark(palette()));
  if (color == drawn_) return;
  drawn_ = color;
  setPixmap(Icons::pixmap(symbol_, size_, color, devicePixelRatioF()));
}

}  // namespace kivo
