#pragma once

#include <QColor>

#include <algorithm>
#include <cmath>

namespace kivo::test {

// Relative luminance of an opaque sRGB colour, 0 (black) to 1 (white), as WCAG defines it.
inline double luminance(const QColor& color) {
  const auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
  return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) + 0.0722 * channel(color.blueF());
}

// WCAG contrast ratio of two opaque colours, 1 to 21.
inline double contrast(const QColor& a, const QColor& b) {
  const double x = luminance(a);
  const double y = luminance(b);
  return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

}  // namespace kivo::test
