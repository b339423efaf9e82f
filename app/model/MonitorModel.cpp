#include "model/MonitorModel.h"

#include "settings/AppSettings.h"
#include "settings/LaunchOptions.h"
#include "settings/Preferences.h"
#include "model/SerialWorker.h"
#include "collectors/GPUCollector.h"
#include "collectors/NetworkCollector.h"
#include "collectors/SensorCapabilityResolver.h"
#include "desktop/NetworkPath.h"
#include "metrics/MonotonicClock.h"
#include "scheduler/SnapshotSubscription.h"
#include "scheduler/TelemetryEngine.h"
#include "scheduler/TelemetrySources.h"
#include "storage/StoreError.h"
#include "storage/StoreTime.h"
#include "storage/TimeSeriesStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QMetaObject>
#include <QPointer>
#include <QStandardPaths>

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
    QMetaObject::invokeMethod(target, [target] { target->consume(); }, Qt::QueuedConnection);
  }
  void clear() {
    std::lock_guard lock(mutex);
    model = nullptr;
  }
};

MonitorModel::Environment MonitorModel::Environment::system() {
  Environment environment;
  environment.systemInfo = [] { return SystemInfo::current(); };
  environment.gpuDevices = [] { return GPUCollector().devices(); };
  environment.capabilities = [] { return SensorCapabilityResolver::resolve(); };
  environment.dns = [] { return NetworkCollector::dns(); };
  environment.wifi = [] { return NetworkCollector::wifi(); };
  environment.monotonicNow = [] { return MonotonicClock::now(); };
  environment.now = [] { return QDateTime::currentDateTimeUtc(); };
  return environment;
}

namespace {

// Fills what a test left out with the real reader.
MonitorModel::Environment completed(MonitorModel::Environment environment) {
  const auto real = MonitorModel::Environment::system();
  if (!environment.systemInfo) environment.systemInfo = real.systemInfo;
  if (!environment.gpuDevices) environment.gpuDevices = real.gpuDevices;
  if (!environment.capabilities) environment.capabilities = real.capabilities;
  if (!environment.dns) environment.dns = real.dns;
  if (!environment.wifi) environment.wifi = real.wifi;
  if (!environment.monotonicNow) environment.monotonicNow = real.monotonicNow;
  if (!environment.now) environment.now = real.now;
  return environment;
}

}  // namespace

MonitorModel::MonitorModel(AppSettings& settings, const Preferences& standard, QObject* parent)
    : MonitorModel(settings, standard, Environment::system(), parent) {}

MonitorModel::MonitorModel(AppSettings& settings, const Preferences& standard, Environment environment,
                           QObject* parent)
    : QObject(parent),
      settings_(settings),
      environment_(completed(std::move(environment))),
      worker_(std::make_unique<SerialWorker>()) {

  system_ = environment_.systemInfo();
  gpuDevices_ = environment_.gpuDevices();
  capabilities_ = environment_.capabilities();
  dns_ = environment_.dns();

  try {
    store_ = std::make_shared<TimeSeriesStore>(databasePath(standard), settings_.retention());
  } catch (const StoreError& error) {
    storeError_ = error.description();
  } catch (const std::exception& error) {
    storeError_ = QString::fromUtf8(error.what());
  }

  if (const auto interval = LaunchOptions::interval(standard)) {
    // Field by field, as a person changing them one after another would.
    TelemetryConfiguration telemetry = settings_.telemetry();
    telemetry.interval = *interval;
    settings_.setTelemetry(telemetry);
    telemetry.backgroundInterval = *interval;
    settings_.setTelemetry(telemetry);
    telemetry.processInterval = 2 * *interval;
    settings_.setTelemetry(telemetry);
    telemetry.batterySaver = false;
    settings_.setTelemetry(telemetry);
  }

  engine_ = std::make_shared<TelemetryEngine>(store_, settings_.telemetry(), settings_.rules(),
                                              environment_.sources ? environment_.sources() : nullptr);

  if (LaunchOptions::testMode(standard) && standard.boolean(LaunchOptions::kPrivacy)) {
    settings_.setPrivacyMask(true);
  }
}

MonitorModel::~MonitorModel() {
  if (wakeTarget_) wakeTarget_->clear();
  if (subscription_) subscription_->setWakeUp({});
  // Jobs already given still run (a bookmark made just before quitting is kept); their results
  // are not applied.
  worker_.reset();
  // The engine goes with the model's members: its destructor stops the loop and flushes.
}

QString MonitorModel::databasePath(const Preferences& standard) {
  const auto given = standard.string(LaunchOptions::kDataDir);
  const QString directory =
      given && !given->isEmpty()
          ? *given
          : QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/KIVO Monitor");
  return QDir(directory).filePath(QStringLiteral("telemetry.sqlite"));
}

