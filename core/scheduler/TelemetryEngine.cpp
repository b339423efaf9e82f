#include "scheduler/TelemetryEngine.h"

#include "analysis/IntelligenceEngine.h"
#include "analysis/StoredEvents.h"
#include "metrics/MonotonicClock.h"
#include "scheduler/Normalizer.h"
#include "scheduler/SchedulerMath.h"
#include "storage/TimeSeriesStore.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace kivo {

namespace {

// Spikes count from 80 % of one core held for 30 s.
constexpr double kSpikeThreshold = 80;
constexpr double kSpikeMinimumDuration = 30;

double rawSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC_RAW, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

}  // namespace

TelemetryEngine::TelemetryEngine(std::shared_ptr<TimeSeriesStore> store, TelemetryConfiguration configuration,
                                 std::vector<AlertRule> rules, std::unique_ptr<TelemetrySources> sources)
    : sources_(sources ? std::move(sources) : makeSystemSources()),
      store_(std::move(store)),
      configuration_(configuration),
      alerts_(std::move(rules)),
      spikes_(kSpikeThreshold, kSpikeMinimumDuration) {
  values_.reserve(kMetricCount);
}

TelemetryEngine::~TelemetryEngine() {
  stop();
}

TelemetryConfiguration TelemetryEngine::configuration() const {
  std::lock_guard lock(configurationMutex_);
  return configuration_;
}

std::shared_ptr<TimeSeriesStore> TelemetryEngine::store() const {
  std::lock_guard lock(storeMutex_);
  return store_;
}

void TelemetryEngine::attachStore(std::shared_ptr<TimeSeriesStore> store) {
  if (!store) return;
  {
    std::lock_guard lock(storeMutex_);
    if (store_) return;
    store_ = store;
  }
  store->setRawInterval(configuration().interval);
}

void TelemetryEngine::start() {
  std::lock_guard lock(loopMutex_);
  if (loop_.joinable()) return;
  loop_ = std::jthread([this](std::stop_token stop) { run(stop); });
}

bool TelemetryEngine::stop() {
  {
    std::lock_guard lock(loopMutex_);
    if (loop_.joinable()) {
      loop_.request_stop();
      // Called from a snapshot wake-up on the loop itself: the loop ends after this tick
      // (which has already appended its values); a later stop() from elsewhere joins it.
      if (loop_.get_id() != std::this_thread::get_id()) {
        loop_.join();  // a tick under way finishes first, so its values reach the flush
        loop_ = std::jthread();
      }
    }
  }
  const auto store = this->store();
  return !store || store->flush(QDateTime::currentDateTimeUtc());
}

bool TelemetryEngine::isRunning() const {
  std::lock_guard lock(loopMutex_);
  return loop_.joinable();
}

void TelemetryEngine::run(std::stop_token stop) {
  while (!stop.stop_requested()) {
    const double now = MonotonicClock::now();
    const QDateTime date = QDateTime::currentDateTimeUtc();
    const double next = tick(now, date);
    // The interval runs from the end of one tick to the start of the next.
    const auto deadline =
        std::chrono::steady_clock::now() +
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(next));
    std::unique_lock lock(mailboxMutex_);
    for (;;) {
      const bool command =
          mailboxChanged_.wait_until(lock, stop, deadline, [this] { return !mailbox_.empty(); });
      if (stop.stop_requested() || !command) break;
      lock.unlock();
      drainMailbox();
      lock.lock();
    }
  }
}

void TelemetryEngine::post(Command command) {
  {
    std::lock_guard lock(mailboxMutex_);
    mailbox_.push_back(std::move(command));
  }
  mailboxChanged_.notify_all();
}

void TelemetryEngine::drainMailbox() {
  std::vector<Command> commands;
  {
    std::lock_guard lock(mailboxMutex_);
    commands.swap(mailbox_);
  }
  for (auto& command : commands) command();
}

std::shared_ptr<SnapshotSubscription> TelemetryEngine::snapshots() {
  auto subscription = std::make_shared<SnapshotSubscription>();
  std::lock_guard lock(subscribersMutex_);
  subscribers_.push_back(subscription);
  return subscription;
}

