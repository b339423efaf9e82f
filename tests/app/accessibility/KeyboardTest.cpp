// Each window with the keyboard alone: keys pressed as the window system delivers them, so
// shortcuts and mnemonics take part.

#include "../shell/ShellTestSupport.h"
#include "TestSupport.h"

#include "design/Appearance.h"
#include "design/Card.h"
#include "design/FocusRing.h"
#include "design/Tokens.h"
#include "features/tray/MenuBarPanel.h"
#include "settings/AppSettings.h"
#include "settings/AppearanceChoice.h"
#include "shell/BookmarkDialog.h"
#include "shell/DashboardWindow.h"
#include "shell/MainWindow.h"
#include "shell/RootView.h"
#include "shell/SettingsWindow.h"
#include "shell/SidebarRow.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace kivo {
namespace {

using test::ShellRig;

MainWindow* openMain(ShellRig& rig) {
  rig.shell->showMainWindow();
  MainWindow* window = rig.shell->mainWindow();
  QApplication::setActiveWindow(window);
  test::settle();
  return window;
}

// Presses Tab until `name` has the focus; the names of the stops passed on the way otherwise.
QString tabTo(QWidget* window, const QString& name, int limit = 400) {
  QStringList passed;
  for (int i = 0; i < limit; ++i) {
    QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && focus->objectName() == name) return {};
    QTest::keyClick(focus != nullptr ? focus : window, Qt::Key_Tab);
    if (QApplication::focusWidget() != nullptr) passed << QApplication::focusWidget()->objectName();
  }
  return passed.join(QLatin1Char(' '));
}

