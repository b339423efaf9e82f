#pragma once

// A connection of its own to the (private) session bus for fake desktop services in tests. The
// objects it serves live on its own thread, so that a client on the main thread waiting for an
// answer cannot block them.

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <QVariantMap>

#include <vector>

namespace kivo::test {

// Runs a connection of its own for the fake services.
class FakeBus {
 public:
  explicit FakeBus(const QString& name)
      : name_(name), bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name)) {
    thread_.start();
  }
  ~FakeBus() {
    for (const QString& path : paths_) bus_.unregisterObject(path);
    for (const QString& service : services_) bus_.unregisterService(service);
    thread_.quit();
    thread_.wait();
    for (QObject* object : objects_) delete object;
    QDBusConnection::disconnectFromBus(name_);
  }
  QDBusConnection& bus() { return bus_; }
  bool own(const QString& service) {
    services_ << service;
    return bus_.registerService(service);
  }
  template <typename T>
  T* serve(const QString& path) {
    auto* object = new T;
    object->moveToThread(&thread_);
    objects_.push_back(object);
    paths_ << path;
    bus_.registerObject(path, object, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties);
    return object;
  }
  void signal(const QString& path, const QString& interface, const QString& name,
              const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createSignal(path, interface, name);
    message.setArguments(arguments);
    bus_.send(message);
  }
  void propertiesChanged(const QString& path, const QString& interface, const QVariantMap& changed) {
    signal(path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"),
           {interface, changed, QStringList()});
  }

 private:
  QString name_;
  QDBusConnection bus_;
  QThread thread_;
  std::vector<QObject*> objects_;
  QStringList paths_;
  QStringList services_;
};

}  // namespace kivo::test
