#include "features/reports/ReportText.h"

#include "reporting/ReportGenerator.h"
#include "texts/Localized.h"

namespace kivo::ReportText {

QString title(ReportKind kind) {
  // The generator's English titles are the keys, so the picker and the report agree.
  return translated(ReportGenerator::title(kind));
}

QString summary(ReportKind kind) {
  switch (kind) {
    case ReportKind::system:
      return tr("Every subsystem at a glance, with volumes, interfaces, battery and top processes.");
    case ReportKind::cpu:
      return tr("CPU usage, user and system time, load average and the busiest processes.");
    case ReportKind::memory:
      return tr("Memory accounting, pressure, swap and paging, and the largest processes.");
    case ReportKind::storage:
      return tr("Volume capacity, available-space trend and disk throughput.");
    case ReportKind::network:
      return tr("Throughput history and interface totals.");
    case ReportKind::processes:
      return tr("The 25 busiest processes right now, with the process count over time.");
    case ReportKind::incident:
      return tr("Everything recorded around a moment: metrics, alerts, findings and system events.");
  }
  return {};
}

}  // namespace kivo::ReportText
