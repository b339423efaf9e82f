#pragma once

#include "ModelTestSupport.h"
#include "TestSupport.h"
#include "design/Icons.h"
#include "desktop/LaunchAtLogin.h"
#include "settings/AppSettings.h"
#include "settings/JsonFilePreferences.h"
#include "settings/PreferenceDomains.h"
#include "shell/SettingsWindow.h"

#include <QAbstractSlider>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QSlider>
#include <QTemporaryDir>

#include <memory>

namespace kivo::test {

// Settings as the program keeps them in interface-test mode (settings.uitest.json under a
// temporary XDG_CONFIG_HOME), a model over them and a history in a temporary folder.
struct SettingsRig {
  QTemporaryDir config;
  QTemporaryDir data;
  QByteArray savedConfigHome;
  std::unique_ptr<PreferenceDomains> domains;
  std::unique_ptr<JsonFilePreferences> reopened;
  std::unique_ptr<AppSettings> settings;
  Probe probe;
  std::unique_ptr<MonitorModel> model;
  // The real entry, under the temporary XDG_CONFIG_HOME.
  LaunchAtLogin launchAtLogin;

  // prepare: runs on the freshly erased test suite's settings before the model exists (stored
  // values the panes must not change).
  // adjust: changes to the fake environment; dataDir: the history folder (default a fresh one).
  explicit SettingsRig(const std::function<void(AppSettings&)>& prepare = {},
                       const std::function<void(MonitorModel::Environment&)>& adjust = {},
                       QString dataDir = {}) {
    if (dataDir.isEmpty()) dataDir = data.path();
    Icons::initResources();
    savedConfigHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    domains = std::make_unique<PreferenceDomains>(
        PreferenceDomains::forLaunch({QStringLiteral("kivo-monitor"), QStringLiteral("-KIVOUITest"),
                                      QStringLiteral("YES"), QStringLiteral("-KIVODataDir"), dataDir}));
    Preferences* suite = &domains->settings();
    if (prepare) {
      AppSettings first(*suite);
      prepare(first);
      // Read back from the file, as a later launch would.
      reopened = std::make_unique<JsonFilePreferences>(JsonFilePreferences::testSuitePath());
      suite = reopened.get();
    }
    settings = std::make_unique<AppSettings>(*suite);
    MonitorModel::Environment environment = fakeEnvironment(probe);
    if (adjust) adjust(environment);
    model = std::make_unique<MonitorModel>(*settings, *domains->standard, std::move(environment));
    // The history opens on the model's worker.
    model->waitForWorker();
  }
  ~SettingsRig() {
    model.reset();
    if (savedConfigHome.isNull()) {
      qunsetenv("XDG_CONFIG_HOME");
    } else {
      qputenv("XDG_CONFIG_HOME", savedConfigHome);
    }
  }

  QString suitePath() const { return config.path() + QStringLiteral("/kivo-monitor/settings.uitest.json"); }
  QByteArray suiteBytes() const {
    QFile file(suitePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  // The settings as the next launch would read them from the file.
  std::unique_ptr<AppSettings> readBack(std::unique_ptr<JsonFilePreferences>& holder) const {
    holder = std::make_unique<JsonFilePreferences>(suitePath());
    return std::make_unique<AppSettings>(*holder);
  }
};

template <typename T>
T* find(const QWidget& root, const QString& name) {
  return root.findChild<T*>(name);
}

// What a person's choice sends: the combo's activated, the slider's actions.
inline void pick(QComboBox* box, int index) {
  box->setCurrentIndex(index);
  emit box->activated(index);
}

inline void step(QSlider* slider, int steps) {
  for (int i = 0; i < std::abs(steps); ++i) {
    slider->triggerAction(steps > 0 ? QAbstractSlider::SliderSingleStepAdd
                                    : QAbstractSlider::SliderSingleStepSub);
  }
}

inline void settle() {
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

}  // namespace kivo::test
