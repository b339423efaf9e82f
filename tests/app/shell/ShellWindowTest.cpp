#include "ShellTestSupport.h"
#include "TestSupport.h"

#include "design/Appearance.h"
#include "design/Environment.h"
#include "desktop/TrayHost.h"
#include "features/tray/MenuBarTray.h"
#include "settings/AppearanceChoice.h"
#include "shell/BookmarkDialog.h"
#include "shell/DashboardWindow.h"
#include "shell/MainWindow.h"
#include "shell/RootView.h"
#include "shell/SamplingFooter.h"
#include "shell/SettingsWindow.h"
#include "shell/Sidebar.h"
#include "shell/SidebarRow.h"
#include "storage/TimeSeriesStore.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace kivo {
namespace {

using test::ShellRig;

MainWindow* openMain(ShellRig& rig) {
  rig.shell->showMainWindow();
  test::settle();
  return rig.shell->mainWindow();
}

SidebarRow* row(MainWindow* window, const QString& section) {
  return window->findChild<SidebarRow*>(QStringLiteral("sidebar.") + section);
}

QString marker(MainWindow* window) {
  for (QWidget* child : window->findChildren<QWidget*>()) {
    if (child->objectName().startsWith(QStringLiteral("page."))) return child->objectName();
  }
  return {};
}

std::vector<StoredEvent> bookmarks(MonitorModel& model) {
  std::vector<StoredEvent> result;
  model.waitForWorker();
  model.events({EventKind::bookmark}, 100, &model,
               [&](std::vector<StoredEvent> events) { result = std::move(events); });
  model.waitForWorker();
  return result;
}

TelemetrySnapshot busySnapshot(int firing) {
  TelemetrySnapshot snapshot;
  snapshot.date = QDateTime::currentDateTimeUtc();
  snapshot.interval = 2;
  snapshot.values = {{MetricID::cpuTotal, 37.2}, {MetricID::netDown, 1500}};
  MemorySample memory;
  memory.physical = 16ull << 30;
  memory.used = 4ull << 30;
  snapshot.memory = memory;
  ProcessSample processes;
  processes.total = 321;
  snapshot.processes = processes;
  snapshot.power.charge = 80;
  for (int i = 0; i < firing; ++i) {
    AlertRule rule;
    rule.id = QUuid::createUuid();
    snapshot.firingRules.push_back(rule);
  }
  return snapshot;
}

TEST(ShellWindow, TheMainWindowHasItsTitleSizesAndEverySectionRow) {
  ShellRig rig;
  MainWindow* window = openMain(rig);
  ASSERT_TRUE(window);
  EXPECT_EQ(window->windowTitle(), "KIVO Monitor");
  EXPECT_EQ(window->minimumSize(), QSize(860, 560));
  // 1280 × 860 where the screen has room; the offscreen screen is smaller.
  const int titleBar = window->style()->pixelMetric(QStyle::PM_TitleBarHeight);
  EXPECT_EQ(window->size(),
            MainWindow::fittedSize(QApplication::primaryScreen()->availableGeometry().size(), titleBar));
  for (AppSection section : AppSections::allCases()) {
    SidebarRow* r = row(window, AppSections::rawValue(section));
    ASSERT_TRUE(r) << AppSections::rawValue(section).toStdString();
    EXPECT_TRUE(r->isCheckable());
    EXPECT_EQ(r->isChecked(), section == AppSection::overview);
  }
  EXPECT_TRUE(window->findChild<QToolButton*>(QStringLiteral("toolbar.bookmark")));
  EXPECT_TRUE(window->findChild<QToolButton*>(QStringLiteral("toolbar.pause")));
  // Showing the main window starts sampling.
  EXPECT_TRUE(rig.model->isStarted());
  // Not in test mode: no page marker.
  EXPECT_EQ(marker(window), QString());
}

TEST(ShellWindow, TheFirstWindowFitsTheScreen) {
  struct Case {
    QSize available;
    int titleBar;
    QSize expected;
  };
  const Case cases[] = {
      {{2560, 1440}, 30, {1280, 860}},  // room to spare: the default size
      {{1280, 800}, 30, {1280, 770}},   // 2560 × 1600 at scale 2: as tall as the screen allows
      {{1280, 770}, 0, {1280, 770}},    // a panel takes its share, no title bar
      {{1024, 700}, 30, {1024, 670}},   // narrower than the default
      {{800, 600}, 30, {860, 570}},     // never narrower than the minimum
      {{1280, 500}, 30, {1280, 560}},   // nor lower
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MainWindow::fittedSize(c.available, c.titleBar), c.expected)
        << c.available.width() << "x" << c.available.height();
  }
}

