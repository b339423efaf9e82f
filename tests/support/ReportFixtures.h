#pragma once

// Hand-made inputs for the report tests: a system report with gaps, findings and every table,
// an incident report, and a report of a period without any stored sample.

#include "reporting/ReportGenerator.h"

#include "TestSupport.h"

#include <QFile>
#include <QTimeZone>

#include <vector>

namespace kivo::test {

inline const ValueFormatter& englishFormatter() {
  static const ValueFormatter formatter{QLocale(QLocale::English, QLocale::UnitedStates)};
  return formatter;
}

inline const Localize& identity() {
  static const Localize localize = [](const QString& text) { return text; };
  return localize;
}

// Stand-ins for the application's finding texts, which the core tests cannot see: the kind's
// name with the subject, and a sentence with the occasions and the processes at once.
inline const FindingWords& plainWords() {
  static const FindingWords words{[](const Finding& f) {
                                    const auto kind = FindingKinds::rawValue(f.kind);
                                    QString title = QStringLiteral("Title of ") +
                                                    QString::fromLatin1(kind.data(), std::ssize(kind));
                                    if (f.subject)
                                      title += QStringLiteral(" “") + *f.subject + QStringLiteral("”");
                                    return title;
                                  },
                                  [](const Finding& f) {
                                    QString text = QStringLiteral("Occasions: %1.").arg(f.occurrences);
                                    if (f.concurrent)
                                      text += QStringLiteral(" At once: %1.").arg(*f.concurrent);
                                    return text;
                                  }};
  return words;
}

inline QDateTime utc(qint64 seconds) {
  return QDateTime::fromSecsSinceEpoch(seconds, QTimeZone::utc());
}

// 2026-03-01T14:05:00Z
inline constexpr qint64 kEnd = 1772373900;

inline Series makeSeries(MetricID metric, StoreTier tier, double step, std::vector<SeriesPoint> points,
                         std::vector<SeriesGap> gaps) {
  Series s;
  s.metric = metric;
  s.tier = tier;
  s.step = step;
  s.points = std::move(points);
  s.gaps = std::move(gaps);
  return s;
}

// Three one-minute buckets at the end of the period, with the values spread around `base`.
inline Series threePoints(MetricID metric, double base, double spread, std::vector<SeriesGap> gaps = {}) {
  const double t0 = kEnd - 180;
  return makeSeries(metric, StoreTier::minute, 60,
                    {SeriesPoint{t0, base - spread, base + spread, base, 30},
                     SeriesPoint{t0 + 60, base, base + 2 * spread, base + spread, 30},
                     SeriesPoint{t0 + 120, base - 2 * spread, base, base - spread, 29}},
                    std::move(gaps));
}

inline Series emptySeries(MetricID metric, double from, double to) {
  return makeSeries(metric, StoreTier::minute, 60, {}, {SeriesGap{from, to}});
}

inline SystemInfo testSystem() {
  SystemInfo s;
  s.model = QStringLiteral("ThinkPad X1 Carbon Gen 11");
  s.chip = QStringLiteral("13th Gen Intel(R) Core(TM) i7-1365U");
  s.osVersion = QStringLiteral("Debian GNU/Linux 12 (bookworm)");
  s.osBuild = QStringLiteral("6.1.0-18-amd64");
  s.physicalMemory = 16ULL * 1024 * 1024 * 1024;
  s.topology.physicalCores = 10;
  s.topology.logicalCores = 12;
  s.topology.groups = {CPUCoreGroup{QStringLiteral("Performance"), 2, 4},
                       CPUCoreGroup{QStringLiteral("Efficient"), 8, 8}};
  s.bootTime = utc(kEnd - 6 * 3600 - 125);
  s.hostName = QStringLiteral("workstation");
  return s;
}

inline ProcessRecord process(int pid, const QString& name, std::optional<double> cpu,
                             std::optional<std::uint64_t> memory, double cpuTime, bool hasStatistics = true) {
  ProcessRecord p;
  p.pid = pid;
  p.name = name;
  p.hasStatistics = hasStatistics;
  p.cpuPercent = cpu;
  p.memory = memory;
  p.cpuTime = cpuTime;
  return p;
}

inline NetworkInterface interface(const QString& name, InterfaceKind kind, bool up, bool running,
                                  QStringList ipv4, std::uint64_t in, std::uint64_t out) {
  NetworkInterface i;
  i.name = name;
  i.kind = kind;
  i.isUp = up;
  i.isRunning = running;
  i.ipv4 = std::move(ipv4);
  i.totalBytesIn = in;
  i.totalBytesOut = out;
  return i;
}

inline VolumeInfo volume(const QString& name, const QString& format, std::uint64_t total,
                         std::uint64_t available) {
  VolumeInfo v;
  v.name = name;
  v.mountPoint = QStringLiteral("/") + name;
  v.format = format;
  v.total = total;
  v.available = available;
  return v;
}

inline Finding finding(FindingKind kind, Severity severity, MetricID metric, qint64 start, qint64 end,
                       double threshold, double peak, double mean, std::int64_t samples,
                       std::optional<QString> subject = std::nullopt) {
  Finding f;
  f.kind = kind;
  f.severity = severity;
  f.metric = metric;
  f.start = utc(start);
  f.end = utc(end);
  f.threshold = threshold;
  f.peak = peak;
  f.mean = mean;
  f.sampleCount = samples;
  f.subject = std::move(subject);
  f.occurrences = 1;
  return f;
}

inline StoredEvent event(qint64 date, EventKind kind, const QString& code, QMap<QString, QString> payload,
                         std::optional<MetricID> metric = std::nullopt) {
  StoredEvent e;
  e.date = utc(date);
  e.kind = kind;
  e.code = code;
  e.payload = std::move(payload);
  e.metric = metric;
  return e;
}

inline ReportInputs systemInputs() {
  const double from = kEnd - 3600;
  std::vector<Series> series;
  // A minute tier whose first 45 minutes are missing and which has a hole of 10 minutes.
  const std::vector<SeriesGap> gaps{{from, kEnd - 900}, {kEnd - 780, kEnd - 180}};
  series.push_back(threePoints(MetricID::cpuTotal, 37.5, 4.25, gaps));
  series.push_back(threePoints(MetricID::memUsed, 9.5e9, 1.25e8, gaps));
  series.push_back(threePoints(MetricID::memPressure, 0.5, 0.25, gaps));
  series.push_back(threePoints(MetricID::swapUsed, 5.24288e8, 0, gaps));
  series.push_back(threePoints(MetricID::diskFree, 1.0e11, 1.0e6, gaps));
  series.push_back(threePoints(MetricID::diskRead, 1.5e6, 2.5e5, gaps));
  series.push_back(threePoints(MetricID::diskWrite, 3.0e5, 1.0e5, gaps));
  series.push_back(threePoints(MetricID::netDown, 2.25e5, 1.0e4, gaps));
  series.push_back(threePoints(MetricID::netUp, 1.2e4, 3.0e3, gaps));
  series.push_back(threePoints(MetricID::thermalState, 1, 0.5, gaps));
  series.push_back(emptySeries(MetricID::gpuUtilization, from, kEnd));
  series.push_back(threePoints(MetricID::batteryCharge, 87.5, 0.5, gaps));

  PowerSample power;
  power.hasBattery = true;
  power.source = PowerSourceKind::battery;
  power.charge = 87.6;
  power.cycleCount = 123;
  power.designCapacity = 5000;
  power.maxCapacity = 4500;

  return ReportInputs{
      ReportKind::system,
      utc(kEnd - 3600),
      utc(kEnd),
      2.0,
      testSystem(),
      true,
      std::move(series),
      {volume(QStringLiteral("root"), QStringLiteral("ext4"), 512'000'000'000, 100'000'000'000),
       volume(QStringLiteral("Data|Backup"), QStringLiteral("btrfs"), 2'000'000'000'000, 1'500'000'000'000),
       volume(QStringLiteral("odd"), QStringLiteral("nfs4"), 1'000, 5'000)},
      {interface(QStringLiteral("wlp2s0"), InterfaceKind::wifi, true, true, {QStringLiteral("192.168.1.20")},
                 3'500'000'000, 250'000'000),
       interface(QStringLiteral("enp3s0"), InterfaceKind::ethernet, true, false, {QStringLiteral("10.0.0.2")},
                 10, 10)},
      {process(4321, QStringLiteral("firefox-esr"), 85.5, 1'610'612'736, 3723.4),
       process(77, QStringLiteral("evil|name\nsecond line"), 120.4, 52'428'800, 61),
       process(900, QStringLiteral("kworker/0:1"), std::nullopt, std::nullopt, 0.5),
       process(1, QStringLiteral("systemd"), 0.0, 13'000'000, 12.0),
       process(12, QStringLiteral("hidden"), 99.0, 1, 1, false)},
      power,
      {finding(FindingKind::sustainedCPU, Severity::warning, MetricID::cpuTotal, kEnd - 900, kEnd - 300, 80,
               97.25, 88.5, 300),
       finding(FindingKind::processSpikes, Severity::critical, MetricID::cpuTotal, kEnd - 1500, kEnd - 120,
               50, 180, 120.5, 4, QStringLiteral("cc1plus"))},
      {event(kEnd - 200, EventKind::alert, QStringLiteral("alert.fired"),
             {{QStringLiteral("value"), QStringLiteral("91.12005028284099")},
              {QStringLiteral("rule"), QStringLiteral("5C4F2E0A-8B7D-4E1A-9F3C-2D6B8A1E7F90")}},
             MetricID::cpuTotal),
       event(kEnd - 800, EventKind::bookmark, QStringLiteral("bookmark"),
             {{QStringLiteral("note"), QStringLiteral("build started, fans loud")}}),
       event(kEnd - 2700, EventKind::system, QStringLiteral("system.gap"),
             {{QStringLiteral("seconds"), QStringLiteral("2700")}})},
      QStringLiteral("0.1.0")};
}

inline ReportInputs incidentInputs() {
  const double from = kEnd - 1800;
  std::vector<Series> series;
  for (const MetricID metric : ReportKinds::metrics(ReportKind::incident)) {
    if (metric == MetricID::swapUsed) {
      series.push_back(emptySeries(metric, from, kEnd));
      continue;
    }
    // Raw tier: every two seconds a sample, four of them at the end of the period.
    std::vector<SeriesPoint> points;
    const double value = metric == MetricID::thermalState ? 2 : metric == MetricID::memPressure ? 1 : 50.5;
    for (int i = 0; i < 4; ++i) {
      const double t = kEnd - 8 + 2 * i + 0.5;
      points.push_back(SeriesPoint{t, value + i, value + i, value + i, 1});
    }
    series.push_back(makeSeries(metric, StoreTier::raw, 2, std::move(points), {SeriesGap{from, kEnd - 7.5}}));
  }
  return ReportInputs{
      ReportKind::incident,
      utc(kEnd - 1800),
      utc(kEnd),
      2.0,
      testSystem(),
      false,
      std::move(series),
      {volume(QStringLiteral("root"), QStringLiteral("ext4"), 512'000'000'000, 100'000'000'000)},
      {},
      {process(4321, QStringLiteral("cc1plus"), 99.5, 800'000'000, 40)},
      std::nullopt,
      {},
      {event(kEnd - 5, EventKind::process, QStringLiteral("process.spike"),
             {{QStringLiteral("name"), QStringLiteral("cc1plus")},
              {QStringLiteral("peak"), QStringLiteral("99.5")}})},
      QStringLiteral("0.1.0")};
}

inline ReportInputs emptyInputs() {
  const double from = kEnd - 86400;
  std::vector<Series> series;
  for (const MetricID metric : ReportKinds::metrics(ReportKind::network))
    series.push_back(makeSeries(metric, StoreTier::minute, 240, {}, {SeriesGap{from, kEnd}}));
  return ReportInputs{ReportKind::network,
                      utc(kEnd - 86400),
                      utc(kEnd),
                      2.0,
                      testSystem(),
                      false,
                      std::move(series),
                      {},
                      {},
                      {},
                      std::nullopt,
                      {},
                      {},
                      QStringLiteral("—")};
}

inline QDateTime generatedAt() {
  return utc(kEnd + 7);
}

inline Report buildReport(const ReportInputs& inputs) {
  return ReportGenerator::build(inputs, englishFormatter(), identity(), generatedAt());
}

inline QByteArray readFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

}  // namespace kivo::test
