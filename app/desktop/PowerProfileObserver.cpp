#include "desktop/PowerProfileObserver.h"

namespace kivo {

namespace {
struct Name {
  const char* service;
  const char* path;
};
constexpr Name kNames[] = {
    {"net.hadess.PowerProfiles", "/net/hadess/PowerProfiles"},
    {"org.freedesktop.UPower.PowerProfiles", "/org/freedesktop/UPower/PowerProfiles"},
};
}  // namespace

PowerProfileObserver::PowerProfileObserver(const QDBusConnection& systemBus, QObject* parent)
    : QObject(parent) {
  QDBusConnection bus = systemBus;
  if (!bus.isConnected()) return;
  for (const Name& name : kNames) {
    available_ |=
        bus.connect(QString::fromLatin1(name.service), QString::fromLatin1(name.path),
                    QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"),
                    this, SLOT(onPropertiesChanged(QString, QVariantMap, QStringList)));
  }
}

void PowerProfileObserver::onPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                               const QStringList& invalidated) {
  if (interface != QLatin1String("net.hadess.PowerProfiles") &&
      interface != QLatin1String("org.freedesktop.UPower.PowerProfiles"))
    return;
  const QString key = QStringLiteral("ActiveProfile");
  if (changed.contains(key)) {
    const QString profile = changed.value(key).toString();
    if (profile == lastProfile_) return;
    lastProfile_ = profile;
    emit this->changed();
  } else if (invalidated.contains(key)) {
    lastProfile_.clear();
    emit this->changed();
  }
}

}  // namespace kivo