TEST(ShellWindow, BadgesAndFooterFollowScriptedSnapshots) {
  ShellRig rig;
  rig.model->shutdown();  // only scripted snapshots
  MainWindow* window = openMain(rig);
  auto* footer = window->findChild<SamplingFooter*>(QStringLiteral("sidebar.sampling"));
  ASSERT_TRUE(footer);

  for (AppSection section : AppSections::allCases()) {
    SidebarRow* r = row(window, AppSections::rawValue(section));
    EXPECT_FALSE(r->badge()) << AppSections::rawValue(section).toStdString();
    EXPECT_FALSE(r->capsule());
    EXPECT_FALSE(r->count());
  }
  EXPECT_EQ(footer->text(), "Starting…");

  rig.model->ingest(busySnapshot(3));
  EXPECT_EQ(row(window, "cpu")->badge(), "37%");
  EXPECT_EQ(row(window, "memory")->badge(), "25%");
  EXPECT_EQ(row(window, "network")->badge(), "↓ " + rig.model->format().rate(1500));
  EXPECT_EQ(row(window, "processes")->badge(), "321");
  EXPECT_EQ(row(window, "power")->badge(), "80%");
  EXPECT_FALSE(row(window, "gpu")->badge());
  EXPECT_FALSE(row(window, "disk")->badge());
  EXPECT_EQ(row(window, "alerts")->capsule(), 3);
  EXPECT_EQ(row(window, "alerts")->accessibleDescription(), "3 active alerts");
  EXPECT_EQ(footer->text(), "Sampling every 2.0 s");

  // Alerts stop firing, the battery goes away: the capsule and the power badge go with them.
  TelemetrySnapshot calm = busySnapshot(0);
  calm.power.charge.reset();
  rig.model->ingest(calm);
  EXPECT_FALSE(row(window, "alerts")->capsule());
  EXPECT_FALSE(row(window, "power")->badge());
}

TEST(ShellWindow, TheLaunchOptionChoosesTheSectionAndRowsSwitchThePage) {
  ShellRig rig({{"KIVOSection", "processes"}, {"KIVOUITest", "YES"}});
  MainWindow* window = openMain(rig);
  EXPECT_TRUE(row(window, "processes")->isChecked());
  EXPECT_EQ(window->root()->section(), AppSection::processes);
  EXPECT_EQ(marker(window), "page.processes");

  QWidget* before = window->root()->page();
  row(window, "cpu")->click();
  test::settle();
  EXPECT_EQ(window->root()->section(), AppSection::cpu);
  EXPECT_EQ(marker(window), "page.cpu");
  EXPECT_NE(window->root()->page(), before);  // a fresh page
  EXPECT_EQ(window->root()->page()->objectName(), "section.cpu");
  EXPECT_FALSE(row(window, "processes")->isChecked());

  // Every section is reachable by a click.
  for (AppSection section : AppSections::allCases()) {
    row(window, AppSections::rawValue(section))->click();
    EXPECT_EQ(marker(window), "page." + AppSections::rawValue(section));
  }
}

TEST(ShellWindow, AWordThatIsNoSectionOpensTheOverview) {
  ShellRig rig({{"KIVOSection", "sandwich"}, {"KIVOUITest", "YES"}});
  MainWindow* window = openMain(rig);
  EXPECT_TRUE(row(window, "overview")->isChecked());
  EXPECT_EQ(marker(window), "page.overview");
}