template <typename Job, typename Apply>
void MonitorModel::onWorker(Job job, Apply apply) {
  // The destructor ends the worker before the QObject goes, and Qt drops calls posted to a
  // deleted object, so this may be the context of the call back.
  worker_->post([this, job = std::move(job), apply = std::move(apply)]() mutable {
    auto result = job();
    bool first = false;
    {
      std::lock_guard lock(resultsMutex_);
      first = results_.empty();
      results_.push_back([apply, result = std::move(result)]() mutable { apply(std::move(result)); });
    }
    if (first) QMetaObject::invokeMethod(this, [this] { deliverResults(); }, Qt::QueuedConnection);
  });
}

void MonitorModel::onWorker(std::function<void()> job) {
  worker_->post(std::move(job));
}

void MonitorModel::deliverResults() {
  std::vector<std::function<void()>> ready;
  {
    std::lock_guard lock(resultsMutex_);
    ready.swap(results_);
  }
  for (auto& apply : ready) apply();
}

void MonitorModel::waitForWorker() {
  // A result may give the worker more to do; a few rounds settle every chain the model makes.
  for (int round = 0; round < 4; ++round) {
    worker_->waitIdle();
    deliverResults();
  }
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
  if (notifier_) notifier_->refreshStatus();
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
  engine_->stop();
}

void MonitorModel::ingest(std::shared_ptr<const TelemetrySnapshot> shared) {
  if (!shared) return;
  // Held, not copied: a snapshot is immutable and the process list is large.
  snapshot_ = std::move(shared);
  const TelemetrySnapshot& snapshot = *snapshot_;
  emit snapshotChanged();

  if (snapshot.processes) {
    processSnapshot_ = snapshot_;
    emit processesChanged();
  }
  if (firing_ != snapshot.firingRules) {
    firing_ = snapshot.firingRules;
    emit firingChanged();
  }

  for (const MetricValue& value : snapshot.values) {
    QList<LivePoint>& series = live_[value.metric];
    series.append(LivePoint{snapshot.date, value.value});
    if (series.size() > kLivePoints) series.remove(0, series.size() - kLivePoints);
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
    for (auto& [metric, series] : live_) {
      qsizetype keep = 0;
      while (keep < series.size() && series[series.size() - 1 - keep].date == snapshot.date) ++keep;
      if (keep < series.size()) series.remove(0, series.size() - keep);
    }
    coreHistory_.clear();
    coresChanged = true;
  }
  emit liveChanged();
  if (coresChanged) emit coreHistoryChanged();

  if (!snapshot.alerts.empty()) {
    raiseEventsRevision();
    for (const AlertTransition& transition : snapshot.alerts) {
      if (transition.kind == AlertTransition::Kind::fired) notify(transition);
    }
  }

  ++slowCounter_;
  if (slowCounter_ % 5 == 1) {
    auto wifi = environment_.wifi();
    if (wifi != wifi_) {
      wifi_ = std::move(wifi);
      emit wifiChanged();
    }
    auto dns = environment_.dns();
    if (!(dns == dns_)) {
      dns_ = std::move(dns);
      emit dnsChanged();
    }
  }

  const double now = environment_.monotonicNow();
  if (!lastFindings_ || now - *lastFindings_ > kFindingsCadence) {
    lastFindings_ = now;
    refreshFindings();
  }
}

void MonitorModel::refreshFindings() {
  struct Result {
    std::vector<Finding> findings;
    std::optional<StoreStatistics> statistics;
  };
  const IntelligenceThresholds thresholds = settings_.thresholds();
  const QDateTime now = environment_.now();
  const std::uint64_t generation = historyGeneration_;
  onWorker(
      [engine = engine_, store = store_, thresholds, now] {
        Result result;
        result.findings = engine->findings(kFindingsWindow, thresholds, now);
        if (store) result.statistics = store->statistics();
        return result;
      },
      [this, generation](Result result) {
        // Computed over history that an erase has since removed.
        if (generation != historyGeneration_) return;
        findings_ = std::move(result.findings);
        findingsUpdated_ = environment_.now();
        emit findingsChanged();
        storeStatistics_ = std::move(result.statistics);
        emit storeStatisticsChanged();
      });
}

void MonitorModel::notify(const AlertTransition& transition) {
  if (!settings_.notifications()) return;
  if (!notifier_ || !notificationsAllowed(notifier_->status())) return;
  notifier_->notify(transition, format_);
}

