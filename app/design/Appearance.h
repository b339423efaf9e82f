#pragma once

#include "settings/AppearanceChoice.h"

#include <QPalette>

#include <optional>

class QWidget;

namespace kivo::Appearance {

// Dark when the window colour is darker than the text drawn on it; a palette that is neither
// (both equally light) counts as light.
bool isDark(const QPalette& palette);
// The widget's palette; light for a null widget.
bool isDark(const QWidget* widget);

// The application palette built from the design tokens, for the Fusion style.
QPalette palette(bool dark);

// The desktop portal's org.freedesktop.appearance color-scheme: 0 no preference, 1 prefer dark,
// 2 prefer light.
enum class ColorScheme { noPreference = 0, preferDark = 1, preferLight = 2 };
// Any other number is not a scheme.
std::optional<ColorScheme> colorSchemeFromPortal(unsigned value);

// Whether the interface draws dark. Light and Dark decide alone; Match System follows the
// portal's preference, and without one (no portal, or no preference) the palette Qt started with.
bool resolveDark(AppearanceChoice choice, std::optional<ColorScheme> portal, bool startedDark);

}  // namespace kivo::Appearance
