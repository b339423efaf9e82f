#include "desktop/SleepWakeObserver.h"

namespace kivo {

SleepWakeObserver::SleepWakeObserver(const QDBusConnection& systemBus, QObject* parent) : QObject(parent) {
  QDBusConnection bus = systemBus;
  if (!bus.isConnected()) return;
  available_ =
      bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                  QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
                  SLOT(onPrepareForSleep(bool)));
}

void SleepWakeObserver::onPrepareForSleep(bool sleeping) {
  emit discontinuity(sleeping ? QStringLiteral("system.sleep") : QStringLiteral("system.wake"));
}

}  // namespace kivo
