#include "features/dashboard/DashboardLayout.h"
#include "features/dashboard/DashboardPage.h"
#include "features/dashboard/FlowGrid.h"
#include "features/dashboard/WidgetCell.h"
#include "features/dashboard/WidgetView.h"

#include "design/Readout.h"

#include "DashboardSupport.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>

#include <memory>

namespace kivo {
namespace {

struct PageFixture : ::testing::Test {
  test::ModelRig rig;

  std::unique_ptr<DashboardPage> page(const QUuid& preset, bool detached = false) {
    return std::make_unique<DashboardPage>(*rig.model, *rig.settings, preset, detached);
  }
  static QStringList names(const DashboardPage& page) {
    QStringList list;
    for (const WidgetCell* cell : page.cells()) list << cell->objectName();
    return list;
  }
  static std::vector<QUuid> ids(const DashboardPage& page) {
    std::vector<QUuid> list;
    for (const WidgetCell* cell : page.cells()) list.push_back(cell->widgetID());
    return list;
  }
  // Sends a drop of `text` onto the cell; whether it was accepted.
  static bool drop(WidgetCell* cell, const QString& text) {
    QMimeData data;
    data.setText(text);
    const QPointF at(10, 10);
    QDragEnterEvent enter(at.toPoint(), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(cell, &enter);
    QDropEvent event(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(cell, &event);
    return event.isAccepted();
  }
  static QStringList menuTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* action : menu->actions())
      texts << (action->isSeparator() ? QStringLiteral("--") : action->text());
    return texts;
  }
};

TEST_F(PageFixture, ShowsThePresetsCardsWithTheirIdentifiers) {
  const auto performance = page(DashboardPreset::performanceID);
  EXPECT_EQ(names(*performance), (QStringList{"widget.cpu", "widget.cores", "widget.topCPU", "widget.memory",
                                              "widget.topMemory", "widget.gpu", "widget.overhead"}));
  EXPECT_EQ(performance->grid()->span(performance->cells()[0]), 4);
  EXPECT_EQ(performance->findChild<QWidget*>("dashboard.title")->property("text").toString(), "Performance");
  EXPECT_TRUE(performance->findChild<QToolButton*>("dashboard.layout"));
  EXPECT_TRUE(performance->findChild<QToolButton*>("dashboard.edit"));
  EXPECT_TRUE(performance->findChild<QWidget*>("dashboard.empty")->isHidden());

  EXPECT_EQ(page(DashboardPreset::overviewID)->cells().size(), 12);
  EXPECT_EQ(page(DashboardPreset::compactID)->cells().size(), 8);
}

TEST_F(PageFixture, EditControlsNeverCoverACardsBadge) {
  // The GPU card carries a "Best effort" badge at the header's trailing end.
  const auto performance = page(DashboardPreset::performanceID);
  performance->resize(1280, 900);
  performance->setAttribute(Qt::WA_DontShowOnScreen);
  performance->show();
  QApplication::processEvents();
  WidgetCell* gpu = performance->findChild<WidgetCell*>(QStringLiteral("widget.gpu"));
  ASSERT_TRUE(gpu);
  QWidget* badge = gpu->view()->badge();
  ASSERT_TRUE(badge && badge->isVisibleTo(gpu));
  const auto badgeInCell = [&] { return QRect(badge->mapTo(gpu, QPoint(0, 0)), badge->size()); };
  const QRect before = badgeInCell();
  performance->editButton()->click();
  QApplication::processEvents();
  const QRect controls = gpu->editControls()->geometry();
  EXPECT_FALSE(badgeInCell().intersects(controls));
  EXPECT_LT(badgeInCell().right(), controls.left());
  // Leaving edit mode puts the badge back at the header's end.
  performance->editButton()->click();
  QApplication::processEvents();
  EXPECT_EQ(badgeInCell(), before);
}

TEST_F(PageFixture, EditModeAddsResizesMovesAndRemoves) {
  const auto dashboard = page(DashboardPreset::compactID);
  EXPECT_TRUE(dashboard->addButton()->isHidden());
  dashboard->editButton()->click();
  EXPECT_TRUE(dashboard->isEditing());
  EXPECT_FALSE(dashboard->addButton()->isHidden());
  for (WidgetCell* cell : dashboard->cells()) EXPECT_FALSE(cell->editControls()->isHidden());

  QMenu* add = dashboard->addButton()->menu();
  ASSERT_EQ(add->actions().size(), 14);
  EXPECT_EQ(add->actions()[9]->text(), "Top processes by CPU");
  add->actions()[9]->trigger();
  WidgetCell* last = dashboard->cells().back();
  EXPECT_EQ(last->objectName(), "widget.topCPU");
  EXPECT_EQ(last->size(), WidgetSize::medium);
  EXPECT_FALSE(last->editControls()->isHidden());

  // Size picker, then Move Earlier through the card's own menu.
  QMenu* menu = last->editMenu();
  QStringList texts = menuTexts(menu);
  EXPECT_TRUE(texts.contains("Wide") && texts.contains("Full width") && texts.contains("Move Later"));
  for (QAction* action : menu->actions()) {
    if (action->text() == "Full width") action->trigger();
  }
  EXPECT_EQ(rig.settings->preset(DashboardPreset::compactID).widgets.back().size, WidgetSize::large);
  EXPECT_EQ(dashboard->grid()->span(last), 4);
  for (QAction* action : menu->actions()) {
    if (action->text() == "Move Earlier") action->trigger();
  }
  EXPECT_EQ(dashboard->cells()[7], last);
  EXPECT_EQ(last->findChild<QToolButton*>("widget.resize")->accessibleName(),
            "Resize or move Top processes by CPU");

  // Remove: the cell goes, the others stay the same widgets.
  const auto before = dashboard->cells();
  last->findChild<QToolButton*>("widget.remove")->click();
  EXPECT_EQ(dashboard->cells().size(), 8);
  EXPECT_EQ(dashboard->cells()[0], before[0]);
  EXPECT_EQ(rig.settings->preset(DashboardPreset::compactID).widgets.size(), 8u);

  dashboard->editButton()->click();
  EXPECT_TRUE(dashboard->addButton()->isHidden());
}

TEST_F(PageFixture, DroppingACardInsertsItBeforeTheTarget) {
  rig.settings->updateWidgets(
      {WidgetConfig(WidgetKind::cpu, WidgetSize::small), WidgetConfig(WidgetKind::memory, WidgetSize::small),
       WidgetConfig(WidgetKind::disk, WidgetSize::small)},
      DashboardPreset::compactID);
  const auto dashboard = page(DashboardPreset::compactID);
  const auto [a, b, c] = std::tuple(dashboard->cells()[0], dashboard->cells()[1], dashboard->cells()[2]);
  const QUuid ida = a->widgetID(), idb = b->widgetID(), idc = c->widgetID();

  // Hovering marks the target; a drop moves C before A and clears the mark.
  dashboard->setDropTarget(ida, true);
  EXPECT_TRUE(a->isDropTarget());
  EXPECT_TRUE(drop(a, DashboardLayout::dragPayload(idc)));
  EXPECT_EQ(ids(*dashboard), (std::vector<QUuid>{idc, ida, idb}));
  EXPECT_FALSE(dashboard->dropTarget());
  EXPECT_FALSE(a->isDropTarget());
  EXPECT_EQ(dashboard->cells()[0], c);  // the same cells, reordered

  // Onto itself: nothing changes, the mark stays.
  EXPECT_TRUE(drop(a, DashboardLayout::dragPayload(ida)));
  EXPECT_EQ(dashboard->dropTarget(), ida);
  EXPECT_TRUE(a->isDropTarget());
  // A hover ending elsewhere leaves the mark; ending on the cell it names clears it.
  dashboard->setDropTarget(idb, false);
  EXPECT_EQ(dashboard->dropTarget(), ida);
  dashboard->setDropTarget(ida, false);
  EXPECT_FALSE(dashboard->dropTarget());
  EXPECT_FALSE(a->isDropTarget());
  // An id from another preset is accepted and changes nothing; text that is no id is refused.
  EXPECT_TRUE(drop(b, DashboardLayout::dragPayload(QUuid::createUuid())));
  EXPECT_EQ(ids(*dashboard), (std::vector<QUuid>{idc, ida, idb}));
  EXPECT_FALSE(drop(b, QStringLiteral("widget.cpu")));
  EXPECT_EQ(ids(*dashboard), (std::vector<QUuid>{idc, ida, idb}));
}

TEST_F(PageFixture, LayoutMenuSwitchesSavesAndDeletes) {
  const auto main = page(rig.settings->selectedPreset());
  const auto detached = page(DashboardPreset::performanceID, true);
  EXPECT_EQ(menuTexts(main->layoutMenu()),
            (QStringList{"Overview", "Performance", "Compact", "--", "Save Layout As…", "Reset to Default",
                         "--", "Open in New Window"}));
  EXPECT_EQ(menuTexts(detached->layoutMenu()).last(), "Reset to Default");

  // Picking a preset in the main page selects it; the detached page stays.
  main->layoutMenu()->actions()[2]->trigger();
  EXPECT_EQ(rig.settings->selectedPreset(), DashboardPreset::compactID);
  EXPECT_EQ(main->cells().size(), 8);
  EXPECT_EQ(detached->presetID(), DashboardPreset::performanceID);

  // Save Layout As: the prompt opens empty; a padded name makes a trimmed preset and shows it.
  QDialog* prompt = main->openSavePrompt();
  auto* name = prompt->findChild<QLineEdit*>("dashboard.saveName");
  EXPECT_TRUE(name->text().isEmpty());
  EXPECT_EQ(name->placeholderText(), "Name");
  name->setText(QStringLiteral("  Desk  "));
  prompt->findChild<QPushButton*>("dashboard.save")->click();
  const QUuid desk = main->presetID();
  EXPECT_EQ(rig.settings->preset(desk).name, "Desk");
  EXPECT_EQ(rig.settings->selectedPreset(), desk);
  EXPECT_EQ(menuTexts(main->layoutMenu())[6], "Delete Layout");

  // A blank name makes nothing.
  prompt = main->openSavePrompt();
  prompt->findChild<QLineEdit*>("dashboard.saveName")->setText(QStringLiteral("   "));
  prompt->findChild<QPushButton*>("dashboard.save")->click();
  EXPECT_EQ(rig.settings->presets().size(), 4u);

  // A detached page shows the custom preset too; deleting it from the main page shows Overview
  // there, and the detached page adopts what it then shows.
  const auto side = page(desk, true);
  QAction* remove = main->layoutMenu()->actions()[6];
  remove->trigger();
  EXPECT_EQ(main->presetID(), DashboardPreset::overviewID);
  EXPECT_EQ(rig.settings->presets().size(), 3u);
  EXPECT_EQ(side->presetID(), DashboardPreset::overviewID);
  EXPECT_EQ(detached->presetID(), DashboardPreset::performanceID);

  QUuid opened;
  QObject::connect(main.get(), &DashboardPage::openWindowRequested, [&](const QUuid& id) { opened = id; });
  main->layoutMenu()->actions().last()->trigger();
  EXPECT_EQ(opened, DashboardPreset::overviewID);
}

TEST_F(PageFixture, TheMainPageFollowsTheSelectionAndDetachedPagesKeepTheirs) {
  const auto main = page(rig.settings->selectedPreset());
  const auto detached = page(DashboardPreset::compactID, true);
  rig.settings->setSelectedPreset(DashboardPreset::performanceID);
  EXPECT_EQ(main->presetID(), DashboardPreset::performanceID);
  EXPECT_EQ(main->cells().size(), 7);
  EXPECT_EQ(detached->presetID(), DashboardPreset::compactID);
  EXPECT_EQ(detached->cells().size(), 8);
  // A detached page picking a preset never changes the selection.
  detached->select(DashboardPreset::overviewID);
  EXPECT_EQ(rig.settings->selectedPreset(), DashboardPreset::performanceID);
  EXPECT_EQ(detached->cells().size(), 12);
}

TEST_F(PageFixture, TheGridFollowsTheWindowDensity) {
  QWidget root;
  auto* dashboard = new DashboardPage(*rig.model, *rig.settings, DashboardPreset::compactID, false, &root);
  EXPECT_EQ(dashboard->grid()->metrics().rowHeight, 176);
  Environment::apply(&root, 0.72, false);
  EXPECT_NEAR(dashboard->grid()->metrics().rowHeight, 149.6, 1e-9);
  EXPECT_NEAR(dashboard->grid()->metrics().spacing, 11.52, 1e-9);
  Environment::apply(&root, 1.25, false);
  EXPECT_EQ(dashboard->grid()->metrics().rowHeight, 220);
}

TEST_F(PageFixture, APresetWithoutWidgetsSaysSo) {
  rig.settings->updateWidgets({}, DashboardPreset::compactID);
  const auto dashboard = page(DashboardPreset::compactID);
  EXPECT_FALSE(dashboard->findChild<QWidget*>("dashboard.empty")->isHidden());
  EXPECT_TRUE(dashboard->findChild<QWidget*>("dashboard.grid")->isHidden());
  EXPECT_TRUE(test::grabInto(dashboard.get(), QStringLiteral("empty-light.png"), QSize(900, 520), false));
  // Add Widget shows only while editing: until then the text names Edit first.
  auto* text = dashboard->findChild<QLabel*>("dashboard.empty.text");
  auto* add = dashboard->findChild<QToolButton*>("dashboard.add");
  ASSERT_TRUE(text && add);
  EXPECT_EQ(text->text(), "Choose Edit, then Add Widget, to build this dashboard.");
  EXPECT_TRUE(add->isHidden());
  dashboard->findChild<QToolButton*>("dashboard.edit")->click();
  EXPECT_FALSE(add->isHidden());
  EXPECT_EQ(text->text(), "Use Add Widget to build this dashboard.");
}

TEST_F(PageFixture, TicksUpdateTheCardsInPlace) {
  const auto dashboard = page(DashboardPreset::performanceID);
  WidgetCell* cpu = dashboard->cells()[0];
  rig.model->ingest(test::fullSnapshot(1));
  EXPECT_EQ(dashboard->cells()[0], cpu);
  EXPECT_EQ(cpu->view()->findChild<Readout*>()->shownValue(),
            rig.model->format().percent(*rig.model->latest(MetricID::cpuTotal), 0));
}

// The three built-in presets with data, light and dark, wide and at the main window's minimum.
TEST_F(PageFixture, Screenshots) {
  for (int i = 0; i < 130; ++i) rig.model->ingest(test::fullSnapshot(i));
  const std::pair<QUuid, QString> presets[] = {
      {DashboardPreset::overviewID, QStringLiteral("overview")},
      {DashboardPreset::performanceID, QStringLiteral("performance")},
      {DashboardPreset::compactID, QStringLiteral("compact")}};
  for (const auto& [id, name] : presets) {
    for (const bool dark : {false, true}) {
      const QString tone = dark ? QStringLiteral("dark") : QStringLiteral("light");
      auto wide = page(id);
      EXPECT_TRUE(test::grabInto(wide.get(), name + "-" + tone + "-wide.png", QSize(1400, 1300), dark));
      auto narrow = page(id);
      EXPECT_TRUE(test::grabInto(narrow.get(), name + "-" + tone + "-narrow.png", QSize(660, 560), dark));
    }
  }
  // The overview in windows of 1280 × 860 and 860 × 560, less a 190-pixel sidebar.
  for (const bool dark : {false, true}) {
    const QString tone = dark ? QStringLiteral("dark") : QStringLiteral("light");
    for (const QSize size : {QSize(1090, 860), QSize(670, 560)}) {
      auto overview = page(DashboardPreset::overviewID);
      EXPECT_TRUE(test::grabInto(
          overview.get(),
          QStringLiteral("overview-%1-%2x%3.png").arg(tone).arg(size.width()).arg(size.height()), size,
          dark));
    }
  }
  auto editing = page(DashboardPreset::overviewID);
  editing->setEditing(true);
  EXPECT_TRUE(
      test::grabInto(editing.get(), QStringLiteral("overview-editing-light.png"), QSize(1100, 700), false));
  auto compact = page(DashboardPreset::overviewID);
  EXPECT_TRUE(test::grabInto(compact.get(), QStringLiteral("overview-compact-dark.png"), QSize(1100, 900),
                             true, 0.72));
}

}  // namespace
}  // namespace kivo
