#pragma once

#include <QDBusConnection>
#include <QObject>

class QDBusPendingCallWatcher;

namespace kivo {

// NetworkManager's Metered property on the system bus: the primary connection is metered
// ("yes" or "guess-yes"). Without NetworkManager nothing is metered. ready() comes once the first
// answer (or its failure) is in, so a first path report can wait for it.
class NetworkManagerMetered : public QObject {
  Q_OBJECT
 public:
  explicit NetworkManagerMetered(const QDBusConnection& systemBus, QObject* parent = nullptr);

  bool isReady() const { return ready_; }
  bool isAvailable() const { return available_; }
  bool expensive() const { return expensive_; }

  // NMMetered values: 1 yes, 3 guess-yes are metered; unknown, no and guess-no are not.
  static bool meteredValue(unsigned value) { return value == 1 || value == 3; }

 signals:
  void ready();
  void changed();

 private slots:
  void onPropertiesChanged(const QString& interface, const QVariantMap& changed,
                           const QStringList& invalidated);

 private:
  void onReply(QDBusPendingCallWatcher* watcher);
  void set(bool expensive);
  void markReady();

  QDBusConnection bus_;
  bool ready_ = false;
  bool available_ = false;
  bool expensive_ = false;
};

}  // namespace kivo
