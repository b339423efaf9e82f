#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

namespace kivo {

// One running instance per history database. The first launch on a database owns a session-bus
// name derived from the database's path; a later launch on the same database finds the name
// taken, asks its owner to bring its main window forward, and ends. Another database gives
// another name, so such a launch runs on its own. Without a session bus every launch runs.
class SingleInstance : public QObject {
  Q_OBJECT
 public:
  enum class Outcome {
    primary,     // this process owns the name and answers activation requests
    handedOver,  // another instance owns it and was asked to show itself
    alone,       // no bus, or the name could not be had: run without the guard
  };

  static inline const QString kObjectPath = QStringLiteral("/io/kivo/Monitor");

  // "io.kivo.Monitor.h<hash>", the hash taken over the database's absolute path (with its
  // folder's symbolic links resolved when the folder exists).
  static QString serviceName(const QString& databasePath);

  SingleInstance(QDBusConnection bus, const QString& databasePath, QObject* parent = nullptr);
  ~SingleInstance() override;

  // Claims the name or hands over to its owner. Call once, before opening the database.
  Outcome claim();
  const QString& name() const { return name_; }

 signals:
  // Another launch asked for the main window; platformData carries its activation token.
  void activationRequested(const QVariantMap& platformData);

 private:
  friend class SingleInstanceAdaptor;
  QDBusConnection bus_;
  QString name_;
  bool owned_ = false;
};

}  // namespace kivo