TEST(ShellWindow, PausingFromTheToolbarChangesTheFooterAndTheMenu) {
  ShellRig rig;
  MainWindow* window = openMain(rig);
  auto* pause = window->findChild<QToolButton*>(QStringLiteral("toolbar.pause"));
  auto* footer = window->findChild<SamplingFooter*>(QStringLiteral("sidebar.sampling"));
  EXPECT_EQ(window->pauseCommand()->text(), "Pause Sampling");
  EXPECT_EQ(pause->text(), "Pause Sampling");
  EXPECT_EQ(pause->toolTip(), "Pause sampling");

  pause->click();
  EXPECT_TRUE(rig.model->isPaused());
  EXPECT_EQ(footer->text(), "Sampling paused");
  EXPECT_TRUE(footer->isPaused());
  EXPECT_EQ(window->pauseCommand()->text(), "Resume Sampling");
  EXPECT_EQ(pause->text(), "Resume Sampling");
  EXPECT_EQ(pause->toolTip(), "Resume sampling");

  // The menu command toggles back, and the toolbar follows.
  window->pauseCommand()->trigger();
  EXPECT_FALSE(rig.model->isPaused());
  EXPECT_EQ(pause->text(), "Pause Sampling");
  EXPECT_NE(footer->text(), "Sampling paused");
}

TEST(ShellWindow, TheToolbarBookmarkAsksForANoteAndStoresIt) {
  ShellRig rig;
  MainWindow* window = openMain(rig);
  window->findChild<QToolButton*>(QStringLiteral("toolbar.bookmark"))->click();
  test::settle();
  auto* dialog = window->findChild<BookmarkDialog*>();
  ASSERT_TRUE(dialog);
  EXPECT_TRUE(dialog->isVisible());
  auto* note = dialog->findChild<QLineEdit*>(QStringLiteral("bookmark.note"));
  ASSERT_TRUE(note);
  EXPECT_EQ(note->placeholderText(), "Note (optional)");
  EXPECT_TRUE(note->text().isEmpty());
  note->setText(QStringLiteral("fans spun up"));
  dialog->findChild<QPushButton*>(QStringLiteral("bookmark.add"))->click();

  auto stored = bookmarks(*rig.model);
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored.front().payload.value(QStringLiteral("note")), "fans spun up");

  // Cancel stores nothing; the next prompt starts with an empty note.
  window->findChild<QToolButton*>(QStringLiteral("toolbar.bookmark"))->click();
  test::settle();
  QList<BookmarkDialog*> dialogs = window->findChildren<BookmarkDialog*>();
  ASSERT_FALSE(dialogs.isEmpty());
  BookmarkDialog* second = dialogs.last();
  EXPECT_TRUE(second->note().isEmpty());
  second->findChild<QPushButton*>(QStringLiteral("bookmark.cancel"))->click();
  EXPECT_EQ(bookmarks(*rig.model).size(), 1u);
}

TEST(ShellWindow, AddBookmarkWaitsForAHistoryAndSaysWhy) {
  QTemporaryDir data;
  // Another instance holds the history until it quits.
  auto other = std::make_unique<TimeSeriesStore>(data.filePath(QStringLiteral("telemetry.sqlite")));
  MonitorModel::Environment environment = test::quietEnvironment();
  environment.historyRetry = std::chrono::milliseconds(20);
  ShellRig rig({{QStringLiteral("KIVODataDir"), data.path()}}, environment);
  ASSERT_FALSE(rig.model->store());
  MainWindow* window = openMain(rig);
  auto* button = window->findChild<QToolButton*>(QStringLiteral("toolbar.bookmark"));
  ASSERT_TRUE(button);
  for (QAction* action : {window->bookmarkCommand(), button->defaultAction()}) {
    EXPECT_FALSE(action->isEnabled());
    EXPECT_EQ(action->toolTip(), "No history is open, so a bookmark cannot be kept.");
  }
  EXPECT_FALSE(button->isEnabled());

  rig.model->start();
  other.reset();
  ASSERT_TRUE(test::waitUntil([&] { return rig.model->store() != nullptr; }));
  test::settle();
  for (QAction* action : {window->bookmarkCommand(), button->defaultAction()}) {
    EXPECT_TRUE(action->isEnabled());
    EXPECT_EQ(action->toolTip(), "Mark this moment in the history");
  }
  window->bookmarkCommand()->trigger();
  EXPECT_EQ(bookmarks(*rig.model).size(), 1u);
}

