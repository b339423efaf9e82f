#include "shell/MainWindow.h"

#include "design/Accessibility.h"
#include "design/Appearance.h"
#include "design/FocusOrder.h"
#include "design/Icons.h"
#include "design/Tokens.h"
#include "model/MonitorModel.h"
#include "shell/BookmarkDialog.h"
#include "shell/BookmarkNote.h"
#include "shell/RootPresenter.h"
#include "shell/RootView.h"
#include "texts/Localized.h"

#include <QAction>
#include <QEvent>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace kivo {

MainWindow::MainWindow(const PageContext& context, AppSection initial, bool testMode,
                       const AppCommands& commands, QWidget* parent)
    : QMainWindow(parent), context_(context), commands_(commands) {
  setObjectName(QStringLiteral("main"));
  setWindowTitle(kivo::tr("KIVO Monitor"));
  // Each opening of the main window builds its content afresh, as the section starts over.
  setAttribute(Qt::WA_DeleteOnClose);
  setMinimumSize(kMinimumSize);
  resize(kDefaultSize);
  setUnifiedTitleAndToolBarOnMac(true);

  root_ = new RootView(context, initial, testMode, this);
  setCentralWidget(root_);
  commands_.addMenus(menuBar());
  menuBar()->setCornerWidget(new BookmarkNote(context.model, menuBar()), Qt::TopRightCorner);
  buildToolbar();
  Accessibility::pressWithReturn(this);
  connect(&context.model, &MonitorModel::pausedChanged, this, &MainWindow::refreshPause);
  refreshPause();
  // The history may open later (it is tried again while it cannot be); storeErrorChanged says when.
  connect(&context.model, &MonitorModel::storeErrorChanged, this, &MainWindow::refreshBookmark);
  refreshBookmark();
}

void MainWindow::buildToolbar() {
  auto* toolbar = addToolBar(kivo::tr("Toolbar"));
  toolbar->setObjectName(QStringLiteral("toolbar"));
  toolbar->setMovable(false);
  toolbar->setFloatable(false);
  toolbar->toggleViewAction()->setEnabled(false);
  toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  toolbar->setIconSize(QSize(16, 16));
  auto* spacer = new QWidget(toolbar);
  spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  toolbar->addWidget(spacer);

  toolbarBookmark_ = toolbar->addAction(kivo::tr("Add Bookmark"));
  toolbar->widgetForAction(toolbarBookmark_)->setObjectName(QStringLiteral("toolbar.bookmark"));
  connect(toolbarBookmark_, &QAction::triggered, this, &MainWindow::promptForBookmark);

  toolbarPause_ = toolbar->addAction(QString());
  toolbar->widgetForAction(toolbarPause_)->setObjectName(QStringLiteral("toolbar.pause"));
  MonitorModel& model = context_.model;
  connect(toolbarPause_, &QAction::triggered, &model, [&model] { model.setPaused(!model.isPaused()); });
  // A tool bar leaves its buttons out of the Tab order; the bookmark's note needs the keyboard too.
  for (QAction* action : {toolbarBookmark_, toolbarPause_})
    toolbar->widgetForAction(action)->setFocusPolicy(Qt::TabFocus);
}

void MainWindow::refreshPause() {
  const bool paused = context_.model.isPaused();
  toolbarPause_->setText(RootPresenter::pauseTitle(paused));
  toolbarPause_->setToolTip(RootPresenter::pauseHelp(paused));
  refreshIcons();
}

void MainWindow::refreshBookmark() {
  // A bookmark without a history would be dropped: say so rather than take it.
  const bool open = context_.model.hasHistory();
  toolbarBookmark_->setEnabled(open);
  toolbarBookmark_->setToolTip(RootPresenter::bookmarkHelp(open));
}

void MainWindow::refreshIcons() {
  const ChartColor tint = ChartColor::of(Palette::textSecondary);
  toolbarBookmark_->setIcon(Icons::icon(QStringLiteral("bookmark"), tint, this));
  toolbarPause_->setIcon(Icons::icon(RootPresenter::pauseSymbol(context_.model.isPaused()), tint, this));
}

void MainWindow::promptForBookmark() {
  auto* dialog = new BookmarkDialog(this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  MonitorModel& model = context_.model;
  connect(dialog, &BookmarkDialog::bookmarkRequested, &model,
          [&model](const QString& note) { model.addBookmark(note); });
  dialog->open();
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  emit contentShown();
}

bool MainWindow::focusNextPrevChild(bool next) {
  // Rows a page adds or moves after it was built would otherwise sit at the end of the chain.
  FocusOrder::followScreen(root_->page());
  return QMainWindow::focusNextPrevChild(next);
}

bool MainWindow::event(QEvent* event) {
  // The top-level widget paints its whole tree on an update request. Checked before handing the
  // event on: a deferred delete ends this object there.
  const bool firstPaint = !painted_ && event->type() == QEvent::UpdateRequest;
  const bool handled = QMainWindow::event(event);
  if (firstPaint && isVisible()) {
    painted_ = true;
    emit firstPainted();
  }
  return handled;
}

}  // namespace kivo
