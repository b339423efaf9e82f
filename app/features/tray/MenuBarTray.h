#pragma once

#include "desktop/TrayHost.h"
#include "features/tray/MenuBarActions.h"
#include "features/tray/MenuBarLabel.h"
#include "features/tray/TrayPopup.h"

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace kivo {

class AppSettings;
class MenuBarPanel;
class MonitorModel;
class StatusNotifierItem;

// The application's item in the desktop's system tray: a square icon (the logo, with a dot
// while alerts fire), the chosen indicators' figures as its tooltip, the panel as a popup on a click
// and a menu for tray hosts that only show menus. Shown while the "show in menu bar" setting
// is on and a tray host exists, and again whenever a tray host arrives; without one the
// application is an ordinary window application. A StatusNotifier host gets our own item on the
// session bus; an XEmbed tray without one gets the toolkit's tray icon.
class MenuBarTray : public QObject {
  Q_OBJECT

 public:
  // Whether a tray host is there now; tests replace it and call updateVisibility() when it
  // changes. Empty: the desktop's trays are followed as they come and go.
  using Availability = std::function<bool()>;

  // The model and settings must outlive the tray.
  MenuBarTray(MonitorModel& model, AppSettings& settings, MenuBarActions actions, QObject* parent = nullptr,
              Availability available = {});
  // Follows `host` (taken over as a child).
  MenuBarTray(MonitorModel& model, AppSettings& settings, MenuBarActions actions, TrayHost* host,
              QObject* parent = nullptr);
  ~MenuBarTray() override;

  bool isShown() const { return shown_; }
  // The desktop's tray, as followed for the icon; the settings pane's note reads it too.
  TrayHost& host() const { return *host_; }
  // The toolkit's icon while an XEmbed tray shows it; null otherwise: the icon is made afresh
  // for each tray host that appears.
  QSystemTrayIcon* trayIcon() const { return tray_.get(); }
  // Our own item while a StatusNotifier host shows it; null otherwise.
  StatusNotifierItem* statusNotifierItem() const { return item_.get(); }
  QMenu* menu() const { return menu_.get(); }
  // The popup panel; null until first opened.
  MenuBarPanel* panel() const { return panel_; }
  const QString& toolTip() const { return toolTip_; }
  // How often the icon was drawn: only when what it shows changes.
  int iconDraws() const { return iconDraws_; }

  // Opens the panel beside the icon, or at `at` where the tray host gave a point (top right of
  // the screen when neither is known), or closes it when open.
  void togglePanel(const QPoint& at = {});
  // Opens the menu at `at` (at the pointer when the host gave no point).
  void showMenu(const QPoint& at = {});
  // How the panel and menu open; by default as this platform and the focus allow (tests choose).
  void setPopupChoice(std::function<TrayPopup()> choice) { popupChoice_ = std::move(choice); }
  // Asks whether a tray host is there again and shows or hides the icon.
  void updateVisibility();

  // Where a popup of this size goes: centred under (or over, in the lower half of the screen)
  // the icon and kept on the screen; without an icon rectangle, the top right corner.
  static QPoint popupPosition(const QRect& icon, const QRect& screen, const QSize& popup);
  // The icon at size × size device-independent pixels.
  static QImage iconImage(int size, bool alert, qreal devicePixelRatio = 1.0);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 signals:
  // The tray icon appeared or went; the shell decides from it whether closing the last window
  // quits.
  void shownChanged(bool shown);

 private:
  void applyVisibility();
  void makeItem();
  void makeTrayIcon();
  // Shows a popup the tray opened, as this platform lets it open.
  void openPopup(QWidget* popup, const QPoint& at);
  void update();
  void updateIcon();
  void updateMenu();

  MonitorModel& model_;
  AppSettings& settings_;
  MenuBarActions actions_;
  TrayHost* host_ = nullptr;  // owned (a child)
  MenuBarLabel label_;
  std::unique_ptr<QMenu> menu_;
  std::unique_ptr<QSystemTrayIcon> tray_;
  std::unique_ptr<StatusNotifierItem> item_;
  QAction* pause_ = nullptr;
  MenuBarPanel* panel_ = nullptr;  // owned; made on first use
  bool shown_ = false;
  TrayHost::Kind shownKind_ = TrayHost::Kind::none;
  std::optional<bool> iconAlert_;
  QString toolTip_;
  int iconDraws_ = 0;
  QElapsedTimer panelHidden_;
  std::function<TrayPopup()> popupChoice_ = &TrayPopup::now;
};

}  // namespace kivo
