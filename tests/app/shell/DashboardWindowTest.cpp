#include "shell/DashboardWindow.h"

#include "design/Appearance.h"
#include "design/Icons.h"
#include "features/dashboard/DashboardPage.h"
#include "features/dashboard/WidgetCell.h"

#include "ModelTestSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QToolButton>

namespace kivo {
namespace {

// "New Dashboard Window" gives the window a fresh id: it shows the first preset, and its edits,
// check mark and reset act on that preset rather than on nothing.
TEST(DashboardWindow, AFreshWindowShowsAndEditsTheFirstPreset) {
  Icons::initResources();
  test::ModelRig rig;
  const QUuid fresh = QUuid::createUuid();
  auto* window = new DashboardWindow(*rig.model, fresh);
  EXPECT_EQ(window->presetID(), fresh);
  DashboardPage* page = window->page();
  ASSERT_TRUE(page);
  EXPECT_TRUE(page->isDetached());
  EXPECT_EQ(page->presetID(), DashboardPreset::overviewID);
  EXPECT_EQ(page->cells().size(), 12);

  page->editor().add(WidgetKind::overhead);
  EXPECT_EQ(rig.settings->preset(DashboardPreset::overviewID).widgets.size(), 13u);
  EXPECT_EQ(page->cells().size(), 13);
  const auto actions = page->layoutMenu()->actions();
  EXPECT_FALSE(actions[0]->icon().isNull());  // Overview carries the check mark
  EXPECT_EQ(actions.last()->text(), "Reset to Default");

  window->setPalette(Appearance::palette(true));
  window->setAttribute(Qt::WA_DontShowOnScreen);
  window->show();
  QApplication::processEvents();
  const QString folder = test::outputDir() + QStringLiteral("/dashboard");
  QDir().mkpath(folder);
  EXPECT_TRUE(window->grab().save(folder + QStringLiteral("/detached-window-dark.png")));
  window->close();
  QApplication::processEvents();
}

}  // namespace
}  // namespace kivo
