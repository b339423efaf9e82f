#pragma once

#include "metrics/ValueFormatter.h"
#include "model/HistoryRange.h"
#include "reporting/Report.h"
#include "reporting/ReportGenerator.h"
#include "reporting/ReportInputs.h"
#include "reporting/ReportKind.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace kivo {

class AppSettings;
class MonitorModel;
class TimeSeriesStore;

// The choices a report is built from; a change of identity() rebuilds it.
struct ReportChoices {
  ReportKind kind = ReportKind::system;
  HistoryRange range = HistoryRange::hour;
  QDateTime incidentDate;
  bool includeHostName = false;
  int refresh = 0;

  // "kind|range|minute|host|refresh": moving the incident moment within its minute keeps it.
  QString identity() const;
};

struct ReportPeriod {
  QDateTime from;
  QDateTime to;
};

namespace ReportBuilding {

// Half the span of an incident report, seconds.
inline constexpr double kIncidentHalfSpan = 1800;
inline constexpr int kMaxPoints = 360;
inline constexpr int kMaxEvents = 100;

// The period of a report built at `now`. An incident moment later than now (the clock was set
// back since it was chosen) counts as now, so the period never ends before it starts.
ReportPeriod period(ReportKind kind, HistoryRange range, const QDateTime& incidentDate, const QDateTime& now);

// The moment a date and time typed into the incident picker mean on the local clock. A time the
// clocks show twice (the hour repeated when they go back) is the first of the two, as desktop
// pickers take it; a time they skip (the hour lost when they go forward) counts on the offset
// from before, so 02:30 on that night is 03:30 after the change.
QDateTime incidentMoment(const QDate& date, const QTime& time);

// The findings that overlap the period by any amount, in their order.
std::vector<Finding> findingsIn(const std::vector<Finding>& findings, const ReportPeriod& period);

// Everything the report takes from the model and the settings, copied on the GUI thread (never
// a pointer into the model); series and events are left empty for the history queries.
ReportInputs gather(const MonitorModel& model, const AppSettings& settings, ReportKind kind,
                    const ReportPeriod& period);

// The history queries of one build, one after another: a series per metric of the kind in its
// order, then (system and incident only) the newest 100 alert, system, bookmark and process events.
void queryHistory(TimeSeriesStore& store, ReportInputs& inputs, const QDateTime& now);

// The page's localisation function: the translated text of a key, or the key itself.
const Localize& localize();

}  // namespace ReportBuilding

}  // namespace kivo
