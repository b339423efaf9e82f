#include "desktop/DesktopSystemObserver.h"

#include "desktop/MountObserver.h"
#include "desktop/PowerProfileObserver.h"
#include "desktop/SleepWakeObserver.h"

namespace kivo {

DesktopSystemObserver::DesktopSystemObserver(QObject* parent)
    : DesktopSystemObserver(QDBusConnection::systemBus(), QStringLiteral("/proc/self/mountinfo"), parent) {}

DesktopSystemObserver::DesktopSystemObserver(const QDBusConnection& systemBus, const QString& mountTable,
                                             QObject* parent)
    : SystemObserver(parent),
      sleepWake_(new SleepWakeObserver(systemBus, this)),
      powerProfile_(new PowerProfileObserver(systemBus, this)),
      mounts_(new MountObserver(mountTable, this)) {
  connect(sleepWake_, &SleepWakeObserver::discontinuity, this, &SystemObserver::discontinuity);
  connect(powerProfile_, &PowerProfileObserver::changed, this, &SystemObserver::slowReadingsStale);
  connect(mounts_, &MountObserver::changed, this, &SystemObserver::slowReadingsStale);
}

}  // namespace kivo
