#pragma once

#include "analysis/AlertRule.h"
#include "analysis/AlertTransition.h"
#include "analysis/Finding.h"
#include "model/LivePoint.h"
#include "collectors/DNSConfiguration.h"
#include "collectors/GPUDevice.h"
#include "collectors/ProcessSample.h"
#include "collectors/SensorCapability.h"
#include "collectors/SystemInfo.h"
#include "collectors/WiFiLink.h"
#include "desktop/Notifier.h"
#include "metrics/Metric.h"
#include "metrics/ValueFormatter.h"
#include "scheduler/TelemetrySnapshot.h"
#include "storage/EventKind.h"
#include "storage/StoreStatistics.h"
#include "storage/StoredEvent.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace kivo {

class AppSettings;
class Preferences;
class SerialWorker;
class SnapshotSubscription;
class TelemetryEngine;
class TelemetrySources;
class TimeSeriesStore;

// The one object through which the interface sees the running system. It owns the history
// store and the sampling engine, keeps the live series, alerts and findings that pages draw,
// and carries the user's actions to the engine and the store.
//
// Lives on the GUI thread. A snapshot wakes it through a queued call and only the newest one
// is ingested. Work that blocks (store statements, findings) runs on one serial worker thread
// and comes back by queued call; a result for a model that is gone is dropped.
class MonitorModel : public QObject {
  Q_OBJECT

 public:
  // Newest points kept per live series, newest rows of per-core load, newest network events.
  static constexpr int kLivePoints = 150;
  static constexpr int kCoreRows = 150;
  static constexpr int kNetworkEvents = 50;
  // Monotonic seconds between two findings runs of the snapshot flow.
  static constexpr double kFindingsCadence = 300;
  // The window the findings look back over.
  static constexpr double kFindingsWindow = 86'400;

  // What the model reads from the machine and the clocks; tests replace any of them.
  struct Environment {
    std::function<SystemInfo()> systemInfo;
    std::function<std::vector<GPUDevice>()> gpuDevices;
    std::function<std::vector<SensorCapability>()> capabilities;
    std::function<DNSConfiguration()> dns;
    std::function<std::optional<WiFiLink>()> wifi;
    std::function<double()> monotonicNow;
    std::function<QDateTime()> now;
    // The engine's readings; null gives the machine itself.
    std::function<std::unique_ptr<TelemetrySources>()> sources;

    // The real readers and clocks.
    static Environment system();
  };

  // standard: the domain that launch arguments are read from (KIVODataDir, KIVOInterval,
  // KIVOUITest, KIVOPrivacy). Both objects must outlive the model. Never fails: a history that
  // cannot be opened leaves store() null and storeError() set.
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
  const std::shared_ptr<TimeSeriesStore>& store() const { return store_; }
  TelemetryEngine& engine() const { return *engine_; }
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
  const std::map<MetricID, QList<LivePoint>>& live() const { return live_; }
  const QList<QList<double>>& coreHistory() const { return coreHistory_; }
  const std::vector<AlertRule>& firing() const { return firing_; }
  const std::vector<Finding>& findings() const { return findings_; }
  const std::optional<QDateTime>& findingsUpdated() const { return findingsUpdated_; }
  const std::optional<StoreStatistics>& storeStatistics() const { return storeStatistics_; }
  const std::optional<WiFiLink>& wifi() const { return wifi_; }
  const DNSConfiguration& dns() const { return dns_; }
  const QList<StoredEvent>& networkEvents() const { return networkEvents_; }
  const std::optional<QString>& storeError() const { return storeError_; }
  bool isPaused() const { return paused_; }
  const std::optional<QDateTime>& snoozedUntil() const { return snoozedUntil_; }
  std::int64_t eventsRevision() const { return eventsRevision_; }
  bool isStarted() const { return started_; }
  bool isShutDown() const { return shutDown_; }

  // Starts sampling; only the first call does anything.
  void start();
  // Stops consuming snapshots, then stops the engine (joining its loop) and flushes the store.
  // Blocks until that is done; later calls do nothing.
  void shutdown();

  // One snapshot into the live state (what every wake-up of the engine ends in).
  void ingest(std::shared_ptr<const TelemetrySnapshot> snapshot);
  void ingest(const TelemetrySnapshot& snapshot) { ingest(std::make_shared<const TelemetrySnapshot>(snapshot)); }
  // Findings of the last 24 hours and the store statistics, computed on the worker.
  void refreshFindings();

  // User actions; those that reach the engine or the store return at once.
  void setPaused(bool paused);
  void setSnoozedUntil(const std::optional<QDateTime>& until);
  void applySettings();
  void addBookmark(const QString& note);
  void deleteEvent(std::int64_t id);
  void clearEvents(const std::vector<EventKind>& kinds);
  void eraseHistory();
  // Stored events of these kinds, newest first, handed to done on the GUI thread; not at all
  // when the receiver or the model is gone by then. Without a store, an empty list at once.
  void events(const std::vector<EventKind>& kinds, int limit, QObject* receiver,
              std::function<void(std::vector<StoredEvent>)> done);

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
  // baseline; every later change of key becomes a network event.
  void pathChanged(const QString& key, const QString& status, const QString& interfaces);
  // Where fired alerts are posted; null posts nothing. The notifier must outlive the model.
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

 private:
  struct WakeTarget;

  // Runs job on the worker thread; then, on the GUI thread and only while the model exists,
  // hands its result to apply.
  template <typename Job, typename Apply>
  void onWorker(Job job, Apply apply);
  void onWorker(std::function<void()> job);
  // Applies the results the worker has handed back, in the order they were made.
  void deliverResults();
  void consume();
  void notify(const AlertTransition& transition);
  void raiseEventsRevision();

  AppSettings& settings_;
  Environment environment_;
  SystemInfo system_;
  std::vector<GPUDevice> gpuDevices_;
  std::vector<SensorCapability> capabilities_;
  ValueFormatter format_;
  std::shared_ptr<TimeSeriesStore> store_;
  std::shared_ptr<TelemetryEngine> engine_;

  std::shared_ptr<const TelemetrySnapshot> snapshot_;
  std::shared_ptr<const TelemetrySnapshot> processSnapshot_;
  std::map<MetricID, QList<LivePoint>> live_;
  QList<QList<double>> coreHistory_;
  std::vector<AlertRule> firing_;
  std::vector<Finding> findings_;
  std::optional<QDateTime> findingsUpdated_;
  std::optional<StoreStatistics> storeStatistics_;
  std::optional<WiFiLink> wifi_;
  DNSConfiguration dns_;
  QList<StoredEvent> networkEvents_;
  std::optional<QString> storeError_;
  bool paused_ = false;
  std::optional<QDateTime> snoozedUntil_;
  std::int64_t eventsRevision_ = 0;

  bool started_ = false;
  bool shutDown_ = false;
  std::optional<QString> lastPath_;
  // Monotonic time of the last findings run of the snapshot flow; absent before the first.
  std::optional<double> lastFindings_;
  std::int64_t slowCounter_ = 0;
  // Raised by every erase: findings computed before it are not applied after it.
  std::uint64_t historyGeneration_ = 0;
  std::shared_ptr<SnapshotSubscription> subscription_;
  std::shared_ptr<WakeTarget> wakeTarget_;
  Notifier* notifier_ = nullptr;

  std::mutex resultsMutex_;
  std::vector<std::function<void()>> results_;
  std::unique_ptr<SerialWorker> worker_;
};

}  // namespace kivo
