#include "shell/ColorSchemePortal.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace kivo {

namespace {
const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kGroup = QStringLiteral("org.freedesktop.appearance");
const QString kKey = QStringLiteral("color-scheme");
}  // namespace

ColorSchemePortal::ColorSchemePortal(QDBusConnection bus, QObject* parent) : QObject(parent), bus_(std::move(bus)) {
  if (!bus_.isConnected()) return;
  bus_.connect(kService, kPath, kInterface, QStringLiteral("SettingChanged"), this,
               SLOT(settingChanged(QString, QString, QDBusVariant)));
  QDBusMessage read = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Read"));
  read << kGroup << kKey;
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(read), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
    call->deleteLater();
    const QDBusMessage reply = call->reply();
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
      set(fromReply(reply.arguments().constFirst()));
    }
  });
}

std::optional<Appearance::ColorScheme> ColorSchemePortal::fromReply(const QVariant& value) {
  QVariant inner = value;
  // Read answers v(v(u)); the signal carries v(u).
  for (int depth = 0; depth < 3 && inner.canConvert<QDBusVariant>() && inner.userType() == qMetaTypeId<QDBusVariant>();
       ++depth) {
    inner = qvariant_cast<QDBusVariant>(inner).variant();
  }
  bool ok = false;
  const uint number = inner.toUInt(&ok);
  if (!ok) return std::nullopt;
  return Appearance::colorSchemeFromPortal(number);
}

void ColorSchemePortal::settingChanged(const QString& group, const QString& key, const QDBusVariant& value) {
  if (group != kGroup || key != kKey) return;
  set(fromReply(value.variant()));
}

void ColorSchemePortal::set(std::optional<Appearance::ColorScheme> scheme) {
  if (scheme == scheme_) return;
  scheme_ = scheme;
  emit schemeChanged();
}

}  // namespace kivo