TEST(ShellWindow, TheMonitorMenuCommands) {
  ShellRig rig;
  MainWindow* window = openMain(rig);
  QMenu* monitor = window->findChild<QMenu*>(QStringLiteral("menu.monitor"));
  ASSERT_TRUE(monitor);
  QStringList items;
  for (QAction* action : monitor->actions()) items << (action->isSeparator() ? "—" : action->text());
  EXPECT_EQ(items,
            (QStringList{"Pause Sampling", "Add Bookmark", "Refresh Insights", "—", "New Dashboard Window"}));
  EXPECT_EQ(window->pauseCommand()->shortcut(), QKeySequence("Ctrl+Shift+P"));
  EXPECT_EQ(window->bookmarkCommand()->shortcut(), QKeySequence("Ctrl+Shift+B"));
  EXPECT_EQ(window->refreshCommand()->shortcut(), QKeySequence("Ctrl+Shift+R"));
  EXPECT_EQ(window->dashboardCommand()->shortcut(), QKeySequence("Ctrl+Shift+D"));
  EXPECT_EQ(window->settingsCommand()->shortcut(), QKeySequence("Ctrl+,"));
  EXPECT_EQ(window->settingsCommand()->text(), "Settings…");

  // Add Bookmark stores an empty note at once, without a prompt.
  window->bookmarkCommand()->trigger();
  test::settle();
  EXPECT_FALSE(window->findChild<BookmarkDialog*>());
  auto stored = bookmarks(*rig.model);
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored.front().payload.value(QStringLiteral("note")), QString());

  window->refreshCommand()->trigger();
  rig.model->waitForWorker();
  EXPECT_TRUE(rig.model->findingsUpdated());

  // Each New Dashboard Window opens one more window with a layout id of its own.
  window->dashboardCommand()->trigger();
  window->dashboardCommand()->trigger();
  const auto dashboards = rig.shell->dashboardWindows();
  ASSERT_EQ(dashboards.size(), 2);
  EXPECT_NE(dashboards[0]->presetID(), dashboards[1]->presetID());
  EXPECT_EQ(dashboards[0]->windowTitle(), "Dashboard");
  EXPECT_EQ(dashboards[0]->minimumSize(), QSize(420, 300));
  EXPECT_EQ(dashboards[0]->size(), QSize(900, 620));
  EXPECT_TRUE(dashboards[0]->isVisible());

  // Settings… opens one settings window; asking again brings the same one forward.
  window->settingsCommand()->trigger();
  auto* settings = rig.shell->settingsWindow();
  ASSERT_TRUE(settings);
  EXPECT_EQ(settings->objectName(), "settings");
  EXPECT_EQ(settings->size(), QSize(600, 520));
  EXPECT_TRUE(settings->isVisible());
  window->settingsCommand()->trigger();
  EXPECT_EQ(rig.shell->settingsWindow(), settings);

  window->quitCommand()->trigger();
  EXPECT_EQ(rig.quitRequests, 1);
}

TEST(ShellWindow, TheSettingsWindowAndADashboardAloneNeverStartSamplingOrOnlyTheDashboardDoes) {
  ShellRig rig;
  rig.shell->openSettings();
  test::settle();
  EXPECT_FALSE(rig.model->isStarted());
  rig.shell->openDashboardWindow();
  test::settle();
  EXPECT_TRUE(rig.model->isStarted());
}

// Settings whose saving fails while `error` is set.
class FailingPreferences : public MemoryPreferences {
 public:
  QString saveError() const override { return error; }
  QString error;
};

