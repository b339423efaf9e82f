#pragma once

#include "WaitUntil.h"
#include "desktop/Notifier.h"
#include "model/MonitorModel.h"
#include "scheduler/TelemetrySnapshot.h"
#include "scheduler/TelemetrySources.h"
#include "settings/AppSettings.h"
#include "settings/MemoryPreferences.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <atomic>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace kivo {

// The model keeps its history and engine to itself; tests check them through this.
struct MonitorModelTestAccess {
  static const std::shared_ptr<TimeSeriesStore>& store(const MonitorModel& model) { return model.store_; }
  static TelemetryEngine& engine(const MonitorModel& model) { return *model.engine_; }
};

}  // namespace kivo

namespace kivo::test {

// The model's history (null while it is not open) and its engine.
inline const std::shared_ptr<TimeSeriesStore>& store(const MonitorModel& model) {
  return MonitorModelTestAccess::store(model);
}
inline TelemetryEngine& engine(const MonitorModel& model) {
  return MonitorModelTestAccess::engine(model);
}

// Readings for a running engine: two busy cores and nothing else. Tests that need one more reading
// derive from it.
class QuietSources : public TelemetrySources {
 public:
  std::optional<CPUSample> cpu(double) override {
    CPUSample sample;
    sample.total = CPULoad{0.25, 0.125, 0.625};
    sample.cores = {CPULoad{0.25, 0.25, 0.5}, CPULoad{0.5, 0.0, 0.5}};
    sample.coreIDs = {0, 1};
    sample.interval = 0.5;
    return sample;
  }
  std::optional<MemorySample> memory(double) override { return std::nullopt; }
  std::vector<VolumeInfo> volumes() override { return {}; }
  std::optional<DiskActivitySample> diskActivity(double) override { return std::nullopt; }
  std::optional<NetworkSample> network(double) override { return std::nullopt; }
  std::optional<ProcessSample> processes(double) override { return std::nullopt; }
  std::optional<SelfUsage> selfUsage() override { return std::nullopt; }
  PowerSample power(bool) override { return {}; }
  std::vector<GPUStatistics> gpu() override { return {}; }
  std::optional<ThermalLevel> thermal() override { return std::nullopt; }
  void reset() override {}
};

// Records what would have been posted.
class FakeNotifier final : public Notifier {
 public:
  struct Posted {
    QUuid rule;
    QString title;
    QString body;
    bool critical;
  };

  explicit FakeNotifier(NotificationStatus status) { setStatus(status); }
  // Reads the permission again: it becomes `next` when one is set.
  void refreshStatus() override {
    ++refreshes;
    if (next) setStatus(*next);
    emit statusRefreshed();
  }
  void post(const QUuid& rule, const QString& title, const QString& body, bool critical) override {
    posted.push_back({rule, title, body, critical});
  }

  std::optional<NotificationStatus> next;
  int refreshes = 0;
  std::vector<Posted> posted;
};

// Drives the model's monotonic clock and keeps what it logged.
struct Probe {
  std::shared_ptr<double> clock = std::make_shared<double>(1000);
  // Lines the model wrote for standard error.
  std::shared_ptr<QStringList> logged = std::make_shared<QStringList>();
};

inline MonitorModel::Environment fakeEnvironment(const Probe& probe) {
  MonitorModel::Environment environment;
  environment.systemInfo = [] { return SystemInfo{}; };
  environment.gpuDevices = [] { return std::vector<GPUDevice>{}; };
  environment.capabilities = [] { return std::vector<SensorCapability>{}; };
  environment.monotonicNow = [clock = probe.clock] { return *clock; };
  environment.now = [] { return QDateTime::currentDateTimeUtc(); };
  environment.sources = [] { return std::make_unique<QuietSources>(); };
  environment.log = [logged = probe.logged](const QString& line) { logged->append(line); };
  return environment;
}

// A model over a fresh settings domain and a history in a temporary folder. `script` changes the
// fake environment before the model is built (another machine, other readings).
struct ModelRig {
  using Script = std::function<void(MonitorModel::Environment&)>;

  QTemporaryDir dir;
  MemoryPreferences domain;
  std::unique_ptr<MemoryPreferences> standard;
  std::unique_ptr<AppSettings> settings;
  Probe probe;
  std::unique_ptr<MonitorModel> model;

  explicit ModelRig(QMap<QString, QVariant> arguments = {}, const Script& script = {}) {
    arguments.insert(QStringLiteral("KIVODataDir"), dir.path());
    standard = std::make_unique<MemoryPreferences>(arguments);
    settings = std::make_unique<AppSettings>(domain);
    MonitorModel::Environment environment = fakeEnvironment(probe);
    if (script) script(environment);
    model = std::make_unique<MonitorModel>(*settings, *standard, std::move(environment));
    // The history opens on the model's worker.
    model->waitForWorker();
  }
  ~ModelRig() { model.reset(); }
};

// A data folder whose history cannot be opened: a folder stands where the database file goes.
inline QString unopenableDataDir(const QTemporaryDir& dir) {
  QDir(dir.path()).mkpath(QStringLiteral("telemetry.sqlite/blocked"));
  return dir.path();
}

// A model whose history cannot be opened. Not waited for: the worker's answer reaches the model
// through the event loop, so whatever is built right after sees the history still opening.
struct ModelWithoutHistory {
  QTemporaryDir dir;
  MemoryPreferences domain;
  MemoryPreferences standard{
      QMap<QString, QVariant>{{QStringLiteral("KIVODataDir"), unopenableDataDir(dir)}}};
  AppSettings settings{domain};
  Probe probe;
  MonitorModel model{settings, standard, fakeEnvironment(probe)};
};

// A snapshot dated `seconds` after a fixed instant, with the given metric values.
inline TelemetrySnapshot snapshotAt(double seconds,
                                    std::vector<MetricValue> values = {{MetricID::cpuTotal, 10}},
                                    std::optional<std::vector<CPULoad>> cores = std::nullopt) {
  TelemetrySnapshot snapshot;
  snapshot.date = QDateTime::fromSecsSinceEpoch(1'700'000'000, QTimeZone::utc())
                      .addMSecs(static_cast<qint64>(seconds * 1000));
  snapshot.values = std::move(values);
  if (cores) {
    CPUSample cpu;
    cpu.cores = *cores;
    snapshot.cpu = cpu;
  }
  return snapshot;
}

// Counts the emissions of one signal while it lives.
class SignalCount {
 public:
  template <typename Object, typename Signal>
  SignalCount(Object* object, Signal signal) {
    QObject::connect(object, signal, &context_, [this] { ++count_; });
  }
  int count() const { return count_; }

 private:
  QObject context_;
  int count_ = 0;
};

}  // namespace kivo::test
