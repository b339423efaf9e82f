#pragma once

#include "design/ChartColor.h"

#include <QString>
#include <QWidget>

namespace kivo {

// One symbol at a fixed size, tinted when painted (so it follows Light/Dark and the
// colour-blind-safe choice). Hidden from screen readers: the text beside it says the same.
class SymbolView : public QWidget {
  Q_OBJECT

 public:
  SymbolView(const QString& symbol, ChartColor tint, int size, QWidget* parent = nullptr);
  void setSymbol(const QString& symbol, ChartColor tint);
  const QString& symbol() const { return symbol_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString symbol_;
  ChartColor tint_;
  int size_;
};

}  // namespace kivo
