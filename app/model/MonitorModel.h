#pragma once

#include "analysis/AlertRule.h"
#include "analysis/Finding.h"
#include "collectors/DNSConfiguration.h"
#include "collectors/GPUDevice.h"
#include "collectors/ProcessSample.h"
#include "collectors/SensorCapability.h"
#include "collectors/SystemInfo.h"
#include "collectors/WiFiLink.h"
#include "desktop/NetworkPath.h"
#include "desktop/Notifier.h"
#include "metrics/Metric.h"
#include "metrics/ValueFormatter.h"
#include "model/AlertNotifications.h"
#include "model/LivePoint.h"
#include "model/LiveRing.h"
#include "model/ModelEnvironment.h"
#include "model/ModelWorker.h"
#include "scheduler/TelemetrySnapshot.h"
#include "storage/EventKind.h"
#include "storage/StoreStatistics.h"
#include "storage/StoreWriteStatus.h"
#include "storage/StoredEvent.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace kivo {

class AppSettings;
class Preferences;
class SnapshotSubscription;
class TelemetryEngine;
class TimeSeriesStore;

// The one object through which the interface sees the running system. It owns the history
// store and the sampling engine, keeps the live series, alerts and findings that pages draw,
// and carries the user's actions to the engine and the store.
//
// Lives on the GUI thread. A snapshot wakes it through a queued call and only the newest one
// is ingested; its state is whole before any change signal goes out. Work that blocks (store
// statements, findings) runs on one serial worker thread and comes back by queued call; a result
// for a model that is gone is dropped. ModelFactory builds what it runs on.
class MonitorModel : public QObject {
  Q_OBJECT

 public:
  // Newest points kept per live series, newest rows of per-core load, newest network events.
  static constexpr int kLivePoints = LiveRing::kCapacity;
  static constexpr int kCoreRows = 150;
  static constexpr int kNetworkEvents = 50;
  // Monotonic seconds between two findings runs of the snapshot flow.
  static constexpr double kFindingsCadence = 300;
  // The window the findings look back over.
  static constexpr double kFindingsWindow = 86'400;

  // What the model reads from the machine and the clocks; tests replace any of them.
  using Environment = ModelEnvironment;

  // standard: the domain that launch arguments are read from (KIVODataDir, KIVOInterval,
  // KIVOUITest, KIVOPrivacy). Both objects must outlive the model. Never fails. The history opens
  // on the worker (its integrity check reads the whole file), so the first window never waits
  // for it: hasHistory() is false until it opened; one that cannot be opened sets storeError() and
  // is tried again every Environment::historyRetry until it opens. Store work given before then
  // runs once it is open.
  MonitorModel(AppSettings& settings, const Preferences& standard, QObject* parent = nullptr);
  MonitorModel(AppSettings& settings, const Preferences& standard, Environment environment,
               QObject* parent = nullptr);
  // Waits for the worker, then stops the engine it owns.
  ~MonitorModel() override;
  MonitorModel(const MonitorModel&) = delete;
  MonitorModel& operator=(const MonitorModel&) = delete;

  // Where the history lives: <dataDir>/telemetry.sqlite with KIVODataDir, else
  // <GenericDataLocation>/KIVO Monitor/telemetry.sqlite.
  static QString databasePath(const Preferences& standard);

  // Constant members.
  AppSettings& settings() const { return settings_; }
  // The launch-argument domain (KIVODataDir, KIVOUITest, KIVOSection, ...).
  const Preferences& standard() const { return standard_; }
  // False while the history is not open; true once an attempt opens it (storeErrorChanged then
  // clears any error).
  bool hasHistory() const { return store_ != nullptr; }
  const SystemInfo& system() const { return system_; }
  const std::vector<GPUDevice>& gpuDevices() const { return gpuDevices_; }
  const std::vector<SensorCapability>& capabilities() const { return capabilities_; }
  const ValueFormatter& format() const { return format_; }

