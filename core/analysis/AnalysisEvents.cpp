#include "analysis/AnalysisEvents.h"

#include "analysis/EventPayload.h"

namespace kivo::AnalysisEvents {

StoredEvent alert(const AlertTransition& transition) {
  StoredEvent event;
  event.date = transition.date;
  event.kind = EventKind::alert;
  event.severity = transition.rule.severity;
  event.metric = transition.rule.metric;
  event.code = transition.kind == AlertTransition::Kind::fired ? QStringLiteral("alert.fired")
                                                               : QStringLiteral("alert.resolved");
  const auto comparison = AlertComparisons::rawValue(transition.rule.comparison);
  event.payload.insert(QStringLiteral("rule"), uuidText(transition.rule.id));
  event.payload.insert(QStringLiteral("value"), EventPayload::decimal(transition.value));
  event.payload.insert(QStringLiteral("threshold"), EventPayload::decimal(transition.rule.threshold));
  event.payload.insert(QStringLiteral("comparison"),
                       QString::fromLatin1(comparison.data(), static_cast<qsizetype>(comparison.size())));
  event.payload.insert(QStringLiteral("held"), EventPayload::wholeSeconds(transition.held));
  return event;
}

StoredEvent spike(const ProcessSpikeTracker::Spike& spike) {
  StoredEvent event;
  event.date = spike.start;
  event.kind = EventKind::process;
  event.severity = Severity::info;
  event.code = QStringLiteral("process.spike");
  event.payload.insert(QStringLiteral("name"), spike.name);
  event.payload.insert(QStringLiteral("pid"), QString::number(spike.pid));
  event.payload.insert(QStringLiteral("peak"), EventPayload::oneDecimal(spike.peak));
  event.payload.insert(QStringLiteral("duration"), EventPayload::wholeSeconds(spike.duration));
  return event;
}

StoredEvent gap(double seconds, const QDateTime& date) {
  StoredEvent event;
  event.date = date;
  event.kind = EventKind::system;
  event.severity = Severity::info;
  event.code = QStringLiteral("system.gap");
  event.payload.insert(QStringLiteral("seconds"), EventPayload::wholeSeconds(seconds));
  return event;
}

}  // namespace kivo::AnalysisEvents
