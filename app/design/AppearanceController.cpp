#include "design/AppearanceController.h"

#include "design/ControlStyle.h"
#include "design/FocusRing.h"
#include "design/PortalColorScheme.h"

#include <QApplication>
#include <QStyle>

namespace kivo {

AppearanceController::AppearanceController(QDBusConnection bus, QObject* parent)
    : QObject(parent), startedDark_(Appearance::isDark(QGuiApplication::palette())) {
  QApplication::setStyle(new ControlStyle);
  new FocusRing(this);
  portal_ = new PortalColorScheme(std::move(bus), this);
  connect(portal_, &PortalColorScheme::changed, this, [this] { apply(false); });
  apply(true);
}

void AppearanceController::setChoice(AppearanceChoice choice) {
  if (choice == choice_) return;
  choice_ = choice;
  apply(false);
}

void AppearanceController::apply(bool force) {
  const bool dark = Appearance::resolveDark(choice_, portal_->scheme(), startedDark_);
  if (!force && dark == dark_) return;
  dark_ = dark;
  QApplication::setPalette(Appearance::palette(dark));
  emit darkChanged(dark);
}

}  // namespace kivo
