#pragma once

#include <QObject>

#include <functional>

class QAction;
class QMenuBar;
class QWidget;

namespace kivo {

class MonitorModel;

// What the commands do beyond the model: the shell's windows and quitting.
struct WindowCommands {
  std::function<void()> openSettings;
  std::function<void()> newDashboardWindow;
  std::function<void()> quit;
};

// The application's commands, one set shared by every window: Settings… and Quit in the File
// menu, and the Monitor menu. Each window carries the same actions, so their shortcuts work in
// whichever window has the focus and the pause title reads the same everywhere.
class AppCommands : public QObject {
  Q_OBJECT
 public:
  // The model must outlive the commands.
  AppCommands(MonitorModel& model, WindowCommands commands, QObject* parent = nullptr);

  QAction* pause() const { return pause_; }
  QAction* bookmark() const { return bookmark_; }
  QAction* refresh() const { return refresh_; }
  QAction* newDashboard() const { return dashboard_; }
  QAction* settings() const { return settings_; }
  QAction* quit() const { return quit_; }

  // Adds the File and Monitor menus, holding these actions, to a window's menu bar.
  void addMenus(QMenuBar* bar) const;
  // Gives a window without menus the shortcuts.
  void addShortcuts(QWidget* window) const;

 private:
  void refreshPause();
  void refreshBookmark();

  MonitorModel& model_;
  WindowCommands commands_;
  QAction* pause_ = nullptr;
  QAction* bookmark_ = nullptr;
  QAction* refresh_ = nullptr;
  QAction* dashboard_ = nullptr;
  QAction* settings_ = nullptr;
  QAction* quit_ = nullptr;
};

}  // namespace kivo
