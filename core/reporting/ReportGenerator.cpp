#include "reporting/ReportGenerator.h"

#include "analysis/EventPayload.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace kivo::ReportGenerator {

QString title(ReportKind kind) {
  switch (kind) {
    case ReportKind::system:
      return QStringLiteral("System Overview Report");
    case ReportKind::cpu:
      return QStringLiteral("CPU Analysis Report");
    case ReportKind::memory:
      return QStringLiteral("Memory Analysis Report");
    case ReportKind::storage:
      return QStringLiteral("Storage Analysis Report");
    case ReportKind::network:
      return QStringLiteral("Network Analysis Report");
    case ReportKind::processes:
      return QStringLiteral("Process Activity Report");
    case ReportKind::incident:
      return QStringLiteral("Performance Incident Report");
  }
  return {};
}

namespace {

QString raw(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QStringList systemRow(const QString& label, const QString& value) {
  return {label, value};
}

QList<QStringList> systemRows(const ReportInputs& in, const ValueFormatter& f, const Localize& L) {
  const SystemInfo& s = in.system;
  QList<QStringList> rows;
  if (in.includeHostName) rows.append(systemRow(L(QStringLiteral("Host name")), s.hostName));
  rows.append(systemRow(L(QStringLiteral("Model")), s.model.value_or(QStringLiteral("—"))));
  rows.append(systemRow(L(QStringLiteral("Chip")), s.chip));
  const QString os =
      s.osBuild.isEmpty() ? s.osVersion : s.osVersion + QStringLiteral(" (") + s.osBuild + u')';
  rows.append(systemRow(L(QStringLiteral("Operating system")), os));
  rows.append(systemRow(L(QStringLiteral("Memory")), f.bytes(s.physicalMemory, true)));
  QString cores = QString::number(s.topology.physicalCores);
  if (!s.topology.groups.empty()) {
    QStringList groups;
    for (const auto& group : s.topology.groups)
      groups.append(QString::number(group.physicalCores) + u' ' + group.name);
    cores += QStringLiteral(" (") + groups.join(QStringLiteral(", ")) + u')';
  }
  rows.append(systemRow(L(QStringLiteral("CPU cores")), cores));
  const double uptime = static_cast<double>(s.bootTime.msecsTo(in.to)) / 1000.0;
  rows.append(systemRow(L(QStringLiteral("Uptime")), f.duration(uptime)));
  return rows;
}

ReportSeriesSummary summarise(const Series& series, const Localize& L) {
  const MetricDescriptor& d = MetricCatalog::descriptor(series.metric);
  ReportSeriesSummary s;
  s.metric = series.metric;
  s.name = L(d.name);
  s.unit = d.unit;
  s.quality = d.quality;
  s.source = d.source;
  s.method = d.method;
  s.tier = series.tier;
  s.step = series.step;
  s.sampleCount = series.sampleCount();
  s.minimum = series.minimum();
  s.average = series.average();
  s.maximum = series.maximum();
  s.gaps = series.gaps;
  s.points = series.points;
  return s;
}

QStringList localized(const Localize& L, std::initializer_list<const char*> keys) {
  QStringList out;
  out.reserve(static_cast<qsizetype>(keys.size()));
  for (const char* key : keys) out.append(L(QString::fromUtf8(key)));
  return out;
}

ReportTable volumesTable(const ReportInputs& in, const ValueFormatter& f, const Localize& L) {
  ReportTable t{
      L(QStringLiteral("Volumes")), localized(L, {"Volume", "Format", "Capacity", "Available", "Used"}), {}};
  for (const auto& v : in.volumes) {
    double used = 0;
    if (v.total > 0) {
      const std::uint64_t taken = v.available > v.total ? 0 : v.total - v.available;
      used = static_cast<double>(taken) / static_cast<double>(v.total) * 100.0;
    }
    t.rows.append(
        {v.name, v.format, f.bytes(v.total, false), f.bytes(v.available, false), f.percent(used, 0)});
  }
  return t;
}

ReportTable interfacesTable(const ReportInputs& in, const ValueFormatter& f, const Localize& L) {
  ReportTable t{L(QStringLiteral("Network interfaces")),
                localized(L, {"Interface", "Kind", "Status", "Received", "Sent"}),
                {}};
  for (const auto& i : in.interfaces) {
    if (!i.isUp || !i.isRunning || (i.ipv4.isEmpty() && i.ipv6.isEmpty())) continue;
    const QString name = i.displayName ? *i.displayName + QStringLiteral(" (") + i.name + u')' : i.name;
    t.rows.append({name, L(raw(InterfaceKinds::rawValue(i.kind))), L(QStringLiteral("Active")),
                   f.bytes(i.totalBytesIn, false), f.bytes(i.totalBytesOut, false)});
  }
  return t;
}

ReportTable processesTable(const ReportInputs& in, const ValueFormatter& f, const Localize& L) {
  const bool byMemory = in.kind == ReportKind::memory;
  std::vector<const ProcessRecord*> records;
  records.reserve(in.processes.size());
  for (const auto& p : in.processes)
    if (p.hasStatistics) records.push_back(&p);
  const auto key = [byMemory](const ProcessRecord* p) -> double {
    if (byMemory) return p->memory ? static_cast<double>(*p->memory) : 0.0;
    return p->cpuPercent.value_or(0.0);
  };
  std::stable_sort(records.begin(), records.end(),
                   [&key](const ProcessRecord* a, const ProcessRecord* b) { return key(a) > key(b); });
  const std::size_t keep = in.kind == ReportKind::processes ? 25 : 10;
  if (records.size() > keep) records.resize(keep);

  ReportTable t{
      L(byMemory ? QStringLiteral("Top processes by memory") : QStringLiteral("Top processes by CPU")),
      {L(QStringLiteral("Process")), QStringLiteral("PID"), L(QStringLiteral("CPU")),
       L(QStringLiteral("Memory")), L(QStringLiteral("CPU time"))},
      {}};
  const QString none = QStringLiteral("—");
  for (const ProcessRecord* p : records) {
    t.rows.append({p->name, QString::number(p->pid), p->cpuPercent ? f.percent(*p->cpuPercent, 1) : none,
                   p->memory ? f.bytes(*p->memory, true) : none, f.duration(p->cpuTime)});
  }
  return t;
}

ReportTable batteryTable(const PowerSample& p, const ValueFormatter& f, const Localize& L) {
  ReportTable t{L(QStringLiteral("Battery")), localized(L, {"Item", "Value"}), {}};
  t.rows.append({L(QStringLiteral("Charge")), p.charge ? f.percent(*p.charge, 0) : QStringLiteral("—")});
  t.rows.append({L(QStringLiteral("Power source")), L(raw(PowerSource::rawValue(p.source)))});
  if (p.cycleCount)
    t.rows.append({L(QStringLiteral("Cycle count (best effort)")), QString::number(*p.cycleCount)});
  if (p.designCapacity && p.maxCapacity && *p.designCapacity > 0) {
    const double ratio = static_cast<double>(*p.maxCapacity) / static_cast<double>(*p.designCapacity) * 100.0;
    t.rows.append({L(QStringLiteral("Capacity vs design (best effort)")), f.percent(ratio, 0)});
  }
  return t;
}

// An alert reads as the alerts page shows it: the metric's name with what happened, and its
// value in the metric's unit. Events without a reading of their own keep their code and payload.
std::optional<std::pair<QString, QString>> alertCells(const StoredEvent& e, const ValueFormatter& f,
                                                      const Localize& L) {
  const bool fired = e.code == QLatin1String("alert.fired");
  if (e.kind != EventKind::alert || !e.metric || (!fired && e.code != QLatin1String("alert.resolved")))
    return std::nullopt;
  const MetricDescriptor& d = MetricCatalog::descriptor(*e.metric);
  QString value;
  if (const auto text = e.payload.constFind(QStringLiteral("value")); text != e.payload.constEnd()) {
    bool ok = false;
    const double number = QLocale::c().toDouble(text->trimmed(), &ok);  // stored in the C locale
    if (ok && std::isfinite(number)) value = display(number, *e.metric, d.unit, f, L);
  }
  return std::pair{
      L(d.name) + QStringLiteral(" — ") + L(fired ? QStringLiteral("Fired") : QStringLiteral("Resolved")),
      value};
}

// A spike reads as the process and what it did: "“xz”, PID 4242: up to 99.3% of one core for 44 s".
// A figure that does not read as a number is left out rather than shown raw.
std::optional<std::pair<QString, QString>> spikeCells(const StoredEvent& e, const ValueFormatter& f,
                                                      const Localize& L) {
  if (e.code != QLatin1String("process.spike")) return std::nullopt;
  QString detail = QStringLiteral("“") + e.payload.value(QStringLiteral("name")) + QStringLiteral("”");
  bool isPid = false;
  const qint64 pid = e.payload.value(QStringLiteral("pid")).toLongLong(&isPid);
  if (isPid) detail = L(QStringLiteral("%1, PID %2")).arg(detail, QString::number(pid));
  QStringList facts;
  if (const auto peak = EventPayload::parseDecimal(e.payload.value(QStringLiteral("peak"))))
    facts.append(L(QStringLiteral("up to %1 of one core")).arg(f.percent(*peak, 1)));
  if (const auto duration = EventPayload::parseDecimal(e.payload.value(QStringLiteral("duration"))))
    facts.append(L(QStringLiteral("for %1")).arg(f.duration(*duration)));
  if (!facts.isEmpty()) detail += QStringLiteral(": ") + facts.join(u' ');
  return std::pair{L(QStringLiteral("Process spike")), detail};
}

// A network change reads as the network page shows it: what happened and to which interface, or
// for a change of the path alone, the interfaces it then went through.
std::optional<std::pair<QString, QString>> networkCells(const StoredEvent& e, const Localize& L) {
  const bool online = e.code == QLatin1String("network.online");
  if (e.kind != EventKind::network || (!online && e.code != QLatin1String("network.offline")))
    return std::nullopt;
  // The payload's words for a link change, as the network monitor records them.
  static const std::pair<const char*, const char*> kChanges[] = {{"added", "Interface added"},
                                                                 {"removed", "Interface removed"},
                                                                 {"linkDown", "Link down"},
                                                                 {"linkUp", "Link up"}};
  const QString change = e.payload.value(QStringLiteral("change"));
  for (const auto& [raw, title] : kChanges) {
    if (change == QLatin1String(raw))
      return std::pair{L(QString::fromLatin1(title)), e.payload.value(QStringLiteral("interface"))};
  }
  QStringList names = e.payload.value(QStringLiteral("interfaces")).split(u',', Qt::SkipEmptyParts);
  for (QString& name : names) name = name.trimmed();
  return std::pair{L(online ? QStringLiteral("Connected") : QStringLiteral("Disconnected")),
                   names.join(QStringLiteral(", "))};
}

ReportTable eventsTable(const ReportInputs& in, const ValueFormatter& f, const Localize& L) {
  ReportTable t{L(QStringLiteral("Events")), localized(L, {"Time", "Kind", "Event", "Detail"}), {}};
  const std::size_t count = std::min<std::size_t>(in.events.size(), 100);
  for (std::size_t i = 0; i < count; ++i) {
    const StoredEvent& e = in.events[i];
    if (const auto alert = alertCells(e, f, L)) {
      t.rows.append({f.date(e.date), L(EventKinds::rawString(e.kind)), alert->first, alert->second});
      continue;
    }
    if (const auto spike = spikeCells(e, f, L)) {
      t.rows.append({f.date(e.date), L(EventKinds::rawString(e.kind)), spike->first, spike->second});
      continue;
    }
    if (const auto network = networkCells(e, L)) {
      t.rows.append({f.date(e.date), L(EventKinds::rawString(e.kind)), network->first, network->second});
      continue;
    }
    QStringList detail;
    // QMap iterates in ascending key order.
    for (auto it = e.payload.cbegin(); it != e.payload.cend(); ++it)
      detail.append(it.key() + u'=' + it.value());
    t.rows.append({f.date(e.date), L(EventKinds::rawString(e.kind)), e.code, detail.join(u' ')});
  }
  return t;
}

QStringList limitations(const ReportInputs& in, const Localize& L) {
  QStringList out;
  const bool anyPoint =
      std::any_of(in.series.begin(), in.series.end(), [](const Series& s) { return !s.points.empty(); });
  if (!anyPoint) out.append(L(QStringLiteral("No stored samples exist for the selected period.")));
  static const char* const sentences[] = {
      "Values come from the interfaces listed for each metric. Nothing is simulated or interpolated across "
      "gaps.",
      "History exists only for periods when KIVO Monitor was running; gaps are listed per metric.",
      "CPU percentages for the whole computer use 100 % = all cores busy. Per-process figures use 100 % = "
      "one core.",
      "Metrics marked “best effort” are read from kernel files that not every driver provides and may be "
      "absent.",
      "Temperatures, fan speeds, SSD health and per-process network traffic are not available through "
      "supported "
      "system interfaces.",
  };
  for (const char* sentence : sentences) out.append(L(QString::fromUtf8(sentence)));
  return out;
}

}  // namespace

Report build(const ReportInputs& in, const ValueFormatter& f, const Localize& L, const QDateTime& generated) {
  Report r;
  r.system = systemRows(in, f, L);
  r.series.reserve(in.series.size());
  for (const auto& series : in.series) r.series.push_back(summarise(series, L));

  const ReportKind k = in.kind;
  if ((k == ReportKind::system || k == ReportKind::storage) && !in.volumes.empty())
    r.tables.push_back(volumesTable(in, f, L));
  if ((k == ReportKind::system || k == ReportKind::network) && !in.interfaces.empty())
    r.tables.push_back(interfacesTable(in, f, L));
  if (k != ReportKind::storage && k != ReportKind::network && !in.processes.empty())
    r.tables.push_back(processesTable(in, f, L));
  if (k == ReportKind::system && in.power && in.power->hasBattery)
    r.tables.push_back(batteryTable(*in.power, f, L));
  if (!in.events.empty()) r.tables.push_back(eventsTable(in, f, L));

  r.limitations = limitations(in, L);
  r.kind = k;
  r.title = L(title(k));
  r.generated = generated;
  r.from = in.from;
  r.to = in.to;
  r.samplingInterval = in.samplingInterval;
  r.findings = in.findings;
  r.appVersion = in.appVersion;
  return r;
}

QString display(double value, MetricID metric, MetricUnit unit, const ValueFormatter& formatter,
                const Localize& localize) {
  if (!std::isfinite(value)) return formatter.value(value, unit);
  switch (metric) {
    case MetricID::thermalState: {
      static const char* const names[] = {"Nominal", "Fair", "Serious", "Critical"};
      const double level = std::clamp(std::round(value), 0.0, 3.0);
      return localize(QString::fromLatin1(names[static_cast<int>(level)]));
    }
    case MetricID::memPressure:
      if (value < 0.5) return localize(QStringLiteral("Normal"));
      if (value < 1.5) return localize(QStringLiteral("Warning"));
      return localize(QStringLiteral("Critical"));
    case MetricID::diskFree:
      return formatter.bytes(value, false);
    default:
      return formatter.value(value, unit);
  }
}

}  // namespace kivo::ReportGenerator