  // Tracked state.
  const std::shared_ptr<const TelemetrySnapshot>& snapshot() const { return snapshot_; }
  // The process sample of the newest snapshot that carried one; null before the first.
  const ProcessSample* processes() const {
    return processSnapshot_ ? &*processSnapshot_->processes : nullptr;
  }
  // The newest points of one metric (empty before its first value).
  const LiveRing& live(MetricID metric) const {
    return live_[static_cast<std::size_t>(Metric::index(metric))];
  }
  const QList<QList<double>>& coreHistory() const { return coreHistory_; }
  const std::vector<AlertRule>& firing() const { return firing_; }
  const std::vector<Finding>& findings() const { return findings_; }
  const std::optional<QDateTime>& findingsUpdated() const { return findingsUpdated_; }
  const std::optional<StoreStatistics>& storeStatistics() const { return storeStatistics_; }
  // The engine's slow readings as the newest snapshot carried them.
  const std::optional<WiFiLink>& wifi() const { return wifi_; }
  const DNSConfiguration& dns() const { return dns_; }
  const QList<StoredEvent>& networkEvents() const { return networkEvents_; }
  // Why the history is not being written: it could not be opened, or its latest flush failed
  // (cleared by the next one that succeeds). Absent while all is well.
  const std::optional<QString>& storeError() const { return storeError_; }
  bool isPaused() const { return paused_; }
  const std::optional<QDateTime>& snoozedUntil() const { return snoozedUntil_; }
  std::int64_t eventsRevision() const { return eventsRevision_; }
  bool isStarted() const { return started_; }
  bool isShutDown() const { return shutDown_; }

  // Starts sampling; only the first call does anything.
  void start();
  // Stops consuming snapshots, then stops the engine (joining its loop) and flushes the store.
  // A flush that fails is tried once more; samples it still cannot write are reported on
  // standard error. Blocks until that is done; later calls do nothing.
  void shutdown();

  // One snapshot into the live state (what every wake-up of the engine ends in).
  void ingest(std::shared_ptr<const TelemetrySnapshot> snapshot);
  void ingest(const TelemetrySnapshot& snapshot) {
    ingest(std::make_shared<const TelemetrySnapshot>(snapshot));
  }
  // Findings of the last 24 hours and the store statistics, computed on the worker.
  void refreshFindings();
  // Only the store statistics, read on the worker; nothing without a store.
  void refreshStatistics();

  // User actions; those that reach the engine or the store return at once.
  void setPaused(bool paused);
  void setSnoozedUntil(const std::optional<QDateTime>& until);
  void applySettings();
  // bookmarkAdded says afterwards whether the history kept it.
  void addBookmark(const QString& note);
  void deleteEvent(std::int64_t id);
  void clearEvents(const std::vector<EventKind>& kinds);
  void eraseHistory();
  // Stored events of these kinds, newest first, handed to done on the GUI thread; not at all
  // when the receiver or the model is gone by then. Without a store, an empty list at once.
  void events(const std::vector<EventKind>& kinds, int limit, QObject* receiver,
              std::function<void(std::vector<StoredEvent>)> done);
  // Store work off the GUI thread: job(store) runs on the serial worker, after every action
  // given before it, and done(result) then runs on the GUI thread; done is dropped when the
  // receiver (not null) or the model is gone by then. Without a history the job does not run
  // and done gets a default-constructed result. The result must be copyable.
  template <typename Job, typename Done>
  void query(QObject* receiver, Job job, Done done);

  // Reads of the live state.
  std::optional<double> latest(MetricID metric) const;
  // The newest n values, oldest first (fewer when the series is shorter).
  std::vector<double> values(MetricID metric, int last) const;

  // Hooks for the desktop services.
  // Sleep ("system.sleep") or wake ("system.wake"): new baselines and a system event.
  void noteSystemEvent(const QString& code);
  // Mounts, unmounts or a power-profile change: volumes and power are read again.
  void invalidateSlowReadings();
  // Whether some window of the application is in the foreground (chooses the interval).
  void setForeground(bool foreground);
  // Every path the network monitor reads, the first included: the first only sets the
  // baseline; every later change of key becomes network events, one per link that changed.
  void pathChanged(const NetworkPath& path);
  // Where fired alerts are posted (while the setting is on and the desktop allows it); null
  // posts nothing. The notifier must outlive the model.
  void setNotifier(Notifier* notifier);
  // The permission as the notifier last read it.
  NotificationStatus notificationStatus() const;
  // The user turned notifications on: the permission is read again and the setting ends up on
  // only when notifications are allowed.
  void enableNotifications();

