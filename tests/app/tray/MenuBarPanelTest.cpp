#include "features/tray/MenuBarPanel.h"

#include "TraySupport.h"
#include "design/Appearance.h"
#include "design/Environment.h"
#include "design/Icons.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace kivo {
namespace {

using test::busySnapshot;
using test::ModelRig;

QString valueOf(const MenuBarPanel& panel, const char* tile) {
  auto* row = panel.findChild<QWidget*>(QLatin1String(tile));
  return row ? row->findChild<QLabel*>(QStringLiteral("value"))->text() : QString();
}

void feedBusyMachine(MonitorModel& model) {
  for (int i = 0; i < 60; ++i) {
    TelemetrySnapshot snapshot = busySnapshot(i, 30 + 25 * std::sin(i / 5.0), 76, true);
    if (i == 59) {
      ProcessSample sample;
      const char* names[] = {"firefox-esr", "kivo-monitor", "Xorg",
                             "a-process-with-an-unusually-long-name-for-a-row", "kworker/3:1"};
      const double cpu[] = {42.5, 3.1, 12.9, 18.2, 0.4};
      for (int p = 0; p < 5; ++p) {
        ProcessRecord record;
        record.pid = 100 + p;
        record.name = QString::fromLatin1(names[p]);
        record.cpuPercent = cpu[p];
        sample.processes.push_back(record);
      }
      snapshot.processes = sample;
      for (Severity severity : {Severity::critical, Severity::warning}) {
        AlertRule rule;
        rule.id = QUuid::createUuid();
        rule.metric = severity == Severity::critical ? MetricID::cpuTotal : MetricID::memUsed;
        rule.severity = severity;
        snapshot.firingRules.push_back(rule);
      }
    }
    model.ingest(snapshot);
  }
}

class MenuBarPanelTest : public ::testing::Test {
 protected:
  void SetUp() override { Icons::initResources(); }
  ModelRig rig;
};

TEST_F(MenuBarPanelTest, BeforeTheFirstSnapshotTilesShowADashAndOptionalRowsAreLeftOut) {
  MenuBarPanel panel(*rig.model, {});
  panel.show();
  EXPECT_EQ(panel.width(), 310);
  for (const char* tile :
       {"menubar.tile.cpu", "menubar.tile.memory", "menubar.tile.network", "menubar.tile.disk"}) {
    EXPECT_EQ(valueOf(panel, tile), QStringLiteral("\u2014")) << tile;
  }
  EXPECT_FALSE(panel.findChild<QLabel*>(QStringLiteral("menubar.thermal"))->isVisible());
  EXPECT_FALSE(panel.findChild<QWidget*>(QStringLiteral("menubar.alerts"))->isVisible());
  EXPECT_FALSE(panel.findChild<QWidget*>(QStringLiteral("menubar.battery"))->isVisible());
  EXPECT_FALSE(panel.findChild<QWidget*>(QStringLiteral("menubar.process.0"))->isVisible());
  auto* open = panel.findChild<QPushButton*>(QStringLiteral("menubar.open"));
  ASSERT_TRUE(open);
  EXPECT_EQ(open->text(), QStringLiteral("Open KIVO Monitor"));
  EXPECT_EQ(open->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
  EXPECT_EQ(panel.findChild<QToolButton*>(QStringLiteral("menubar.quit"))->accessibleName(),
            QStringLiteral("Quit KIVO Monitor"));
}

TEST_F(MenuBarPanelTest, UpdatesInPlaceWhileShownAndCallsTheActions) {
  int opened = 0, settings = 0, quits = 0, closes = 0;
  MenuBarActions actions;
  actions.openMain = [&] { ++opened; };
  actions.openSettings = [&] { ++settings; };
  actions.quit = [&] { ++quits; };
  MenuBarPanel panel(*rig.model, actions);
  QObject::connect(&panel, &MenuBarPanel::actionTriggered, [&] { ++closes; });
  panel.show();
  QWidget* cpuRow = panel.findChild<QWidget*>(QStringLiteral("menubar.tile.cpu"));

  feedBusyMachine(*rig.model);
  EXPECT_EQ(panel.findChild<QWidget*>(QStringLiteral("menubar.tile.cpu")), cpuRow);  // not rebuilt
  EXPECT_NE(valueOf(panel, "menubar.tile.cpu"), QStringLiteral("\u2014"));
  EXPECT_TRUE(panel.findChild<QWidget*>(QStringLiteral("menubar.battery"))->isVisible());
  EXPECT_EQ(panel.findChildren<QWidget*>(QStringLiteral("menubar.alert")).size(), 2);
  EXPECT_EQ(panel.findChild<QLabel*>(QStringLiteral("menubar.thermal"))->text(), QStringLiteral("Nominal"));
  // Four process rows, busiest first.
  EXPECT_TRUE(panel.findChild<QWidget*>(QStringLiteral("menubar.process.3"))->isVisible());
  EXPECT_EQ(panel.findChild<QWidget*>(QStringLiteral("menubar.process.0"))
                ->findChild<QLabel*>(QStringLiteral("cpu"))
                ->text(),
            QStringLiteral("42.5%"));

  // Pause from the panel reaches the model; the button then offers to resume.
  auto* pause = panel.findChild<QToolButton*>(QStringLiteral("menubar.pause"));
  EXPECT_EQ(pause->accessibleName(), QStringLiteral("Pause Sampling"));
  pause->click();
  EXPECT_TRUE(rig.model->isPaused());
  EXPECT_EQ(pause->accessibleName(), QStringLiteral("Resume Sampling"));

  panel.findChild<QPushButton*>(QStringLiteral("menubar.open"))->click();
  panel.findChild<QToolButton*>(QStringLiteral("menubar.settings"))->click();
  panel.findChild<QToolButton*>(QStringLiteral("menubar.quit"))->click();
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(settings, 1);
  EXPECT_EQ(quits, 1);
  EXPECT_EQ(closes, 3);

  // Alerts that stop firing go.
  rig.model->ingest(busySnapshot(100, 5));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(panel.findChild<QWidget*>(QStringLiteral("menubar.alerts"))->isVisible());
  EXPECT_TRUE(panel.findChildren<QWidget*>(QStringLiteral("menubar.alert")).empty());
}

// A tick that brings a snapshot, processes and a change of alerts reads the model once.
TEST_F(MenuBarPanelTest, RefreshesOncePerTickWhileShownAndNotWhileHidden) {
  MenuBarPanel panel(*rig.model, {});
  const int built = panel.refreshes();
  rig.model->ingest(busySnapshot(1, 30));
  EXPECT_EQ(panel.refreshes(), built);  // hidden: nothing read
  panel.show();
  const int shown = panel.refreshes();
  TelemetrySnapshot tick = busySnapshot(2, 40);
  AlertRule rule;
  rule.id = QUuid::createUuid();
  tick.firingRules = {rule};
  ProcessSample processes;
  processes.total = 1;
  tick.processes = processes;
  rig.model->ingest(tick);
  EXPECT_EQ(panel.refreshes(), shown + 1);
  EXPECT_EQ(panel.findChildren<QWidget*>(QStringLiteral("menubar.alert")).size(), 1);
  rig.model->setPaused(true);
  EXPECT_EQ(panel.refreshes(), shown + 2);
}

TEST_F(MenuBarPanelTest, WritesThePanelForALook) {
  feedBusyMachine(*rig.model);
  for (bool dark : {false, true}) {
    for (bool safe : {false, true}) {
      QWidget window;
      window.setPalette(Appearance::palette(dark));
      window.setAutoFillBackground(true);
      auto* panel = new MenuBarPanel(*rig.model, {}, &window);
      Environment::apply(&window, 1.0, safe);
      window.show();
      window.resize(panel->sizeHint());
      const QString name = QStringLiteral("panel-%1%2.png")
                               .arg(dark ? QStringLiteral("dark") : QStringLiteral("light"),
                                    safe ? QStringLiteral("-safe") : QString());
      EXPECT_TRUE(window.grab().save(test::trayOutput(name)));
    }
  }
  // Before any snapshot.
  ModelRig empty;
  MenuBarPanel panel(*empty.model, {});
  panel.setPalette(Appearance::palette(false));
  panel.setAutoFillBackground(true);
  panel.show();
  EXPECT_TRUE(panel.grab().save(test::trayOutput(QStringLiteral("panel-empty-light.png"))));
}

}  // namespace
}  // namespace kivo
