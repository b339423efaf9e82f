#pragma once

#include "design/Appearance.h"

#include <QDBusConnection>
#include <QDBusVariant>
#include <QObject>

#include <optional>

namespace kivo {

// The desktop portal's colour-scheme preference (org.freedesktop.appearance color-scheme),
// read once without blocking and followed as it changes; absent without a portal.
class ColorSchemePortal : public QObject {
  Q_OBJECT
 public:
  explicit ColorSchemePortal(QDBusConnection bus, QObject* parent = nullptr);
  const std::optional<Appearance::ColorScheme>& scheme() const { return scheme_; }

  // The scheme inside a portal reply, which some portals wrap in a second variant.
  static std::optional<Appearance::ColorScheme> fromReply(const QVariant& value);

 signals:
  void schemeChanged();

 private slots:
  void settingChanged(const QString& group, const QString& key, const QDBusVariant& value);

 private:
  void set(std::optional<Appearance::ColorScheme> scheme);

  QDBusConnection bus_;
  std::optional<Appearance::ColorScheme> scheme_;
};

}  // namespace kivo
