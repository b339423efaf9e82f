#include "shell/ScreenshotHooks.h"

#include "settings/Preferences.h"

#include <QTimer>

namespace kivo {

std::vector<ScreenshotHooks::Step> ScreenshotHooks::plan(const Preferences& standard,
                                                         const Actions& actions) {
  std::vector<Step> steps;
  if (standard.contains(kOpenSettings)) {
    steps.push_back({4'000, kOpenSettings, [open = actions.openSettings] {
                       if (open) open();
                     }});
  }
  if (standard.boolean(kShowMenuPanel)) {
    steps.push_back({8'000, kShowMenuPanel, [show = actions.showPanel] {
                       if (show) show();
                     }});
  }
  if (const auto directory = standard.string(kExportMenuBar)) {
    steps.push_back({20'000, kExportMenuBar, [write = actions.exportMenuBar, directory = *directory] {
                       if (write) write(directory);
                     }});
  }
  return steps;
}

ScreenshotHooks::ScreenshotHooks(const Preferences& standard, Actions actions, QObject* parent)
    : QObject(parent), steps_(plan(standard, actions)) {}

void ScreenshotHooks::start() {
  index_ = 0;
  next();
}

void ScreenshotHooks::next() {
  if (index_ >= steps_.size()) return;
  QTimer::singleShot(steps_[index_].delayMs, this, [this] {
    const Step& step = steps_[index_++];
    step.action();
    next();
  });
}

}  // namespace kivo
