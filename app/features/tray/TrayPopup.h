#pragma once

#include <Qt>

class QWidget;

namespace kivo {

// How the tray's panel and menu open. Where windows may be placed (X11) they are popups beside
// the icon that close on a click elsewhere. On Wayland a popup hangs from a focused window of
// ours, placed by the compositor within its limits; with none focused (the usual case when the
// tray is clicked) the only thing a client may open is a window, so they open as a small
// undecorated window of fixed size (which tiling compositors float), where the compositor puts
// it, and close when focus leaves it.
struct TrayPopup {
  enum class Kind { popup, window };
  Kind kind = Kind::popup;

  static TrayPopup choose(bool wayland, bool focusedWindow);
  // For this application's platform and focus now.
  static TrayPopup now();

  Qt::WindowFlags flags() const;
  // Whether our position for it is used (a window on Wayland goes where the compositor puts it).
  bool placeable() const { return kind == Kind::popup; }
  bool closesWhenFocusLeaves() const { return kind == Kind::window; }

  // Sets the window flags (only when they differ: a change makes a new native window) and, for
  // a window, a fixed size of its size hint.
  void applyTo(QWidget* widget) const;
};

}  // namespace kivo
