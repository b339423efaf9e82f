#include "desktop/DesktopNotifier.h"

#include "desktop/DesktopLog.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace kivo {

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kBusService = QStringLiteral("org.freedesktop.DBus");
const QString kBusPath = QStringLiteral("/org/freedesktop/DBus");
constexpr int kTimeoutMs = 5000;
}  // namespace

DesktopNotifier::DesktopNotifier(QObject* parent)
    : DesktopNotifier(QDBusConnection::sessionBus(), QStringLiteral("KIVO Monitor"),
                      QStringLiteral("kivo-monitor"), parent) {}

DesktopNotifier::DesktopNotifier(const QDBusConnection& sessionBus, QString appName, QString desktopEntry,
                                 QObject* parent)
    : Notifier(parent),
      bus_(sessionBus),
      appName_(std::move(appName)),
      desktopEntry_(std::move(desktopEntry)) {}

void DesktopNotifier::refreshStatus() {
  if (!bus_.isConnected()) {
    finishRefresh(false);
    return;
  }
  // Asked without waiting: a bus daemon that is slow to answer must not freeze the interface.
  QDBusMessage owned =
      QDBusMessage::createMethodCall(kBusService, kBusPath, kBusService, QStringLiteral("NameHasOwner"));
  owned << kService;
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(owned, kTimeoutMs), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
    const QDBusPendingReply<bool> reply = *call;
    call->deleteLater();
    if (!reply.isError() && reply.value()) {
      finishRefresh(true);
      return;
    }
    // Not running: a service the bus can start on demand counts as there.
    const QDBusMessage list = QDBusMessage::createMethodCall(kBusService, kBusPath, kBusService,
                                                             QStringLiteral("ListActivatableNames"));
    auto* next = new QDBusPendingCallWatcher(bus_.asyncCall(list, kTimeoutMs), this);
    connect(next, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* listed) {
      const QDBusPendingReply<QStringList> names = *listed;
      listed->deleteLater();
      finishRefresh(!names.isError() && names.value().contains(kService));
    });
  });
}

void DesktopNotifier::finishRefresh(bool present) {
  if (!present) qCDebug(desktopLog) << "No notification server on the session bus";
  setStatus(present ? NotificationStatus::authorized : NotificationStatus::denied);
  if (present) {
    const QDBusMessage ask =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("GetCapabilities"));
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(ask, kTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &DesktopNotifier::onCapabilities);
  }
  emit statusRefreshed();
}

void DesktopNotifier::onCapabilities(QDBusPendingCallWatcher* watcher) {
  const QDBusPendingReply<QStringList> reply = *watcher;
  watcher->deleteLater();
  if (!reply.isError()) capabilities_ = reply.value();
}

QVariantMap DesktopNotifier::hints(bool critical, const QString& desktopEntry) {
  QVariantMap hints;
  hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(critical ? 2 : 1));
  if (!critical) hints.insert(QStringLiteral("suppress-sound"), true);
  if (!desktopEntry.isEmpty()) hints.insert(QStringLiteral("desktop-entry"), desktopEntry);
  return hints;
}

QString DesktopNotifier::bodyText(const QString& body, const std::optional<QStringList>& capabilities) {
  // A server without markup shows the text as it is; any other may read tags and entities in it.
  if (capabilities && !capabilities->contains(QStringLiteral("body-markup"))) return body;
  return body.toHtmlEscaped();
}

void DesktopNotifier::post(const QUuid& rule, const QString& title, const QString& body, bool critical) {
  if (!bus_.isConnected()) return;
  QDBusMessage notify = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
  notify << appName_ << shown_.value(rule, 0u) << QString() << title << bodyText(body, capabilities_)
         << QStringList() << hints(critical, desktopEntry_) << -1;
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(notify, kTimeoutMs), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, rule](QDBusPendingCallWatcher* call) {
    const QDBusPendingReply<uint> reply = *call;
    call->deleteLater();
    if (reply.isError()) {
      qCDebug(desktopLog) << "A notification was not shown:" << reply.error().message();
      return;
    }
    shown_.insert(rule, reply.value());
  });
}

}  // namespace kivo
