#pragma once

#include <QColor>
#include <QFont>
#include <QRgb>

class QPalette;
class QWidget;

namespace kivo {

// A colour with a light and a dark variant (0xRRGGBB each), chosen each time it is painted, so a
// switch of appearance repaints without rebuilding anything.
struct DynamicColor {
  QRgb light = 0;
  QRgb dark = 0;

  // sRGB, alpha 1; the high byte of the stored values is ignored.
  QColor resolve(bool dark) const;
  // Dark when the widget's palette is dark (Appearance::isDark); light for a null widget.
  QColor resolve(const QWidget* widget) const;
  QColor resolve(const QPalette& palette) const;

  constexpr bool operator==(const DynamicColor&) const = default;
};

// The twelve interface colours.
namespace Palette {
inline constexpr DynamicColor canvas{0xF4F5FA, 0x0A0D18};           // page and window background
inline constexpr DynamicColor surface{0xFFFFFF, 0x141828};          // card fill
inline constexpr DynamicColor surfaceRaised{0xEEF0F7, 0x1D2236};    // tracks, raised fills
inline constexpr DynamicColor hairline{0xDDE0EA, 0x262C42};         // borders, grid lines, separators
inline constexpr DynamicColor textPrimary{0x0E1222, 0xF2F4FB};      // main text
inline constexpr DynamicColor textSecondary{0x596078, 0xA3AAC2};    // labels, captions
inline constexpr DynamicColor textTertiary{0x5F657D, 0x9097B0};     // axis labels, least important text
inline constexpr DynamicColor success{0x0A7446, 0x34D399};          // healthy states
inline constexpr DynamicColor warning{0x8F5200, 0xFBBF24};          // warnings, quality badges
inline constexpr DynamicColor danger{0xC0283A, 0xFF6B76};           // critical states, firing alerts
inline constexpr DynamicColor accent{0x0B6E8A, 0x22D3EE};           // the application's tint
inline constexpr DynamicColor accentSecondary{0x5B5BF0, 0x8484FF};  // own-symbol header tiles, bookmarks
}  // namespace Palette

// The edge of an empty track (a core's bar, the idle and free swatches): the raised fill alone
// barely differs from a card's surface in either appearance.
inline constexpr DynamicColor trackEdge{0xC4C8D4, 0x3A4058};

// The four interface fonts, built once on first use from the application font's family (DejaVu
// Sans where nothing else is set). Sizes are pixel sizes: one point of the design is one
// device-independent pixel.
//
// Monospaced digits: Qt 6.4 cannot switch on the "tnum" font feature (QFont::setFeature arrived
// in 6.7); DejaVu Sans draws every digit at the same advance already, so figures do not jitter.
namespace Typeface {
const QFont& label();    // 11 px, semibold, small capitals
const QFont& value();    // 13 px, medium, monospaced digits
const QFont& caption();  // 11 px, regular, monospaced digits
const QFont& mono();     // 12 px, regular, fixed pitch
// The application font's family at a pixel size and weight (for one-off text such as a
// badge at 9 px or a row label at 12 px).
QFont system(qreal pixelSize, QFont::Weight weight = QFont::Normal);
}  // namespace Typeface

}  // namespace kivo
