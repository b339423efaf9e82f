#pragma once

#include <functional>

class QTabWidget;

namespace kivo {

class AppSettings;
class MonitorModel;

// The six panes of the settings window, in order: General, Sampling, History, Tray, Privacy,
// About. Nothing is saved by the window: every control writes its setting as the user picks it.
namespace SettingsView {

// Adds the panes to the window's tab widget, which opens on General. trayAvailable: whether the
// desktop has a tray now (empty: QSystemTrayIcon asks the desktop).
void addPanes(QTabWidget* tabs, MonitorModel& model, AppSettings& settings,
              std::function<bool()> trayAvailable = {});

}  // namespace SettingsView

}  // namespace kivo
