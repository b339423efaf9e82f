#include "FullDisk.h"
#include "ModelTestSupport.h"
#include "TestSupport.h"

#include "scheduler/SnapshotSubscription.h"
#include "scheduler/TelemetryEngine.h"
#include "storage/TimeSeriesStore.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

using test::FullDisk;
using test::ModelRig;
using test::waitUntil;

// Ticks the model's engine by hand, two seconds apart, and hands each snapshot to the model as
// its wake-up would.
class HandTicks {
 public:
  explicit HandTicks(MonitorModel& model) : model_(model), subscription_(test::engine(model).snapshots()) {}

  // Ticks until `seconds` more have passed; returns the values appended.
  std::int64_t run(double seconds) {
    std::int64_t values = 0;
    for (const double end = now_ + seconds; now_ < end; now_ += 2) {
      // The tick's flush steps aside while the worker holds the database (findings, statistics);
      // waiting keeps the flushes on the ticks this test counts on.
      model_.waitForWorker();
      test::engine(model_).tick(now_, start_.addMSecs(static_cast<qint64>((now_ - 1000) * 1000)));
      if (auto snapshot = subscription_->take()) {
        values += static_cast<std::int64_t>(snapshot->values.size());
        model_.ingest(std::move(snapshot));
      }
    }
    return values;
  }

 private:
  MonitorModel& model_;
  std::shared_ptr<SnapshotSubscription> subscription_;
  double now_ = 1000;
  // Dated from now, so the store's own pruning (against the wall clock) keeps every row.
  const QDateTime start_ = QDateTime::currentDateTimeUtc();
};

// Turns the full disk off at the end of a test, whatever happened in it.
struct DiskFreedAtEnd {
  DiskFreedAtEnd() { FullDisk::install(); }
  ~DiskFreedAtEnd() { FullDisk::setFull(false); }
};

TEST(ModelHistory, AFullDiskIsAStoreErrorUntilAFlushSucceedsAndNothingQueuedIsLost) {
  DiskFreedAtEnd disk;
  ModelRig rig;
  MonitorModel& model = *rig.model;
  ASSERT_TRUE(model.hasHistory());
  test::SignalCount errors(&model, &MonitorModel::storeErrorChanged);
  HandTicks ticks(model);

  FullDisk::setFull(true);
  std::int64_t appended = ticks.run(2);  // the first tick flushes at once, and fails
  ASSERT_TRUE(model.storeError());
  EXPECT_TRUE(model.storeError()->startsWith(QStringLiteral("The disk is full: ")))
      << qPrintable(*model.storeError());
  EXPECT_TRUE(
      model.storeError()->contains(QStringLiteral("%1 samples are waiting to be written").arg(appended)))
      << qPrintable(*model.storeError());
  EXPECT_EQ(errors.count(), 1);
  appended += ticks.run(28);  // no flush due: nothing new to say
  EXPECT_EQ(errors.count(), 1);
  appended += ticks.run(2);  // 30 s on, the next flush fails too, with more waiting
  EXPECT_TRUE(model.storeError()->contains(QStringLiteral("%1 samples are waiting").arg(appended)))
      << qPrintable(*model.storeError());
  EXPECT_EQ(errors.count(), 2);

  FullDisk::setFull(false);
  appended += ticks.run(30);
  EXPECT_FALSE(model.storeError());
  EXPECT_EQ(errors.count(), 3);

  model.shutdown();
  model.waitForWorker();
  EXPECT_EQ(test::store(model)->statistics().rawRows, appended);
  EXPECT_TRUE(rig.probe.logged->isEmpty());
}

TEST(ModelHistory, ABookmarkSaysWhetherTheHistoryKeptIt) {
  DiskFreedAtEnd disk;
  ModelRig rig;
  MonitorModel& model = *rig.model;
  ASSERT_TRUE(model.hasHistory());
  std::vector<bool> said;
  QObject::connect(&model, &MonitorModel::bookmarkAdded, [&](bool kept) { said.push_back(kept); });
  model.addBookmark(QStringLiteral("kept"));
  model.waitForWorker();
  FullDisk::setFull(true);
  model.addBookmark(QStringLiteral("refused"));
  model.waitForWorker();
  FullDisk::setFull(false);
  EXPECT_EQ(said, (std::vector<bool>{true, false}));
}

