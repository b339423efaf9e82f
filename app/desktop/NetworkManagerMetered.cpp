#include "desktop/NetworkManagerMetered.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QTimer>

namespace kivo {

namespace {
const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kInterface = QStringLiteral("org.freedesktop.NetworkManager");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
}  // namespace

NetworkManagerMetered::NetworkManagerMetered(const QDBusConnection& systemBus, QObject* parent)
    : QObject(parent), bus_(systemBus) {
  if (!bus_.isConnected()) {
    ready_ = true;
    return;
  }
  bus_.connect(kService, kPath, kProperties, QStringLiteral("PropertiesChanged"), this,
               SLOT(onPropertiesChanged(QString, QVariantMap, QStringList)));
  QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, kProperties, QStringLiteral("Get"));
  get << kInterface << QStringLiteral("Metered");
  // Never activate NetworkManager just to ask.
  get.setAutoStartService(false);
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(get, 2000), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, &NetworkManagerMetered::onReply);
}

void NetworkManagerMetered::onReply(QDBusPendingCallWatcher* watcher) {
  const QDBusPendingReply<QDBusVariant> reply = *watcher;
  watcher->deleteLater();
  if (!reply.isError()) {
    bool ok = false;
    const unsigned value = reply.value().variant().toUInt(&ok);
    if (ok) {
      available_ = true;
      expensive_ = meteredValue(value);
    }
  }
  markReady();
}

void NetworkManagerMetered::markReady() {
  if (ready_) return;
  ready_ = true;
  emit ready();
}

void NetworkManagerMetered::onPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                                const QStringList&) {
  if (interface != kInterface) return;
  const auto found = changed.constFind(QStringLiteral("Metered"));
  if (found == changed.constEnd()) return;
  bool ok = false;
  const unsigned value = found->toUInt(&ok);
  if (!ok) return;
  available_ = true;
  set(meteredValue(value));
}

void NetworkManagerMetered::set(bool expensive) {
  if (expensive == expensive_) return;
  expensive_ = expensive;
  emit changed();
}

}  // namespace kivo
