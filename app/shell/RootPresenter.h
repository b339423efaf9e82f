#pragma once

#include "shell/AppSection.h"

#include <QString>

#include <optional>

namespace kivo {

class MonitorModel;
class ValueFormatter;

// What the sidebar, its footer and the toolbar show, decided without a widget.
namespace RootPresenter {

// The figures behind the badges, each absent until the model has it.
struct BadgeFigures {
  std::optional<double> cpu;      // newest cpuTotal, percent
  std::optional<double> gpu;      // newest gpuUtilization, percent
  std::optional<double> memory;   // used ÷ physical × 100 of the newest snapshot (0 when physical is 0)
  std::optional<double> netDown;  // newest netDown, bytes per second
  std::optional<int> processes;   // total of the newest process sample
  std::optional<double> charge;   // battery charge of the newest snapshot, percent
  int firing = 0;                 // firing alert rules
  int findings = 0;               // current findings

  static BadgeFigures of(const MonitorModel& model);
};

// The text beside a row's title, shown verbatim; absent when its figure is.
std::optional<QString> badge(AppSection section, const BadgeFigures& figures, const ValueFormatter& format);
// The red capsule of the alerts row and the count of the insights row; absent at zero and on
// every other row.
std::optional<int> alertCapsule(AppSection section, const BadgeFigures& figures);
std::optional<int> insightCount(AppSection section, const BadgeFigures& figures);
// Read aloud for the capsule: "1 active alert", "3 active alerts".
QString alertCapsuleAccessibleName(int count);

// The footer: "Sampling paused", "Starting…" before the first snapshot, else the interval.
QString footerText(bool paused, std::optional<double> interval, const ValueFormatter& format);
QString footerText(const MonitorModel& model);

// The pause command as the toolbar and the Monitor menu show it.
QString pauseTitle(bool paused);
QString pauseHelp(bool paused);
QString pauseSymbol(bool paused);
// Add Bookmark's help: why it is unavailable while no history is open to keep the bookmark.
QString bookmarkHelp(bool historyOpen);
// Said for a few seconds after a bookmark was asked for: whether the history kept it.
QString bookmarkAdded(bool kept);

}  // namespace RootPresenter

}  // namespace kivo
