#include "features/tray/MenuBarLabel.h"

#include "TraySupport.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

using test::busySnapshot;
using test::ModelRig;
using Segment = MenuBarRenderer::Segment;

const std::vector<MenuBarItem> kAll = {MenuBarItem::cpu, MenuBarItem::memory, MenuBarItem::network,
                                       MenuBarItem::disk, MenuBarItem::battery};

TEST(MenuBarLabel, BeforeTheFirstSnapshotEveryFigureIsADashAndTheBatteryIsLeftOut) {
  ModelRig rig;
  const MenuBarLabel label(*rig.model, *rig.settings);
  const auto segments = label.segments(kAll);
  const QString dash = QStringLiteral("\u2013");
  ASSERT_EQ(segments.size(), 4u);
  EXPECT_EQ(segments[0], (Segment{QStringLiteral("CPU"), {dash}, std::vector<double>{}, 100}));
  EXPECT_EQ(segments[1], (Segment{QStringLiteral("MEM"), {dash}, std::nullopt, std::nullopt}));
  EXPECT_EQ(segments[2], (Segment{QString(),
                                  {QStringLiteral("\u2191 ") + dash, QStringLiteral("\u2193 ") + dash},
                                  std::vector<double>{},
                                  std::nullopt}));
  EXPECT_EQ(segments[3], (Segment{QString(),
                                  {QStringLiteral("R ") + dash, QStringLiteral("W ") + dash},
                                  std::nullopt,
                                  std::nullopt}));
  EXPECT_FALSE(label.alert());
  EXPECT_EQ(label.accessibilityText(), QStringLiteral("KIVO Monitor"));
  // The default choice: cpu, memory, network.
  EXPECT_EQ(label.segments().size(), 3u);
}

TEST(MenuBarLabel, SegmentsFollowTheModelAndTheSettings) {
  ModelRig rig;
  MonitorModel& model = *rig.model;
  for (int i = 0; i < 20; ++i) model.ingest(busySnapshot(i, 10.0 + i, 76, true));
  const MenuBarLabel label(model, *rig.settings);

  auto segments = label.segments(kAll);
  ASSERT_EQ(segments.size(), 5u);
  EXPECT_EQ(segments[0].lines, QStringList{QStringLiteral("29%")});
  ASSERT_TRUE(segments[0].graph);
  EXPECT_EQ(segments[0].graph->size(), 13u);  // the newest 13 values
  EXPECT_EQ(segments[0].graph->back(), 29);
  EXPECT_EQ(segments[1].lines, QStringList{QStringLiteral("38%")});  // 6 of 16 GB
  EXPECT_EQ(segments[2].lines, (QStringList{QStringLiteral("\u2191 84K"), QStringLiteral("\u2193 4.3M")}));
  EXPECT_EQ(segments[3].lines, (QStringList{QStringLiteral("R 2.5M"), QStringLiteral("W 12M")}));
  EXPECT_EQ(segments[4],
            (Segment{QStringLiteral("CHG"), {QStringLiteral("76%")}, std::nullopt, std::nullopt}));

  // Graphs off: no segment has one, nor room for one.
  rig.settings->setMenuBarGraphs(false);
  for (const Segment& s : label.segments(kAll)) EXPECT_FALSE(s.graph);

  // Not charging: "BAT"; no battery: left out even when chosen.
  model.ingest(busySnapshot(20, 10, 55, false));
  EXPECT_EQ(label.segment(MenuBarItem::battery)->caption, QStringLiteral("BAT"));
  model.ingest(busySnapshot(21, 10));
  EXPECT_FALSE(label.segment(MenuBarItem::battery));

  // The settings' order and choice.
  rig.settings->setMenuBarItems({MenuBarItem::disk, MenuBarItem::cpu});
  segments = label.segments();
  ASSERT_EQ(segments.size(), 2u);
  EXPECT_EQ(segments[0].lines[0], QStringLiteral("R 2.5M"));
  EXPECT_EQ(segments[1].caption, QStringLiteral("CPU"));
  rig.settings->setMenuBarItems({});
  EXPECT_EQ(label.image().size(), QSizeF(18, 22));
}

TEST(MenuBarLabel, AccessibleTextNamesFiguresAndFiringAlerts) {
  ModelRig rig;
  MonitorModel& model = *rig.model;
  TelemetrySnapshot snapshot = busySnapshot(0, 12.4);
  AlertRule first;
  first.id = QUuid::createUuid();
  AlertRule second = first;
  second.id = QUuid::createUuid();
  snapshot.firingRules = {first, second};
  model.ingest(snapshot);
  const MenuBarLabel label(model, *rig.settings);
  EXPECT_TRUE(label.alert());
  EXPECT_EQ(label.accessibilityText(), QStringLiteral("KIVO Monitor, CPU 12%, Memory 38%, 2 active alerts"));
  // The alert widens the image by the dot.
  EXPECT_DOUBLE_EQ(label.image().size().width(), MenuBarRenderer(label.segments(), false).size().width() + 9);
}

}  // namespace
}  // namespace kivo