TEST(ModelHistory, SamplesThatCannotBeWrittenAtQuitAreReportedOnStandardError) {
  struct Case {
    const char* name;
    bool fullAtQuit;
  };
  for (const Case& c : {Case{"still full", true}, Case{"space again", false}}) {
    SCOPED_TRACE(c.name);
    DiskFreedAtEnd disk;
    ModelRig rig;
    HandTicks ticks(*rig.model);
    FullDisk::setFull(true);
    const std::int64_t appended = ticks.run(10);
    FullDisk::setFull(c.fullAtQuit);
    rig.model->shutdown();
    if (c.fullAtQuit) {
      ASSERT_EQ(rig.probe.logged->size(), 1);
      const QString line = rig.probe.logged->first();
      EXPECT_TRUE(line.contains(QStringLiteral("%1 samples could not be written").arg(appended)))
          << qPrintable(line);
      EXPECT_TRUE(line.contains(QStringLiteral("full"))) << qPrintable(line);
    } else {
      EXPECT_TRUE(rig.probe.logged->isEmpty());
      FullDisk::setFull(false);
      rig.model->waitForWorker();
      EXPECT_EQ(test::store(*rig.model)->statistics().rawRows, appended);
    }
  }
}

TEST(ModelHistory, AHistoryHeldByAnotherInstanceOpensOnceReleasedAndRecordingStarts) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("telemetry.sqlite"));
  auto other = std::make_unique<TimeSeriesStore>(path);
  MemoryPreferences domain;
  MemoryPreferences standard({{QStringLiteral("KIVODataDir"), dir.path()},
                              {QStringLiteral("KIVOUITest"), QStringLiteral("YES")},
                              {QStringLiteral("KIVOInterval"), QStringLiteral("0.5")}});
  AppSettings settings(domain);
  test::Probe probe;
  MonitorModel::Environment environment = test::fakeEnvironment(probe);
  environment.historyRetry = std::chrono::milliseconds(20);
  MonitorModel model(settings, standard, environment);
  model.waitForWorker();  // the first attempt, on the worker
  ASSERT_FALSE(model.hasHistory());
  ASSERT_TRUE(model.storeError());
  EXPECT_TRUE(model.storeError()->contains(QStringLiteral("another running instance")))
      << qPrintable(*model.storeError());

  test::SignalCount errors(&model, &MonitorModel::storeErrorChanged);
  model.start();
  ASSERT_TRUE(waitUntil([&] { return model.snapshot() != nullptr; }));
  // Two ticks on (half a second apart), the history has been tried every 20 ms meanwhile,
  // and refused each time for the same reason.
  const std::int64_t first = model.snapshot()->sequence;
  ASSERT_TRUE(waitUntil([&] { return model.snapshot()->sequence >= first + 2; }));
  EXPECT_FALSE(model.hasHistory());
  EXPECT_EQ(errors.count(), 0);

  other.reset();  // the other instance quits
  ASSERT_TRUE(waitUntil([&] { return model.hasHistory(); }));
  EXPECT_FALSE(model.storeError());
  EXPECT_EQ(errors.count(), 1);
  EXPECT_EQ(test::engine(model).store(), test::store(model));

  const std::int64_t sequence = model.snapshot()->sequence;
  ASSERT_TRUE(waitUntil([&] { return model.snapshot()->sequence >= sequence + 2; }));
  model.shutdown();
  EXPECT_GT(test::store(model)->statistics().rawRows, 0);
  // Held by this run now.
  EXPECT_THROW(TimeSeriesStore{path}, StoreError);
}

}  // namespace
}  // namespace kivo
