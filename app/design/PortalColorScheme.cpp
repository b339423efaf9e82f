#include "design/PortalColorScheme.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace kivo {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kNamespace = QStringLiteral("org.freedesktop.appearance");
const QString kKey = QStringLiteral("color-scheme");

}  // namespace

PortalColorScheme::PortalColorScheme(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {
  if (!bus_.isConnected()) {
    settle();
    return;
  }
  bus_.connect(kService, kPath, kInterface, QStringLiteral("SettingChanged"), this,
               SLOT(onSettingChanged(QDBusMessage)));
  read(QStringLiteral("ReadOne"));
}

std::optional<Appearance::ColorScheme> PortalColorScheme::fromReply(const QVariant& value) {
  QVariant v = value;
  // Read wraps the value in one more variant than ReadOne; allow a few layers, no more.
  for (int depth = 0; depth < 4 && v.metaType() == QMetaType::fromType<QDBusVariant>(); ++depth) {
    v = v.value<QDBusVariant>().variant();
  }
  if (v.metaType() == QMetaType::fromType<QDBusArgument>()) {
    const QDBusArgument argument = v.value<QDBusArgument>();
    if (argument.currentType() != QDBusArgument::VariantType) return std::nullopt;
    QDBusVariant inner;
    argument >> inner;
    return fromReply(inner.variant());
  }
  switch (v.metaType().id()) {
    case QMetaType::UInt:
      return Appearance::colorSchemeFromPortal(v.toUInt());
    case QMetaType::Int:
      return v.toInt() >= 0 ? Appearance::colorSchemeFromPortal(static_cast<unsigned>(v.toInt()))
                            : std::nullopt;
    default:
      return std::nullopt;
  }
}

void PortalColorScheme::read(const QString& method) {
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
  call << kNamespace << kKey;
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, method](QDBusPendingCallWatcher* w) { onReply(w, method); });
}

void PortalColorScheme::onReply(QDBusPendingCallWatcher* watcher, const QString& method) {
  watcher->deleteLater();
  const QDBusPendingReply<QDBusVariant> reply = *watcher;
  if (reply.isError()) {
    // Portals before version 2 have Read only.
    if (method == QLatin1String("ReadOne") && reply.error().type() == QDBusError::UnknownMethod) {
      read(QStringLiteral("Read"));
      return;
    }
    settle();
    return;
  }
  // A change signalled while the read was on its way is newer than the read.
  if (!heardSignal_) update(fromReply(QVariant::fromValue(reply.value())));
  settle();
}

void PortalColorScheme::onSettingChanged(const QDBusMessage& message) {
  const QVariantList arguments = message.arguments();
  if (arguments.size() != 3 || arguments[0].toString() != kNamespace || arguments[1].toString() != kKey)
    return;
  heardSignal_ = true;
  update(fromReply(arguments[2]));
}

void PortalColorScheme::update(std::optional<Appearance::ColorScheme> scheme) {
  if (scheme == scheme_) return;
  scheme_ = scheme;
  emit changed(scheme_);
}

void PortalColorScheme::settle() {
  if (settled_) return;
  settled_ = true;
}

}  // namespace kivo
