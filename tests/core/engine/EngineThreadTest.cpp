#include "FakeSources.h"

#include "TestSupport.h"

#include "scheduler/TelemetryEngine.h"
#include "storage/StoreTime.h"
#include "storage/TimeSeriesStore.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <thread>

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

}  // namespace

TEST(EngineLoop, StartTwiceRunsOneLoopAndSlowReaderSeesOnlyTheNewest) {
  FakeSources* sources = nullptr;
  auto engine = makeEngine(nullptr, &sources);
  auto subscription = engine->snapshots();
  engine->start();
  engine->start();
  std::this_thread::sleep_for(1800ms);  // ticks at 0, 0.5, 1.0, 1.5 s
  // Stopped first: no tick can land between taking the newest and counting the reads.
  engine->stop();
  auto newest = subscription->take();
  ASSERT_TRUE(newest);
  const int cpuReads = sources->count("cpu");
  EXPECT_GE(cpuReads, 2);  // a loaded machine may delay a tick
  EXPECT_LE(cpuReads, 5) << "one loop, one tick per interval";
  EXPECT_EQ(newest->sequence, cpuReads) << "the reader skipped straight to the newest snapshot";
  EXPECT_FALSE(subscription->take()) << "nothing older is queued behind it";
  EXPECT_FALSE(engine->isRunning());
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
    engine->setPaused(true);  // no tick after this one adds values
    std::this_thread::sleep_for(100ms);
    if (auto s = subscription->take()) last = s;
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
  subscription->setWakeUp([&] {
    ++wakeUps;
    engine->stop();
  });
  engine->start();
  std::this_thread::sleep_for(1200ms);
  EXPECT_EQ(wakeUps.load(), 1) << "the loop ended after the tick that asked";
  EXPECT_GT(store->statistics().rawRows, 0);
  engine->stop();  // joins the finished loop
  EXPECT_FALSE(engine->isRunning());
}
