#pragma once
// Temporary: the few design-system calls the shell needs until app/design lands; replaced by
// design/Tokens.h, design/Appearance.h, design/Environment.h and design/PageHeader.h.

#include "settings/DensityChoice.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QWidget>

#include <optional>

namespace kivo {

struct DynamicColor {
  QRgb light = 0;
  QRgb dark = 0;
  QColor resolve(bool isDark) const;
  QColor resolve(const QWidget* widget) const;
};

namespace Palette {
inline constexpr DynamicColor canvas{0xF4F5FA, 0x0A0D18};
inline constexpr DynamicColor surface{0xFFFFFF, 0x141828};
inline constexpr DynamicColor surfaceRaised{0xEEF0F7, 0x1D2236};
inline constexpr DynamicColor hairline{0xDDE0EA, 0x262C42};
inline constexpr DynamicColor textPrimary{0x0E1222, 0xF2F4FB};
inline constexpr DynamicColor textSecondary{0x596078, 0xA3AAC2};
inline constexpr DynamicColor textTertiary{0x5F657D, 0x9097B0};
inline constexpr DynamicColor success{0x0A7446, 0x34D399};
inline constexpr DynamicColor warning{0x8F5200, 0xFBBF24};
inline constexpr DynamicColor danger{0xC0283A, 0xFF6B76};
inline constexpr DynamicColor accent{0x0B6E8A, 0x22D3EE};
inline constexpr DynamicColor accentSecondary{0x5B5BF0, 0x8484FF};
}  // namespace Palette

namespace Typeface {
const QFont& caption();
QFont system(qreal pixelSize, QFont::Weight weight = QFont::Normal);
}  // namespace Typeface

namespace Appearance {
bool isDark(const QPalette& palette);
bool isDark(const QWidget* widget);
QPalette palette(bool dark);
}  // namespace Appearance

namespace Environment {
double density(const QWidget* widget);
bool colorBlindSafe(const QWidget* widget);
void apply(QWidget* root, double density, bool colorBlindSafe);
double densityValue(DensityChoice choice);
}  // namespace Environment

// Title only, until the design system's header exists.
class PageHeader : public QWidget {
 public:
  PageHeader(const QString& title, std::optional<QString> subtitle, QWidget* parent = nullptr);
};

}  // namespace kivo
