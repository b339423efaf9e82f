#pragma once

#include <QDBusConnection>
#include <QObject>

#include <functional>

namespace kivo {

// Which tray the desktop offers, followed as trays come and go: a StatusNotifier watcher on the
// session bus (our own item goes there) or, without one, an XEmbed tray manager on X11 (the
// toolkit's tray icon goes there).
class TrayHost : public QObject {
  Q_OBJECT
 public:
  enum class Kind { none, statusNotifier, xembed };
  using Check = std::function<bool()>;

  // A tray for the toolkit's icon while `check` says so, asked now and on every recheck();
  // watches nothing by itself (tests).
  explicit TrayHost(Check check, QObject* parent = nullptr);
  // Follows the StatusNotifier watcher's name on `bus`, and asks `xembedTray` (empty where the
  // platform has none) whether an XEmbed tray manager is there. `toolkitCheck` (whether the
  // toolkit can show a tray icon) is asked only while an XEmbed tray is there and no watcher:
  // the toolkit settles once per process whether its icon speaks StatusNotifier, and asked
  // without a watcher it keeps to XEmbed, which is all we want of it.
  TrayHost(const QDBusConnection& bus, Check xembedTray, Check toolkitCheck, QObject* parent = nullptr);
  // The session bus, and on X11 the tray manager selection watched on the toolkit's connection.
  static TrayHost* followDesktop(Check toolkitCheck, QObject* parent = nullptr);

  Kind kind() const { return kind_; }
  bool isAvailable() const { return kind_ != Kind::none; }
  // The bus the watcher was looked for on (the item registers there); not connected for a test
  // host.
  const QDBusConnection& bus() const { return bus_; }

 public slots:
  // Asks again; emits kindChanged (and availableChanged when that changed too) on a new answer.
  void recheck();

 signals:
  void availableChanged(bool available);
  void kindChanged(Kind kind);
  // Another watcher took the name over without a gap: an item registers with it again (one
  // that arrives after none is announced by kindChanged).
  void watcherReplaced();

 private:
  Kind ask() const;

  QDBusConnection bus_{QString()};
  bool following_ = false;
  bool watcher_ = false;
  Check xembedTray_;
  Check toolkitCheck_;
  Kind kind_ = Kind::none;
};

}  // namespace kivo
