#include "shell/Application.h"

#include "desktop/DesktopNotifier.h"
#include "desktop/DesktopSystemObserver.h"
#include "desktop/ForegroundTracker.h"
#include "desktop/NetworkPathMonitor.h"
#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "settings/AppearanceChoice.h"
#include "settings/LaunchOptions.h"
#include "settings/PreferenceDomains.h"
#include "texts/Localized.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

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

// Declared in the order they must be built; destroyed in reverse.
struct Application::Parts {
  // Test mode keeps its settings in a suite of its own, erased first, so every test run starts
  // from the defaults.
  PreferenceDomains domains;
  AppSettings settings;
  // Outlives the model, which posts through it.
  DesktopNotifier notifier;
  MonitorModel model;
  DesktopSystemObserver system;
  ForegroundTracker foreground;
  NetworkPathMonitor network;
  QMainWindow window;

  explicit Parts(const QStringList& arguments)
      : domains(PreferenceDomains::forLaunch(arguments)),
        settings(domains.settings()),
        model(settings, *domains.standard) {}
};

Application::Application(QApplication& app) : app_(app) {
  QApplication::setApplicationName(QStringLiteral("KIVO Monitor"));
  QApplication::setOrganizationName(QStringLiteral("KIVO"));
  QApplication::setDesktopFileName(QStringLiteral("kivo-monitor"));
  parts_ = std::make_unique<Parts>(QApplication::arguments());
  Parts& p = *parts_;
  const Preferences& standard = *p.domains.standard;
  if (LaunchOptions::testMode(standard)) applyTestOptions(p.settings, standard);
  MonitorModel& model = p.model;
  model.setNotifier(&p.notifier);
  if (const auto& error = model.storeError()) {
    qWarning("The history cannot be opened; nothing is recorded in this run: %s", qUtf8Printable(*error));
  }

  // The desktop tells the model about sleep, mounts, power profiles, windows and the network.
  connect(&p.system, &SystemObserver::discontinuity, &model, &MonitorModel::noteSystemEvent);
  connect(&p.system, &SystemObserver::slowReadingsStale, &model, &MonitorModel::invalidateSlowReadings);
  connect(&p.foreground, &ForegroundTracker::foregroundComputed, &model, &MonitorModel::setForeground);
  connect(&p.network, &NetworkPathMonitor::pathReported, &model, [&model](const NetworkPath& path) {
    model.pathChanged(path.key(), path.status(), path.joinedInterfaces());
  });

  // Quitting, however asked for, stops consuming, joins the engine's loop and flushes the
  // history before the process ends.
  connect(&app_, &QCoreApplication::aboutToQuit, &model, [&model] { model.shutdown(); });

  QMainWindow& window = p.window;
  window.setWindowTitle(QStringLiteral("KIVO Monitor"));
  window.setMinimumSize(860, 560);
  window.resize(1280, 860);
  if (const auto size = LaunchOptions::resizeTo(standard)) {
    window.resize(qRound(size->width()), qRound(size->height()));
  }
  auto* quit = new QAction(kivo::tr("Quit"), &window);
  quit->setShortcut(QKeySequence::Quit);
  connect(quit, &QAction::triggered, &app_, [] { QApplication::quit(); });
  window.menuBar()->addMenu(kivo::tr("File"))->addAction(quit);
}

Application::~Application() = default;

int Application::run() {
  Parts& p = *parts_;
  p.window.show();
  // Sampling starts once the main window is up.
  QTimer::singleShot(0, &p.model, [&p] {
    p.model.start();
    p.foreground.start();
    p.network.start();
  });
  const int status = QApplication::exec();
  p.model.shutdown();
  return status;
}

}  // namespace kivo