void TelemetryEngine::publish(const std::shared_ptr<const TelemetrySnapshot>& snapshot) {
  std::vector<std::shared_ptr<SnapshotSubscription>> live;
  {
    std::lock_guard lock(subscribersMutex_);
    // A subscriber whose slot nobody holds any more is gone.
    std::erase_if(subscribers_, [](const auto& weak) { return weak.expired(); });
    live.reserve(subscribers_.size());
    for (const auto& weak : subscribers_) {
      if (auto strong = weak.lock()) live.push_back(std::move(strong));
    }
  }
  for (const auto& subscription : live) subscription->publish(snapshot);
}

void TelemetryEngine::update(const TelemetryConfiguration& configuration) {
  // Non-finite intervals would reach a sleep; such a configuration is refused.
  if (!configuration.isValid()) return;
  {
    std::lock_guard lock(configurationMutex_);
    configuration_ = configuration;
  }
  if (const auto store = this->store()) store->setRawInterval(configuration.interval);
}

void TelemetryEngine::setRules(std::vector<AlertRule> rules) {
  post([this, rules = std::move(rules)]() mutable { alerts_.rules = std::move(rules); });
}

void TelemetryEngine::snooze(std::optional<QDateTime> until) {
  post([this, until = std::move(until)] { alerts_.snoozedUntil = until; });
}

void TelemetryEngine::setForeground(bool foreground) {
  post([this, foreground] { foreground_ = foreground; });
}

void TelemetryEngine::setPaused(bool paused) {
  post([this, paused] {
    // Resuming resets nothing: the pause already did, so no gap is recorded for it.
    if (paused) resetBaselines();
    paused_ = paused;
  });
}

void TelemetryEngine::noteDiscontinuity(const QString& code) {
  post([this] { resetBaselines(); });
  const auto store = this->store();
  if (!store) return;
  store->record(StoredEvents::discontinuity(code, QDateTime::currentDateTimeUtc()));
}

void TelemetryEngine::record(const StoredEvent& event) {
  if (const auto store = this->store()) store->record(event);
}

void TelemetryEngine::recordUnlessBusy(const StoredEvent& event) {
  if (const auto store = this->store()) store->recordUnlessBusy(event);
}

void TelemetryEngine::invalidateSlowReadings() {
  post([this] { lastSlow_.reset(); });
}

std::vector<Finding> TelemetryEngine::findings(double window, const IntelligenceThresholds& thresholds,
                                               const QDateTime& now) const {
  const auto store = this->store();
  if (!store) return {};
  return IntelligenceEngine::findings(*store, window, thresholds, now);
}

void TelemetryEngine::resetBaselines() {
  sources_->reset();
  lastSelf_.reset();
  lastTick_.reset();
  pendingDiscontinuity_ = true;
}

