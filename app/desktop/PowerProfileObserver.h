#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace kivo {

// power-profiles-daemon's ActiveProfile (the power-saver profile is Low Power Mode here), under
// its old and its new service name. A daemon that answers to both names reports each change
// twice; only a change of the value is passed on.
class PowerProfileObserver : public QObject {
  Q_OBJECT
 public:
  explicit PowerProfileObserver(const QDBusConnection& systemBus, QObject* parent = nullptr);

  bool isAvailable() const { return available_; }

 signals:
  void changed();

 private slots:
  void onPropertiesChanged(const QString& interface, const QVariantMap& changed,
                           const QStringList& invalidated);

 private:
  bool available_ = false;
  QString lastProfile_;
};

}  // namespace kivo
