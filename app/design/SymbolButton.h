#pragma once

#include "design/Tokens.h"

#include <QPushButton>

namespace kivo {

// A push button with a symbol before its text, tinted with a palette colour resolved when it is
// drawn, so the symbol stays legible in light and dark.
class SymbolButton : public QPushButton {
  Q_OBJECT

 public:
  SymbolButton(const QString& symbol, const QString& text, DynamicColor tone = Palette::textPrimary,
               QWidget* parent = nullptr);
};

}  // namespace kivo
