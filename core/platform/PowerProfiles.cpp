#include "platform/PowerProfiles.h"

#include <QDBusMessage>
#include <QDBusVariant>
#include <QVariant>

namespace kivo {

namespace {
struct ServiceName {
  const char* service;
  const char* path;
  const char* interface;
};

constexpr ServiceName kServices[] = {
    {"org.freedesktop.UPower.PowerProfiles", "/org/freedesktop/UPower/PowerProfiles",
     "org.freedesktop.UPower.PowerProfiles"},
    {"net.hadess.PowerProfiles", "/net/hadess/PowerProfiles", "net.hadess.PowerProfiles"},
};
}  // namespace

DBusPowerProfiles::DBusPowerProfiles(QDBusConnection bus, int timeoutMs)
    : bus_(std::move(bus)), timeoutMs_(timeoutMs) {}

std::optional<QString> DBusPowerProfiles::activeProfile() {
  if (!bus_.isConnected()) return std::nullopt;
  for (const auto& name : kServices) {
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(name.service), QLatin1String(name.path),
                                                       QStringLiteral("org.freedesktop.DBus.Properties"),
                                                       QStringLiteral("Get"));
    call << QLatin1String(name.interface) << QStringLiteral("ActiveProfile");
    call.setAutoStartService(false);
    const QDBusMessage reply = bus_.call(call, QDBus::Block, timeoutMs_);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) continue;
    QVariant value = reply.arguments().constFirst();
    if (value.canConvert<QDBusVariant>()) value = value.value<QDBusVariant>().variant();
    if (value.typeId() != QMetaType::QString) continue;
    return value.toString();
  }
  return std::nullopt;
}

std::shared_ptr<PowerProfileSource> DBusPowerProfiles::system() {
  return std::make_shared<DBusPowerProfiles>(QDBusConnection::systemBus());
}

}  // namespace kivo
