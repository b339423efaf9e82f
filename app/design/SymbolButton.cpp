#include "design/SymbolButton.h"

#include "design/Icons.h"

namespace kivo {

SymbolButton::SymbolButton(const QString& symbol, const QString& text, DynamicColor tone, QWidget* parent)
    : QPushButton(text, parent) {
  setIcon(Icons::icon(symbol, ChartColor::of(tone), this));
}

}  // namespace kivo
