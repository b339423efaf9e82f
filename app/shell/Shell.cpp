#include "shell/Shell.h"

#include "design/AppearanceController.h"
#include "design/Environment.h"
#include "design/Tokens.h"
#include "features/tray/MenuBarHooks.h"
#include "features/tray/MenuBarTray.h"
#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "settings/LaunchOptions.h"
#include "shell/AppCommands.h"
#include "shell/AppSection.h"
#include "shell/DashboardWindow.h"
#include "shell/MainWindow.h"
#include "shell/SettingsWindow.h"
#include "shell/WindowFit.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

namespace kivo {

Shell::Shell(MonitorModel& model, AppSettings& settings, const Preferences& standard, QObject* parent,
             std::function<bool()> trayAvailable)
    : QObject(parent),
      model_(model),
      appSettings_(settings),
      standard_(standard),
      context_{model, settings, desktop_},
      testMode_(LaunchOptions::testMode(standard)),
      quit_([] { QApplication::quit(); }) {
  context_.openDashboard = [this](const QUuid& id) { openDashboardWindow(id); };
  hookActions_.openSettings = [this] { openSettings(); };
  WindowCommands commands;
  commands.openSettings = [this] { openSettings(); };
  commands.newDashboardWindow = [this] { openDashboardWindow(); };
  commands.quit = [this] { quit_(); };
  commands_ = new AppCommands(model, std::move(commands), this);
  appearance_ = new AppearanceController(QDBusConnection::sessionBus(), this);
  applyAppearance();
  connect(&settings, &AppSettings::appearanceChanged, this, &Shell::applyAppearance);
  connect(&settings, &AppSettings::densityChanged, this, qOverload<>(&Shell::applyEnvironment));
  connect(&settings, &AppSettings::colorBlindSafeChanged, this, qOverload<>(&Shell::applyEnvironment));
  setTrayVisible(false);

  MenuBarActions actions;
  actions.openMain = [this] { showMainWindow(); };
  actions.openSettings = [this] { openSettings(); };
  actions.quit = [this] { quit_(); };
  tray_ = new MenuBarTray(model, settings, actions, this, std::move(trayAvailable));
  connect(tray_, &MenuBarTray::shownChanged, this, &Shell::trayShownChanged);
  setTrayVisible(tray_->isShown());
  setTrayHooks([this, actions] { MenuBarHooks::showPanel(model_, appSettings_, actions); },
               [this](const QString& directory) {
                 // Asked for from the command line: a failure ends the run with a failing status.
                 if (!MenuBarHooks::exportItem(directory, model_, appSettings_)) QCoreApplication::exit(1);
               });
}

Shell::~Shell() {
  delete main_;
  delete settings_;
  for (const auto& window : dashboards_) delete window;
}

MainWindow* Shell::mainWindow() const {
  return main_;
}
SettingsWindow* Shell::settingsWindow() const {
  return settings_;
}

void Shell::showMainWindow() {
  if (!main_) {
    main_ = new MainWindow(context_, AppSections::initial(standard_), testMode_, *commands_);
    // On a small screen, or at a large scale, the default size would reach below the screen's
    // edge and hide the footer: the window opens within the screen's free area.
    WindowFit::apply(main_, MainWindow::kDefaultSize, MainWindow::kMinimumSize);
    applyEnvironment(main_);
    MainWindow* window = main_;
    connect(window, &MainWindow::contentShown, this, [this, window] { contentShown(window); });
    connect(window, &MainWindow::firstPainted, this, &Shell::mainWindowPainted);
  }
  if (main_->isMinimized()) main_->showNormal();
  main_->show();
  main_->raise();
  main_->activateWindow();
}

void Shell::contentShown(MainWindow* window) {
  model_.start();
  if (const auto size = LaunchOptions::resizeTo(standard_)) {
    const QSize target(qRound(size->width()), qRound(size->height()));
    QTimer::singleShot(resizeDelayMs_, window, [this, target] { resizeFirstTitledWindow(target); });
  }
  auto* hooks = new ScreenshotHooks(standard_, hookActions_, window);
  hooks->start();
}

void Shell::resizeFirstTitledWindow(const QSize& size) {
  // The main window when it shows, else the first other visible titled window; resize keeps
  // the top-left corner, so the top edge stays where it was.
  QList<QWidget*> candidates;
  if (main_) candidates << main_;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget != main_) candidates << widget;
  }
  for (QWidget* widget : candidates) {
    const Qt::WindowFlags flags = widget->windowFlags();
    const bool titled = widget->isWindow() && (flags & Qt::WindowType_Mask) != Qt::Popup &&
                        (flags & Qt::WindowType_Mask) != Qt::ToolTip && !(flags & Qt::FramelessWindowHint);
    if (titled && widget->isVisible()) {
      widget->resize(size);
      return;
    }
  }
}

