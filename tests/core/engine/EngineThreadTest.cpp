#include "FakeSources.h"

#include "TestSupport.h"
#include "WaitUntil.h"

#include "scheduler/TelemetryEngine.h"
#include "storage/StoreTime.h"
#include "storage/TimeSeriesStore.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <atomic>
#include <memory>
#include <vector>

using namespace kivo;
using kivo::test::FakeSources;
using namespace std::chrono_literals;

namespace {

TelemetryConfiguration fast() {
  TelemetryConfiguration configuration;
  configuration.interval = 0.5;
  configuration.processInterval = 0.5;
  return configuration;
}

std::unique_ptr<TelemetryEngine> makeEngine(std::shared_ptr<TimeSeriesStore> store, FakeSources** sources) {
  auto script = std::make_shared<FakeSources::Script>();
  CPUSample cpu;
  cpu.total.user = 0.1;
  script->cpu = cpu;
  auto fake = std::make_unique<FakeSources>(script);
  *sources = fake.get();
  return std::make_unique<TelemetryEngine>(std::move(store), fast(), std::vector<AlertRule>{},
                                           std::move(fake));
}

// Sets its flag when the thread that made it ends.
struct ThreadEndNotice {
  explicit ThreadEndNotice(std::shared_ptr<std::atomic<bool>> ended) : ended(std::move(ended)) {}
  ~ThreadEndNotice() { *ended = true; }
  std::shared_ptr<std::atomic<bool>> ended;
};

}  // namespace

TEST(EngineLoop, StartTwiceRunsOneLoopAndSlowReaderSeesOnlyTheNewest) {
  FakeSources* sources = nullptr;
  auto engine = makeEngine(nullptr, &sources);
  auto slow = engine->snapshots();  // takes nothing until the end
  auto watcher = engine->snapshots();
  engine->start();
  engine->start();
  std::vector<std::shared_ptr<const TelemetrySnapshot>> seen;
  while (seen.size() < 3) {
    auto snapshot = watcher->waitAndTake(60s);
    ASSERT_TRUE(snapshot);
    seen.push_back(std::move(snapshot));
  }
  // Stopped first: no tick can land between taking the newest and counting the reads.
  engine->stop();
  EXPECT_FALSE(engine->isRunning());
  // A second loop would tick alongside the first, well inside one interval.
  for (std::size_t i = 1; i < seen.size(); ++i) {
    EXPECT_GE(seen[i - 1]->date.msecsTo(seen[i]->date), 450) << "one loop, one tick per interval";
  }
  const int cpuReads = sources->count("cpu");
  auto newest = slow->take();
  ASSERT_TRUE(newest);
  EXPECT_GE(cpuReads, 3);
  EXPECT_EQ(newest->sequence, cpuReads) << "the reader skipped straight to the newest snapshot";
  EXPECT_FALSE(slow->take()) << "nothing older is queued behind it";
}

TEST(EngineLoop, DroppedSubscriberIsPrunedAndOthersKeepReceiving) {
  FakeSources* sources = nullptr;
  auto engine = makeEngine(nullptr, &sources);
  auto kept = engine->snapshots();
  std::weak_ptr<SnapshotSubscription> dropped = engine->snapshots();
  EXPECT_TRUE(dropped.expired()) << "the engine holds subscribers weakly";
  engine->tick(1, QDateTime::currentDateTimeUtc());
  EXPECT_TRUE(kept->take());
}

TEST(EngineLoop, CommandsWakeTheLoopAndStopJoinsBeforeFlushing) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("telemetry.sqlite"));
  std::shared_ptr<const TelemetrySnapshot> last;
  {
    auto store = std::make_shared<TimeSeriesStore>(path);
    FakeSources* sources = nullptr;
    auto engine = makeEngine(store, &sources);
    auto subscription = engine->snapshots();
    engine->start();
    for (int i = 0; i < 50 && (!last || last->sequence < 3); ++i) {
      if (auto s = subscription->waitAndTake(200ms)) last = s;
    }
    ASSERT_TRUE(last);
    // The longest interval: from its next tick on, the loop waits a minute, so only a command
    // that wakes it gets through in time.
    TelemetryConfiguration slow = fast();
    slow.interval = 60;
    slow.processInterval = 60;
    engine->update(slow);
    while (last->interval < 60) {
      auto s = subscription->waitAndTake(60s);
      ASSERT_TRUE(s);
      last = s;
    }
    engine->setPaused(true);  // pausing starts new baselines: the sources hear it
    ASSERT_TRUE(test::waitUntil([&] { return sources->count("reset") == 1; }));
    EXPECT_FALSE(subscription->take()) << "paused: no tick after the last one";
    engine->stop();
    EXPECT_FALSE(engine->isRunning());
  }
  // Reopened from the file: the last tick's values are there although the flush
  // interval (30 s) never came round inside the loop.
  TimeSeriesStore reopened(path);
  const auto series = reopened.series(MetricID::cpuTotal, last->date.addSecs(-60), last->date.addSecs(1),
                                      1000, StoreTier::raw, last->date.addSecs(1));
  ASSERT_FALSE(series.points.empty());
  EXPECT_EQ(series.sampleCount(), last->sequence);
  // The newest bucket holds the last tick.
  const double lastTime = last->date.toMSecsSinceEpoch() / 1000.0;
  EXPECT_LE(series.points.back().time, lastTime);
  EXPECT_GT(series.points.back().time + series.step, lastTime);
}

TEST(EngineLoop, StopFromASnapshotWakeUpEndsTheLoopWithoutJoiningItself) {
  FakeSources* sources = nullptr;
  auto store = std::make_shared<TimeSeriesStore>(std::nullopt);
  auto engine = makeEngine(store, &sources);
  auto subscription = engine->snapshots();
  std::atomic<int> wakeUps = 0;
  auto loopEnded = std::make_shared<std::atomic<bool>>(false);
  subscription->setWakeUp([&, loopEnded] {
    // Destroyed when the loop's thread ends, which only the loop itself can make happen here.
    thread_local const ThreadEndNotice notice(loopEnded);
    ++wakeUps;
    engine->stop();
  });
  engine->start();
  ASSERT_TRUE(test::waitUntil([&] { return loopEnded->load(); }));
  EXPECT_EQ(wakeUps.load(), 1) << "the loop ended after the tick that asked";
  EXPECT_GT(store->statistics().rawRows, 0);
  engine->stop();  // joins the finished loop
  EXPECT_FALSE(engine->isRunning());
}