void MonitorModel::setNotifier(Notifier* notifier) {
  notifier_ = notifier;
  if (notifier_ && started_ && !shutDown_) notifier_->refreshStatus();
}

NotificationStatus MonitorModel::notificationStatus() const {
  return notifier_ ? notifier_->status() : NotificationStatus::notDetermined;
}

void MonitorModel::enableNotifications() {
  if (!notifier_) {
    settings_.setNotifications(false);
    return;
  }
  // Linux asks nobody: the notification service being there is the permission.
  connect(
      notifier_, &Notifier::statusRefreshed, this,
      [this] { settings_.setNotifications(notificationsAllowed(notificationStatus())); },
      Qt::SingleShotConnection);
  notifier_->refreshStatus();
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
  onWorker([engine = engine_, store = store_, telemetry, rules, retention] {
    engine->update(telemetry);
    engine->setRules(rules);
    if (store) store->setRetention(retention);
  });
}

void MonitorModel::addBookmark(const QString& note) {
  StoredEvent event;
  event.date = environment_.now();
  event.kind = EventKind::bookmark;
  event.severity = Severity::info;
  event.code = QStringLiteral("bookmark");
  event.payload.insert(QStringLiteral("note"), note);
  onWorker(
      [engine = engine_, event] {
        engine->record(event);
        return true;
      },
      [this](bool) { raiseEventsRevision(); });
}

void MonitorModel::deleteEvent(std::int64_t id) {
  onWorker(
      [store = store_, id] { return store ? store->deleteEvent(id) : false; },
      [this](bool) { raiseEventsRevision(); });
}

void MonitorModel::clearEvents(const std::vector<EventKind>& kinds) {
  onWorker(
      [store = store_, kinds] { return store ? store->deleteEvents(kinds) : false; },
      [this](bool) { raiseEventsRevision(); });
}

void MonitorModel::eraseHistory() {
  // Findings still being computed describe the history about to go.
  ++historyGeneration_;
  onWorker(
      [store = store_]() -> std::optional<StoreStatistics> {
        if (!store) return std::nullopt;
        store->eraseAll();
        return store->statistics();
      },
      [this](std::optional<StoreStatistics> statistics) {
        live_.clear();
        emit liveChanged();
        coreHistory_.clear();
        emit coreHistoryChanged();
        findings_.clear();
        emit findingsChanged();
        storeStatistics_ = std::move(statistics);
        emit storeStatisticsChanged();
        raiseEventsRevision();
      });
}

void MonitorModel::events(const std::vector<EventKind>& kinds, int limit, QObject* receiver,
                          std::function<void(std::vector<StoredEvent>)> done) {
  if (!store_) {
    done({});
    return;
  }
  onWorker(
      [store = store_, kinds, limit] {
        return store->events(kinds, StoreTime::distantPast(), StoreTime::distantFuture(), limit);
      },
      [receiver = QPointer<QObject>(receiver), done = std::move(done)](std::vector<StoredEvent> events) {
        if (receiver) done(std::move(events));
      });
}

std::optional<double> MonitorModel::latest(MetricID metric) const {
  const auto found = live_.find(metric);
  if (found == live_.end() || found->second.isEmpty()) return std::nullopt;
  return found->second.last().value;
}

std::vector<double> MonitorModel::values(MetricID metric, int last) const {
  std::vector<double> result;
  const auto found = live_.find(metric);
  if (found == live_.end() || last <= 0) return result;
  const QList<LivePoint>& series = found->second;
  const qsizetype count = std::min<qsizetype>(last, series.size());
  result.reserve(static_cast<std::size_t>(count));
  for (qsizetype i = series.size() - count; i < series.size(); ++i) result.push_back(series[i].value);
  return result;
}

// ---- desktop hooks ----

void MonitorModel::noteSystemEvent(const QString& code) {
  // Records a system event in the store: not on the GUI thread.
  onWorker([engine = engine_, code] { engine->noteDiscontinuity(code); });
}

void MonitorModel::invalidateSlowReadings() {
  engine_->invalidateSlowReadings();
}

void MonitorModel::setForeground(bool foreground) {
  engine_->setForeground(foreground);
}

void MonitorModel::pathChanged(const QString& key, const QString& status, const QString& interfaces) {
  if (lastPath_ && *lastPath_ != key) {
    const StoredEvent event = NetworkPath::event(environment_.now(), status, interfaces);
    networkEvents_.prepend(event);
    if (networkEvents_.size() > kNetworkEvents) networkEvents_.resize(kNetworkEvents);
    emit networkEventsChanged();
    onWorker([engine = engine_, event] {
      engine->record(event);
      engine->invalidateSlowReadings();
    });
  }
  lastPath_ = key;
}

}  // namespace kivo
