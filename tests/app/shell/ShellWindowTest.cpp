#include "ShellTestSupport.h"
#include "TestSupport.h"

#include "design/Appearance.h"
#include "design/Environment.h"
#include "design/MetricFamily.h"
#include "design/Tokens.h"
#include "desktop/LaunchAtLogin.h"
#include "desktop/TrayHost.h"
#include "features/dashboard/WidgetCatalog.h"
#include "features/tray/MenuBarTray.h"
#include "settings/AppearanceChoice.h"
#include "shell/BookmarkDialog.h"
#include "shell/BookmarkNote.h"
#include "shell/DashboardWindow.h"
#include "shell/MainWindow.h"
#include "shell/RootView.h"
#include "shell/SamplingFooter.h"
#include "shell/SettingsWindow.h"
#include "shell/Sidebar.h"
#include "shell/SidebarRow.h"
#include "shell/WindowFit.h"
#include "storage/TimeSeriesStore.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
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

// Whether some pixel of the image is the colour (within a rounding step or two).
bool shows(const QImage& image, const QColor& colour) {
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < argb.height(); ++y) {
    for (int x = 0; x < argb.width(); ++x) {
      const QColor pixel = argb.pixelColor(x, y);
      if (pixel.alpha() == 255 && std::abs(pixel.red() - colour.red()) <= 2 &&
          std::abs(pixel.green() - colour.green()) <= 2 && std::abs(pixel.blue() - colour.blue()) <= 2)
        return true;
    }
  }
  return false;
}

