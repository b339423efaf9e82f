#include "features/tray/TrayPopup.h"

#include <QGuiApplication>
#include <QVariant>
#include <QWidget>

namespace kivo {

TrayPopup TrayPopup::choose(bool wayland, bool focusedWindow) {
  return {wayland && !focusedWindow ? Kind::window : Kind::popup};
}

TrayPopup TrayPopup::now() {
  return choose(QGuiApplication::platformName().startsWith(QLatin1String("wayland")),
                QGuiApplication::focusWindow() != nullptr);
}

Qt::WindowFlags TrayPopup::flags() const {
  if (kind == Kind::popup) return Qt::Popup;
  return Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
}

namespace {
const char* const kFixedHere = "kivoTrayPopupFixed";
}  // namespace

void TrayPopup::applyTo(QWidget* widget) const {
  if (widget->windowFlags() != flags()) widget->setWindowFlags(flags());
  const bool fixedHere = widget->property(kFixedHere).toBool();
  if (kind == Kind::window && (fixedHere || widget->minimumWidth() != widget->maximumWidth())) {
    // A size the user cannot change keeps the window floating on tiling compositors.
    widget->setFixedSize(widget->sizeHint());
    widget->setProperty(kFixedHere, true);
  } else if (kind == Kind::popup && fixedHere) {
    widget->setMinimumSize(0, 0);
    widget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    widget->setProperty(kFixedHere, false);
  }
}

}  // namespace kivo
