#include "shell/RootPresenter.h"

#include "metrics/ValueFormatter.h"
#include "model/MonitorModel.h"
#include "texts/AlertText.h"
#include "texts/Localized.h"

namespace kivo::RootPresenter {

BadgeFigures BadgeFigures::of(const MonitorModel& model) {
  BadgeFigures figures;
  figures.cpu = model.latest(MetricID::cpuTotal);
  figures.gpu = model.latest(MetricID::gpuUtilization);
  figures.netDown = model.latest(MetricID::netDown);
  if (const auto& snapshot = model.snapshot()) {
    if (const auto& memory = snapshot->memory) figures.memory = memory->usedFraction() * 100.0;
    figures.charge = snapshot->power.charge;
  }
  if (const ProcessSample* processes = model.processes()) figures.processes = processes->total;
  figures.firing = static_cast<int>(model.firing().size());
  figures.findings = static_cast<int>(model.findings().size());
  return figures;
}

std::optional<QString> badge(AppSection section, const BadgeFigures& figures, const ValueFormatter& format) {
  auto percent = [&format](const std::optional<double>& value) -> std::optional<QString> {
    if (!value) return std::nullopt;
    return format.percent(*value, 0);
  };
  switch (section) {
    case AppSection::cpu:
      return percent(figures.cpu);
    case AppSection::gpu:
      return percent(figures.gpu);
    case AppSection::memory:
      return percent(figures.memory);
    case AppSection::network:
      if (!figures.netDown) return std::nullopt;
      return QStringLiteral("↓ ") + format.rate(*figures.netDown);
    case AppSection::processes:
      if (!figures.processes) return std::nullopt;
      return QString::number(*figures.processes);
    case AppSection::power:
      return percent(figures.charge);
    default:
      return std::nullopt;
  }
}

std::optional<int> alertCapsule(AppSection section, const BadgeFigures& figures) {
  if (section != AppSection::alerts || figures.firing <= 0) return std::nullopt;
  return figures.firing;
}

std::optional<int> insightCount(AppSection section, const BadgeFigures& figures) {
  if (section != AppSection::insights || figures.findings <= 0) return std::nullopt;
  return figures.findings;
}

QString alertCapsuleAccessibleName(int count) {
  return AlertText::activeCount(count);
}

QString footerText(bool paused, std::optional<double> interval, const ValueFormatter& format) {
  if (paused) return kivo::tr("Sampling paused");
  if (!interval) return kivo::tr("Starting…");
  return kivo::tr("Sampling every %1 s", format.number(*interval, *interval < 10 ? 1 : 0));
}

QString footerText(const MonitorModel& model) {
  std::optional<double> interval;
  if (const auto& snapshot = model.snapshot()) interval = snapshot->interval;
  return footerText(model.isPaused(), interval, model.format());
}

QString pauseTitle(bool paused) {
  return paused ? kivo::tr("Resume Sampling") : kivo::tr("Pause Sampling");
}
QString pauseHelp(bool paused) {
  return paused ? kivo::tr("Resume sampling") : kivo::tr("Pause sampling");
}
QString pauseSymbol(bool paused) {
  return paused ? QStringLiteral("play.fill") : QStringLiteral("pause.fill");
}
QString bookmarkHelp(bool historyOpen) {
  return historyOpen ? kivo::tr("Mark this moment in the history")
                     : kivo::tr("No history is open, so a bookmark cannot be kept.");
}
QString bookmarkAdded(bool kept) {
  return kept ? kivo::tr("Bookmark added") : kivo::tr("The bookmark could not be saved.");
}

}  // namespace kivo::RootPresenter
