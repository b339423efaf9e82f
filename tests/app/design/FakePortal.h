#pragma once

// A stand-in for the desktop portal's Settings interface on a private bus, answering on its own
// connection.

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QObject>

namespace kivo::test {

class FakePortalSettings : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

 public:
  uint scheme = 1;
  bool hasReadOne = true;  // portals before version 2 have Read only
  bool hasSetting = true;
  int reads = 0;

 public slots:
  QDBusVariant ReadOne(const QString& nameSpace, const QString& key) {
    ++reads;
    if (!hasReadOne) {
      sendErrorReply(QDBusError::UnknownMethod, QStringLiteral("No such method"));
      return {};
    }
    if (!known(nameSpace, key)) return {};
    return QDBusVariant(scheme);
  }
  QDBusVariant Read(const QString& nameSpace, const QString& key) {
    ++reads;
    if (!known(nameSpace, key)) return {};
    return QDBusVariant(QVariant::fromValue(QDBusVariant(scheme)));
  }

 private:
  bool known(const QString& nameSpace, const QString& key) {
    if (hasSetting && nameSpace == QLatin1String("org.freedesktop.appearance") &&
        key == QLatin1String("color-scheme"))
      return true;
    sendErrorReply(QStringLiteral("org.freedesktop.portal.Error.NotFound"),
                   QStringLiteral("Requested setting not found"));
    return false;
  }
};

inline void sendSettingChanged(QDBusConnection& bus, const QString& nameSpace, const QString& key,
                               uint value) {
  QDBusMessage message = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/portal/desktop"),
                                                    QStringLiteral("org.freedesktop.portal.Settings"),
                                                    QStringLiteral("SettingChanged"));
  message << nameSpace << key << QVariant::fromValue(QDBusVariant(value));
  bus.send(message);
}

}  // namespace kivo::test
