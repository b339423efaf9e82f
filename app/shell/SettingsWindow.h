#pragma once

#include <QTabWidget>

class QLabel;

namespace kivo {

class AppCommands;
class AppSettings;
class LaunchAtLogin;
class MonitorModel;
class TrayHost;

// The settings window: a tab widget named "settings", 600 × 520, holding the six panes. While
// the settings cannot be saved, the corner beside the tabs says so, with the reason in its tooltip.
class SettingsWindow : public QTabWidget {
  Q_OBJECT
 public:
  // launchAtLogin: the autostart entry the General pane switches.
  // trayHost: the desktop's tray as the tray icon follows it; the Tray pane's note reads it.
  // commands: the application's commands, whose shortcuts work here too (null: none).
  SettingsWindow(MonitorModel& model, AppSettings& settings, LaunchAtLogin& launchAtLogin,
                 const TrayHost* trayHost = nullptr, const AppCommands* commands = nullptr,
                 QWidget* parent = nullptr);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void showSaveError();

  AppSettings& settings_;
  QLabel* saveError_ = nullptr;
};

}  // namespace kivo
