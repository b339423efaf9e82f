#include "shell/Application.h"

#include "design/Icons.h"
#include "desktop/DesktopNotifier.h"
#include "desktop/DesktopSystemObserver.h"
#include "desktop/ForegroundTracker.h"
#include "desktop/NetworkPathMonitor.h"
#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "settings/AppearanceChoice.h"
#include "settings/LaunchOptions.h"
#include "settings/PreferenceDomains.h"
#include "shell/Shell.h"
#include "shell/SingleInstance.h"
#include "storage/StoreLog.h"
#include "texts/BuildInfo.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDateTime>
#include <QTimer>

#include <cstdio>
#include <optional>

namespace kivo {

namespace {

void applyTestOptions(AppSettings& settings, const Preferences& standard) {
  if (const auto text = LaunchOptions::appearance(standard)) {
    if (const auto choice = AppearanceChoices::fromRawValue(*text)) settings.setAppearance(*choice);
  }
  if (const auto name = LaunchOptions::preset(standard)) {
    for (const auto& preset : settings.presets()) {
      if (preset.name.compare(*name, Qt::CaseInsensitive) == 0) {
        settings.setSelectedPreset(preset.id);
        break;
      }
    }
  }
}

}  // namespace

// What runs the monitor, declared in the order it must be built; destroyed in reverse.
struct Running {
  AppSettings settings;
  // Outlives the model, which posts through it.
  DesktopNotifier notifier;
  MonitorModel model;
  DesktopSystemObserver system;
  ForegroundTracker foreground;
  NetworkPathMonitor network;
  Shell shell;

  Running(Preferences& settingsDomain, const Preferences& standard)
      : settings(settingsDomain), model(settings, standard), shell(model, settings, standard) {}
};

struct Application::Parts {
  // Test mode keeps its settings in a suite of its own, erased first, so every test run starts
  // from the defaults.
  PreferenceDomains domains;
  std::unique_ptr<SingleInstance> instance;
  // Absent after a hand-over.
  std::optional<Running> running;

  explicit Parts(const QStringList& arguments) : domains(PreferenceDomains::forLaunch(arguments)) {}
};

Application::Application(QApplication& app) : Application(app, QApplication::arguments()) {}

Application::Application(QApplication& app, const QStringList& arguments) : app_(app) {
  QApplication::setApplicationName(QStringLiteral("KIVO Monitor"));
  QApplication::setApplicationVersion(BuildInfo::version());
  QApplication::setOrganizationName(QStringLiteral("KIVO"));
  QApplication::setDesktopFileName(QStringLiteral("kivo-monitor"));
  parts_ = std::make_unique<Parts>(arguments);
  Parts& p = *parts_;
  const Preferences& standard = *p.domains.standard;

  // Before the history is opened: a second launch on it only brings the first one forward.
  p.instance =
      std::make_unique<SingleInstance>(QDBusConnection::sessionBus(), MonitorModel::databasePath(standard));
  if (p.instance->claim() == SingleInstance::Outcome::handedOver) return;

  Icons::initResources();
  QApplication::setWindowIcon(Icons::applicationIcon());
  Running& r = p.running.emplace(p.domains.settings(), standard);
  if (LaunchOptions::testMode(standard)) applyTestOptions(r.settings, standard);
  MonitorModel& model = r.model;
  model.setNotifier(&r.notifier);
  // The history opens on the model's worker; a refusal is said once.
  connect(&model, &MonitorModel::storeErrorChanged, this, [this, &model] {
    if (openFailureReported_ || model.hasHistory() || !model.storeError()) return;
    openFailureReported_ = true;
    qCWarning(storeLog, "The history cannot be opened; it is tried again every minute: %s",
              qUtf8Printable(*model.storeError()));
  });

  // The desktop tells the model about sleep, mounts, power profiles, windows and the network.
  connect(&r.system, &SystemObserver::discontinuity, &model, &MonitorModel::noteSystemEvent);
  connect(&r.system, &SystemObserver::slowReadingsStale, &model, &MonitorModel::invalidateSlowReadings);
  connect(&r.foreground, &ForegroundTracker::foregroundComputed, &model, &MonitorModel::setForeground);
  connect(&r.network, &NetworkPathMonitor::pathReported, &model, &MonitorModel::pathChanged);
  connect(p.instance.get(), &SingleInstance::activationRequested, &r.shell, &Shell::activate);
  // For the start-up benchmark (bench/shell-startup.sh): when the main window first reached
  // the screen, in milliseconds since the epoch.
  if (qEnvironmentVariableIsSet("KIVO_REPORT_FIRST_PAINT")) {
    connect(&r.shell, &Shell::mainWindowPainted, this, [] {
      std::fprintf(stderr, "kivo-first-paint %lld\n",
                   static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
      std::fflush(stderr);
    });
  }

  // Quitting, however asked for (a command, a signal, the session's end), stops consuming,
  // joins the engine's loop and flushes the history before the process ends.
  connect(&app_, &QCoreApplication::aboutToQuit, &model, [&model] { model.shutdown(); });
  connect(
      &app_, &QGuiApplication::commitDataRequest, &app_, [] { QApplication::quit(); }, Qt::QueuedConnection);
}

Application::~Application() = default;

bool Application::handedOver() const {
  return !parts_->running;
}
MonitorModel* Application::model() const {
  return parts_->running ? &parts_->running->model : nullptr;
}
Shell* Application::shell() const {
  return parts_->running ? &parts_->running->shell : nullptr;
}

int Application::run() {
  if (!parts_->running) return 0;
  Running& r = *parts_->running;
  // Sampling starts with the main window's content; the desktop services once it is up.
  r.shell.showMainWindow();
  QTimer::singleShot(0, &r.model, [&r] {
    r.foreground.start();
    r.network.start();
  });
  const int status = QApplication::exec();
  r.model.shutdown();
  parts_->domains.settings().saveBeforeQuit();
  return status;
}

}  // namespace kivo