TEST(ShellWindow, TheSettingsWindowSaysWhileSettingsCannotBeSaved) {
  ShellRig rig;
  FailingPreferences domain;
  AppSettings settings(domain);
  SettingsWindow window(*rig.model, settings);
  auto* line = window.findChild<QLabel*>(QStringLiteral("settings.saveError"));
  ASSERT_TRUE(line);
  EXPECT_TRUE(line->isHidden());

  domain.error = QStringLiteral("Cannot write “/cfg/settings.json”: The disk is full.");
  settings.setPrivacyMask(true);
  EXPECT_FALSE(line->isHidden());
  EXPECT_EQ(line->text(), QStringLiteral("Settings are not saved"));
  EXPECT_EQ(line->toolTip(), domain.error);

  domain.error.clear();
  settings.setPrivacyMask(false);
  EXPECT_TRUE(line->isHidden());
}

TEST(ShellWindow, ResizeToAppliesAfterTheDelayOnlyForExactlyTwoNumbers) {
  // The size the window opens at (the default, cut to the offscreen screen).
  const QSize opened = MainWindow::fittedSize(QApplication::primaryScreen()->availableGeometry().size(),
                                              QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight));
  const struct {
    const char* option;
    QSize expected;
  } cases[] = {
      {"1200x800", {1200, 800}},
      {"x1200x800", {1200, 800}},
      {"1200x800x600", opened},
      {"1200", opened},
  };
  for (const auto& c : cases) {
    ShellRig rig({{"KIVOResizeTo", c.option}});
    rig.shell->setResizeDelay(1000);
    MainWindow* window = openMain(rig);
    EXPECT_EQ(window->size(), opened) << c.option;  // not before the delay
    const QPoint topLeft = window->pos();
    test::waitUntil([&] { return window->size() != opened; }, 1500);
    EXPECT_EQ(window->size(), c.expected) << c.option;
    EXPECT_EQ(window->pos(), topLeft) << c.option;
  }
}

TEST(ShellWindow, ClosingTheMainWindowAndOpeningItAgainStartsFromTheLaunchSection) {
  ShellRig rig({{"KIVOSection", "memory"}});
  MainWindow* window = openMain(rig);
  row(window, "disk")->click();
  QPointer<MainWindow> first = window;
  window->close();
  test::waitUntil([&] { return first.isNull(); }, 2000);
  EXPECT_TRUE(first.isNull());
  MainWindow* again = openMain(rig);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->root()->section(), AppSection::memory);
}

TEST(ShellWindow, WithoutATrayClosingTheLastWindowQuits) {
  ShellRig rig;
  EXPECT_TRUE(QApplication::quitOnLastWindowClosed());
  rig.shell->setTrayVisible(true);
  EXPECT_FALSE(QApplication::quitOnLastWindowClosed());
  rig.shell->setTrayVisible(false);
  EXPECT_TRUE(QApplication::quitOnLastWindowClosed());
}

