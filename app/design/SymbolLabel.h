#pragma once

#include "design/Tokens.h"

#include <QLabel>

namespace kivo {

// One symbol of the icon set at a fixed size, tinted with a palette colour that is resolved
// again whenever the surrounding palette changes (Light, Dark, Match System). Hidden from
// accessibility: the row around it says what it means.
class SymbolLabel : public QLabel {
  Q_OBJECT

 public:
  SymbolLabel(const QString& symbol, int size, DynamicColor tone, QWidget* parent = nullptr);

  const QString& symbol() const { return symbol_; }
  DynamicColor tone() const { return tone_; }
  void setSymbol(const QString& symbol, DynamicColor tone);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void refresh();

  QString symbol_;
  int size_;
  DynamicColor tone_;
  QColor drawn_;
};

}  // namespace kivo