void Shell::openSettings() {
  if (!settings_) {
    settings_ = new SettingsWindow(model_, appSettings_, *desktop_.launchAtLogin, &tray_->host(), commands_);
    applyEnvironment(settings_);
    // Centred over the main window (or the screen), not wherever the window system starts.
    QRect area;
    if (main_ && main_->isVisible()) {
      area = main_->frameGeometry();
    } else if (const QScreen* screen = QApplication::primaryScreen()) {
      area = screen->availableGeometry();
    }
    if (area.isValid())
      settings_->move(area.center() - QPoint(settings_->width() / 2, settings_->height() / 2));
  }
  settings_->show();
  settings_->raise();
  settings_->activateWindow();
}

DashboardWindow* Shell::openDashboardWindow(const QUuid& presetID) {
  auto* window = new DashboardWindow(model_, presetID.isNull() ? QUuid::createUuid() : presetID, commands_);
  dashboards_.removeAll(nullptr);
  dashboards_ << window;
  // On the main window's screen when it shows, within that screen's free area.
  const QScreen* screen = main_ && main_->isVisible() ? main_->screen() : nullptr;
  WindowFit::apply(window, DashboardWindow::kDefaultSize, DashboardWindow::kMinimumSize, screen);
  applyEnvironment(window);
  window->show();
  return window;
}

QList<DashboardWindow*> Shell::dashboardWindows() const {
  QList<DashboardWindow*> open;
  for (const auto& window : dashboards_) {
    if (window) open << window;
  }
  return open;
}

void Shell::activate(const QVariantMap& platformData) {
  const QString token = platformData.value(QStringLiteral("activation-token")).toString();
  if (!token.isEmpty()) qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
  showMainWindow();
}

void Shell::setTrayVisible(bool visible) {
  QApplication::setQuitOnLastWindowClosed(!visible);
}

void Shell::trayShownChanged(bool shown) {
  setTrayVisible(shown);
  // Switched off in the settings, the settings window is open; a host that left leaves nothing.
  const bool hostLeft = !shown && appSettings_.showMenuBar();
  if (hostLeft && !(main_ && main_->isVisible())) showMainWindow();
}

void Shell::setTrayHooks(std::function<void()> showPanel, std::function<void(const QString&)> exportMenuBar) {
  hookActions_.showPanel = std::move(showPanel);
  hookActions_.exportMenuBar = std::move(exportMenuBar);
}

void Shell::applyAppearance() {
  appearance_->setChoice(appSettings_.appearance());
}

void Shell::applyEnvironment() {
  if (main_) applyEnvironment(main_);
  if (settings_) applyEnvironment(settings_);
  for (const auto& window : dashboards_) {
    if (window) applyEnvironment(window);
  }
}

void Shell::applyEnvironment(QWidget* root) {
  Environment::apply(root, Environment::densityValue(appSettings_.density()), appSettings_.colorBlindSafe());
}

}  // namespace kivo
