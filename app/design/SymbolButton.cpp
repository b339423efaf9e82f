#include "design/SymbolButton.h"

#include "design/Appearance.h"
#include "design/Icons.h"

#include <QEvent>

namespace kivo {

SymbolButton::SymbolButton(const QString& symbol, const QString& text, DynamicColor tone, QWidget* parent)
    : QPushButton(text, parent), symbol_(symbol), tone_(tone) {
  refresh();
}

void SymbolButton::changeEvent(QEvent* event) {
  QPushButton::changeEvent(event);
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange) refresh();
}

void SymbolButton::refresh() {
  const QColor color = tone_.resolve(Appearance::isDark(palette()));
  if (color == drawn_) return;
  drawn_ = color;
  setIcon(Icons::icon(symbol_, color));
}

}  // namespace kivo
