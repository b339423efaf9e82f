#include "shell/WindowFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace kivo::WindowFit {

Placement fit(const QRect& available, int titleBar, const QSize& preferred, const QSize& minimum) {
  const int bar = std::max(titleBar, 0);
  const QSize room(std::max(available.width(), 1), std::max(available.height() - bar, 1));
  Placement placement;
  // The minimum gives way first: a window larger than the screen hides its own edges.
  placement.minimum = minimum.boundedTo(room);
  placement.size = preferred.boundedTo(room).expandedTo(placement.minimum);
  const QSize frame(placement.size.width(), placement.size.height() + bar);
  placement.position = available.topLeft() + QPoint(std::max((available.width() - frame.width()) / 2, 0),
                                                    std::max((available.height() - frame.height()) / 2, 0));
  return placement;
}

void apply(QWidget* window, const QSize& preferred, const QSize& minimum, const QScreen* screen) {
  if (window == nullptr) return;
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    window->setMinimumSize(minimum);
    window->resize(preferred);
    return;
  }
  const Placement placement =
      fit(screen->availableGeometry(), window->style()->pixelMetric(QStyle::PM_TitleBarHeight), preferred,
          minimum);
  window->setMinimumSize(placement.minimum);
  window->resize(placement.size);
  window->move(placement.position);
}

}  // namespace kivo::WindowFit
