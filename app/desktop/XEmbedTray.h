#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <cstdint>
#include <memory>

struct xcb_connection_t;

namespace kivo {

// Whether an XEmbed tray manager owns the screen's _NET_SYSTEM_TRAY_S<n> selection, followed on
// the toolkit's X11 connection: a new manager announces itself with a MANAGER message on the root
// window, and a manager that leaves destroys its window. Read here rather than through the
// toolkit, which would settle its tray protocol the first time it is asked.
class XEmbedTray : public QObject, public QAbstractNativeEventFilter {
  Q_OBJECT
 public:
  // Null where the application does not run on X11.
  static std::unique_ptr<XEmbedTray> forDesktop();
  ~XEmbedTray() override;

  bool isPresent() const { return owner_ != 0; }

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 signals:
  void presentChanged(bool present);

 private:
  XEmbedTray(xcb_connection_t* connection, int screen);
  void lookUp();

  xcb_connection_t* connection_;
  std::uint32_t root_ = 0;
  std::uint32_t selection_ = 0;
  std::uint32_t manager_ = 0;
  std::uint32_t owner_ = 0;
};

}  // namespace kivo
