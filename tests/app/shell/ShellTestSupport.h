#pragma once

#include "ModelTestSupport.h"
#include "WaitUntil.h"
#include "design/Icons.h"
#include "model/MonitorModel.h"
#include "scheduler/TelemetrySources.h"
#include "settings/AppSettings.h"
#include "settings/MemoryPreferences.h"
#include "shell/Shell.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace kivo::test {

// Readings for an engine that may start: nothing but an idle CPU.
class IdleSources final : public QuietSources {
 public:
  std::optional<CPUSample> cpu(double) override {
    CPUSample sample;
    sample.total = CPULoad{0.0, 0.0, 1.0};
    sample.interval = 1;
    return sample;
  }
};

// The fake machine of the model tests with an idle CPU; what the model logs is kept aside.
inline MonitorModel::Environment quietEnvironment() {
  MonitorModel::Environment environment = fakeEnvironment(Probe{});
  environment.sources = [] { return std::make_unique<IdleSources>(); };
  return environment;
}

// A shell over a model with a history in a temporary folder; launch options as given.
struct ShellRig {
  QTemporaryDir dir;
  MemoryPreferences domain;
  std::unique_ptr<MemoryPreferences> standard;
  std::unique_ptr<AppSettings> settings;
  std::unique_ptr<MonitorModel> model;
  std::unique_ptr<Shell> shell;

  // A KIVODataDir given in arguments replaces the temporary folder.
  explicit ShellRig(QMap<QString, QVariant> arguments = {},
                    MonitorModel::Environment environment = quietEnvironment()) {
    Icons::initResources();
    if (!arguments.contains(QStringLiteral("KIVODataDir")))
      arguments.insert(QStringLiteral("KIVODataDir"), dir.path());
    standard = std::make_unique<MemoryPreferences>(arguments);
    settings = std::make_unique<AppSettings>(domain);
    model = std::make_unique<MonitorModel>(*settings, *standard, std::move(environment));
    // The history opens on the model's worker: tests start once it has (or has failed), so a
    // command that needs it is never pressed while it is still opening.
    model->waitForWorker();
    shell = std::make_unique<Shell>(*model, *settings, *standard);
    // Quitting is the test's business, not the shared application's.
    shell->setQuitRequest([this] { ++quitRequests; });
  }
  ~ShellRig() {
    shell.reset();
    model.reset();
  }

  int quitRequests = 0;
};

inline void settle() {
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

}  // namespace kivo::test
