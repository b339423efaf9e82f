#include "features/insights/InsightsPresenter.h"

#include "design/SeverityLook.h"
#include "texts/FindingText.h"
#include "texts/Localized.h"
#include "texts/SeverityTitle.h"

#include <cmath>

namespace kivo::InsightsPresenter {

QString relativeTime(const QDateTime& then, const QDateTime& now) {
  const qint64 seconds = then.secsTo(now);
  if (seconds < 60) return tr("just now");
  const qint64 minutes = seconds / 60;
  if (minutes < 60) return trCount("%n minute ago", "%n minutes ago", minutes);
  const qint64 hours = minutes / 60;
  if (hours < 24) return trCount("%n hour ago", "%n hours ago", hours);
  return trCount("%n day ago", "%n days ago", std::min<qint64>(hours / 24, 1'000'000));
}

std::optional<QString> analysedText(const std::optional<QDateTime>& updated, const QDateTime& now) {
  if (!updated || !updated->isValid()) return std::nullopt;
  return tr("Analysed %1", relativeTime(*updated, now));
}

FindingCardState card(const Finding& finding, const ValueFormatter& format) {
  FindingCardState state;
  state.id = finding.id();
  state.symbol = SeverityLook::symbol(finding.severity);
  state.color = SeverityLook::color(finding.severity);
  state.title = FindingText::title(finding);
  state.capsule = Severities::title(finding.severity).toUpper();
  state.estimate = finding.kind == FindingKind::diskExhaustion;
  state.explanation = FindingText::explanation(finding, format);
  state.action = FindingText::action(finding);
  state.metric = translated(MetricCatalog::descriptor(finding.metric).name);
  state.from = format.date(finding.start);
  // How long the pattern lasted, not how long ago it ended.
  state.duration = format.duration(static_cast<double>(finding.start.msecsTo(finding.end)) / 1000.0);
  if (finding.kind == FindingKind::processSpikes) {
    // Spikes hours apart: the span is a period, not a run, and the count is of spikes.
    state.durationCaption = tr("First to last spike");
    state.samplesCaption = tr("Spikes");
  } else {
    state.durationCaption = tr("Duration");
    state.samplesCaption = tr("Samples");
  }
  state.samples = QString::number(finding.sampleCount);
  return state;
}

std::vector<FindingCardState> cards(const std::vector<Finding>& findings, const ValueFormatter& format) {
  std::vector<FindingCardState> result;
  result.reserve(findings.size());
  for (const Finding& finding : findings) result.push_back(card(finding, format));
  return result;
}

QString wholeDays(double days) {
  if (!std::isfinite(days)) return QStringLiteral("—");
  // Printed from the double: a count beyond any integer type has no conversion to overflow.
  const double whole = std::trunc(days);
  return QString::number(whole == 0 ? 0.0 : whole, 'f', 0);
}

QStringList ruleLines(const IntelligenceThresholds& t, const ValueFormatter& format, bool thermalZones) {
  return {
      tr("CPU usage above %1 for %2 or more", format.percent(t.cpuPercent, 0),
         format.duration(t.cpuMinutes * 60)),
      tr("Memory pressure at warning or critical for %1 or more", format.duration(t.pressureMinutes * 60)),
      tr("Swap growing by %1 or more within the window", format.bytes(t.swapGrowthBytes, true)),
      tr("Startup volume projected to fill within %1 days (needs 6 hours of history)",
         wholeDays(t.diskHorizonDays)),
      tr("Network minutes far above the usual level and above %1", format.rate(t.networkFloor)),
      tr("A process holding a full core for 30 s, %1 times or more", QString::number(t.processEpisodes)),
      thermalZones ? tr("Thermal state Serious or Critical for a minute or more")
                   : tr("Thermal state Serious or Critical for a minute or more: nothing to check here, this "
                        "computer has no thermal zones with trip points"),
  };
}

}  // namespace kivo::InsightsPresenter
