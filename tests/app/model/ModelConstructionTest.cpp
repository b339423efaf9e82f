#include "ModelTestSupport.h"
#include "TestSupport.h"

#include "scheduler/TelemetryEngine.h"
#include "settings/SettingCodecs.h"
#include "storage/TimeSeriesStore.h"

#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace kivo {
namespace {

using test::ModelRig;

TEST(ModelStorage, TheDatabaseLivesInTheGivenFolderOrUnderTheUserDataFolder) {
  MemoryPreferences given({{QStringLiteral("KIVODataDir"), QStringLiteral("/srv/kivo data")}});
  EXPECT_EQ(MonitorModel::databasePath(given), QStringLiteral("/srv/kivo data/telemetry.sqlite"));

  QTemporaryDir home;
  const QByteArray previous = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", home.path().toUtf8());
  MemoryPreferences none;
  const QString path = MonitorModel::databasePath(none);
  qputenv("XDG_DATA_HOME", previous);
  EXPECT_EQ(path, home.path() + QStringLiteral("/KIVO Monitor/telemetry.sqlite"));
}

TEST(ModelStorage, OpensTheStoreInTheDataFolderWithTheSettingsRetention) {
  ModelRig rig;
  ASSERT_TRUE(rig.model->hasHistory());
  EXPECT_FALSE(rig.model->storeError());
  EXPECT_EQ(test::store(*rig.model)->path(), rig.dir.filePath(QStringLiteral("telemetry.sqlite")));
  EXPECT_EQ(test::store(*rig.model)->retention(), rig.settings->retention());
  EXPECT_TRUE(QFile::exists(rig.dir.filePath(QStringLiteral("telemetry.sqlite"))));
  // Nothing samples until start().
  EXPECT_FALSE(rig.model->isStarted());
  EXPECT_FALSE(rig.model->snapshot());
}

TEST(ModelStorage, AFileThatIsNoDatabaseLeavesTheModelWithoutHistoryAndTheFileUntouched) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("telemetry.sqlite"));
  const QByteArray garbage = QByteArray("this is not a database, but somebody's data\n").repeated(200);
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(garbage);
  }
  MemoryPreferences domain;
  MemoryPreferences standard({{QStringLiteral("KIVODataDir"), dir.path()}});
  AppSettings settings(domain);
  test::Probe probe;
  {
    MonitorModel model(settings, standard, test::fakeEnvironment(probe));
    model.waitForWorker();
    EXPECT_FALSE(model.hasHistory());
    ASSERT_TRUE(model.storeError());
    EXPECT_FALSE(model.storeError()->isEmpty());
    // A sentence for a person, not the error's case name and quotes around it.
    EXPECT_FALSE(model.storeError()->startsWith(QLatin1String("sql(")) ||
                 model.storeError()->startsWith(QLatin1String("open(")))
        << qPrintable(*model.storeError());
    EXPECT_FALSE(model.storeStatistics());

    // Everything that needs the store still answers, with nothing.
    bool answered = false;
    model.events({EventKind::bookmark}, 10, &model, [&](std::vector<StoredEvent> events) {
      answered = true;
      EXPECT_TRUE(events.empty());
    });
    model.waitForWorker();
    EXPECT_TRUE(answered);
    model.ingest(test::snapshotAt(0));
    model.addBookmark(QStringLiteral("kept nowhere"));
    model.eraseHistory();
    model.waitForWorker();
    EXPECT_TRUE(model.live(MetricID::cpuTotal).isEmpty());
    EXPECT_FALSE(model.storeStatistics());
    EXPECT_EQ(model.eventsRevision(), 2);
    model.shutdown();
  }
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), garbage);
}

TEST(ModelStorage, AFolderThatCannotBeCreatedIsAStoreError) {
  QTemporaryDir dir;
  const QString blocker = dir.filePath(QStringLiteral("plain-file"));
  {
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  MemoryPreferences domain;
  MemoryPreferences standard({{QStringLiteral("KIVODataDir"), blocker + QStringLiteral("/below")}});
  AppSettings settings(domain);
  test::Probe probe;
  MonitorModel model(settings, standard, test::fakeEnvironment(probe));
  test::SignalCount errors(&model, &MonitorModel::storeErrorChanged);
  model.waitForWorker();
  EXPECT_FALSE(model.hasHistory());
  EXPECT_TRUE(model.storeError());
  EXPECT_EQ(errors.count(), 1);
}

// The history's first open (it checks the whole file) runs on the worker, so building the model
// never waits for it; what is asked of the history meanwhile is done once it is open.
TEST(ModelStorage, TheHistoryOpensOnTheWorkerAndWorkGivenMeanwhileFindsIt) {
  QTemporaryDir dir;
  MemoryPreferences domain;
  MemoryPreferences standard({{QStringLiteral("KIVODataDir"), dir.path()}});
  AppSettings settings(domain);
  test::Probe probe;
  MonitorModel model(settings, standard, test::fakeEnvironment(probe));
  // Attached on the GUI thread only once the worker's result comes back.
  EXPECT_FALSE(model.hasHistory());
  EXPECT_FALSE(model.storeError());
  model.addBookmark(QStringLiteral("before the history opened"));
  std::vector<StoredEvent> found;
  model.events({EventKind::bookmark}, 10, &model,
               [&](std::vector<StoredEvent> events) { found = std::move(events); });
  model.waitForWorker();
  ASSERT_TRUE(model.hasHistory());
  EXPECT_FALSE(model.storeError());
  EXPECT_EQ(test::store(model)->path(), dir.filePath(QStringLiteral("telemetry.sqlite")));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found.front().payload.value(QStringLiteral("note")), QStringLiteral("before the history opened"));
  model.shutdown();
}

TEST(ModelLaunchOptions, TestIntervalRewritesTheSamplingSettingsOnlyInTestMode) {
  struct Case {
    const char* name;
    QMap<QString, QVariant> arguments;
    bool rewritten;
    double interval;
  };
  const std::vector<Case> cases = {
      {"test mode", {{"KIVOUITest", "YES"}, {"KIVOInterval", "0.75"}}, true, 0.75},
      {"raised to the least interval", {{"KIVOUITest", "YES"}, {"KIVOInterval", "0.2"}}, true, 0.5},
      {"without test mode", {{"KIVOInterval", "0.75"}}, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ModelRig rig(c.arguments);
    const TelemetryConfiguration defaults;
    const TelemetryConfiguration& telemetry = rig.settings->telemetry();
    if (!c.rewritten) {
      EXPECT_EQ(telemetry, defaults);
      continue;
    }
    EXPECT_EQ(telemetry.interval, c.interval);
    EXPECT_EQ(telemetry.backgroundInterval, c.interval);
    EXPECT_EQ(telemetry.processInterval, 2 * c.interval);
    EXPECT_FALSE(telemetry.batterySaver);
    // Written through as it is (a later launch would hold it to the settings window's range,
    // but test mode starts from an erased suite every time).
    EXPECT_EQ(SettingCodecs::decodeTelemetry(rig.domain.object(QStringLiteral("telemetry"))), telemetry);
    // And the engine was built with it.
    EXPECT_EQ(test::engine(*rig.model).configuration(), telemetry);
  }
}

TEST(ModelLaunchOptions, PrivacyMaskOnlyInTestMode) {
  ModelRig plain({{"KIVOPrivacy", "YES"}});
  EXPECT_FALSE(plain.settings->privacyMask());
  ModelRig testing({{"KIVOPrivacy", "YES"}, {"KIVOUITest", "1"}});
  EXPECT_TRUE(testing.settings->privacyMask());
}

}  // namespace
}  // namespace kivo
