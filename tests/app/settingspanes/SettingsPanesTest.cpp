#include "PageShots.h"
#include "SettingsRig.h"

#include "desktop/TrayHost.h"
#include "features/settings/HistoryPane.h"
#include "features/settings/MenuBarPane.h"
#include "features/settings/SamplingPane.h"
#include "storage/TimeSeriesStore.h"
#include "texts/BuildInfo.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include <span>

#include <unistd.h>

namespace kivo {
namespace {

using test::find;
using test::pick;
using test::SettingsRig;
using test::SignalCount;
using test::step;

QString text(const QWidget& root, const char* name) {
  auto* label = root.findChild<QLabel*>(QLatin1String(name));
  return label ? label->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

// Whether a form row is shown (labels of hidden rows are hidden along with the field).
bool shown(const QWidget& root, const char* name) {
  auto* widget = root.findChild<QWidget*>(QLatin1String(name));
  return widget && !widget->isHidden();
}

class SettingsPanes : public ::testing::Test {
 protected:
  void open(SettingsRig& rig) {
    window = std::make_unique<SettingsWindow>(*rig.model, *rig.settings, rig.launchAtLogin);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->show();
    test::settle();
  }
  void showTab(int index) {
    window->setCurrentIndex(index);
    test::settle();
  }
  void TearDown() override { window.reset(); }

  std::unique_ptr<SettingsWindow> window;
};

TEST_F(SettingsPanes, WindowHoldsSixTabsInOrderAndOpensOnGeneralWithTheDefaults) {
  SettingsRig rig;
  open(rig);
  EXPECT_EQ(window->objectName(), "settings");
  EXPECT_EQ(window->size(), QSize(600, 520));
  ASSERT_EQ(window->count(), 6);
  const char* titles[] = {"General", "Sampling", "History", "Tray", "Privacy", "About"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(window->tabText(i), titles[i]);
  EXPECT_EQ(window->currentIndex(), 0);

  EXPECT_EQ(find<QComboBox>(*window, "settings.appearance")->currentText(), "Match System");
  EXPECT_EQ(find<QComboBox>(*window, "settings.density")->currentText(), "Regular");
  EXPECT_FALSE(find<QCheckBox>(*window, "settings.colorBlindSafe")->isChecked());
  EXPECT_FALSE(find<QCheckBox>(*window, "settings.launchAtLogin")->isChecked());

  const struct {
    const char* name;
    int position;
    const char* text;
  } sliders[] = {{"settings.interval", 2, "2 s"},
                 {"settings.backgroundInterval", 5, "5 s"},
                 {"settings.processInterval", 4, "4 s"},
                 {"settings.slowInterval", 30, "30 s"}};
  for (const auto& s : sliders) {
    EXPECT_EQ(find<QSlider>(*window, s.name)->value(), s.position) << s.name;
    EXPECT_EQ(text(*window, (std::string(s.name) + ".value").c_str()), s.text) << s.name;
  }
  EXPECT_TRUE(find<QCheckBox>(*window, "settings.batterySaver")->isChecked());
  EXPECT_TRUE(find<QCheckBox>(*window, "settings.bestEffort")->isChecked());
  EXPECT_TRUE(find<QCheckBox>(*window, "settings.recordHistory")->isChecked());
  EXPECT_EQ(find<QComboBox>(*window, "settings.retention.raw")->currentText(), "6 hours");
  EXPECT_EQ(find<QComboBox>(*window, "settings.retention.minute")->currentText(), "14 days");
  EXPECT_EQ(find<QComboBox>(*window, "settings.retention.hour")->currentText(), "2 years");
  EXPECT_EQ(find<QComboBox>(*window, "settings.retention.raw")->count(), 4);
  EXPECT_TRUE(find<QCheckBox>(*window, "settings.showMenuBar")->isChecked());
  // The tray shows a square icon here: the label's mini charts would change nothing.
  EXPECT_FALSE(window->findChild<QCheckBox*>(QStringLiteral("settings.menuBarGraphs")));
  const std::pair<const char*, bool> indicators[] = {
      {"cpu", true}, {"memory", true}, {"network", true}, {"disk", false}, {"battery", false}};
  for (const auto& [item, on] : indicators) {
    EXPECT_EQ(find<QCheckBox>(*window, QStringLiteral("settings.indicator.") + item)->isChecked(), on)
        << item;
  }
  EXPECT_FALSE(find<QCheckBox>(*window, "settings.privacyMask")->isChecked());
  // Opening the window wrote nothing.
  EXPECT_TRUE(rig.suiteBytes().isEmpty() || rig.suiteBytes() == "{}" ||
              !rig.suiteBytes().contains("telemetry"));
}

TEST_F(SettingsPanes, EveryChoiceIsWrittenToTheTestSuiteFile) {
  SettingsRig rig;
  open(rig);
  pick(find<QComboBox>(*window, "settings.appearance"), 2);
  pick(find<QComboBox>(*window, "settings.density"), 0);
  find<QCheckBox>(*window, "settings.colorBlindSafe")->click();
  showTab(1);
  step(find<QSlider>(*window, "settings.slowInterval"), 5);
  find<QCheckBox>(*window, "settings.bestEffort")->click();
  showTab(2);
  find<QCheckBox>(*window, "settings.recordHistory")->click();
  pick(find<QComboBox>(*window, "settings.retention.raw"), 0);
  pick(find<QComboBox>(*window, "settings.retention.hour"), 3);
  showTab(3);
  find<QCheckBox>(*window, "settings.showMenuBar")->click();
  showTab(4);
  find<QCheckBox>(*window, "settings.privacyMask")->click();

  std::unique_ptr<JsonFilePreferences> file;
  const auto stored = rig.readBack(file);
  EXPECT_EQ(stored->appearance(), AppearanceChoice::dark);
  EXPECT_EQ(stored->density(), DensityChoice::compact);
  EXPECT_TRUE(stored->colorBlindSafe());
  EXPECT_EQ(stored->telemetry().slowInterval, 35);
  EXPECT_FALSE(stored->telemetry().bestEffortMetrics);
  EXPECT_FALSE(stored->telemetry().historyEnabled);
  EXPECT_EQ(stored->telemetry().interval, 2);  // the others as they were
  EXPECT_EQ(stored->retention(), (RetentionPolicy{3'600, 1'209'600, 157'680'000}));
  EXPECT_FALSE(stored->showMenuBar());
  EXPECT_TRUE(stored->privacyMask());
  // Still editable with the tray item off.
  EXPECT_TRUE(find<QCheckBox>(*window, "settings.indicator.disk")->isEnabled());
}

TEST_F(SettingsPanes, StoredValuesNoControlCanShowAreShownAsTheyAreAndKeptUntilTheUserPicks) {
  SettingsRig rig([](AppSettings& settings) {
    TelemetryConfiguration telemetry;
    telemetry.interval = 1.5;  // edited by hand
    telemetry.backgroundInterval = 2.5;
    settings.setTelemetry(telemetry);
    settings.setRetention({5'400, 1'209'600, 100'000'000});  // edited by hand
  });
  const QByteArray before = rig.suiteBytes();
  ASSERT_TRUE(before.contains("5400"));

  open(rig);
  for (int tab = 0; tab < window->count(); ++tab) showTab(tab);
  showTab(1);
  EXPECT_EQ(text(*window, "settings.interval.value"), "1.5 s");
  EXPECT_EQ(find<QSlider>(*window, "settings.interval")->value(), 1);
  EXPECT_EQ(text(*window, "settings.backgroundInterval.value"), "2.5 s");
  EXPECT_EQ(find<QSlider>(*window, "settings.backgroundInterval")->value(), 2);
  auto* raw = find<QComboBox>(*window, "settings.retention.raw");
  EXPECT_EQ(raw->count(), 5);
  EXPECT_EQ(raw->currentText(), "1 h 30 min");
  EXPECT_EQ(find<QComboBox>(*window, "settings.retention.hour")->currentIndex(), 4);
  window->close();
  window.reset();
  test::settle();
  EXPECT_EQ(rig.suiteBytes(), before);
  EXPECT_EQ(rig.settings->telemetry().interval, 1.5);

  // The user's own choice replaces the value, and the extra entry goes.
  open(rig);
  showTab(2);
  raw = find<QComboBox>(*window, "settings.retention.raw");
  pick(raw, 0);
  EXPECT_EQ(rig.settings->retention().raw, 3'600);
  EXPECT_EQ(raw->count(), 4);
  EXPECT_EQ(rig.settings->retention().hour, 100'000'000);
  showTab(1);
  step(find<QSlider>(*window, "settings.interval"), 1);
  EXPECT_EQ(rig.settings->telemetry().interval, 2);
  EXPECT_EQ(rig.settings->telemetry().backgroundInterval, 2.5);
  EXPECT_EQ(text(*window, "settings.interval.value"), "2 s");
}

TEST_F(SettingsPanes, SamplingAppliesOnceForEachChangeWhileShownAndShowsTheIntervalInForce) {
  SettingsRig rig;
  open(rig);
  auto* pane = find<SamplingPane>(*window, "settings.sampling");
  ASSERT_TRUE(pane);
  SignalCount applied(pane, &SamplingPane::settingsApplied);
  showTab(0);
  showTab(1);
  EXPECT_EQ(applied.count(), 0);  // showing the pane applies nothing

  step(find<QSlider>(*window, "settings.processInterval"), 2);  // 4 → 5 → 6
  EXPECT_EQ(applied.count(), 2);
  EXPECT_EQ(rig.settings->telemetry().processInterval, 6);
  find<QCheckBox>(*window, "settings.batterySaver")->click();
  EXPECT_EQ(applied.count(), 3);

  // A change while another pane is shown is not applied from here.
  showTab(3);
  TelemetryConfiguration telemetry = rig.settings->telemetry();
  telemetry.slowInterval = 60;
  rig.settings->setTelemetry(telemetry);
  EXPECT_EQ(applied.count(), 3);
  showTab(1);
  EXPECT_EQ(find<QSlider>(*window, "settings.slowInterval")->value(), 60);  // but it is shown

  EXPECT_FALSE(shown(*window, "settings.intervalInForce"));
  TelemetrySnapshot snapshot = test::snapshotAt(1);
  snapshot.interval = 2;
  rig.model->ingest(snapshot);
  EXPECT_TRUE(shown(*window, "settings.intervalInForce"));
  EXPECT_EQ(text(*window, "settings.intervalInForce"), "2.0 s");
}

TEST_F(SettingsPanes, HistoryAppliesRetentionAndRecordingAndRefreshesOnEveryShowing) {
  SettingsRig rig;
  open(rig);
  auto* pane = find<HistoryPane>(*window, "settings.history");
  ASSERT_TRUE(pane);
  SignalCount applied(pane, &HistoryPane::settingsApplied);
  SignalCount refreshed(rig.model.get(), &MonitorModel::storeStatisticsChanged);

  // No statistics yet and no error: only the button.
  EXPECT_FALSE(shown(*window, "settings.databaseSize"));
  EXPECT_FALSE(shown(*window, "settings.storeError"));
  EXPECT_FALSE(shown(*window, "settings.oldestData"));

  showTab(2);
  rig.model->waitForWorker();
  ASSERT_TRUE(rig.model->storeStatistics());
  EXPECT_TRUE(rig.model->findingsUpdated());
  EXPECT_TRUE(shown(*window, "settings.databaseSize"));
  EXPECT_EQ(text(*window, "settings.storedSamples"), "0 · 0 · 0");
  EXPECT_FALSE(shown(*window, "settings.oldestData"));
  EXPECT_EQ(applied.count(), 0);
  const auto updated = *rig.model->findingsUpdated();

  pick(find<QComboBox>(*window, "settings.retention.raw"), 0);  // 6 hours → 1 hour
  EXPECT_EQ(applied.count(), 1);
  find<QCheckBox>(*window, "settings.recordHistory")->click();
  EXPECT_EQ(applied.count(), 2);
  // Another sampling field does not concern this pane.
  TelemetryConfiguration telemetry = rig.settings->telemetry();
  telemetry.interval = 5;
  rig.settings->setTelemetry(telemetry);
  EXPECT_EQ(applied.count(), 2);

  // Each showing refreshes once more.
  showTab(0);
  showTab(2);
  rig.model->waitForWorker();
  EXPECT_GE(*rig.model->findingsUpdated(), updated);
  EXPECT_GE(refreshed.count(), 1);
}

TEST_F(SettingsPanes, HistoryFiguresAreReadAgainWhileThePaneStaysOpen) {
  SettingsRig rig;
  open(rig);
  showTab(2);
  rig.model->waitForWorker();
  test::settle();
  EXPECT_EQ(text(*window, "settings.storedSamples"), "0 · 0 · 0");
  auto* timer = window->findChild<QTimer*>(QStringLiteral("settings.figuresRefresh"));
  ASSERT_TRUE(timer);
  EXPECT_TRUE(timer->isActive());
  EXPECT_EQ(timer->interval(), static_cast<int>(rig.settings->telemetry().flushInterval * 1000));

  // The store fills while the pane stays open; the next round shows it.
  const MetricValue value{MetricID::cpuTotal, 12};
  const QDateTime now = QDateTime::currentDateTimeUtc();
  test::store(*rig.model)->append(std::span(&value, 1), now);
  ASSERT_TRUE(test::store(*rig.model)->flush(now));
  QMetaObject::invokeMethod(timer, "timeout");
  rig.model->waitForWorker();
  test::settle();
  EXPECT_EQ(text(*window, "settings.storedSamples"), "1 · 1 · 1");

  // Another tab: no more reads.
  showTab(0);
  EXPECT_FALSE(timer->isActive());
}

TEST_F(SettingsPanes, EraseAsksFirstAndCancelIsTheDefault) {
  SettingsRig rig;
  rig.model->ingest(test::snapshotAt(1));
  ASSERT_TRUE(rig.model->latest(MetricID::cpuTotal));
  open(rig);
  showTab(2);
  auto* pane = find<HistoryPane>(*window, "settings.history");
  find<QPushButton>(*window, "settings.eraseHistory")->click();
  QMessageBox* box = pane->confirmation();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->windowModality(), Qt::WindowModal);
  EXPECT_EQ(box->text(), "Erase all recorded history?");
  ASSERT_TRUE(box->defaultButton());
  EXPECT_EQ(box->defaultButton()->objectName(), "settings.eraseCancel");
  EXPECT_EQ(box->escapeButton()->objectName(), "settings.eraseCancel");
  // Wide enough for its whole title beside the title bar's buttons.
  test::settle();
  EXPECT_GE(box->width(), box->fontMetrics().horizontalAdvance(box->windowTitle()) + 160);
  box->grab().save(test::pageOutput(QStringLiteral("settings"), QStringLiteral("erase-confirmation.png")));

  // Cancel erases nothing.
  box->defaultButton()->click();
  test::settle();
  rig.model->waitForWorker();
  EXPECT_TRUE(rig.model->latest(MetricID::cpuTotal));

  find<QPushButton>(*window, "settings.eraseHistory")->click();
  box = pane->confirmation();
  ASSERT_TRUE(box);
  box->findChild<QPushButton*>(QStringLiteral("settings.erase"))->click();
  test::settle();
  rig.model->waitForWorker();
  EXPECT_FALSE(rig.model->latest(MetricID::cpuTotal));
  EXPECT_TRUE(shown(*window, "settings.databaseSize"));
  EXPECT_EQ(text(*window, "settings.storedSamples"), "0 · 0 · 0");
  // The settings stay as they were.
  EXPECT_TRUE(rig.settings->telemetry().historyEnabled);
}

TEST_F(SettingsPanes, IndicatorsAreStoredInCaseOrderWhateverOrderTheyWereSwitchedIn) {
  SettingsRig rig([](AppSettings& settings) { settings.setMenuBarItems({MenuBarItem::memory}); });
  open(rig);
  showTab(3);
  find<QCheckBox>(*window, "settings.indicator.battery")->click();
  find<QCheckBox>(*window, "settings.indicator.cpu")->click();
  EXPECT_EQ(rig.settings->menuBarItems(),
            (std::vector{MenuBarItem::cpu, MenuBarItem::memory, MenuBarItem::battery}));

  // A list written elsewhere, with a duplicate and out of order, is shown as it is and
  // rewritten in order at the next switch.
  rig.settings->setMenuBarItems({MenuBarItem::battery, MenuBarItem::cpu, MenuBarItem::cpu});
  EXPECT_TRUE(find<QCheckBox>(*window, "settings.indicator.battery")->isChecked());
  EXPECT_FALSE(find<QCheckBox>(*window, "settings.indicator.memory")->isChecked());
  find<QCheckBox>(*window, "settings.indicator.disk")->click();
  EXPECT_EQ(rig.settings->menuBarItems(),
            (std::vector{MenuBarItem::cpu, MenuBarItem::disk, MenuBarItem::battery}));

  for (const char* item : {"cpu", "disk", "battery"}) {
    find<QCheckBox>(*window, QStringLiteral("settings.indicator.") + item)->click();
  }
  EXPECT_TRUE(rig.settings->menuBarItems().empty());
}

// The note that the desktop shows no tray is true while the pane is open: it goes when a tray
// arrives and comes back when it leaves.
TEST_F(SettingsPanes, TheNoTrayNoteFollowsTheTrayWhileOpen) {
  SettingsRig rig;
  bool available = false;
  TrayHost host([&] { return available; });
  window = std::make_unique<SettingsWindow>(*rig.model, *rig.settings, rig.launchAtLogin, &host);
  window->setAttribute(Qt::WA_DeleteOnClose, false);
  window->show();
  showTab(3);
  auto* pane = window->findChild<MenuBarPane*>(QStringLiteral("settings.menuBar"));
  ASSERT_TRUE(pane);
  EXPECT_TRUE(pane->showsNoTrayNote());
  EXPECT_TRUE(shown(*window, "settings.noTray"));

  available = true;
  host.recheck();
  EXPECT_FALSE(pane->showsNoTrayNote());
  EXPECT_FALSE(shown(*window, "settings.noTray"));
  window->grab().save(test::outputDir() + QStringLiteral("/settings-tray.png"));

  available = false;
  host.recheck();
  EXPECT_TRUE(shown(*window, "settings.noTray"));
}

TEST_F(SettingsPanes, LaunchAtLoginWritesTheAutostartEntryAndShowsOnlyWhatIsTrue) {
  SettingsRig rig;
  open(rig);
  auto* login = find<QCheckBox>(*window, "settings.launchAtLogin");
  const QString entry = rig.config.path() + QStringLiteral("/autostart/kivo-monitor.desktop");
  login->click();
  EXPECT_TRUE(QFileInfo::exists(entry));
  EXPECT_TRUE(login->isChecked());
  login->click();
  EXPECT_FALSE(QFileInfo::exists(entry));
  EXPECT_FALSE(login->isChecked());

  // A change made outside shows when the pane is shown again.
  rig.launchAtLogin.setEnabled(true);
  showTab(1);
  showTab(0);
  EXPECT_TRUE(login->isChecked());
  rig.launchAtLogin.setEnabled(false);
  showTab(1);
  showTab(0);

  // A refused change never shows as made: no autostart folder can be created where a file
  // stands, and (for a user other than root) a read-only folder takes no entry.
  QFile blocker(rig.config.path() + QStringLiteral("/autostart"));
  ASSERT_TRUE(QDir(rig.config.path() + QStringLiteral("/autostart")).removeRecursively());
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  login->click();
  EXPECT_FALSE(login->isChecked());
  // Why is said in the pane, naming the place.
  EXPECT_TRUE(shown(*window, "settings.launchAtLoginFailure"));
  EXPECT_TRUE(text(*window, "settings.launchAtLoginFailure").contains(rig.config.path() + "/autostart"))
      << text(*window, "settings.launchAtLoginFailure").toStdString();
  window->grab().save(test::outputDir() + QStringLiteral("/settings-login-refused.png"));
  ASSERT_TRUE(blocker.remove());
  login->click();
  EXPECT_TRUE(login->isChecked());
  EXPECT_FALSE(shown(*window, "settings.launchAtLoginFailure"));
  login->click();

  if (::geteuid() != 0) {
    QDir().mkpath(rig.config.path() + QStringLiteral("/autostart"));
    QFile::setPermissions(rig.config.path() + QStringLiteral("/autostart"),
                          QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    login->click();
    EXPECT_FALSE(login->isChecked());
    EXPECT_FALSE(QFileInfo::exists(entry));
  }
}

// A settings file that could not be read at start is said in the window, as a failed save is,
// with where the file is kept aside.
TEST_F(SettingsPanes, ASettingsFileThatCouldNotBeReadIsSaidWithWhereItIsKept) {
  QString suite;
  SettingsRig rig([&suite](AppSettings&) {
    suite = JsonFilePreferences::testSuitePath();
    QDir().mkpath(QFileInfo(suite).absolutePath());
    QFile file(suite);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\"appearance\": ");
  });
  open(rig);
  auto* line = find<QLabel>(*window, "settings.saveError");
  ASSERT_TRUE(line);
  EXPECT_FALSE(line->isHidden());
  EXPECT_TRUE(line->toolTip().contains(suite + ".unreadable")) << line->toolTip().toStdString();
  window->grab().save(test::outputDir() + QStringLiteral("/settings-file-not-read.png"));

  // The first change sets the file aside; the line then says where it went.
  find<QCheckBox>(*window, "settings.colorBlindSafe")->click();
  EXPECT_TRUE(QFileInfo::exists(suite + ".unreadable"));
  EXPECT_TRUE(line->toolTip().contains("It was kept as " + suite + ".unreadable"))
      << line->toolTip().toStdString();
  EXPECT_FALSE(line->isHidden());
}

TEST_F(SettingsPanes, AboutShowsTheVersionAndFollowsTheLiveFootprint) {
  SettingsRig rig;
  open(rig);
  showTab(5);
  EXPECT_EQ(text(*window, "settings.version"),
            QStringLiteral("Version %1 (%2)").arg(BuildInfo::version(), BuildInfo::buildNumber()));
  EXPECT_EQ(text(*window, "settings.model"), "—");  // no DMI model: no made-up name
  EXPECT_EQ(text(*window, "settings.selfCPU"), "—");
  EXPECT_EQ(text(*window, "settings.selfMemory"), "—");
  EXPECT_EQ(text(*window, "settings.collectionTime"), "—");

  TelemetrySnapshot snapshot = test::snapshotAt(1, {{MetricID::selfCPU, 1.25}});
  snapshot.selfMemory = 64ull * 1024 * 1024;
  snapshot.collectionTime = 2.5;
  rig.model->ingest(snapshot);
  const ValueFormatter& format = rig.model->format();
  EXPECT_EQ(text(*window, "settings.selfCPU"), format.percent(1.25, 1));
  EXPECT_EQ(text(*window, "settings.selfMemory"), format.bytes(64.0 * 1024 * 1024, true));
  EXPECT_EQ(text(*window, "settings.collectionTime"), format.number(2.5, 1) + " ms");

  // Erasing empties the live series: the CPU row waits for the next tick, the others stay.
  rig.model->eraseHistory();
  rig.model->waitForWorker();
  test::settle();
  EXPECT_EQ(text(*window, "settings.selfCPU"), "—");
  EXPECT_EQ(text(*window, "settings.selfMemory"), format.bytes(64.0 * 1024 * 1024, true));
}

}  // namespace
}  // namespace kivo
