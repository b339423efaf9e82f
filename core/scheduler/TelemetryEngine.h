#pragma once

#include "analysis/AlertEngine.h"
#include "analysis/AlertRule.h"
#include "analysis/Finding.h"
#include "analysis/IntelligenceThresholds.h"
#include "analysis/ProcessSpikeTracker.h"
#include "scheduler/SnapshotSubscription.h"
#include "scheduler/TelemetryConfiguration.h"
#include "scheduler/TelemetrySnapshot.h"
#include "scheduler/TelemetrySources.h"
#include "storage/StoredEvent.h"

#include <QDateTime>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

namespace kivo {

class TimeSeriesStore;

// The sampling engine: one loop thread that ticks, stores and publishes snapshots.
// Commands from any thread go into a mailbox that the loop drains between ticks, so they
// apply in the order they were given. Store work (events, findings) runs on the caller's
// thread, since the store is thread-safe; never call the engine from a snapshot wake-up
// while holding a lock the loop might need.
class TelemetryEngine {
 public:
  // store may be null (the history failed to open): sampling, alerts and snapshots go on.
  TelemetryEngine(std::shared_ptr<TimeSeriesStore> store, TelemetryConfiguration configuration,
                  std::vector<AlertRule> rules, std::unique_ptr<TelemetrySources> sources = nullptr);
  // Stops the loop (waiting for a running tick) and flushes.
  ~TelemetryEngine();
  TelemetryEngine(const TelemetryEngine&) = delete;
  TelemetryEngine& operator=(const TelemetryEngine&) = delete;

  TelemetryConfiguration configuration() const;
  std::shared_ptr<TimeSeriesStore> store() const;
  // Gives the history to an engine that was built without one (it could not be opened then);
  // recording starts at the next tick. Ignored when the engine has a store already.
  void attachStore(std::shared_ptr<TimeSeriesStore> store);

  // Starts the loop unless it runs.
  void start();
  // Ends the loop, waits for a tick under way, then flushes the store. Returns whether that
  // flush wrote everything (true without a store).
  bool stop();
  bool isRunning() const;

  // A new subscriber slot holding only the newest unread snapshot.
  std::shared_ptr<SnapshotSubscription> snapshots();

  // Takes effect at the next tick; the store's raw interval changes at once.
  void update(const TelemetryConfiguration& configuration);
  void setRules(std::vector<AlertRule> rules);
  void snooze(std::optional<QDateTime> until);
  void setForeground(bool foreground);
  void setPaused(bool paused);
  // Resets the baselines before the next tick and records a system event with this code.
  void noteDiscontinuity(const QString& code);
  void record(const StoredEvent& event);
  // The next tick reads volumes and power again.
  void invalidateSlowReadings();
  // Findings over [now − window, now] from stored history; empty without a store.
  std::vector<Finding> findings(double window, const IntelligenceThresholds& thresholds,
                                const QDateTime& now) const;

  // One collection cycle; returns the seconds to wait before the next. Called by the loop;
  // tests call it directly with a scripted clock and sources, without the loop.
  double tick(double now, const QDateTime& date);

 private:
  using Command = std::function<void()>;
  void post(Command command);
  void drainMailbox();
  void run(std::stop_token stop);
  void resetBaselines();
  // The tick's own events (gaps, spikes, alerts) never make it wait on the database.
  void recordUnlessBusy(const StoredEvent& event);
  void publish(const std::shared_ptr<const TelemetrySnapshot>& snapshot);

  // Fixed at construction.
  const std::unique_ptr<TelemetrySources> sources_;

  // Set at construction or once later by attachStore; read from every thread through store().
  mutable std::mutex storeMutex_;
  std::shared_ptr<TimeSeriesStore> store_;

  mutable std::mutex configurationMutex_;
  TelemetryConfiguration configuration_;

  // Touched only by the tick and by commands drained before it.
  AlertEngine alerts_;
  ProcessSpikeTracker spikes_;
  bool foreground_ = true;
  bool paused_ = false;
  std::int64_t sequence_ = 0;
  // "Not yet" is absent, never time zero: the monotonic clock may read anything.
  std::optional<double> lastTick_;
  std::optional<double> lastProcess_;
  std::optional<double> lastSlow_;
  std::optional<double> lastFlush_;
  std::optional<double> flushDue_;  // since when the flush has been held off
  std::optional<StoreWriteStatus> storeFailure_;
  std::vector<VolumeInfo> volumes_;
  PowerSample power_;
  std::optional<WiFiLink> wifi_;
  std::optional<DNSConfiguration> dns_;
  struct SelfMark {
    std::uint64_t cpuNanos;
    double time;
  };
  std::optional<SelfMark> lastSelf_;
  bool pendingDiscontinuity_ = false;
  std::optional<std::int64_t> processCount_;
  std::vector<MetricValue> values_;  // reused every tick

  std::mutex mailboxMutex_;
  std::condition_variable_any mailboxChanged_;
  std::vector<Command> mailbox_;

  std::mutex subscribersMutex_;
  std::vector<std::weak_ptr<SnapshotSubscription>> subscribers_;

  mutable std::mutex loopMutex_;
  std::jthread loop_;
};

}  // namespace kivo
