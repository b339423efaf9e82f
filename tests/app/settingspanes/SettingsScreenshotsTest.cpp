#include "SettingsRig.h"

#include "design/Appearance.h"
#include "design/ControlStyle.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>

namespace kivo {
namespace {

using test::SettingsRig;

QString outputPath(const QString& name) {
  const QString dir = test::outputDir() + QStringLiteral("/settings");
  QDir().mkpath(dir);
  return dir + QLatin1Char('/') + name;
}

// Every tab in light and dark, fed as a running monitor would be, for a person to look at.
TEST(SettingsScreenshots, EveryTabInLightAndDark) {
  QApplication::setStyle(new ControlStyle);  // the application's style, as AppearanceController sets it
  SettingsRig rig(
      [](AppSettings& settings) {
        TelemetryConfiguration telemetry;
        telemetry.interval = 0.5;
        settings.setTelemetry(telemetry);
      },
      // This computer as it is, so the About rows show real texts.
      [](MonitorModel::Environment& environment) {
        environment.systemInfo = [] { return SystemInfo::current(); };
      });
  TelemetrySnapshot snapshot = test::snapshotAt(1, {{MetricID::selfCPU, 1.4}});
  snapshot.interval = 2;
  snapshot.selfMemory = 71ull * 1024 * 1024;
  snapshot.collectionTime = 3.2;
  rig.model->ingest(snapshot);
  const char* tabs[] = {"general", "sampling", "history", "tray", "privacy", "about"};
  for (bool dark : {false, true}) {
    SettingsWindow window(*rig.model, *rig.settings, rig.launchAtLogin);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.setPalette(Appearance::palette(dark));
    window.show();
    for (int tab = 0; tab < window.count(); ++tab) {
      window.setCurrentIndex(tab);
      test::settle();
      rig.model->waitForWorker();
      test::settle();
      const QString name =
          QStringLiteral("%1-%2.png")
              .arg(QLatin1String(tabs[tab]), dark ? QStringLiteral("dark") : QStringLiteral("light"));
      EXPECT_TRUE(window.grab().save(outputPath(name))) << name.toStdString();
    }
  }
}

// The History pane of a run whose database could not be opened.
TEST(SettingsScreenshots, HistoryWithoutADatabase) {
  QTemporaryDir dir;
  SettingsRig rig({}, {}, test::unopenableDataDir(dir));
  ASSERT_TRUE(rig.model->storeError());
  for (bool dark : {false, true}) {
    SettingsWindow window(*rig.model, *rig.settings, rig.launchAtLogin);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.setPalette(Appearance::palette(dark));
    window.show();
    window.setCurrentIndex(2);
    test::settle();
    rig.model->waitForWorker();
    test::settle();
    ASSERT_TRUE(window.findChild<QWidget*>(QStringLiteral("settings.storeError")));
    EXPECT_FALSE(window.findChild<QWidget*>(QStringLiteral("settings.storeError"))->isHidden());
    auto* error = window.findChild<QLabel*>(QStringLiteral("settings.storeError.text"));
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->text().startsWith(QStringLiteral("The history database could not be opened: ")));
    EXPECT_TRUE(window.findChild<QLabel*>(QStringLiteral("settings.databaseSize"))->isHidden());
    // Nothing could be erased: the button is off and says why.
    EXPECT_FALSE(window.findChild<QWidget*>(QStringLiteral("settings.eraseHistory"))->isEnabled());
    auto* why = window.findChild<QLabel*>(QStringLiteral("settings.eraseUnavailable"));
    ASSERT_TRUE(why);
    EXPECT_FALSE(why->isHidden());
    EXPECT_EQ(why->text(), QStringLiteral("No history is open, so there is nothing to erase."));
    EXPECT_TRUE(window.grab().save(outputPath(dark ? QStringLiteral("history-error-dark.png")
                                                   : QStringLiteral("history-error-light.png"))));
  }
}

}  // namespace
}  // namespace kivo
