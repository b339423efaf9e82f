#pragma once

#include "design/Appearance.h"

#include <QDBusConnection>
#include <QObject>

#include <optional>

class QDBusMessage;
class QDBusPendingCallWatcher;

namespace kivo {

// The desktop's preferred colour scheme from the XDG desktop portal (org.freedesktop.appearance
// color-scheme), read without blocking and followed through the portal's SettingChanged signal.
// Absent while the portal has not answered, when there is none, or when it has no such setting.
class PortalColorScheme : public QObject {
  Q_OBJECT

 public:
  // Sends the read at once; the answer arrives through changed().
  explicit PortalColorScheme(QDBusConnection bus, QObject* parent = nullptr);

  std::optional<Appearance::ColorScheme> scheme() const { return scheme_; }
  // True once the portal answered (or failed to).
  bool settled() const { return settled_; }

  // The scheme in a portal reply: a number, possibly wrapped in one or more variants.
  static std::optional<Appearance::ColorScheme> fromReply(const QVariant& value);

 signals:
  void changed(std::optional<Appearance::ColorScheme> scheme);

 private slots:
  // SettingChanged(s namespace, s key, v value) as a whole message: any other shape is ignored.
  void onSettingChanged(const QDBusMessage& message);

 private:
  void read(const QString& method);
  void onReply(QDBusPendingCallWatcher* watcher, const QString& method);
  void update(std::optional<Appearance::ColorScheme> scheme);
  void settle();

  QDBusConnection bus_;
  std::optional<Appearance::ColorScheme> scheme_;
  bool settled_ = false;
  bool heardSignal_ = false;
};

}  // namespace kivo
