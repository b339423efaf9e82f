// Every page and window, walked as a screen reader walks it: through QAccessible from its root.

#include "../shell/ShellTestSupport.h"
#include "TestSupport.h"
#include "WaitUntil.h"

#include "design/LiveChart.h"
#include "features/dashboard/DashboardPage.h"
#include "features/dashboard/WidgetCell.h"
#include "features/history/HistoryChart.h"
#include "features/history/HistoryPage.h"
#include "features/tray/MenuBarPanel.h"
#include "settings/AppSettings.h"
#include "shell/DashboardWindow.h"
#include "shell/MainWindow.h"
#include "shell/RootView.h"
#include "shell/SettingsWindow.h"
#include "shell/SidebarRow.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

namespace kivo {
namespace {

using test::ShellRig;

// A machine with something on every page: load, memory, a battery and a few processes.
TelemetrySnapshot busySnapshot() {
  TelemetrySnapshot snapshot;
  snapshot.date = QDateTime::currentDateTimeUtc();
  snapshot.interval = 2;
  snapshot.values = {{MetricID::cpuTotal, 37.2}, {MetricID::netDown, 1500}};
  CPUSample cpu;
  cpu.total = CPULoad{0.25, 0.125, 0.625};
  cpu.cores = {CPULoad{0.25, 0.25, 0.5}, CPULoad{0.5, 0.0, 0.5}};
  cpu.coreIDs = {0, 1};
  cpu.interval = 2;
  snapshot.cpu = cpu;
  MemorySample memory;
  memory.physical = 16ull << 30;
  memory.used = 4ull << 30;
  snapshot.memory = memory;
  ProcessSample processes;
  for (int i = 0; i < 6; ++i) {
    ProcessRecord record;
    record.pid = 100 + i;
    record.name = QStringLiteral("worker-%1").arg(i);
    record.user = QStringLiteral("ada");
    record.hasStatistics = true;
    record.cpuPercent = 10.0 * (i % 3) + i;
    record.memory = (100ull + i) << 20;
    record.threads = 1;
    processes.processes.push_back(record);
  }
  processes.total = int(processes.processes.size());
  snapshot.processes = processes;
  snapshot.power.charge = 80;
  return snapshot;
}

// What a screen reader says for the control: the label it is related to, else its own name. A
// combo box's own name is its current value, so it needs the relation. The group box around a
// control is related too, but as the context of every control in it, not as a name.
QString spokenName(QAccessibleInterface* iface) {
  for (const auto& [label, relation] : iface->relations(QAccessible::Label)) {
    if (label->role() == QAccessible::Grouping) continue;
    const QString text = label->text(QAccessible::Name);
    if (!text.isEmpty()) return text;
  }
  if (iface->role() == QAccessible::ComboBox) return {};
  return iface->text(QAccessible::Name);
}

bool actionable(QAccessibleInterface* iface) {
  if (iface->state().focusable) return true;
  QAccessibleActionInterface* actions = iface->actionInterface();
  if (actions == nullptr) return false;
  QStringList names = actions->actionNames();
  names.removeAll(QAccessibleActionInterface::setFocusAction());
  return !names.isEmpty();
}

// Buttons and toggles: two of them named alike on one page cannot be told apart by ear.
bool isButton(QAccessible::Role role) {
  return role == QAccessible::PushButton || role == QAccessible::ButtonMenu ||
         role == QAccessible::ButtonDropDown || role == QAccessible::CheckBox ||
         role == QAccessible::RadioButton;
}

QString describe(QAccessibleInterface* iface) {
  QObject* object = iface->object();
  return QStringLiteral("%1 \"%2\" (%3)")
      .arg(object != nullptr ? QString::fromLatin1(object->metaObject()->className()) : QStringLiteral("?"),
           object != nullptr ? object->objectName() : QString())
      .arg(int(iface->role()));
}

struct Walk {
  QStringList faults;
  std::map<QString, int> buttons;

