#include "desktop/TrayHost.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QTimer>

#include <memory>
#include <utility>

namespace kivo {

namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
// A watcher that just took its name registers its host a moment later.
constexpr int kSettleMs = 1'000;

}  // namespace

TrayHost::TrayHost(Check check, QObject* parent) : QObject(parent), check_(std::move(check)) {
  available_ = check_ && check_();
}

void TrayHost::recheck() {
  const bool available = check_ && check_();
  if (available == available_) return;
  available_ = available;
  emit availableChanged(available_);
}

TrayHost* TrayHost::followDesktop(Check toolkitCheck, QObject* parent) {
  const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
  QDBusConnection bus = QDBusConnection::sessionBus();
  auto watcherOwned = std::make_shared<bool>(bus.isConnected() && bus.interface() &&
                                             bus.interface()->isServiceRegistered(kWatcherService).value());
  auto* host =
      new TrayHost([x11, watcherOwned,
                    check = std::move(toolkitCheck)] { return (x11 || *watcherOwned) && check && check(); },
                   parent);

  if (bus.isConnected()) {
    auto* watcher =
        new QDBusServiceWatcher(kWatcherService, bus, QDBusServiceWatcher::WatchForOwnerChange, host);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, host,
            [host, watcherOwned](const QString&, const QString&, const QString& owner) {
              *watcherOwned = !owner.isEmpty();
              if (*watcherOwned) {
                QTimer::singleShot(kSettleMs, host, &TrayHost::recheck);
              } else {
                host->recheck();
              }
            });
  }
  if (x11) {
    // The X11 platform plugin announces a new or vanished tray manager (_NET_SYSTEM_TRAY_S<n>)
    // on its native interface, a QObject whose class is private: connected by signature.
    if (auto* native = reinterpret_cast<QObject*>(QGuiApplication::platformNativeInterface())) {
      QObject::connect(native, SIGNAL(systemTrayWindowChanged(QScreen*)), host, SLOT(recheck()));
    }
  }
  return host;
}

}  // namespace kivo
