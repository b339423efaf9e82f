#pragma once

#include <QObject>
#include <QString>

namespace kivo {

// What the session tells the model about the machine, as plain signals. The model connects to
// these; tests emit them directly on an instance of this class.
class SystemObserver : public QObject {
  Q_OBJECT
 public:
  explicit SystemObserver(QObject* parent = nullptr) : QObject(parent) {}

 signals:
  // Every counter jumps: "system.sleep" before the machine sleeps, "system.wake" after it wakes.
  void discontinuity(const QString& code);
  // Mounted volumes or the power profile changed: slow readings are stale.
  void slowReadingsStale();
};

}  // namespace kivo
