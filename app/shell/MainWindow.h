#pragma once

#include "shell/AppCommands.h"
#include "shell/AppSection.h"
#include "shell/SectionPages.h"

#include <QMainWindow>

class QAction;
class QToolButton;

namespace kivo {

class RootView;

// "KIVO Monitor": the root view, the toolbar (bookmark, pause), the File and Monitor menus.
class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  static constexpr QSize kMinimumSize{860, 560};
  static constexpr QSize kDefaultSize{1280, 860};

  // The commands are the application's, shared with its other windows; they must outlive this one.
  MainWindow(const PageContext& context, AppSection initial, bool testMode, const AppCommands& commands,
             QWidget* parent = nullptr);

  RootView* root() const { return root_; }
  QAction* pauseCommand() const { return commands_.pause(); }
  QAction* bookmarkCommand() const { return commands_.bookmark(); }
  QAction* refreshCommand() const { return commands_.refresh(); }
  QAction* dashboardCommand() const { return commands_.newDashboard(); }
  QAction* settingsCommand() const { return commands_.settings(); }
  QAction* quitCommand() const { return commands_.quit(); }

  // Opens the bookmark prompt with an empty note.
  void promptForBookmark();

 signals:
  // The first time the window is shown: sampling starts, the launch options apply.
  void contentShown();
  // The first time its content reached the screen.
  void firstPainted();

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // Tab and Shift+Tab go through the page in the order it is shown.
  bool focusNextPrevChild(bool next) override;

 private:
  void buildToolbar();
  void refreshPause();
  void refreshBookmark();
  void refreshIcons();

  PageContext context_;
  const AppCommands& commands_;
  RootView* root_ = nullptr;
  QAction* toolbarBookmark_ = nullptr;
  QAction* toolbarPause_ = nullptr;
  bool shown_ = false;
  bool painted_ = false;
};

}  // namespace kivo
