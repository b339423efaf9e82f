#include "features/reports/ReportBuilding.h"

#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "storage/TimeSeriesStore.h"
#include "texts/BuildInfo.h"
#include "texts/Localized.h"

#include <algorithm>
#include <optional>

namespace kivo {

QString ReportChoices::identity() const {
  const qint64 minute = incidentDate.isValid() ? incidentDate.toSecsSinceEpoch() / 60 : 0;
  return QStringLiteral("%1|%2|%3|%4|%5")
      .arg(ReportKinds::id(kind), HistoryRanges::rawValue(range), QString::number(minute),
           includeHostName ? QStringLiteral("true") : QStringLiteral("false"), QString::number(refresh));
}

namespace ReportBuilding {

ReportPeriod period(ReportKind kind, HistoryRange range, const QDateTime& incidentDate,
                    const QDateTime& now) {
  if (kind == ReportKind::incident) {
    const QDateTime moment = incidentDate.isValid() ? std::min(incidentDate, now) : now;
    const qint64 half = static_cast<qint64>(kIncidentHalfSpan * 1000);
    return {moment.addMSecs(-half), std::min(moment.addMSecs(half), now)};
  }
  return {now.addMSecs(-static_cast<qint64>(HistoryRanges::seconds(range) * 1000)), now};
}

QDateTime incidentMoment(const QDate& date, const QTime& time) {
  if (!date.isValid() || !time.isValid()) return {};
  // The wall time's own figures as seconds; a moment shows them when it is this far from 1970
  // less its offset.
  const qint64 wall = QDateTime(date, time, Qt::UTC).toSecsSinceEpoch();
  const auto offsetAt = [](qint64 seconds) { return QDateTime::fromSecsSinceEpoch(seconds).offsetFromUtc(); };
  // Every offset in force within a day around it; zones are 14 hours from UTC at most.
  std::optional<qint64> first;
  for (qint64 hour = -16; hour <= 16; ++hour) {
    const int offset = offsetAt(wall + hour * 3600);
    const qint64 moment = wall - offset;
    if (offsetAt(moment) == offset && (!first || moment < *first)) first = moment;
  }
  const qint64 seconds = first ? *first : wall - offsetAt(wall - 86400);
  return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).addMSecs(time.msec());
}

std::vector<Finding> findingsIn(const std::vector<Finding>& findings, const ReportPeriod& period) {
  std::vector<Finding> kept;
  for (const Finding& finding : findings)
    if (finding.end >= period.from && finding.start <= period.to) kept.push_back(finding);
  return kept;
}

ReportInputs gather(const MonitorModel& model, const AppSettings& settings, ReportKind kind,
                    const ReportPeriod& period) {
  const auto& snapshot = model.snapshot();
  const ProcessSample* processes = model.processes();
  const QString version = BuildInfo::version();
  ReportInputs inputs{
      .kind = kind,
      .from = period.from,
      .to = period.to,
      .samplingInterval = settings.telemetry().interval,
      .system = model.system(),
      .includeHostName = settings.includeHostInReports(),
      .series = {},
      .volumes = snapshot ? snapshot->volumes : std::vector<VolumeInfo>{},
      .interfaces =
          snapshot && snapshot->network ? snapshot->network->interfaces : std::vector<NetworkInterface>{},
      .processes = processes ? processes->processes : std::vector<ProcessRecord>{},
      .power = snapshot ? std::optional<PowerSample>(snapshot->power) : std::nullopt,
      .findings = findingsIn(model.findings(), period),
      .events = {},
      .appVersion = version.isEmpty() ? QStringLiteral("—") : version,
  };
  return inputs;
}

void queryHistory(TimeSeriesStore& store, ReportInputs& inputs, const QDateTime& now) {
  const auto metrics = ReportKinds::metrics(inputs.kind);
  inputs.series.clear();
  inputs.series.reserve(metrics.size());
  for (MetricID metric : metrics)
    inputs.series.push_back(store.series(metric, inputs.from, inputs.to, kMaxPoints, std::nullopt, now));
  inputs.events.clear();
  if (inputs.kind == ReportKind::system || inputs.kind == ReportKind::incident)
    inputs.events =
        store.events({EventKind::alert, EventKind::system, EventKind::bookmark, EventKind::process},
                     inputs.from, inputs.to, kMaxEvents);
}

const Localize& localize() {
  static const Localize function = [](const QString& key) { return translated(key); };
  return function;
}

}  // namespace ReportBuilding

}  // namespace kivo