  // Waits until the worker is idle and every result it sent back is applied. For tests and
  // quitting; never from a worker callback.
  void waitForWorker();

 signals:
  void snapshotChanged();
  void processesChanged();
  void liveChanged();
  void coreHistoryChanged();
  void firingChanged();
  void findingsChanged();
  void storeStatisticsChanged();
  void wifiChanged();
  void dnsChanged();
  void networkEventsChanged();
  void pausedChanged(bool paused);
  void snoozedUntilChanged();
  void eventsRevisionChanged(qint64 revision);
  void bookmarkAdded(bool kept);
  void storeErrorChanged();
  void notificationStatusChanged();

 private:
  struct WakeTarget;
  // The store and the engine stay inside: pages reach the history only through query() and
  // the actions above. Tests look in through this.
  friend struct MonitorModelTestAccess;

  // The engine's history, from any thread (null while none is open).
  static std::shared_ptr<TimeSeriesStore> storeOf(const TelemetryEngine& engine);

  void consume();
  void raiseEventsRevision();
  // Takes in the snapshot's flush outcome; true when storeError() changed.
  bool noteStoreFailure(const std::optional<StoreWriteStatus>& failure);
  // Another attempt at the history that could not be opened, on the worker.
  void retryHistory();
  void attachHistory(std::shared_ptr<TimeSeriesStore> store);

  AppSettings& settings_;
  const Preferences& standard_;
  Environment environment_;
  SystemInfo system_;
  std::vector<GPUDevice> gpuDevices_;
  std::vector<SensorCapability> capabilities_;
  ValueFormatter format_;
  QString databasePath_;
  std::shared_ptr<TimeSeriesStore> store_;
  std::shared_ptr<TelemetryEngine> engine_;
  AlertNotifications notifications_;

  std::shared_ptr<const TelemetrySnapshot> snapshot_;
  std::shared_ptr<const TelemetrySnapshot> processSnapshot_;
  std::array<LiveRing, kMetricCount> live_;  // by Metric::index
  QList<QList<double>> coreHistory_;
  std::vector<AlertRule> firing_;
  std::vector<Finding> findings_;
  std::optional<QDateTime> findingsUpdated_;
  std::optional<StoreStatistics> storeStatistics_;
  std::optional<WiFiLink> wifi_;
  DNSConfiguration dns_;
  QList<StoredEvent> networkEvents_;
  std::optional<QString> storeError_;
  // The flush outcome storeError_ was last worded from.
  std::optional<StoreWriteStatus> storeFailure_;
  bool paused_ = false;
  std::optional<QDateTime> snoozedUntil_;
  std::int64_t eventsRevision_ = 0;

  bool started_ = false;
  bool shutDown_ = false;
  std::optional<NetworkPath> lastPath_;  // as it was at the last change
  // Monotonic time of the last findings run of the snapshot flow; absent before the first.
  std::optional<double> lastFindings_;
  // Raised by every erase: findings computed before it are not applied after it.
  std::uint64_t historyGeneration_ = 0;
  // Raised by every statistics read: an older read that lands late is not applied.
  std::uint64_t statisticsRequest_ = 0;
  std::shared_ptr<SnapshotSubscription> subscription_;
  std::shared_ptr<WakeTarget> wakeTarget_;
  QTimer historyRetry_;
  bool historyRetrying_ = false;

  // Ended first, in the destructor: its jobs still running hold only copies.
  std::unique_ptr<ModelWorker> worker_;
};

template <typename Job, typename Done>
void MonitorModel::query(QObject* receiver, Job job, Done done) {
  using Result = std::invoke_result_t<Job&, TimeSeriesStore&>;
  static_assert(!std::is_void_v<Result>, "a query returns its result");
  worker_->post(
      // The store as it is when the job runs: the history may open on the worker after this call.
      [engine = engine_, job = std::move(job)]() mutable {
        const auto store = storeOf(*engine);
        return store ? Result(job(*store)) : Result{};
      },
      [receiver = QPointer<QObject>(receiver), done = std::move(done)](Result result) mutable {
        if (receiver) done(std::move(result));
      });
}

}  // namespace kivo
