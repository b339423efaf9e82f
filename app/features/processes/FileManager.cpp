#include "features/processes/FileManager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QPointer>
#include <QUrl>

namespace kivo {

namespace {

bool openFolder(const QString& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

}  // namespace

void FileManager::showItem(const QString& path, QObject* context, std::function<void(bool shown)> done) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    done(openFolder(path));
    return;
  }
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
      QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
  call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000), context);
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                   [path, done = std::move(done)](QDBusPendingCallWatcher* finished) {
                     finished->deleteLater();
                     done(!finished->isError() || openFolder(path));
                   });
}

}  // namespace kivo
