#pragma once

#include "shell/DesktopServices.h"
#include "shell/ScreenshotHooks.h"
#include "shell/SectionPages.h"

#include <QList>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QUuid>
#include <QVariantMap>

namespace kivo {

class AppCommands;
class AppSettings;
class AppearanceController;
class DashboardWindow;
class MainWindow;
class MenuBarTray;
class MonitorModel;
class Preferences;
class SettingsWindow;

// The application's windows and commands over the one model and the one settings object: the
// main window (built afresh each time it is opened), detached dashboard windows and the
// settings window; appearance, density and the colour-blind flag on every window's root; the
// start-up work of the main window; and whether closing the last window quits.
class Shell : public QObject {
  Q_OBJECT
 public:
  // The main window's content waits this long before KIVOResizeTo applies.
  static constexpr int kResizeDelayMs = 3'000;

  // trayAvailable: whether a tray host is there (tests; empty: the desktop's trays are followed).
  Shell(MonitorModel& model, AppSettings& settings, const Preferences& standard, QObject* parent = nullptr,
        std::function<bool()> trayAvailable = {});
  ~Shell() override;

  // Opens the main window, or brings the open one forward.
  void showMainWindow();
  MainWindow* mainWindow() const;
  // Opens the settings window, or brings it forward. It never starts sampling.
  void openSettings();
  SettingsWindow* settingsWindow() const;
  // One more detached dashboard window; a null id takes a fresh one.
  DashboardWindow* openDashboardWindow(const QUuid& presetID = QUuid());
  MenuBarTray* tray() const { return tray_; }
  // The commands every window carries.
  AppCommands* commands() const { return commands_; }
  QList<DashboardWindow*> dashboardWindows() const;

  // Another launch on the same history asked for the main window.
  void activate(const QVariantMap& platformData);

  // With a tray icon showing, closing every window leaves the process running; without one the
  // last window closed quits, so no invisible process holds the history.
  void setTrayVisible(bool visible);
  // The tray icon came or went; when its host went away with the main window closed, the main
  // window opens again so the monitor stays reachable.
  void trayShownChanged(bool shown);
  // The tray's panel and label image for the screenshot hooks, once the tray exists.
  void setTrayHooks(std::function<void()> showPanel, std::function<void(const QString&)> exportMenuBar);

  // Test seams: how long the main window waits before resizing; how quitting is asked for.
  void setResizeDelay(int milliseconds) { resizeDelayMs_ = milliseconds; }
  void setQuitRequest(std::function<void()> quit) { quit_ = std::move(quit); }

 signals:
  void mainWindowPainted();

 private:
  void contentShown(MainWindow* window);
  void resizeFirstTitledWindow(const QSize& size);
  void applyAppearance();
  void applyEnvironment();
  void applyEnvironment(QWidget* root);

  MonitorModel& model_;
  AppSettings& appSettings_;
  const Preferences& standard_;
  DesktopServices desktop_;
  PageContext context_;
  AppearanceController* appearance_ = nullptr;
  bool testMode_ = false;
  int resizeDelayMs_ = kResizeDelayMs;
  std::function<void()> quit_;
  ScreenshotHooks::Actions hookActions_;
  AppCommands* commands_ = nullptr;
  MenuBarTray* tray_ = nullptr;
  QPointer<MainWindow> main_;
  QPointer<SettingsWindow> settings_;
  QList<QPointer<DashboardWindow>> dashboards_;
};

}  // namespace kivo
