#pragma once

#include <QDBusConnection>
#include <QObject>

namespace kivo {

// logind's PrepareForSleep on the system bus: true before the machine sleeps, false after it
// wakes. Without a system bus or logind it stays unavailable and never signals.
class SleepWakeObserver : public QObject {
  Q_OBJECT
 public:
  explicit SleepWakeObserver(const QDBusConnection& systemBus, QObject* parent = nullptr);

  // The bus is there and the match on logind's signal is in place.
  bool isAvailable() const { return available_; }

 signals:
  void discontinuity(const QString& code);

 private slots:
  void onPrepareForSleep(bool sleeping);

 private:
  bool available_ = false;
};

}  // namespace kivo
