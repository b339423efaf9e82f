#include "features/tray/MenuBarTray.h"

#include "desktop/TrayHost.h"

#include "TraySupport.h"
#include "features/tray/MenuBarPanel.h"
#include "features/tray/TrayPopup.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>

namespace kivo {
namespace {

using test::busySnapshot;
using test::ModelRig;

QStringList menuTexts(const QMenu& menu) {
  QStringList texts;
  for (QAction* action : menu.actions()) {
    if (!action->isSeparator()) texts << action->text();
  }
  return texts;
}

TEST(MenuBarTray, ShownOnlyWhileTheSettingIsOnAndATrayHostExists) {
  ModelRig rig;
  bool host = true;
  rig.settings->setShowMenuBar(false);
  MenuBarTray tray(*rig.model, *rig.settings, {}, nullptr, [&] { return host; });
  std::vector<bool> changes;
  QObject::connect(&tray, &MenuBarTray::shownChanged, [&](bool shown) { changes.push_back(shown); });
  EXPECT_FALSE(tray.isShown());
  EXPECT_FALSE(tray.trayIcon());
  EXPECT_FALSE(rig.model->isStarted());

  rig.settings->setShowMenuBar(true);
  EXPECT_TRUE(tray.isShown());
  EXPECT_TRUE(tray.trayIcon()->isVisible());
  EXPECT_TRUE(rig.model->isStarted());  // the tray, once shown, starts sampling

  rig.settings->setShowMenuBar(false);
  EXPECT_FALSE(tray.isShown());
  EXPECT_FALSE(tray.trayIcon());
  EXPECT_EQ(changes, (std::vector<bool>{true, false}));

  // Without a tray host the setting alone shows nothing.
  host = false;
  tray.updateVisibility();
  rig.settings->setShowMenuBar(true);
  EXPECT_FALSE(tray.isShown());
  host = true;
  tray.updateVisibility();
  EXPECT_TRUE(tray.isShown());
  rig.model->shutdown();
}

// Started before the desktop's panel (as at login), the icon appears when a tray host
// arrives, goes with it and comes back with the next one, without touching the setting.
TEST(MenuBarTray, TheIconFollowsTrayHostsAsTheyComeAndGo) {
  ModelRig rig;
  bool host = false;
  MenuBarTray tray(*rig.model, *rig.settings, {}, nullptr, [&] { return host; });
  std::vector<bool> changes;
  QObject::connect(&tray, &MenuBarTray::shownChanged, [&](bool shown) { changes.push_back(shown); });
  EXPECT_FALSE(tray.isShown());
  EXPECT_FALSE(tray.trayIcon());
  EXPECT_FALSE(rig.model->isStarted());

  host = true;
  tray.host().recheck();
  EXPECT_TRUE(tray.isShown());
  ASSERT_TRUE(tray.trayIcon());
  EXPECT_TRUE(tray.trayIcon()->isVisible());
  EXPECT_FALSE(tray.trayIcon()->icon().isNull());
  EXPECT_EQ(tray.trayIcon()->contextMenu(), tray.menu());
  EXPECT_EQ(tray.trayIcon()->toolTip(),
            QStringLiteral("KIVO Monitor\nCPU \u2013\nMemory \u2013\nNetwork \u2191 \u2013  \u2193 \u2013"));
  EXPECT_TRUE(rig.model->isStarted());

  host = false;
  tray.host().recheck();
  EXPECT_FALSE(tray.isShown());
  EXPECT_FALSE(tray.trayIcon());

  // The next host gets a fresh icon with the newest figures.
  rig.model->ingest(busySnapshot(1, 42));
  host = true;
  tray.host().recheck();
  ASSERT_TRUE(tray.trayIcon());
  EXPECT_TRUE(tray.trayIcon()->isVisible());
  EXPECT_TRUE(tray.trayIcon()->toolTip().contains(QStringLiteral("CPU 42%")));
  EXPECT_EQ(changes, (std::vector<bool>{true, false, true}));
  rig.model->shutdown();
}

TEST(MenuBarTray, IconRedrawnOnlyWhenTheAlertChangesAndTheTooltipFollowsTheIndicators) {
  ModelRig rig;
  rig.settings->setMenuBarItems({MenuBarItem::cpu, MenuBarItem::memory});
  MenuBarTray tray(*rig.model, *rig.settings, {}, nullptr, [] { return true; });
  EXPECT_EQ(tray.iconDraws(), 1);
  EXPECT_EQ(tray.trayIcon()->toolTip(), QStringLiteral("KIVO Monitor\nCPU \u2013\nMemory \u2013"));
  for (int i = 0; i < 5; ++i) rig.model->ingest(busySnapshot(i, 20 + i));
  EXPECT_EQ(tray.iconDraws(), 1);
  EXPECT_EQ(tray.trayIcon()->toolTip(), QStringLiteral("KIVO Monitor\nCPU 24%\nMemory 38%"));
  // Choosing other indicators changes the tooltip at once, in the settings' order.
  rig.settings->setMenuBarItems({MenuBarItem::network, MenuBarItem::disk, MenuBarItem::battery});
  EXPECT_EQ(tray.trayIcon()->toolTip(),
            QStringLiteral("KIVO Monitor\nNetwork \u2191 84K  \u2193 2.1M\nDisk activity R 2.5M  W 12M"));
  rig.settings->setMenuBarItems({MenuBarItem::cpu, MenuBarItem::memory});

  TelemetrySnapshot firing = busySnapshot(5, 90);
  AlertRule rule;
  rule.id = QUuid::createUuid();
  firing.firingRules = {rule};
  rig.model->ingest(firing);
  firing.date = firing.date.addSecs(1);
  rig.model->ingest(firing);
  EXPECT_EQ(tray.iconDraws(), 2);
  EXPECT_EQ(tray.trayIcon()->toolTip(), QStringLiteral("KIVO Monitor\nCPU 90%\nMemory 38%\n1 active alert"));
  rig.model->ingest(busySnapshot(7, 10));
  EXPECT_EQ(tray.iconDraws(), 3);
  rig.model->shutdown();
}

TEST(MenuBarTray, MenuOffersOpenPauseSettingsAndQuit) {
  ModelRig rig;
  int opened = 0, settings = 0, quits = 0;
  MenuBarActions actions;
  actions.openMain = [&] { ++opened; };
  actions.openSettings = [&] { ++settings; };
  actions.quit = [&] { ++quits; };
  MenuBarTray tray(*rig.model, *rig.settings, actions, nullptr, [] { return false; });
  EXPECT_EQ(menuTexts(*tray.menu()),
            (QStringList{QStringLiteral("Open KIVO Monitor"), QStringLiteral("Pause Sampling"),
                         QStringLiteral("Settings…"), QStringLiteral("Quit KIVO Monitor")}));
  const auto items = tray.menu()->actions();
  items[1]->trigger();
  EXPECT_TRUE(rig.model->isPaused());
  EXPECT_EQ(items[1]->text(), QStringLiteral("Resume Sampling"));
  rig.model->setPaused(false);  // from elsewhere: the menu follows
  EXPECT_EQ(items[1]->text(), QStringLiteral("Pause Sampling"));
  items[0]->trigger();
  items[2]->trigger();
  items[4]->trigger();  // after the separator
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(settings, 1);
  EXPECT_EQ(quits, 1);
}

TEST(MenuBarTray, PanelOpensAsAPopupAndClosesWhenAButtonLeavesIt) {
  ModelRig rig;
  int opened = 0;
  MenuBarActions actions;
  actions.openMain = [&] { ++opened; };
  MenuBarTray tray(*rig.model, *rig.settings, actions, nullptr, [] { return false; });
  EXPECT_FALSE(tray.panel());
  tray.togglePanel();
  ASSERT_TRUE(tray.panel());
  EXPECT_TRUE(tray.panel()->isVisible());
  EXPECT_TRUE(tray.panel()->windowFlags().testFlag(Qt::Popup));
  EXPECT_EQ(tray.panel()->width(), 310);
  tray.panel()->findChild<QWidget*>(QStringLiteral("menubar.open"))->setFocus();
  QMetaObject::invokeMethod(tray.panel()->findChild<QObject*>(QStringLiteral("menubar.open")), "click");
  EXPECT_EQ(opened, 1);
  EXPECT_FALSE(tray.panel()->isVisible());
}

// Where no popup can open (Wayland with no window of ours focused), the panel and the menu open
// as undecorated windows that close as a popup would when focus leaves them.
TEST(MenuBarTray, AsWindowsThePanelAndMenuCloseWhenFocusLeaves) {
  ModelRig rig;
  MenuBarTray tray(*rig.model, *rig.settings, {}, nullptr, [] { return false; });
  TrayPopup how{TrayPopup::Kind::window};
  tray.setPopupChoice([&] { return how; });
  tray.togglePanel(QPoint(900, 10));
  ASSERT_TRUE(tray.panel());
  tray.showMenu(QPoint(900, 10));
  for (QWidget* popup : {static_cast<QWidget*>(tray.panel()), static_cast<QWidget*>(tray.menu())}) {
    EXPECT_TRUE(popup->isVisible());
    EXPECT_FALSE(popup->windowFlags().testFlag(Qt::Popup));
    EXPECT_TRUE(popup->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(popup->minimumWidth(), popup->maximumWidth());  // floats on tiling compositors
    QEvent deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(popup, &deactivate);
    EXPECT_FALSE(popup->isVisible());
  }
  // Where a popup can open again, it is one, of the menu's own size.
  how = TrayPopup{TrayPopup::Kind::popup};
  tray.showMenu(QPoint(900, 10));
  EXPECT_TRUE(tray.menu()->windowFlags().testFlag(Qt::Popup));
  EXPECT_NE(tray.menu()->minimumSize(), tray.menu()->maximumSize());
  tray.menu()->hide();
  EXPECT_EQ(tray.panel()->width(), MenuBarPanel::kWidth);
}

TEST(MenuBarTray, PopupPositionTable) {
  const QRect screen(0, 0, 1600, 1000);
  const QSize popup(310, 500);
  const struct {
    QRect icon;
    QPoint at;
  } cases[] = {
      {QRect(), QPoint(1600 - 8 - 310, 8)},                               // no geometry: top right
      {QRect(1500, 0, 24, 24), QPoint(1600 - 8 - 310, 24 + 4)},           // top bar, near the right edge
      {QRect(800, 0, 24, 24), QPoint(811 - 155, 28)},                     // centred under the icon
      {QRect(10, 0, 24, 24), QPoint(8, 28)},                              // kept on the screen at the left
      {QRect(1500, 976, 24, 24), QPoint(1600 - 8 - 310, 976 - 4 - 500)},  // bottom bar: above it
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MenuBarTray::popupPosition(c.icon, screen, popup), c.at) << c.icon.x() << "," << c.icon.y();
  }
  // A second screen to the right, with its own origin.
  EXPECT_EQ(MenuBarTray::popupPosition(QRect(), QRect(1600, 0, 1920, 1080), popup),
            QPoint(1600 + 1920 - 8 - 310, 8));
}

TEST(MenuBarTray, IconIsTheLogoWithADotWhileAlertsFire) {
  const QImage calm = MenuBarTray::iconImage(32, false, 2);
  const QImage alert = MenuBarTray::iconImage(32, true, 2);
  EXPECT_EQ(calm.size(), QSize(64, 64));
  EXPECT_GT(qAlpha(calm.pixel(32, 32)), 200);  // the logo fills the square
  const QRgb dot = alert.pixel(64 - 7, 7);
  EXPECT_GT(qRed(dot), 150);
  EXPECT_LT(qGreen(dot), 90);
  EXPECT_NE(calm.pixel(64 - 7, 7), dot);
  QImage sheet(160, 80, QImage::Format_ARGB32_Premultiplied);
  sheet.fill(QColor(40, 40, 40));
  {
    QPainter painter(&sheet);
    QImage a = calm, b = alert;
    a.setDevicePixelRatio(1);
    b.setDevicePixelRatio(1);
    painter.drawImage(8, 8, a);
    painter.drawImage(88, 8, b);
  }
  EXPECT_TRUE(sheet.save(test::trayOutput(QStringLiteral("tray-icons.png"))));
}

// On Wayland a popup needs a focused window of ours to hang from; elsewhere it is a popup.
TEST(TrayPopup, APopupWhereOneCanOpenAndAWindowThatClosesOnFocusLossElsewhere) {
  const struct {
    bool wayland;
    bool focused;
    TrayPopup::Kind kind;
  } cases[] = {
      {false, false, TrayPopup::Kind::popup},
      {false, true, TrayPopup::Kind::popup},
      {true, true, TrayPopup::Kind::popup},
      {true, false, TrayPopup::Kind::window},
  };
  for (const auto& c : cases) {
    const TrayPopup how = TrayPopup::choose(c.wayland, c.focused);
    EXPECT_EQ(how.kind, c.kind) << c.wayland << c.focused;
    EXPECT_EQ(how.placeable(), c.kind == TrayPopup::Kind::popup);
    EXPECT_EQ(how.closesWhenFocusLeaves(), c.kind == TrayPopup::Kind::window);
    EXPECT_EQ(how.flags().testFlag(Qt::Popup), c.kind == TrayPopup::Kind::popup);
    EXPECT_EQ(how.flags().testFlag(Qt::FramelessWindowHint), c.kind == TrayPopup::Kind::window);
  }
}

}  // namespace
}  // namespace kivo
