#include "features/cpu/CPUPagePresenter.h"
#include "metrics/OutsideText.h"

#include "model/MonitorModel.h"
#include "texts/Localized.h"

#include <algorithm>
#include <cmath>

namespace kivo::CPUPagePresenter {
namespace {

const QString kDash = QStringLiteral("—");

}  // namespace

QString subtitle(const SystemInfo& system) {
  const QString chip = OutsideText::visible(system.chip);
  if (system.topology.physicalCores <= 0) return chip;
  return chip + QStringLiteral(" · ") + tr("%1 cores", system.topology.physicalCores);
}

std::optional<QString> levelLine(const CPUTopology& topology) {
  if (topology.groups.empty()) return std::nullopt;
  QStringList pieces;
  for (const CPUCoreGroup& group : topology.groups) {
    pieces << tr("%1 %2 cores").arg(group.logicalCores).arg(translated(group.name));
  }
  return pieces.join(QStringLiteral(" · "));
}

QString percent(double fraction, const ValueFormatter& format) {
  if (!std::isfinite(fraction)) return kDash;
  return format.percent(fraction * 100, 1);
}

QString loadAverage(const std::vector<double>& values, const ValueFormatter& format) {
  if (values.empty()) return kDash;
  QStringList pieces;
  for (double value : values) pieces << (std::isfinite(value) ? format.number(value, 2) : kDash);
  return pieces.join(QStringLiteral("   "));
}

PeakAndAverage peakAndAverage(const LiveRing& series, int last) {
  PeakAndAverage result;
  const int count = std::min(std::max(last, 0), series.size());
  double sum = 0;
  int used = 0;
  for (int index = series.size() - count; index < series.size(); ++index) {
    const double value = series[index].value;
    if (!std::isfinite(value)) continue;
    result.peak = result.peak ? std::max(*result.peak, value) : value;
    sum += value;
    ++used;
  }
  if (used > 0) result.average = sum / used;
  return result;
}

QString frequencyReason(const std::vector<SensorCapability>& capabilities) {
  for (const SensorCapability& capability : capabilities) {
    if (capability.id == QLatin1String("cpu.frequency") && !capability.note.isEmpty()) {
      return translated(capability.note);
    }
  }
  return tr("KIVO Monitor does not collect it.");
}

CPUPageState state(const MonitorModel& model) {
  const ValueFormatter& format = model.format();
  CPUPageState state;
  const TelemetrySnapshot* snapshot = model.snapshot().get();
  const CPUSample* cpu = snapshot && snapshot->cpu ? &*snapshot->cpu : nullptr;
  state.hasCPU = cpu != nullptr;
  if (cpu) {
    state.total = percent(cpu->total.busy(), format);
    state.user = percent(cpu->total.user, format);
    state.system = percent(cpu->total.system, format);
    state.idle = percent(cpu->total.idle, format);
    state.loadAverage = loadAverage(cpu->loadAverage, format);
    state.measuredInterval = format.number(cpu->interval, 2) + QStringLiteral(" s");
  } else {
    state.total = state.user = state.system = state.idle = state.loadAverage = state.measuredInterval = kDash;
  }
  state.samplingInterval = snapshot ? format.number(snapshot->interval, 1) + QStringLiteral(" s") : kDash;
  const PeakAndAverage figures = peakAndAverage(model.live(MetricID::cpuTotal), MonitorModel::kLivePoints);
  state.peak = figures.peak ? format.percent(*figures.peak, 1) : kDash;
  state.average = figures.average ? format.percent(*figures.average, 1) : kDash;
  return state;
}

}  // namespace kivo::CPUPagePresenter
