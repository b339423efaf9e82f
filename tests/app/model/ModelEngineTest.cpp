#include "ModelTestSupport.h"
#include "TestSupport.h"

#include "scheduler/TelemetryEngine.h"
#include "storage/TimeSeriesStore.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace kivo {
namespace {

using test::ModelRig;
using test::waitUntil;

const QMap<QString, QVariant> kFast = {{"KIVOUITest", "YES"}, {"KIVOInterval", "0.5"}};

int points(const MonitorModel& model, MetricID metric) {
  return model.live(metric).size();
}

TEST(ModelEngine, StartedModelIngestsTheEnginesSnapshotsAndShutdownFlushesThem) {
  ModelRig rig(kFast);
  MonitorModel& model = *rig.model;
  test::FakeNotifier notifier(NotificationStatus::authorized);
  model.setNotifier(&notifier);
  model.start();
  model.start();
  model.start();
  EXPECT_TRUE(model.isStarted());
  EXPECT_TRUE(test::engine(model).isRunning());
  EXPECT_EQ(notifier.refreshes, 1);
  EXPECT_EQ(test::store(model)->rawInterval(), 0.5);

  ASSERT_TRUE(waitUntil([&] { return points(model, MetricID::cpuTotal) >= 3; }));
  ASSERT_TRUE(model.snapshot());
  EXPECT_DOUBLE_EQ(*model.latest(MetricID::cpuTotal), 37.5);
  EXPECT_EQ(model.coreHistory().last(), (QList<double>{0.5, 0.5}));
  // Snapshots come one after another, never two at once from a backlog.
  const LiveRing& series = model.live(MetricID::cpuTotal);
  for (int i = 1; i < series.size(); ++i) EXPECT_LT(series[i - 1].date, series[i].date);

  model.shutdown();
  EXPECT_FALSE(test::engine(model).isRunning());
  EXPECT_TRUE(model.isShutDown());
  const int ingested = points(model, MetricID::cpuTotal);
  // Nothing arrives after the stop, and the ticks so far are in the file. The loop is joined,
  // so every wake-up it ever posted is in the queue now.
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(points(model, MetricID::cpuTotal), ingested);
  EXPECT_GE(test::store(model)->statistics().rawRows, ingested);
  model.start();
  EXPECT_FALSE(test::engine(model).isRunning());
}

// The quiet readings, with readers of Wi-Fi and DNS that note the thread they run on.
class SlowReadingSources final : public test::QuietSources {
 public:
  struct Calls {
    std::mutex mutex;
    std::vector<std::thread::id> threads;
  };
  explicit SlowReadingSources(std::shared_ptr<Calls> calls) : calls_(std::move(calls)) {}

  std::optional<WiFiLink> wifi() override {
    note();
    WiFiLink link;
    link.interface = QStringLiteral("wlan0");
    link.rssi = -61;
    return link;
  }
  DNSConfiguration dns() override {
    note();
    DNSConfiguration dns;
    dns.servers = {QStringLiteral("192.0.2.53")};
    return dns;
  }

 private:
  void note() {
    std::lock_guard lock(calls_->mutex);
    calls_->threads.push_back(std::this_thread::get_id());
  }
  std::shared_ptr<Calls> calls_;
};

// The Wi-Fi link (netlink requests that may wait) and the resolver files are read among the
// engine's slow readings, never on the GUI thread, and reach the model with the snapshots.
TEST(ModelEngine, WiFiAndDnsAreReadOnTheEnginesThreadAndArriveWithTheSnapshots) {
  auto calls = std::make_shared<SlowReadingSources::Calls>();
  ModelRig rig(kFast, [calls](MonitorModel::Environment& environment) {
    environment.sources = [calls] { return std::make_unique<SlowReadingSources>(calls); };
  });
  MonitorModel& model = *rig.model;
  {
    std::lock_guard lock(calls->mutex);
    EXPECT_TRUE(calls->threads.empty());  // nothing read while the model was built
  }
  model.start();
  ASSERT_TRUE(waitUntil([&] { return model.wifi().has_value(); }));
  EXPECT_EQ(model.wifi()->rssi, -61);
  EXPECT_EQ(model.dns().servers, QStringList{QStringLiteral("192.0.2.53")});
  // Later snapshots carry the last reading without reading again on the GUI thread.
  ASSERT_TRUE(waitUntil([&] { return points(model, MetricID::cpuTotal) >= 3; }));
  model.shutdown();
  std::lock_guard lock(calls->mutex);
  ASSERT_FALSE(calls->threads.empty());
  for (const auto& thread : calls->threads) EXPECT_NE(thread, std::this_thread::get_id());
}

TEST(ModelEngine, SleepIsRecordedAndTheNextSnapshotStartsTheLiveRingAfresh) {
  ModelRig rig(kFast);
  MonitorModel& model = *rig.model;
  model.start();
  ASSERT_TRUE(waitUntil([&] { return points(model, MetricID::cpuTotal) >= 2; }));
  model.noteSystemEvent(QStringLiteral("system.sleep"));
  ASSERT_TRUE(waitUntil([&] { return model.snapshot()->afterDiscontinuity; }));
  EXPECT_EQ(points(model, MetricID::cpuTotal), 1);
  model.shutdown();

  bool answered = false;
  model.events({EventKind::system}, 10, &model, [&](std::vector<StoredEvent> events) {
    answered = true;
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].code, QStringLiteral("system.sleep"));
  });
  model.waitForWorker();
  EXPECT_TRUE(answered);
}

// The quiet readings, counting how often the engine starts new baselines (each pause does).
class ResetCountingSources final : public test::QuietSources {
 public:
  explicit ResetCountingSources(std::shared_ptr<std::atomic<int>> resets) : resets_(std::move(resets)) {}
  void reset() override { ++*resets_; }

 private:
  std::shared_ptr<std::atomic<int>> resets_;
};

TEST(ModelEngine, PausedEngineSendsNothingUntilResumed) {
  auto resets = std::make_shared<std::atomic<int>>(0);
  ModelRig rig(kFast, [resets](MonitorModel::Environment& environment) {
    environment.sources = [resets] { return std::make_unique<ResetCountingSources>(resets); };
  });
  MonitorModel& model = *rig.model;
  model.setPaused(true);
  model.start();
  // The first tick takes the pause; pausing again is a command the loop takes after that tick.
  ASSERT_TRUE(waitUntil([&] { return resets->load() == 1; }));
  model.setPaused(true);
  ASSERT_TRUE(waitUntil([&] { return resets->load() == 2; }));
  QCoreApplication::sendPostedEvents();  // a wake-up from that tick would be queued by now
  EXPECT_FALSE(model.snapshot());
  model.setPaused(false);
  EXPECT_TRUE(waitUntil([&] { return model.snapshot() != nullptr; }));
  model.shutdown();
}

TEST(ModelEngine, AModelDestroyedWhileSamplingStopsCleanly) {
  for (int round = 0; round < 3; ++round) {
    ModelRig rig(kFast);
    rig.model->start();
    ASSERT_TRUE(waitUntil([&] { return rig.model->snapshot() != nullptr; }));
    rig.model->refreshFindings();
    rig.model->addBookmark(QStringLiteral("going"));
    rig.model.reset();  // no shutdown: the destructor must still leave nothing behind
  }
}

}  // namespace
}  // namespace kivo
