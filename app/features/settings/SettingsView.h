#pragma once

class QTabWidget;

namespace kivo {

class AppSettings;
class LaunchAtLogin;
class MonitorModel;
class TrayHost;

// The six panes of the settings window, in order: General, Sampling, History, Tray, Privacy,
// About. Nothing is saved by the window: every control writes its setting as the user picks it.
namespace SettingsView {

// Adds the panes to the window's tab widget, which opens on General. trayHost: the desktop's
// tray as the tray icon follows it (null: the Tray pane makes no claim about it).
void addPanes(QTabWidget* tabs, MonitorModel& model, AppSettings& settings, LaunchAtLogin& launchAtLogin,
              const TrayHost* trayHost = nullptr);

}  // namespace SettingsView

}  // namespace kivo
