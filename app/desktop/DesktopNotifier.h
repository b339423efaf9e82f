#pragma once

#include "desktop/Notifier.h"

#include <QDBusConnection>
#include <QHash>
#include <QStringList>
#include <QVariantMap>

#include <optional>

class QDBusPendingCallWatcher;

namespace kivo {

// org.freedesktop.Notifications on the session bus. Authorized while the service is running or
// can be started; denied otherwise (no bus, no service). The bus is never waited on: a refresh
// ends in statusRefreshed() once the bus has answered (at once without a bus).
class DesktopNotifier : public Notifier {
  Q_OBJECT
 public:
  explicit DesktopNotifier(QObject* parent = nullptr);
  DesktopNotifier(const QDBusConnection& sessionBus, QString appName, QString desktopEntry,
                  QObject* parent = nullptr);

  void refreshStatus() override;
  void post(const QUuid& rule, const QString& title, const QString& body, bool critical) override;

  // The hints of one notification: urgency 2 for critical rules (which keep the server's
  // sound), 1 and no sound otherwise.
  static QVariantMap hints(bool critical, const QString& desktopEntry);
  // The body as sent: escaped when the server reads markup (or has not said).
  static QString bodyText(const QString& body, const std::optional<QStringList>& capabilities);

 private:
  void finishRefresh(bool present);
  void onCapabilities(QDBusPendingCallWatcher* watcher);

  QDBusConnection bus_;
  QString appName_;
  QString desktopEntry_;
  std::optional<QStringList> capabilities_;
  QHash<QUuid, uint> shown_;  // rule → the server's id of its notification
};

}  // namespace kivo