TEST(ShellWindow, TheMainWindowHasItsTitleSizesAndEverySectionRow) {
  ShellRig rig;
  MainWindow* window = openMain(rig);
  ASSERT_TRUE(window);
  EXPECT_EQ(window->windowTitle(), "KIVO Monitor");
  // 1280 × 860 (at least 860 × 560) where the screen has room; the offscreen screen is smaller.
  const auto fitted = WindowFit::fit(QApplication::primaryScreen()->availableGeometry(),
                                     window->style()->pixelMetric(QStyle::PM_TitleBarHeight),
                                     MainWindow::kDefaultSize, MainWindow::kMinimumSize);
  EXPECT_EQ(window->minimumSize(), fitted.minimum);
  EXPECT_EQ(window->size(), fitted.size);
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

// The frame of a window placed by WindowFit: its content under a title bar.
QRect frameOf(const QPoint& position, const QSize& size, int titleBar) {
  return {position, QSize(size.width(), size.height() + titleBar)};
}

TEST(ShellWindow, WindowsFitTheFreeAreaOfTheScreenTheyOpenOn) {
  struct Case {
    const char* screen;
    QRect available;  // device-independent pixels, less the panels
    QSize main;
    QSize mainMinimum;
    QSize dashboard;
  };
  const int titleBar = 30;
  const Case cases[] = {
      {"2560x1440", {0, 0, 2560, 1440}, {1280, 860}, {860, 560}, {900, 620}},
      {"1024x600", {0, 0, 1024, 600}, {1024, 570}, {860, 560}, {900, 570}},
      // A 32 px panel at the top: the minimum gives way so the footer stays on the screen.
      {"1024x600, 32 px panel", {0, 32, 1024, 568}, {1024, 538}, {860, 538}, {900, 538}},
      {"1280x800 at scale 2", {0, 0, 640, 400}, {640, 370}, {640, 370}, {640, 370}},
      {"2560x1600 at scale 2, 24 px panel", {0, 0, 1280, 776}, {1280, 746}, {860, 560}, {900, 620}},
      {"second screen, 800x600", {1920, 0, 800, 600}, {800, 570}, {800, 560}, {800, 570}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.screen);
    const auto main =
        WindowFit::fit(c.available, titleBar, MainWindow::kDefaultSize, MainWindow::kMinimumSize);
    EXPECT_EQ(main.size, c.main);
    EXPECT_EQ(main.minimum, c.mainMinimum);
    const auto dashboard =
        WindowFit::fit(c.available, titleBar, DashboardWindow::kDefaultSize, DashboardWindow::kMinimumSize);
    EXPECT_EQ(dashboard.size, c.dashboard);
    EXPECT_EQ(dashboard.minimum, DashboardWindow::kMinimumSize.boundedTo(c.dashboard));
    for (const auto& placement : {main, dashboard}) {
      EXPECT_TRUE(c.available.contains(frameOf(placement.position, placement.size, titleBar)));
      EXPECT_EQ(placement.size.expandedTo(placement.minimum), placement.size);
    }
  }
}

TEST(ShellWindow, TheOpenedWindowsLieWithinTheScreen) {
  // The test screen (800 × 600) is narrower than the main window's usual minimum.
  ShellRig rig;
  MainWindow* window = openMain(rig);
  ASSERT_TRUE(window);
  DashboardWindow* dashboard = rig.shell->openDashboardWindow();
  test::settle();
  const QRect available = QApplication::primaryScreen()->availableGeometry();
  for (QWidget* opened : {static_cast<QWidget*>(window), static_cast<QWidget*>(dashboard)}) {
    SCOPED_TRACE(opened->objectName().toStdString());
    const int titleBar = opened->style()->pixelMetric(QStyle::PM_TitleBarHeight);
    EXPECT_TRUE(available.contains(frameOf(opened->pos(), opened->size(), titleBar)));
    EXPECT_LE(opened->minimumWidth(), available.width());
    EXPECT_LE(opened->minimumHeight() + titleBar, available.height());
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
  ASSERT_FALSE(rig.model->hasHistory());
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
  ASSERT_TRUE(test::waitUntil([&] { return rig.model->hasHistory(); }));
  test::settle();
  for (QAction* action : {window->bookmarkCommand(), button->defaultAction()}) {
    EXPECT_TRUE(action->isEnabled());
    EXPECT_EQ(action->toolTip(), "Mark this moment in the history");
  }
  window->bookmarkCommand()->trigger();
  EXPECT_EQ(bookmarks(*rig.model).size(), 1u);
}

TEST(ShellWindow, AddingABookmarkWithoutADialogSaysSoBriefly) {
  ShellRig rig;
  MainWindow* window = openMain(rig);
  DashboardWindow* dashboard = rig.shell->openDashboardWindow();
  test::settle();
  QList<BookmarkNote*> notes;
  for (QWidget* root : {static_cast<QWidget*>(window), static_cast<QWidget*>(dashboard)}) {
    auto* note = root->findChild<BookmarkNote*>(QStringLiteral("bookmark.added"));
    ASSERT_TRUE(note);
    EXPECT_FALSE(note->isVisible());
    note->setDuration(50);
    notes << note;
  }
  // Monitor ▸ Add Bookmark (Ctrl+Shift+B) adds one at once, from any window; each says it.
  window->bookmarkCommand()->trigger();
  for (BookmarkNote* note : notes) {
    ASSERT_TRUE(test::waitUntil([&] { return note->isVisible(); }));
    EXPECT_EQ(note->text(), "Bookmark added");
  }
  window->grab().save(test::outputDir() + "/bookmark-added.png");
  EXPECT_EQ(bookmarks(*rig.model).size(), 1u);
  for (BookmarkNote* note : notes) EXPECT_TRUE(test::waitUntil([&] { return !note->isVisible(); }));
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
  LaunchAtLogin launchAtLogin;
  SettingsWindow window(*rig.model, settings, launchAtLogin);
  window.setAttribute(Qt::WA_DontShowOnScreen);
  window.show();
  auto* line = window.findChild<QLabel*>(QStringLiteral("settings.saveError"));
  ASSERT_TRUE(line);
  EXPECT_TRUE(line->isHidden());

  domain.error = QStringLiteral("Cannot write “/cfg/settings.json”: The disk is full.");
  settings.setPrivacyMask(true);
  test::settle();
  EXPECT_FALSE(line->isHidden());
  EXPECT_EQ(line->toolTip(), domain.error);
  EXPECT_EQ(line->accessibleName(), "Settings are not saved");
  // Every tab keeps its whole width beside the line, with no scroll arrows, at 600 px and wider;
  // where the words do not fit beside them a warning sign stands for them.
  QTabBar* tabs = window.tabBar();
  for (const auto& [width, shown] :
       {std::pair{600, QStringLiteral("\u26A0")}, std::pair{900, QStringLiteral("Settings are not saved")}}) {
    SCOPED_TRACE(width);
    window.resize(width, 520);
    test::settle();
    EXPECT_EQ(line->text(), shown);
    EXPECT_GE(tabs->width(), tabs->sizeHint().width());
    for (int i = 0; i < tabs->count(); ++i) EXPECT_LE(tabs->tabRect(i).right(), tabs->width()) << i;
    for (const QToolButton* arrow : tabs->findChildren<QToolButton*>()) EXPECT_FALSE(arrow->isVisible());
    EXPECT_FALSE(line->geometry().intersects(tabs->geometry()));
    window.grab().save(test::outputDir() + QStringLiteral("/settings-not-saved-%1.png").arg(width));
  }

  domain.error.clear();
  settings.setPrivacyMask(false);
  EXPECT_TRUE(line->isHidden());
}

TEST(ShellWindow, ResizeToAppliesAfterTheDelayOnlyForExactlyTwoNumbers) {
  // The size the window opens at (the default, cut to the offscreen screen).
  const QSize opened = WindowFit::fit(QApplication::primaryScreen()->availableGeometry(),
                                      QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight),
                                      MainWindow::kDefaultSize, MainWindow::kMinimumSize)
                           .size;
  const struct {
    const char* option;
    QSize expected;
  } cases[] = {
      {"1200x800", {1200, 800}},
      {"x1200x800", {1200, 800}},
      {"1200x800x600", opened},
      {"1200", opened},
  };
  constexpr int kDelay = 500;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.option);
    ShellRig rig({{"KIVOResizeTo", c.option}});
    rig.shell->setResizeDelay(kDelay);
    QElapsedTimer opening;
    opening.start();
    MainWindow* window = openMain(rig);
    // Not before the delay; a busy machine may take longer than that to open the window.
    if (!opening.hasExpired(kDelay)) {
      EXPECT_EQ(window->size(), opened);
    }
    const QPoint topLeft = window->pos();
    // Started after the shell's own timer and twice as long: when it fires, the delay has passed.
    bool delayPassed = false;
    QTimer::singleShot(2 * kDelay, Qt::PreciseTimer, window, [&] { delayPassed = true; });
    ASSERT_TRUE(test::waitUntil([&] { return delayPassed; }));
    test::waitUntil([&] { return window->size() == c.expected; });
    EXPECT_EQ(window->size(), c.expected);
    EXPECT_EQ(window->pos(), topLeft);
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

TEST(ShellWindow, TintedIconsFollowTheAppearanceAndTheColourBlindChoice) {
  ShellRig rig({{"KIVOSection", "processes"}});
  rig.model->shutdown();
  rig.settings->setAppearance(AppearanceChoice::light);
  MainWindow* window = openMain(rig);
  DashboardWindow* dashboard = rig.shell->openDashboardWindow();
  test::settle();
  auto* toggle = window->findChild<QToolButton*>(QStringLiteral("processes.inspectorToggle"));
  auto* lock = window->findChild<QWidget*>(QStringLiteral("processes.restricted.lock"));
  auto* bookmark = window->findChild<QToolButton*>(QStringLiteral("toolbar.bookmark"));
  auto* add = dashboard->findChild<QToolButton*>(QStringLiteral("dashboard.add"));
  ASSERT_TRUE(toggle && lock && bookmark && add && add->menu());
  const QList<QAction*> kinds = add->menu()->actions();
  ASSERT_EQ(kinds.size(), static_cast<int>(WidgetKinds::allCases().size()));

  // What each icon draws, as the widget paints it (the menu's icons as the menu asks for them).
  const auto check = [&](bool dark, bool safe) {
    SCOPED_TRACE(std::string(dark ? "dark" : "light") + (safe ? ", colour-blind safe" : ""));
    const QColor secondary = Palette::textSecondary.resolve(dark);
    const QColor other = Palette::textSecondary.resolve(!dark);
    for (QWidget* widget : {static_cast<QWidget*>(toggle), lock, static_cast<QWidget*>(bookmark)}) {
      const QImage drawn = widget->grab().toImage();
      EXPECT_TRUE(shows(drawn, secondary)) << widget->objectName().toStdString();
      EXPECT_FALSE(shows(drawn, other)) << widget->objectName().toStdString();
    }
    int i = 0;
    for (WidgetKind kind : WidgetKinds::allCases()) {
      const QImage icon = kinds[i++]->icon().pixmap(16).toImage();
      const QColor family = MetricFamilies::color(WidgetCatalog::family(kind), safe).resolve(dark);
      EXPECT_TRUE(shows(icon, family)) << WidgetKinds::rawString(kind).toStdString();
    }
  };
  check(false, false);
  rig.settings->setAppearance(AppearanceChoice::dark);
  test::settle();
  check(true, false);
  rig.settings->setColorBlindSafe(true);
  test::settle();
  check(true, true);
  rig.settings->setAppearance(AppearanceChoice::light);
  test::settle();
  check(false, true);
}

}  // namespace
}  // namespace kivo
