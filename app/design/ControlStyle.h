#pragma once

#include <QProxyStyle>

namespace kivo {

// Fusion with check box and radio button frames that stand out from a card. Fusion draws those
// frames from the window colour, which is the page background here and nearly black in dark;
// this style draws them halfway between the text and the field colour instead.
class ControlStyle : public QProxyStyle {
  Q_OBJECT

 public:
  // Owns a new Fusion style as its base.
  ControlStyle();

  // The frame of an unchecked box or radio button under a palette.
  static QColor frameColor(const QPalette& palette);

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};

}  // namespace kivo
