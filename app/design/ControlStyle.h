#pragma once

#include <QProxyStyle>

namespace kivo {

// Fusion with check box and radio button frames that stand out from a card. Fusion draws those
// frames from the window colour, which is the page background here and nearly black in dark;
// this style draws them halfway between the text and the field colour instead. It also draws the
// keyboard focus ring and lets Alt alone reach the menu bar.
class ControlStyle : public QProxyStyle {
  Q_OBJECT

 public:
  // Owns a new Fusion style as its base.
  ControlStyle();

  // The frame of an unchecked box or radio button under a palette.
  static QColor frameColor(const QPalette& palette);

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
  // A slider's handle: Fusion fills it with the button colour, which in dark is barely apart
  // from the groove and the card; here it is the card colour ringed with the secondary text.
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                          const QWidget* widget = nullptr) const override;
  // The keyboard focus ring (a QFocusFrame): two pixels of the accent colour.
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget = nullptr) const override;
  int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr) const override;
  // Alt alone puts the menu bar in keyboard mode, as Fusion does not.
  int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                QStyleHintReturn* returnData = nullptr) const override;
};

}  // namespace kivo
