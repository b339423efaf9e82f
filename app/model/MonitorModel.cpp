#include "model/MonitorModel.h"

#include "analysis/StoredEvents.h"
#include "model/ModelFactory.h"
#include "scheduler/SnapshotSubscription.h"
#include "scheduler/TelemetryEngine.h"
#include "settings/AppSettings.h"
#include "settings/Preferences.h"
#include "storage/StoreTime.h"
#include "storage/TimeSeriesStore.h"
#include "texts/HistoryText.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <mutex>
#include <utility>

namespace kivo {

// The engine's wake-up outlives nothing it must not: the model clears it before it goes, and a
// wake-up under way finishes posting (to a model still alive) before the clear returns.
struct MonitorModel::WakeTarget {
  std::mutex mutex;
  MonitorModel* model = nullptr;

  void wake() {
    std::lock_guard lock(mutex);
    if (!model) return;
    MonitorModel* target = model;
    QMetaObject::invokeMethod(
        target, [target] { target->consume(); }, Qt::QueuedConnection);
  }
  void clear() {
    std::lock_guard lock(mutex);
    model = nullptr;
  }
};

MonitorModel::MonitorModel(AppSettings& settings, const Preferences& standard, QObject* parent)
    : MonitorModel(settings, standard, Environment::system(), parent) {}

MonitorModel::MonitorModel(AppSettings& settings, const Preferences& standard, Environment environment,
                           QObject* parent)
    : QObject(parent),
      settings_(settings),
      standard_(standard),
      environment_(environment.completed()),
      notifications_(settings, format_),
      worker_(std::make_unique<ModelWorker>()) {
  ModelParts parts = ModelFactory::build(settings_, standard_, environment_);
  system_ = std::move(parts.system);
  gpuDevices_ = std::move(parts.gpuDevices);
  capabilities_ = std::move(parts.capabilities);
  databasePath_ = std::move(parts.databasePath);
  engine_ = std::move(parts.engine);

  connect(&notifications_, &AlertNotifications::statusChanged, this,
          &MonitorModel::notificationStatusChanged);

  // The first attempt at the history now, on the worker; one refused (another instance holds
  // it, the disk is full) may open later.
  historyRetry_.setInterval(environment_.historyRetry);
  connect(&historyRetry_, &QTimer::timeout, this, &MonitorModel::retryHistory);
  historyRetry_.start();
  retryHistory();
}

MonitorModel::~MonitorModel() {
  if (wakeTarget_) wakeTarget_->clear();
  if (subscription_) subscription_->setWakeUp({});
  // Jobs already given still run (a bookmark made just before quitting is kept); their results
  // are not applied.
  worker_.reset();
  // The engine goes with the model's members: its destructor stops the loop and flushes.
}

std::shared_ptr<TimeSeriesStore> MonitorModel::storeOf(const TelemetryEngine& engine) {
  return engine.store();
}

QString MonitorModel::databasePath(const Preferences& standard) {
  return ModelFactory::databasePath(standard);
}

void MonitorModel::waitForWorker() {
  worker_->settle();
  QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

// ---- start and ingestion ----

void MonitorModel::start() {
  if (started_) return;
  started_ = true;
  if (shutDown_) return;
  if (store_) store_->setRawInterval(settings_.telemetry().interval);
  wakeTarget_ = std::make_shared<WakeTarget>();
  wakeTarget_->model = this;
  subscription_ = engine_->snapshots();
  subscription_->setWakeUp([target = wakeTarget_] { target->wake(); });
  engine_->start();
  notifications_.refreshStatus();
}

void MonitorModel::consume() {
  if (!subscription_) return;
  // Wake-ups may pile up while the GUI thread is busy; each takes only what is newest, so the
  // later ones find nothing.
  if (auto snapshot = subscription_->take()) ingest(std::move(snapshot));
}

void MonitorModel::shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  started_ = true;  // never started again in this run
  if (wakeTarget_) wakeTarget_->clear();
  if (subscription_) {
    subscription_->setWakeUp({});
    subscription_.reset();
  }
  historyRetry_.stop();
  if (engine_->stop()) return;
  // The last flush failed (a full disk, say): once more, then say what is lost.
  const auto store = engine_->store();
  if (store && !store->flush(environment_.now()))
    environment_.log(HistoryText::lostAtQuit(store->writeStatus()));
}

void MonitorModel::ingest(std::shared_ptr<const TelemetrySnapshot> shared) {
  if (!shared) return;
  // Held, not copied: a snapshot is immutable and the process list is large. The local reference
  // keeps it alive should a slot below ingest another.
  snapshot_ = std::move(shared);
  const std::shared_ptr<const TelemetrySnapshot> held = snapshot_;
  const TelemetrySnapshot& snapshot = *held;

  // All state first, then the signals: a slot on any of them sees this snapshot throughout.
  const bool processesNew = snapshot.processes.has_value();
  if (processesNew) processSnapshot_ = held;
  const bool firingNew = firing_ != snapshot.firingRules;
  if (firingNew) firing_ = snapshot.firingRules;

  for (const MetricValue& value : snapshot.values) {
    live_[static_cast<std::size_t>(Metric::index(value.metric))].append(snapshot.date, value.value);
  }

  bool coresChanged = false;
  if (snapshot.cpu) {
    // Once full, the oldest row's buffer is reused for the newest.
    QList<double> row;
    if (coreHistory_.size() >= kCoreRows) {
      row = coreHistory_.takeFirst();
      row.clear();
    }
    row.reserve(static_cast<qsizetype>(snapshot.cpu->cores.size()));
    for (const CPULoad& core : snapshot.cpu->cores) row.append(core.busy());
    coreHistory_.append(std::move(row));
    if (coreHistory_.size() > kCoreRows) coreHistory_.remove(0, coreHistory_.size() - kCoreRows);
    coresChanged = true;
  }

  if (snapshot.afterDiscontinuity) {
    // Only points of this snapshot survive, so no chart joins readings across the gap. A series
    // that got no value now holds only readings from before it and is emptied.
    for (LiveRing& series : live_) {
      int keep = 0;
      while (keep < series.size() && series[series.size() - 1 - keep].date == snapshot.date) ++keep;
      series.keepNewest(keep);
    }
    coreHistory_.clear();
    coresChanged = true;
  }

  const bool alerts = !snapshot.alerts.empty();
  if (alerts) ++eventsRevision_;
  const bool storeErrorNew = noteStoreFailure(snapshot.storeFailure);

  // The engine's slow readings; copies share their text with the snapshot.
  const bool wifiNew = snapshot.wifi != wifi_;
  if (wifiNew) wifi_ = snapshot.wifi;
  const bool dnsNew = snapshot.dns && !(*snapshot.dns == dns_);
  if (dnsNew) dns_ = *snapshot.dns;

  emit snapshotChanged();
  if (processesNew) emit processesChanged();
  if (firingNew) emit firingChanged();
  emit liveChanged();
  if (coresChanged) emit coreHistoryChanged();
  if (alerts) emit eventsRevisionChanged(eventsRevision_);
  if (wifiNew) emit wifiChanged();
  if (dnsNew) emit dnsChanged();
  if (storeErrorNew) emit storeErrorChanged();
  if (alerts) notifications_.post(snapshot.alerts);

  const double now = environment_.monotonicNow();
  if (!lastFindings_ || now - *lastFindings_ > kFindingsCadence) {
    lastFindings_ = now;
    refreshFindings();
  }
}

bool MonitorModel::noteStoreFailure(const std::optional<StoreWriteStatus>& failure) {
  if (failure == storeFailure_) return false;
  storeFailure_ = failure;
  if (failure) {
    storeError_ = HistoryText::writeFailure(*failure);
  } else {
    storeError_.reset();
  }
  return true;
}

void MonitorModel::retryHistory() {
  if (store_ || shutDown_ || historyRetrying_) return;
  historyRetrying_ = true;
  // Opening checks the whole file: not on the GUI thread. The engine takes the store on the
  // worker, so the jobs given after this one find it.
  worker_->post(
      [engine = engine_, path = databasePath_, retention = settings_.retention()] {
        OpenedHistory opened = ModelFactory::openHistory(path, retention);
        if (opened.store) engine->attachStore(opened.store);
        return opened;
      },
      [this](OpenedHistory opened) {
        historyRetrying_ = false;
        if (opened.store) {
          if (!shutDown_) attachHistory(std::move(opened.store));
          return;  // after a shutdown it closes here, unused
        }
        if (opened.error != storeError_) {
          storeError_ = std::move(opened.error);
          emit storeErrorChanged();
        }
      });
}

void MonitorModel::attachHistory(std::shared_ptr<TimeSeriesStore> store) {
  historyRetry_.stop();
  store_ = std::move(store);
  store_->setRawInterval(settings_.telemetry().interval);
  engine_->attachStore(store_);
  storeFailure_.reset();
  storeError_.reset();
  emit storeErrorChanged();
  // Statistics and findings now come from a history; before sampling starts, the first
  // snapshot asks for them.
  if (started_) refreshFindings();
}

void MonitorModel::refreshFindings() {
  struct Result {
    std::vector<Finding> findings;
    std::optional<StoreStatistics> statistics;
  };
  const IntelligenceThresholds thresholds = settings_.thresholds();
  const QDateTime now = environment_.now();
  const std::uint64_t generation = historyGeneration_;
  const std::uint64_t request = ++statisticsRequest_;
  worker_->post(
      [engine = engine_, thresholds, now] {
        Result result;
        result.findings = engine->findings(kFindingsWindow, thresholds, now);
        if (const auto store = engine->store()) result.statistics = store->statistics();
        return result;
      },
      [this, generation, request](Result result) {
        // Computed over history that an erase has since removed.
        if (generation != historyGeneration_) return;
        findings_ = std::move(result.findings);
        findingsUpdated_ = environment_.now();
        emit findingsChanged();
        if (request != statisticsRequest_) return;
        storeStatistics_ = std::move(result.statistics);
        emit storeStatisticsChanged();
      });
}

void MonitorModel::refreshStatistics() {
  if (!store_) return;
  const std::uint64_t generation = historyGeneration_;
  const std::uint64_t request = ++statisticsRequest_;
  // Counting rows reads the database: never on the GUI thread.
  worker_->post([store = store_] { return store->statistics(); },
                [this, generation, request](StoreStatistics statistics) {
                  if (generation != historyGeneration_ || request != statisticsRequest_) return;
                  storeStatistics_ = std::move(statistics);
                  emit storeStatisticsChanged();
                });
}

void MonitorModel::setNotifier(Notifier* notifier) {
  notifications_.setNotifier(notifier);
  if (notifier && started_ && !shutDown_) notifications_.refreshStatus();
}

NotificationStatus MonitorModel::notificationStatus() const {
  return notifications_.status();
}

void MonitorModel::enableNotifications() {
  notifications_.enable();
}

void MonitorModel::raiseEventsRevision() {
  ++eventsRevision_;
  emit eventsRevisionChanged(eventsRevision_);
}

// ---- user actions ----

void MonitorModel::setPaused(bool paused) {
  const bool changed = paused != paused_;
  paused_ = paused;
  // The engine hears every assignment; its mailbox keeps them in order.
  engine_->setPaused(paused);
  if (changed) emit pausedChanged(paused_);
}

void MonitorModel::setSnoozedUntil(const std::optional<QDateTime>& until) {
  const bool changed = until != snoozedUntil_;
  snoozedUntil_ = until;
  engine_->snooze(until);
  if (changed) emit snoozedUntilChanged();
}

void MonitorModel::applySettings() {
  const TelemetryConfiguration telemetry = settings_.telemetry();
  const std::vector<AlertRule> rules = settings_.rules();
  const RetentionPolicy retention = settings_.retention();
  worker_->post([engine = engine_, telemetry, rules, retention] {
    engine->update(telemetry);
    engine->setRules(rules);
    if (const auto store = engine->store()) store->setRetention(retention);
  });
}

void MonitorModel::addBookmark(const QString& note) {
  const StoredEvent event = StoredEvents::bookmark(note, environment_.now());
  worker_->post(
      [engine = engine_, event] {
        const auto store = engine->store();
        return store && store->record(event).has_value();
      },
      [this](bool kept) {
        raiseEventsRevision();
        emit bookmarkAdded(kept);
      });
}

void MonitorModel::deleteEvent(std::int64_t id) {
  worker_->post(
      [engine = engine_, id] {
        const auto store = engine->store();
        return store ? store->deleteEvent(id) : false;
      },
      [this](bool) { raiseEventsRevision(); });
}

void MonitorModel::clearEvents(const std::vector<EventKind>& kinds) {
  worker_->post(
      [engine = engine_, kinds] {
        const auto store = engine->store();
        return store ? store->deleteEvents(kinds) : false;
      },
      [this](bool) { raiseEventsRevision(); });
}

void MonitorModel::eraseHistory() {
  // Findings still being computed describe the history about to go.
  ++historyGeneration_;
  ++statisticsRequest_;
  worker_->post(
      [engine = engine_]() -> std::optional<StoreStatistics> {
        const auto store = engine->store();
        if (!store) return std::nullopt;
        store->eraseAll();
        return store->statistics();
      },
      [this](std::optional<StoreStatistics> statistics) {
        for (LiveRing& series : live_) series.clear();
        coreHistory_.clear();
        findings_.clear();
        storeStatistics_ = std::move(statistics);
        ++eventsRevision_;
        emit liveChanged();
        emit coreHistoryChanged();
        emit findingsChanged();
        emit storeStatisticsChanged();
        emit eventsRevisionChanged(eventsRevision_);
      });
}

void MonitorModel::events(const std::vector<EventKind>& kinds, int limit, QObject* receiver,
                          std::function<void(std::vector<StoredEvent>)> done) {
  query(
      receiver,
      [kinds, limit](TimeSeriesStore& store) {
        return store.events(kinds, StoreTime::distantPast(), StoreTime::distantFuture(), limit);
      },
      std::move(done));
}

std::optional<double> MonitorModel::latest(MetricID metric) const {
  const LiveRing& series = live(metric);
  if (series.isEmpty()) return std::nullopt;
  return series.last().value;
}

std::vector<double> MonitorModel::values(MetricID metric, int last) const {
  std::vector<double> result;
  if (last <= 0) return result;
  const LiveRing& series = live(metric);
  const int count = std::min(last, series.size());
  result.reserve(static_cast<std::size_t>(count));
  for (int i = series.size() - count; i < series.size(); ++i) result.push_back(series[i].value);
  return result;
}

// ---- desktop hooks ----

void MonitorModel::noteSystemEvent(const QString& code) {
  // Records a system event in the store: not on the GUI thread.
  worker_->post([engine = engine_, code] { engine->noteDiscontinuity(code); });
}

void MonitorModel::invalidateSlowReadings() {
  engine_->invalidateSlowReadings();
}

void MonitorModel::setForeground(bool foreground) {
  engine_->setForeground(foreground);
}

void MonitorModel::pathChanged(const NetworkPath& path) {
  // Links are compared with the path of the last change, so a link that came up quietly and
  // then got its address reads as one change, not as none.
  if (lastPath_ && lastPath_->key() == path.key()) return;
  if (lastPath_) {
    const QList<StoredEvent> events = path.eventsSince(*lastPath_, environment_.now());
    // Newest first, the changes of one moment in the path's order.
    for (auto it = events.crbegin(); it != events.crend(); ++it) networkEvents_.prepend(*it);
    if (networkEvents_.size() > kNetworkEvents) networkEvents_.resize(kNetworkEvents);
    emit networkEventsChanged();
    worker_->post([engine = engine_, events] {
      for (const StoredEvent& event : events) engine->record(event);
      engine->invalidateSlowReadings();
    });
  }
  lastPath_ = path;
}

}  // namespace kivo
