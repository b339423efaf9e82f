#include "shell/AppCommands.h"

#include "design/Accessibility.h"
#include "model/MonitorModel.h"
#include "shell/RootPresenter.h"
#include "texts/Localized.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace kivo {

AppCommands::AppCommands(MonitorModel& model, WindowCommands commands, QObject* parent)
    : QObject(parent), model_(model), commands_(std::move(commands)) {
  auto make = [this](const QString& text, const char* name, const QKeySequence& shortcut) {
    auto* action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    return action;
  };
  settings_ = make(kivo::tr("Settings…"), "command.settings", QKeySequence(Qt::CTRL | Qt::Key_Comma));
  settings_->setMenuRole(QAction::PreferencesRole);
  connect(settings_, &QAction::triggered, this, [this] {
    if (commands_.openSettings) commands_.openSettings();
  });
  quit_ = make(kivo::tr("Quit"), "command.quit", QKeySequence::Quit);
  quit_->setMenuRole(QAction::QuitRole);
  connect(quit_, &QAction::triggered, this, [this] {
    if (commands_.quit) commands_.quit();
  });

  pause_ = make(QString(), "command.pause", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
  connect(pause_, &QAction::triggered, &model_, [this] { model_.setPaused(!model_.isPaused()); });
  // The menu command adds its bookmark at once; only the toolbar asks for a note.
  bookmark_ =
      make(kivo::tr("Add Bookmark"), "command.bookmark", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B));
  connect(bookmark_, &QAction::triggered, &model_, [this] { model_.addBookmark(QString()); });
  refresh_ = make(kivo::tr("Refresh Insights"), "command.refreshInsights",
                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
  connect(refresh_, &QAction::triggered, &model_, [this] { model_.refreshFindings(); });
  dashboard_ = make(kivo::tr("New Dashboard Window"), "command.newDashboard",
                    QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D));
  connect(dashboard_, &QAction::triggered, this, [this] {
    if (commands_.newDashboardWindow) commands_.newDashboardWindow();
  });

  connect(&model_, &MonitorModel::pausedChanged, this, &AppCommands::refreshPause);
  refreshPause();
  // The history may open later (it is tried again while it cannot be); storeErrorChanged says when.
  connect(&model_, &MonitorModel::storeErrorChanged, this, &AppCommands::refreshBookmark);
  refreshBookmark();
}

void AppCommands::refreshPause() {
  pause_->setText(RootPresenter::pauseTitle(model_.isPaused()));
}

void AppCommands::refreshBookmark() {
  // A bookmark without a history would be dropped: say so rather than take it.
  const bool open = model_.hasHistory();
  bookmark_->setEnabled(open);
  bookmark_->setToolTip(RootPresenter::bookmarkHelp(open));
}

void AppCommands::addMenus(QMenuBar* bar) const {
  QMenu* file = bar->addMenu(kivo::tr("&File"));
  file->setObjectName(QStringLiteral("menu.file"));
  file->addAction(settings_);
  file->addSeparator();
  file->addAction(quit_);

  QMenu* monitor = bar->addMenu(kivo::tr("&Monitor"));
  monitor->setObjectName(QStringLiteral("menu.monitor"));
  monitor->addAction(pause_);
  monitor->addAction(bookmark_);
  monitor->addAction(refresh_);
  monitor->addSeparator();
  monitor->addAction(dashboard_);
  Accessibility::openWithF10(bar);
}

void AppCommands::addShortcuts(QWidget* window) const {
  window->addActions({settings_, quit_, pause_, bookmark_, refresh_, dashboard_});
}

}  // namespace kivo