double TelemetryEngine::tick(double now, const QDateTime& date) {
  drainMailbox();
  const TelemetryConfiguration configuration = this->configuration();

  // One interval for the whole tick, from the state as the tick starts.
  const double interval =
      SchedulerMath::effectiveInterval(configuration, foreground_, power_.source == PowerSourceKind::battery,
                                       power_.lowPowerMode.value_or(false));
  // Paused: nothing is read, stored or published.
  if (paused_) return interval;

  // Longest tolerated hole between two readings of one rule.
  alerts_.maxGap = std::max(3 * interval, 30.0);

  // A tick far later than planned (suspend, a stalled process) starts new baselines.
  if (lastTick_) {
    const double elapsed = now - *lastTick_;
    if (SchedulerMath::isDiscontinuity(elapsed, interval)) {
      resetBaselines();
      recordUnlessBusy(StoredEvents::gap(elapsed, date));
    }
  }

  // Where this tick started: the next tick's gap check and this tick's collection time.
  lastTick_ = now;
  const double collectionStart = rawSeconds();

  // Slow readings (volumes, power, Wi-Fi, resolver), on their own longer interval.
  if (!lastSlow_ || now - *lastSlow_ >= configuration.slowInterval) {
    lastSlow_ = now;
    sources_->slowReadingsDue();
    volumes_ = sources_->volumes();
    power_ = sources_->power(configuration.bestEffortMetrics);
    wifi_ = sources_->wifi();
    dns_ = sources_->dns();
  }

  // Fast readings, every tick.
  auto snapshot = std::make_shared<TelemetrySnapshot>();
  snapshot->cpu = sources_->cpu(now);
  snapshot->memory = sources_->memory(now);
  snapshot->disk = sources_->diskActivity(now);
  snapshot->network = sources_->network(now);
  if (configuration.bestEffortMetrics) snapshot->gpu = sources_->gpu();
  snapshot->thermal = sources_->thermal();

  // Processes, on a cadence that keeps its ratio to the sampling interval.
  if (!lastProcess_ || now - *lastProcess_ >= SchedulerMath::processCadence(configuration, interval)) {
    lastProcess_ = now;
    snapshot->processes = sources_->processes(now);
    if (snapshot->processes) {
      // The monitor itself is a process: a scan with none means /proc could not be listed.
      processCount_ = snapshot->processes->total > 0 ? std::optional<std::int64_t>(snapshot->processes->total)
                                                     : std::nullopt;
      for (const auto& spike : spikes_.update(snapshot->processes->processes, date)) {
        recordUnlessBusy(StoredEvents::spike(spike));
      }
    }
  }

  // The monitor's own cost.
  if (const auto usage = sources_->selfUsage()) {
    snapshot->selfMemory = usage->footprint;
    if (lastSelf_ && now - lastSelf_->time > 0 && usage->cpuNanos >= lastSelf_->cpuNanos) {
      snapshot->selfCPU =
          static_cast<double>(usage->cpuNanos - lastSelf_->cpuNanos) / 1e9 / (now - lastSelf_->time) * 100;
    }
    lastSelf_ = SelfMark{usage->cpuNanos, now};
  }

  // The metric values of this tick, from whatever was read.
  Normalizer::Readings readings;
  readings.cpu = snapshot->cpu ? &*snapshot->cpu : nullptr;
  readings.memory = snapshot->memory ? &*snapshot->memory : nullptr;
  readings.disk = snapshot->disk ? &*snapshot->disk : nullptr;
  readings.bootVolume = Normalizer::bootVolume(volumes_);
  readings.network = snapshot->network ? &*snapshot->network : nullptr;
  readings.processCount = processCount_;
  readings.power = &power_;
  readings.thermal = snapshot->thermal;
  readings.gpu = snapshot->gpu;
  readings.selfCPU = snapshot->selfCPU;
  readings.selfMemory = snapshot->selfMemory;
  Normalizer::values(readings, values_);

  // Alert rules against the new values; their transitions become events.
  snapshot->alerts = alerts_.evaluate(values_, date);
  for (const auto& transition : snapshot->alerts) recordUnlessBusy(StoredEvents::alert(transition));

  // History: every tick is appended, written out on the flush interval; while an erase, a
  // query or another program holds the database, the rows wait and the next tick tries again.
  if (const auto store = this->store(); store && configuration.historyEnabled) {
    store->append(values_, date);
    if (!lastFlush_ || now - *lastFlush_ >= configuration.flushInterval) {
      if (const auto flushed = store->flushUnlessBusy(date)) {
        lastFlush_ = now;
        flushDue_.reset();
        // A failure stays on every snapshot until a flush succeeds, so the interface can say so.
        if (*flushed) {
          storeFailure_.reset();
        } else {
          storeFailure_ = store->writeStatus();
        }
      } else if (!flushDue_) {
        flushDue_ = now;
      } else if (now - *flushDue_ >= configuration.flushInterval) {
        // Held off for a whole interval (another program keeps the write lock): say so.
        if (StoreWriteStatus status = store->writeStatus(); status.error) storeFailure_ = std::move(status);
      }
    }
  }

  // The snapshot is whole: numbered, with the state the tick keeps and its own cost.
  ++sequence_;
  snapshot->date = date;
  snapshot->sequence = sequence_;
  snapshot->interval = interval;
  snapshot->volumes = volumes_;
  snapshot->power = power_;
  snapshot->wifi = wifi_;
  snapshot->dns = dns_;
  snapshot->values = values_;
  snapshot->firingRules = alerts_.firing();
  snapshot->afterDiscontinuity = std::exchange(pendingDiscontinuity_, false);
  snapshot->storeFailure = storeFailure_;
  snapshot->collectionTime = (rawSeconds() - collectionStart) * 1000;

  // Subscribers only ever see a whole snapshot.
  publish(snapshot);
  return interval;
}

}  // namespace kivo
