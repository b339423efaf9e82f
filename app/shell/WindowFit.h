#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QScreen;
class QWidget;

namespace kivo::WindowFit {

// Where a window opens and how small it may become, on a screen whose free area (less panels)
// is known. Sizes are without the window frame; the position is the frame's top-left.
struct Placement {
  QSize size;
  QSize minimum;
  QPoint position;

  bool operator==(const Placement&) const = default;
};

// The preferred size and the minimum, each cut to the free area less a title bar `titleBar`
// high, so no edge of the window lies off the screen however small it is; centred in the area.
Placement fit(const QRect& available, int titleBar, const QSize& preferred, const QSize& minimum);

// Sizes and places a window that has not been shown yet on the screen it will open on (the
// primary screen when none is given), with the style's title bar height.
void apply(QWidget* window, const QSize& preferred, const QSize& minimum, const QScreen* screen = nullptr);

}  // namespace kivo::WindowFit