QMenu* openMenu() {
  return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

void closePopups() {
  while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  test::settle();
}

TEST(Keyboard, TheMainWindowsToolbarMenusAndSidebarAnswerKeys) {
  ShellRig rig({{QStringLiteral("KIVOUITest"), QStringLiteral("YES")}});
  MainWindow* window = openMain(rig);
  ASSERT_EQ(QApplication::activeWindow(), window);

  // Tab reaches both toolbar buttons; Space on the bookmark asks for its note.
  EXPECT_EQ(tabTo(window, QStringLiteral("toolbar.bookmark")), QString());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("toolbar.pause"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  test::settle();
  auto* dialog = window->findChild<BookmarkDialog*>();
  ASSERT_TRUE(dialog);
  EXPECT_TRUE(dialog->isVisible());
  dialog->reject();
  test::settle();
  QApplication::setActiveWindow(window);

  // F10, Alt+F and Alt+M open the menus; Alt alone puts the bar in keyboard mode.
  const QList<QAction*> menus = window->menuBar()->actions();
  ASSERT_EQ(menus.size(), 2);
  struct Case {
    QKeyCombination keys;
    QAction* menu;
  };
  for (const Case& c : {Case{QKeyCombination(Qt::Key_F10), menus[0]},
                        Case{QKeyCombination(Qt::AltModifier, Qt::Key_F), menus[0]},
                        Case{QKeyCombination(Qt::AltModifier, Qt::Key_M), menus[1]}}) {
    QTest::keyClick(window, c.keys.key(), c.keys.keyboardModifiers());
    test::settle();
    QMenu* open = openMenu();
    EXPECT_TRUE(open != nullptr && open == c.menu->menu()) << c.menu->text().toStdString();
    closePopups();
  }
  QWidget* row = window->findChild<SidebarRow*>(QStringLiteral("sidebar.cpu"));
  row->setFocus(Qt::TabFocusReason);
  QTest::keyPress(row, Qt::Key_Alt, Qt::AltModifier);
  QTest::keyRelease(row, Qt::Key_Alt, Qt::AltModifier);
  EXPECT_EQ(window->menuBar()->activeAction(), menus[0]);
  QTest::keyClick(window->menuBar(), Qt::Key_Down);
  test::settle();
  EXPECT_TRUE(openMenu() != nullptr && openMenu() == menus[0]->menu());
  closePopups();
  QTest::keyClick(window, Qt::Key_Escape);

  // Return opens a focused row; the arrow keys move from any focused row, not just the open one.
  auto rowOf = [window](const char* section) {
    return window->findChild<SidebarRow*>(QStringLiteral("sidebar.") + QLatin1String(section));
  };
  rowOf("cpu")->setFocus(Qt::TabFocusReason);
  QTest::keyClick(rowOf("cpu"), Qt::Key_Return);
  EXPECT_EQ(window->root()->section(), AppSection::cpu);
  rowOf("memory")->setFocus(Qt::TabFocusReason);  // focused, not opened
  EXPECT_EQ(window->root()->section(), AppSection::cpu);
  QTest::keyClick(rowOf("memory"), Qt::Key_Down);
  test::settle();
  EXPECT_EQ(window->root()->section(), AppSection::disk);
  EXPECT_EQ(QApplication::focusWidget(), rowOf("disk"));
  QTest::keyClick(rowOf("disk"), Qt::Key_Up);
  QTest::keyClick(rowOf("memory"), Qt::Key_Up);
  test::settle();
  EXPECT_EQ(window->root()->section(), AppSection::gpu);
  EXPECT_EQ(QApplication::focusWidget(), rowOf("gpu"));
}

TEST(Keyboard, EscapeClosesTheSettingsWindow) {
  ShellRig rig;
  rig.shell->openSettings();
  QPointer<SettingsWindow> settings = rig.shell->settingsWindow();
  QApplication::setActiveWindow(settings);
  test::settle();
  ASSERT_TRUE(settings && settings->isVisible());
  QTest::keyClick(settings->currentWidget(), Qt::Key_Escape);
  test::settle();
  EXPECT_TRUE(settings.isNull() || !settings->isVisible());
}

TEST(Keyboard, TabReachesTheDashboardWindowsButtonsAndTheTrayPanels) {
  ShellRig rig;
  DashboardWindow* dashboard = rig.shell->openDashboardWindow();
  QApplication::setActiveWindow(dashboard);
  test::settle();
  for (const char* name : {"dashboard.layout", "dashboard.edit"}) {
    EXPECT_EQ(tabTo(dashboard, QLatin1String(name)), QString()) << name;
  }
  dashboard->close();

  MenuBarPanel panel(*rig.model, {});
  panel.show();
  QApplication::setActiveWindow(&panel);
  test::settle();
  for (const char* name : {"menubar.pause", "menubar.open", "menubar.settings", "menubar.quit"}) {
    EXPECT_EQ(tabTo(&panel, QLatin1String(name)), QString()) << name;
  }
}

Card* cardOf(QWidget* widget) {
  for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    if (auto* card = qobject_cast<Card*>(w)) return card;
  }
  return nullptr;
}

// Tab walks each page as it reads, top to bottom: within a card the focus never moves to a
// control above the one it leaves (a row's controls share a line and go left to right).
TEST(Keyboard, TabFollowsEachPageTopToBottom) {
  ShellRig rig({{QStringLiteral("KIVOUITest"), QStringLiteral("YES")}});
  rig.model->shutdown();
  MainWindow* window = openMain(rig);
  window->resize(1100, 900);
  for (AppSection section : AppSections::allCases()) {
    const std::string raw = AppSections::rawValue(section).toStdString();
    window->root()->select(section);
    test::settle();
    QWidget* page = window->root()->page();
    window->findChild<SidebarRow*>(QStringLiteral("sidebar.") + AppSections::rawValue(section))
        ->setFocus(Qt::TabFocusReason);
    // Into the page, then through it until the focus leaves it.
    std::vector<QWidget*> stops;
    for (int i = 0; i < 400; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QWidget* focus = QApplication::focusWidget();
      ASSERT_TRUE(focus) << raw;
      const bool inside = page->isAncestorOf(focus);
      if (!inside && !stops.empty()) break;
      if (inside) {
        if (std::find(stops.begin(), stops.end(), focus) != stops.end()) break;  // round again
        stops.push_back(focus);
      }
    }
    for (std::size_t i = 1; i < stops.size(); ++i) {
      Card* card = cardOf(stops[i]);
      if (card == nullptr || card != cardOf(stops[i - 1])) continue;
      const QRect before(stops[i - 1]->mapTo(card, QPoint(0, 0)), stops[i - 1]->size());
      const QRect after(stops[i]->mapTo(card, QPoint(0, 0)), stops[i]->size());
      EXPECT_GT(after.bottom(), before.top())
          << raw << ": " << stops[i - 1]->objectName().toStdString() << " then "
          << stops[i]->objectName().toStdString() << " above it in " << card->objectName().toStdString();
    }
  }
}

// Return, or Enter on the keypad, presses the focused button of the main window as Space does.
TEST(Keyboard, ReturnPressesTheFocusedButton) {
  ShellRig rig({{QStringLiteral("KIVOSection"), QStringLiteral("alerts")},
                {QStringLiteral("KIVOUITest"), QStringLiteral("YES")}});
  rig.model->shutdown();
  MainWindow* window = openMain(rig);
  struct Case {
    const char* button;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    std::function<bool(const std::vector<AlertRule>& before)> pressed;
  };
  const Case cases[] = {
      {"alerts.rule.delete", Qt::Key_Enter, Qt::KeypadModifier,
       [&rig](const std::vector<AlertRule>& before) {
         return rig.settings->rules().size() + 1 == before.size();
       }},
      {"alerts.restoreDefaults", Qt::Key_Return, Qt::NoModifier,
       [&rig](const std::vector<AlertRule>& before) {
         return rig.settings->rules().front().id != before.front().id;
       }},
  };
  for (const Case& c : cases) {
    const std::vector<AlertRule> before = rig.settings->rules();
    auto* button = window->root()->page()->findChild<QAbstractButton*>(QLatin1String(c.button));
    ASSERT_TRUE(button) << c.button;
    button->setFocus(Qt::TabFocusReason);
    QTest::keyClick(button, c.key, c.modifiers);
    test::settle();
    EXPECT_TRUE(c.pressed(before)) << c.button;
  }
}

// A sidebar row draws its ring only for keyboard focus. Started on another section, the first
// row holds the focus without a ring, so only the open section's row looks chosen.
TEST(Keyboard, ASidebarRowRingsOnlyKeyboardFocus) {
  ShellRig rig({{QStringLiteral("KIVOSection"), QStringLiteral("history")},
                {QStringLiteral("KIVOUITest"), QStringLiteral("YES")}});
  rig.model->shutdown();
  MainWindow* window = openMain(rig);
  auto row = [window](const char* section) {
    return window->findChild<SidebarRow*>(QStringLiteral("sidebar.") + QLatin1String(section));
  };
  ASSERT_TRUE(row("history")->isChecked());
  // The row as drawn with the focus, against the same row without it.
  auto ringed = [](SidebarRow* focused) {
    const QImage with = focused->grab().toImage();
    focused->clearFocus();
    return with != focused->grab().toImage();
  };
  ASSERT_TRUE(row("overview")->hasFocus());
  EXPECT_FALSE(ringed(row("overview")));

  struct Case {
    const char* how;
    std::function<void(SidebarRow*)> focus;
    bool ring;
  };
  const Case cases[] = {
      {"click", [](SidebarRow* r) { QTest::mouseClick(r, Qt::LeftButton); }, false},
      {"Tab", [](SidebarRow* r) { r->setFocus(Qt::TabFocusReason); }, true},
      {"arrow key", [row](SidebarRow*) { QTest::keyClick(row("cpu"), Qt::Key_Down); }, true},
  };
  for (const Case& c : cases) {
    SidebarRow* target = std::string(c.how) == "arrow key" ? row("gpu") : row("memory");
    row("cpu")->setFocus(Qt::TabFocusReason);
    c.focus(target);
    test::settle();
    ASSERT_TRUE(target->hasFocus()) << c.how;
    EXPECT_EQ(ringed(target), c.ring) << c.how;
  }
}

// The ring's left edge, halfway down: the accent where the ring is.
QColor ringPixel(const QImage& shot, QWidget* window, QWidget* focused) {
  const QPoint topLeft = focused->mapTo(window, QPoint(0, 0));
  const QRect inWindow(topLeft, focused->size());
  QRect ring = inWindow.adjusted(-3, -3, 3, 3) & focused->parentWidget()->rect().translated(
                                                     focused->parentWidget()->mapTo(window, QPoint(0, 0)));
  const qreal ratio = shot.devicePixelRatio();
  return shot.pixelColor(QPoint(qRound((ring.left() + 1) * ratio), qRound(ring.center().y() * ratio)));
}

// A keyboard-focused control on three pages, in light and dark: a ring in the accent colour
// that a person can see, under <accessibility>/focus-<page>-<light|dark>.png.
TEST(Keyboard, AKeyboardFocusedControlShowsItsRing) {
  ShellRig rig({{QStringLiteral("KIVOUITest"), QStringLiteral("YES")}});
  rig.model->shutdown();
  MainWindow* window = openMain(rig);
  window->resize(1100, 760);
  auto* ring = rig.shell->findChild<FocusRing*>();
  ASSERT_TRUE(ring);
  struct Case {
    AppSection section;
    const char* focus;  // object name; empty: the page itself, a scroll area
  };
  const Case cases[] = {{AppSection::overview, "dashboard.edit"},
                        {AppSection::history, "history.metric"},
                        {AppSection::memory, ""}};
  const QString folder = test::outputDir() + QStringLiteral("/accessibility");
  QDir().mkpath(folder);
  for (const bool dark : {false, true}) {
    rig.settings->setAppearance(dark ? AppearanceChoice::dark : AppearanceChoice::light);
    for (const Case& c : cases) {
      const QString raw = AppSections::rawValue(c.section);
      window->root()->select(c.section);
      test::settle();
      QWidget* page = window->root()->page();
      QWidget* focused = *c.focus ? page->findChild<QWidget*>(QLatin1String(c.focus)) : page;
      ASSERT_TRUE(focused) << c.focus;
      focused->setFocus(Qt::TabFocusReason);
      test::settle();
      EXPECT_EQ(ring->ringed(), focused) << raw.toStdString();
      const QImage shot = window->grab().toImage();
      shot.save(folder + QStringLiteral("/focus-%1-%2.png")
                             .arg(raw, dark ? QStringLiteral("dark") : QStringLiteral("light")));
      const QColor accent = Palette::accent.resolve(dark);
      const QColor seen = ringPixel(shot, window, focused);
      EXPECT_LT(std::abs(seen.red() - accent.red()) + std::abs(seen.green() - accent.green()) +
                    std::abs(seen.blue() - accent.blue()),
                60)
          << raw.toStdString() << (dark ? " dark " : " light ") << seen.name().toStdString() << " for "
          << accent.name().toStdString();
    }
  }
  // Focus given with the pointer shows no ring.
  QWidget* page = window->root()->page();
  page->clearFocus();
  page->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(ring->ringed(), nullptr);
}

}  // namespace
}  // namespace kivo
