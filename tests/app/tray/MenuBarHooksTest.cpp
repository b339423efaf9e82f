#include "features/tray/MenuBarHooks.h"

#include "TraySupport.h"
#include "WriteFailures.h"
#include "design/Appearance.h"
#include "design/Icons.h"
#include "features/tray/MenuBarLabel.h"
#include "features/tray/MenuBarPanel.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>

namespace kivo {
namespace {

using test::busySnapshot;
using test::ModelRig;

TEST(MenuBarHooks, ExportWritesAllFiveIndicatorsAt64PixelsHighWithoutTouchingTheChoice) {
  ModelRig rig;
  for (int i = 0; i < 14; ++i) rig.model->ingest(busySnapshot(i, 10 + 5 * i, 64, false));
  const std::vector<MenuBarItem> chosen = rig.settings->menuBarItems();
  const QMap<QString, QVariant> stored = rig.domain.values();
  QTemporaryDir dir;
  const QString folder = dir.filePath(QStringLiteral("nested/shots"));  // does not exist yet

  ASSERT_TRUE(MenuBarHooks::exportItem(folder, *rig.model, *rig.settings));
  QImage image(folder + QStringLiteral("/menubar-item.png"));
  ASSERT_FALSE(image.isNull());
  const MenuBarRenderer allFive = MenuBarLabel(*rig.model, *rig.settings)
                                      .image({MenuBarItem::cpu, MenuBarItem::memory, MenuBarItem::network,
                                              MenuBarItem::disk, MenuBarItem::battery});
  EXPECT_EQ(allFive.segments().size(), 5u);
  EXPECT_EQ(image.height(), 64);
  EXPECT_EQ(image.width(), static_cast<int>(2 * (allFive.size().width() + 28)));
  // The appearance "system" exports dark: light ink on the dark ground.
  EXPECT_EQ(image.pixelColor(1, 1), QColor(27, 30, 43));
  // The user's choice is as it was, in memory and in the store.
  EXPECT_EQ(rig.settings->menuBarItems(), chosen);
  EXPECT_EQ(rig.domain.values(), stored);

  rig.settings->setAppearance(AppearanceChoice::light);
  ASSERT_TRUE(MenuBarHooks::exportItem(folder, *rig.model, *rig.settings));
  EXPECT_EQ(QImage(folder + QStringLiteral("/menubar-item.png")).pixelColor(1, 1), QColor(233, 235, 242));
  rig.settings->setAppearance(AppearanceChoice::dark);
  EXPECT_EQ(MenuBarHooks::itemImage(*rig.model, *rig.settings, true).pixelColor(1, 1), QColor(27, 30, 43));

  for (bool dark : {false, true}) {
    QImage look = MenuBarHooks::itemImage(*rig.model, *rig.settings, dark);
    look.setDevicePixelRatio(1);
    EXPECT_TRUE(
        look.save(test::trayOutput(QStringLiteral("menubar-item-%1.png").arg(dark ? "dark" : "light"))));
  }
}

TEST(MenuBarHooks, AFailedExportSaysSoOnceAndKeepsTheOldImage) {
  ModelRig rig;
  for (const auto& failure : test::writeFailures()) {
    SCOPED_TRACE(failure.name);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("menubar-item.png"));
    ASSERT_EQ(FileWriter::write(path, "old image"), std::nullopt);
    const QStringList before = test::folderState(dir.path());
    testing::internal::CaptureStderr();
    bool written = true;
    {
      const auto armed = test::arm(failure);
      written = MenuBarHooks::exportItem(dir.path(), *rig.model, *rig.settings);
    }
    const std::string error = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(written);
    // The captured standard error is a file too, which the size limit also stops.
    if (!failure.real) {
      EXPECT_NE(error.find(path.toStdString()), std::string::npos) << error;
      EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
    }
    EXPECT_EQ(test::folderState(dir.path()), before);
  }
}

TEST(MenuBarHooks, PanelWindowIsTitledReplacedAndGoesWithTheModel) {
  Icons::initResources();
  auto rig = std::make_unique<ModelRig>();
  for (int i = 0; i < 10; ++i) rig->model->ingest(busySnapshot(i, 40 + i, 90, false));
  QPointer<QWidget> first = MenuBarHooks::showPanel(*rig->model, *rig->settings, {});
  ASSERT_TRUE(first);
  EXPECT_EQ(first->windowTitle(), QStringLiteral("Menu Bar Panel"));
  // The title is hidden; a screen reader names the window as the panel's heading does.
  EXPECT_EQ(QAccessible::queryAccessibleInterface(first)->text(QAccessible::Name),
            QStringLiteral("KIVO Monitor"));
  EXPECT_TRUE(first->isVisible());
  EXPECT_EQ(first->width(), 310);
  EXPECT_TRUE(qobject_cast<MenuBarPanel*>(first.data()));

  QPointer<QWidget> second = MenuBarHooks::showPanel(*rig->model, *rig->settings, {});
  EXPECT_FALSE(first);
  ASSERT_TRUE(second);
  for (bool dark : {false, true}) {
    second->setPalette(Appearance::palette(dark));
    second->setAutoFillBackground(true);
    EXPECT_TRUE(second->grab().save(
        test::trayOutput(QStringLiteral("hook-panel-%1.png").arg(dark ? "dark" : "light"))));
  }
  rig.reset();
  EXPECT_FALSE(second);
}

}  // namespace
}  // namespace kivo
