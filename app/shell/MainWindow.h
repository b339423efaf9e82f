#pragma once

#include "shell/AppSection.h"
#include "shell/SectionPages.h"

#include <QMainWindow>

#include <functional>

class QAction;
class QToolButton;

namespace kivo {

class RootView;

// What the main window's commands do beyond the model: the shell's windows and quitting.
struct WindowCommands {
  std::function<void()> openSettings;
  std::function<void()> newDashboardWindow;
  std::function<void()> quit;
};

// "KIVO Monitor": the root view, the toolbar (bookmark, pause), the File and Monitor menus.
class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  static constexpr QSize kMinimumSize{860, 560};
  static constexpr QSize kDefaultSize{1280, 860};

  MainWindow(const PageContext& context, AppSection initial, bool testMode, WindowCommands commands,
             QWidget* parent = nullptr);

  RootView* root() const { return root_; }
  QAction* pauseCommand() const { return pauseCommand_; }
  QAction* bookmarkCommand() const { return bookmarkCommand_; }
  QAction* refreshCommand() const { return refreshCommand_; }
  QAction* dashboardCommand() const { return dashboardCommand_; }
  QAction* settingsCommand() const { return settingsCommand_; }
  QAction* quitCommand() const { return quitCommand_; }

  // Opens the bookmark prompt with an empty note.
  void promptForBookmark();

 signals:
  // The first time the window is shown: sampling starts, the launch options apply.
  void contentShown();
  // The first time its content reached the screen.
  void firstPainted();

 protected:
  bool event(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void buildMenus();
  void buildToolbar();
  void refreshPause();
  void refreshIcons();

  PageContext context_;
  WindowCommands commands_;
  RootView* root_ = nullptr;
  QAction* pauseCommand_ = nullptr;
  QAction* bookmarkCommand_ = nullptr;
  QAction* refreshCommand_ = nullptr;
  QAction* dashboardCommand_ = nullptr;
  QAction* settingsCommand_ = nullptr;
  QAction* quitCommand_ = nullptr;
  QAction* toolbarBookmark_ = nullptr;
  QAction* toolbarPause_ = nullptr;
  bool shown_ = false;
  bool painted_ = false;
};

}  // namespace kivo
