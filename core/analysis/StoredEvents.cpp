#include "analysis/StoredEvents.h"

#include "analysis/EventPayload.h"

namespace kivo::StoredEvents {

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

StoredEvent discontinuity(const QString& code, const QDateTime& date) {
  StoredEvent event;
  event.date = date;
  event.kind = EventKind::system;
  event.severity = Severity::info;
  event.code = code;
  return event;
}

StoredEvent network(bool online, const QString& interfaces, const QDateTime& date) {
  StoredEvent event;
  event.date = date;
  event.kind = EventKind::network;
  event.severity = online ? Severity::info : Severity::warning;
  event.code = online ? QStringLiteral("network.online") : QStringLiteral("network.offline");
  event.payload.insert(QStringLiteral("interfaces"), interfaces);
  return event;
}

StoredEvent bookmark(const QString& note, const QDateTime& date) {
  StoredEvent event;
  event.date = date;
  event.kind = EventKind::bookmark;
  event.severity = Severity::info;
  event.code = QStringLiteral("bookmark");
  event.payload.insert(QStringLiteral("note"), note);
  return event;
}

}  // namespace kivo::StoredEvents
