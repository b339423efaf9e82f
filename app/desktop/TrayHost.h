#pragma once

#include <QObject>

#include <functional>

namespace kivo {

// Whether the desktop has a tray to show an icon in, followed as trays come and go: the
// StatusNotifier watcher's name on the session bus, and on X11 the tray manager selection
// (announced through the toolkit's X11 connection).
class TrayHost : public QObject {
  Q_OBJECT
 public:
  using Check = std::function<bool()>;

  // Asks `check` now and again on every recheck(); watches nothing by itself (tests).
  explicit TrayHost(Check check, QObject* parent = nullptr);
  // Follows the desktop. `toolkitCheck` (whether the toolkit can show a tray icon) is asked only
  // while a tray may be there: the toolkit decides once per process whether to use the
  // StatusNotifier protocol, so asking before a watcher exists would rule it out for good.
  static TrayHost* followDesktop(Check toolkitCheck, QObject* parent = nullptr);

  bool isAvailable() const { return available_; }

 public slots:
  // Asks again; emits availableChanged when the answer changed.
  void recheck();

 signals:
  void availableChanged(bool available);

 private:
  Check check_;
  bool available_ = false;
};

}  // namespace kivo
