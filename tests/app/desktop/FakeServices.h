#pragma once

// Small stand-ins for logind, power-profiles-daemon, NetworkManager and the notification server,
// for tests on a private bus. Objects that answer calls live on their own thread, so that a
// client on the main thread waiting for an answer cannot block them.

#include "FakeBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <QVariantMap>

#include <vector>

namespace kivo::test {

struct NotifyCall {
  QString appName;
  uint replacesId = 0;
  QString summary;
  QString body;
  QVariantMap hints;
  int timeout = 0;
};

class FakeNotificationServer : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
 public:
  std::vector<NotifyCall> calls() const {
    QMutexLocker lock(&mutex_);
    return calls_;
  }

 public slots:
  QStringList GetCapabilities() { return {QStringLiteral("body"), QStringLiteral("body-markup")}; }
  uint Notify(const QString& appName, uint replacesId, const QString&, const QString& summary,
              const QString& body, const QStringList&, const QVariantMap& hints, int timeout) {
    QMutexLocker lock(&mutex_);
    calls_.push_back({appName, replacesId, summary, body, hints, timeout});
    return replacesId != 0 ? replacesId : ++next_;
  }

 private:
  mutable QMutex mutex_;
  std::vector<NotifyCall> calls_;
  uint next_ = 40;
};

class FakeNetworkManager : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.NetworkManager")
  Q_PROPERTY(uint Metered READ metered)
 public:
  uint metered() const { return metered_.loadRelaxed(); }
  void setMetered(uint value) { metered_.storeRelaxed(value); }

 private:
  QAtomicInteger<uint> metered_{4};  // guess-no
};

}  // namespace kivo::test
