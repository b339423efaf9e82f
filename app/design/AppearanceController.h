#pragma once

#include "design/Appearance.h"
#include "settings/AppearanceChoice.h"

#include <QDBusConnection>
#include <QObject>

namespace kivo {

class PortalColorScheme;

// Applies Light, Dark or Match System to the application: the Fusion style with a palette built
// from the design tokens. Match System follows the desktop portal's colour scheme and its
// changes; without one, the lightness of the palette Qt started with. Every widget resolves its
// colours when it paints, so a switch repaints without rebuilding. Lives on the GUI thread; make
// one, before any window is shown.
class AppearanceController : public QObject {
  Q_OBJECT

 public:
  // Reads the portal on the given bus (not at all when it is not connected).
  explicit AppearanceController(QDBusConnection bus = QDBusConnection::sessionBus(),
                                QObject* parent = nullptr);

  void setChoice(AppearanceChoice choice);
  AppearanceChoice choice() const { return choice_; }
  bool isDark() const { return dark_; }
  bool startedDark() const { return startedDark_; }

 signals:
  void darkChanged(bool dark);

 private:
  void apply(bool force);

  PortalColorScheme* portal_ = nullptr;
  AppearanceChoice choice_ = AppearanceChoice::system;
  bool startedDark_ = false;
  bool dark_ = false;
};

}  // namespace kivo