  void visit(QAccessibleInterface* iface, int depth = 0) {
    ASSERT_LT(depth, 60);
    if (iface == nullptr || !iface->isValid() || iface->state().invisible) return;
    const QString name = spokenName(iface);
    const QAccessible::Role role = iface->role();
    if (actionable(iface) && name.trimmed().isEmpty())
      faults << QStringLiteral("unnamed: ") + describe(iface);
    if (isButton(role) && !name.isEmpty() && ++buttons[name] == 2) {
      faults << QStringLiteral("two controls named \"%1\": ").arg(name) + describe(iface);
    }
    // Padding is for the eye: a braille display shows every blank a name starts with. A combo
    // box says its current item as its value.
    for (const QString& said :
         {iface->text(QAccessible::Name),
          role == QAccessible::ComboBox ? iface->text(QAccessible::Value) : QString()}) {
      if (!said.isEmpty() && said.front().isSpace())
        faults << QStringLiteral("\"%1\" starts with a blank: ").arg(said) + describe(iface);
    }
    // A decorative image is left out of the tree, not read as "image".
    if (role == QAccessible::Graphic && name.isEmpty())
      faults << QStringLiteral("unnamed image: ") + describe(iface);
    for (int i = 0; i < iface->childCount(); ++i) visit(iface->child(i), depth + 1);
  }
};

void checkCharts(QWidget* root, QStringList& faults) {
  QList<QWidget*> charts;
  for (auto* chart : root->findChildren<LiveChart*>()) charts << chart;
  for (auto* chart : root->findChildren<HistoryChart*>()) charts << chart;
  for (QWidget* chart : charts) {
    if (!chart->isVisible()) continue;
    if (QAccessible::queryAccessibleInterface(chart)->text(QAccessible::Name).isEmpty()) {
      faults << QStringLiteral("chart without a name: ") + chart->objectName();
    }
  }
}

QStringList walk(QWidget* root) {
  Walk walk;
  walk.visit(QAccessible::queryAccessibleInterface(root));
  checkCharts(root, walk.faults);
  return walk.faults;
}

struct Rig {
  ShellRig shell{{{QStringLiteral("KIVOUITest"), QStringLiteral("YES")}}};
  Rig() {
    shell.model->shutdown();  // only the scripted snapshots
    shell.model->ingest(busySnapshot());
  }
  MainWindow* main() {
    shell.shell->showMainWindow();
    test::settle();
    return shell.shell->mainWindow();
  }
};

TEST(AccessibilityTree, EveryPageNamesEveryControlOnce) {
  Rig rig;
  MainWindow* window = rig.main();
  for (AppSection section : AppSections::allCases()) {
    const QString raw = AppSections::rawValue(section);
    window->findChild<SidebarRow*>(QStringLiteral("sidebar.") + raw)->click();
    test::settle();
    QWidget* page = window->root()->page();
    ASSERT_EQ(page->objectName(), QStringLiteral("section.") + raw);
    EXPECT_EQ(walk(page), QStringList()) << raw.toStdString();
  }
}

// A card moved to the front is read first, as it is shown, not where it was made.
TEST(AccessibilityTree, DashboardCardsAreReadInTheOrderShown) {
  Rig rig;
  auto* page = qobject_cast<DashboardPage*>(rig.main()->root()->page());
  ASSERT_TRUE(page);
  WidgetCell* top = page->findChild<WidgetCell*>(QStringLiteral("widget.topCPU"));
  ASSERT_TRUE(top);
  for (int i = 0; i < 20; ++i) page->editor().shift(top->widgetID(), -1);
  test::settle();
  QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(top->parentWidget());
  std::vector<QWidget*> read;
  for (int i = 0; i < grid->childCount(); ++i) {
    if (auto* cell = qobject_cast<WidgetCell*>(grid->child(i)->object())) read.push_back(cell);
  }
  std::vector<QWidget*> shown = read;
  std::stable_sort(shown.begin(), shown.end(), [](QWidget* a, QWidget* b) {
    return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
  });
  ASSERT_FALSE(read.empty());
  EXPECT_EQ(read.front(), top);
  EXPECT_EQ(read, shown);
}

// A screen reader presses a segment or a check box through its first action (Toggle): the page
// makes the choice a click makes, not only the control its checked look.
TEST(AccessibilityTree, AToggleActionMakesThePagesChoice) {
  Rig rig;
  MainWindow* window = rig.main();
  window->resize(1500, 900);
  AppSettings& settings = *rig.shell.settings;
  struct Case {
    AppSection section;
    const char* control;
    const char* effect;
    std::function<bool(QWidget*)> seen;
  };
  const Case cases[] = {
      {AppSection::processes, "processes.scope.all", "every process listed",
       [](QWidget* page) {
         return page->findChild<QLabel*>(QStringLiteral("processes.count"))->text() ==
                QStringLiteral("6 shown of 6");
       }},
      {AppSection::history, "history.range.sixHours", "the six-hour range loaded",
       [](QWidget* page) {
         auto* history = qobject_cast<HistoryPage*>(page);
         return history->range() == HistoryRange::sixHours && history->loaded() &&
                history->loaded()->range == HistoryRange::sixHours;
       }},
      {AppSection::alerts, "alerts.rule.enabled", "the first rule switched off",
       [&settings](QWidget*) { return !settings.rules().front().isEnabled; }},
      // Shown at the start in a window this wide.
      {AppSection::processes, "processes.inspectorToggle", "the inspector hidden",
       [](QWidget* page) {
         return page->findChild<QWidget*>(QStringLiteral("processes.inspector"))->isHidden();
       }},
  };
  for (const Case& c : cases) {
    window->root()->select(c.section);
    test::settle();
    QWidget* page = window->root()->page();
    auto* control = page->findChild<QAbstractButton*>(QLatin1String(c.control));
    ASSERT_TRUE(control) << c.control;
    ASSERT_FALSE(c.seen(page)) << c.control << ": " << c.effect << " before";
    const bool wasChecked = control->isChecked();
    QAccessibleActionInterface* actions = QAccessible::queryAccessibleInterface(control)->actionInterface();
    ASSERT_TRUE(actions) << c.control;
    const QStringList names = actions->actionNames();
    ASSERT_FALSE(names.isEmpty()) << c.control;
    actions->doAction(names.first());
    EXPECT_TRUE(test::waitUntil([&] { return c.seen(page); })) << c.control << ": " << c.effect;
    EXPECT_NE(control->isChecked(), wasChecked) << c.control;
  }
}

TEST(AccessibilityTree, TheWindowsAreWindowsAndNameEveryControl) {
  Rig rig;
  MainWindow* window = rig.main();
  // The frame around the pages: menu bar, toolbar, sidebar.
  EXPECT_EQ(walk(window), QStringList()) << "main window";

  rig.shell.shell->openSettings();
  SettingsWindow* settings = rig.shell.shell->settingsWindow();
  test::settle();
  EXPECT_EQ(QAccessible::queryAccessibleInterface(settings)->role(), QAccessible::Dialog);
  for (int i = 0; i < settings->count(); ++i) {
    settings->setCurrentIndex(i);
    test::settle();
    EXPECT_EQ(walk(settings), QStringList()) << "settings: " << settings->tabText(i).toStdString();
  }

  DashboardWindow* dashboard = rig.shell.shell->openDashboardWindow();
  test::settle();
  EXPECT_EQ(QAccessible::queryAccessibleInterface(dashboard)->role(), QAccessible::Window);
  EXPECT_EQ(walk(dashboard), QStringList()) << "dashboard window";

  MenuBarPanel panel(*rig.shell.model, {});
  panel.setAttribute(Qt::WA_DontShowOnScreen);
  panel.show();
  panel.refresh();
  test::settle();
  EXPECT_EQ(QAccessible::queryAccessibleInterface(&panel)->role(), QAccessible::Window);
  EXPECT_EQ(walk(&panel), QStringList()) << "tray panel";
}

}  // namespace
}  // namespace kivo
