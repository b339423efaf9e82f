#include "desktop/TrayHost.h"

#include "desktop/XEmbedTray.h"

#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>

#include <utility>

namespace kivo {

namespace {
const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
}  // namespace

TrayHost::TrayHost(Check check, QObject* parent) : QObject(parent), toolkitCheck_(std::move(check)) {
  kind_ = ask();
}

TrayHost::TrayHost(const QDBusConnection& bus, Check xembedTray, Check toolkitCheck, QObject* parent)
    : QObject(parent),
      bus_(bus),
      following_(true),
      xembedTray_(std::move(xembedTray)),
      toolkitCheck_(std::move(toolkitCheck)) {
  if (bus_.isConnected()) {
    auto* watcher =
        new QDBusServiceWatcher(kWatcherService, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& owner) {
              const Kind before = kind_;
              watcher_ = !owner.isEmpty();
              recheck();
              if (watcher_ && before == Kind::statusNotifier) emit watcherReplaced();
            });
    watcher_ = bus_.interface() && bus_.interface()->isServiceRegistered(kWatcherService).value();
  }
  kind_ = ask();
}

TrayHost::Kind TrayHost::ask() const {
  if (watcher_) return Kind::statusNotifier;
  // Following the desktop: without an XEmbed tray there is nothing to ask the toolkit.
  if (following_ && !(xembedTray_ && xembedTray_())) return Kind::none;
  return toolkitCheck_ && toolkitCheck_() ? Kind::xembed : Kind::none;
}

void TrayHost::recheck() {
  const Kind kind = ask();
  if (kind == kind_) return;
  const bool was = isAvailable();
  kind_ = kind;
  emit kindChanged(kind_);
  if (was != isAvailable()) emit availableChanged(isAvailable());
}

TrayHost* TrayHost::followDesktop(Check toolkitCheck, QObject* parent) {
  auto xembed = XEmbedTray::forDesktop();
  XEmbedTray* tray = xembed.get();
  Check present;
  if (tray) present = [tray] { return tray->isPresent(); };
  auto* host =
      new TrayHost(QDBusConnection::sessionBus(), std::move(present), std::move(toolkitCheck), parent);
  if (tray) {
    xembed.release()->setParent(host);
    connect(tray, &XEmbedTray::presentChanged, host, &TrayHost::recheck);
  }
  return host;
}

}  // namespace kivo
