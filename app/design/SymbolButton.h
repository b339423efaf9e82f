#pragma once

#include "design/Tokens.h"

#include <QPushButton>

namespace kivo {

// A push button with a symbol before its text, tinted with a palette colour that is resolved
// again when the palette changes, so the symbol stays legible in light and dark.
class SymbolButton : public QPushButton {
  Q_OBJECT

 public:
  SymbolButton(const QString& symbol, const QString& text, DynamicColor tone = Palette::textPrimary,
               QWidget* parent = nullptr);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void refresh();

  QString symbol_;
  DynamicColor tone_;
  QColor drawn_;
};

}  // namespace kivo