// A detached dashboard window carries the same File and Monitor menus, and their shortcuts work
// while it has the focus, with the main window closed.
TEST(ShellWindow, CommandsWorkFromAFocusedDashboardWindow) {
  ShellRig rig;
  DashboardWindow* dashboard = rig.shell->openDashboardWindow();
  QApplication::setActiveWindow(dashboard);
  dashboard->activateWindow();
  test::settle();
  ASSERT_EQ(QApplication::activeWindow(), dashboard);
  EXPECT_FALSE(rig.shell->mainWindow());

  auto* menus = dashboard->findChild<QMenuBar*>();
  ASSERT_TRUE(menus);
  QMenu* monitor = dashboard->findChild<QMenu*>(QStringLiteral("menu.monitor"));
  ASSERT_TRUE(monitor);
  QStringList items;
  for (QAction* action : monitor->actions()) items << (action->isSeparator() ? "—" : action->text());
  EXPECT_EQ(items,
            (QStringList{"Pause Sampling", "Add Bookmark", "Refresh Insights", "—", "New Dashboard Window"}));

  QTest::keyClick(dashboard, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_TRUE(rig.model->isPaused());
  EXPECT_EQ(monitor->actions().first()->text(), "Resume Sampling");
  QTest::keyClick(dashboard, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_FALSE(rig.model->isPaused());

  QTest::keyClick(dashboard, Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(bookmarks(*rig.model).size(), 1u);

  QTest::keyClick(dashboard, Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
  rig.model->waitForWorker();
  EXPECT_TRUE(rig.model->findingsUpdated());

  QTest::keyClick(dashboard, Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(rig.shell->dashboardWindows().size(), 2);

  QApplication::setActiveWindow(dashboard);
  QTest::keyClick(dashboard, Qt::Key_Comma, Qt::ControlModifier);
  ASSERT_TRUE(rig.shell->settingsWindow());
  EXPECT_TRUE(rig.shell->settingsWindow()->isVisible());

  // The settings window takes the same shortcuts.
  QApplication::setActiveWindow(rig.shell->settingsWindow());
  QTest::keyClick(rig.shell->settingsWindow(), Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_TRUE(rig.model->isPaused());
  EXPECT_FALSE(rig.shell->mainWindow());
}

// With the main window closed, a tray that goes away takes the only way back to the monitor
// with it: the main window opens again. Switching the icon off in the settings does not.
TEST(ShellWindow, WhenTheTrayLeavesWithTheMainWindowClosedTheMainWindowOpens) {
  bool host = true;
  ShellRig rig;
  Shell shell(*rig.model, *rig.settings, *rig.standard, nullptr, [&] { return host; });
  shell.setQuitRequest([] {});
  ASSERT_TRUE(shell.tray()->isShown());
  EXPECT_FALSE(QApplication::quitOnLastWindowClosed());
  EXPECT_FALSE(shell.mainWindow());

  host = false;
  shell.tray()->host().recheck();
  EXPECT_FALSE(shell.tray()->isShown());
  ASSERT_TRUE(shell.mainWindow());
  EXPECT_TRUE(shell.mainWindow()->isVisible());
  EXPECT_TRUE(QApplication::quitOnLastWindowClosed());

  // Back again, then switched off by the user: no window is forced open.
  host = true;
  shell.tray()->host().recheck();
  EXPECT_TRUE(shell.tray()->isShown());
  QPointer<MainWindow> main = shell.mainWindow();
  main->close();
  test::waitUntil([&] { return main.isNull(); }, 2000);
  ASSERT_TRUE(main.isNull());
  rig.settings->setShowMenuBar(false);
  EXPECT_FALSE(shell.tray()->isShown());
  EXPECT_FALSE(shell.mainWindow());
  rig.model->shutdown();
}

TEST(ShellWindow, AppearanceAndDensityReachEveryWindow) {
  ShellRig rig({{"KIVOSection", "cpu"}, {"KIVOUITest", "YES"}});
  rig.model->shutdown();
  MainWindow* window = openMain(rig);
  rig.model->ingest(busySnapshot(2));
  DashboardWindow* dashboard = rig.shell->openDashboardWindow();

  rig.settings->setAppearance(AppearanceChoice::light);
  test::settle();
  EXPECT_FALSE(Appearance::isDark(window));
  window->grab().save(test::outputDir() + "/shell-light.png");

  rig.settings->setAppearance(AppearanceChoice::dark);
  test::settle();
  EXPECT_TRUE(Appearance::isDark(window));
  EXPECT_TRUE(Appearance::isDark(dashboard));
  window->grab().save(test::outputDir() + "/shell-dark.png");

  rig.settings->setDensity(DensityChoice::compact);
  rig.settings->setColorBlindSafe(true);
  EXPECT_DOUBLE_EQ(Environment::density(window->root()->page()), 0.72);
  EXPECT_TRUE(Environment::colorBlindSafe(dashboard));
  window->resize(860, 560);
  test::settle();
  window->grab().save(test::outputDir() + "/shell-dark-minimum.png");
  rig.settings->setAppearance(AppearanceChoice::light);
}

}  // namespace
}  // namespace kivo
