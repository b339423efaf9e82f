#pragma once

#include "desktop/SystemObserver.h"

#include <QDBusConnection>

namespace kivo {

class SleepWakeObserver;
class PowerProfileObserver;
class MountObserver;

// The real sources: logind for sleep and wake, power-profiles-daemon for the power profile and
// the mount table for volumes. Each missing source is simply unavailable.
class DesktopSystemObserver : public SystemObserver {
  Q_OBJECT
 public:
  explicit DesktopSystemObserver(QObject* parent = nullptr);
  DesktopSystemObserver(const QDBusConnection& systemBus, const QString& mountTable,
                        QObject* parent = nullptr);

  const SleepWakeObserver& sleepWake() const { return *sleepWake_; }
  const PowerProfileObserver& powerProfile() const { return *powerProfile_; }
  const MountObserver& mounts() const { return *mounts_; }

 private:
  SleepWakeObserver* sleepWake_;
  PowerProfileObserver* powerProfile_;
  MountObserver* mounts_;
};

}  // namespace kivo
