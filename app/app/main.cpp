#include "app/AppSettings.h"
#include "app/AppearanceChoice.h"
#include "app/Localized.h"
#include "app/LaunchOptions.h"
#include "app/MonitorModel.h"
#include "app/PreferenceDomains.h"
#include "app/UnixSignals.h"
#include "desktop/DesktopNotifier.h"
#include "desktop/DesktopSystemObserver.h"
#include "desktop/ForegroundTracker.h"
#include "desktop/NetworkPathMonitor.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

#include <memory>

namespace {

void applyTestOptions(kivo::AppSettings& settings, const kivo::Preferences& standard) {
  if (const auto text = kivo::LaunchOptions::appearance(standard)) {
    if (const auto choice = kivo::AppearanceChoices::fromRawValue(*text)) settings.setAppearance(*choice);
  }
  if (const auto name = kivo::LaunchOptions::preset(standard)) {
    for (const auto& preset : settings.presets()) {
      if (preset.name.compare(*name, Qt::CaseInsensitive) == 0) {
        settings.setSelectedPreset(preset.id);
        break;
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("KIVO Monitor"));
  QApplication::setOrganizationName(QStringLiteral("KIVO"));
  QApplication::setDesktopFileName(QStringLiteral("kivo-monitor"));

  // Test mode keeps its settings in a suite of its own, erased first, so every test run starts
  // from the defaults.
  const kivo::PreferenceDomains domains = kivo::PreferenceDomains::forLaunch(QApplication::arguments());
  const kivo::Preferences& standard = *domains.standard;
  kivo::AppSettings settings(domains.settings());
  if (kivo::LaunchOptions::testMode(standard)) applyTestOptions(settings, standard);
  // Outlives the model, which posts through it.
  kivo::DesktopNotifier notifier;
  kivo::MonitorModel model(settings, standard);
  model.setNotifier(&notifier);
  if (const auto& error = model.storeError()) {
    qWarning("The history cannot be opened; nothing is recorded in this run: %s", qUtf8Printable(*error));
  }

  // The desktop tells the model about sleep, mounts, power profiles, windows and the network.
  kivo::DesktopSystemObserver system;
  QObject::connect(&system, &kivo::SystemObserver::discontinuity, &model, &kivo::MonitorModel::noteSystemEvent);
  QObject::connect(&system, &kivo::SystemObserver::slowReadingsStale, &model,
                   &kivo::MonitorModel::invalidateSlowReadings);
  kivo::ForegroundTracker foreground;
  QObject::connect(&foreground, &kivo::ForegroundTracker::foregroundComputed, &model,
                   &kivo::MonitorModel::setForeground);
  kivo::NetworkPathMonitor network;
  QObject::connect(&network, &kivo::NetworkPathMonitor::pathReported, &model,
                   [&model](const kivo::NetworkPath& path) {
                     model.pathChanged(path.key(), path.status(), path.joinedInterfaces());
                   });

  // Quitting, however asked for, stops consuming, joins the engine's loop and flushes the
  // history before the process ends.
  QObject::connect(&app, &QCoreApplication::aboutToQuit, &model, [&model] { model.shutdown(); });
  kivo::UnixSignals unixSignals;
  QObject::connect(&unixSignals, &kivo::UnixSignals::terminationRequested, &app, [] { QApplication::quit(); });

  QMainWindow window;
  window.setWindowTitle(QStringLiteral("KIVO Monitor"));
  window.setMinimumSize(860, 560);
  window.resize(1280, 860);
  auto* quit = new QAction(kivo::tr("Quit"), &window);
  quit->setShortcut(QKeySequence::Quit);
  QObject::connect(quit, &QAction::triggered, &app, [] { QApplication::quit(); });
  window.menuBar()->addMenu(kivo::tr("File"))->addAction(quit);
  window.show();

  // Sampling starts once the main window is up.
  QTimer::singleShot(0, &model, [&] {
    model.start();
    foreground.start();
    network.start();
  });

  const int status = QApplication::exec();
  model.shutdown();
  return status;
}
