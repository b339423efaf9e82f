// One-week system report from a history database in its steady state: six hours of raw
// samples every 2 s, one-minute and one-hour summaries for the rest of the week.

#include "reporting/ReportFile.h"
#include "reporting/ReportGenerator.h"
#include "storage/TimeSeriesStore.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTimeZone>

#include <cmath>
#include <memory>

using namespace kivo;

namespace {

constexpr qint64 kNow = 1772373900;  // 2026-03-01T14:05:00Z
constexpr qint64 kWeek = 7 * 86400;

QDateTime at(double seconds) {
  return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(seconds * 1000), QTimeZone::utc());
}

struct Fixture {
  QTemporaryDir dir;
  std::unique_ptr<TimeSeriesStore> store;

  Fixture() {
    store = std::make_unique<TimeSeriesStore>(dir.filePath("telemetry.sqlite"));
    std::vector<MetricValue> values;
    const auto tick = [&](double t) {
      values.clear();
      int i = 0;
      for (const MetricID metric : Metric::allCases()) {
        const double wave = std::sin(t / 3600.0 + i) * 0.5 + 0.5;
        values.push_back({metric, 10.0 + 80.0 * wave + ++i});
      }
      store->append(values, at(t));
    };
    const double rawStart = kNow - 6 * 3600;
    for (double t = kNow - kWeek; t < rawStart; t += 60) {
      tick(t);
      if (std::fmod(t, 3600) == 0) store->flush(at(t));
    }
    store->setRawInterval(2);
    for (double t = rawStart; t < kNow; t += 2) {
      tick(t);
      if (std::fmod(t, 600) == 0) store->flush(at(t));
    }
    store->flush(at(kNow));
    StoredEvent event;
    event.kind = EventKind::alert;
    event.code = QStringLiteral("alert.fired");
    event.payload = {{QStringLiteral("rule"), QStringLiteral("cpu")},
                     {QStringLiteral("value"), QStringLiteral("91")}};
    for (int i = 0; i < 150; ++i) {
      event.date = at(kNow - 3600.0 * i);
      store->record(event);
    }
  }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

ReportInputs weekInputs(TimeSeriesStore& store) {
  const QDateTime to = at(kNow);
  const QDateTime from = at(kNow - kWeek);
  std::vector<Series> series;
  for (const MetricID metric : ReportKinds::metrics(ReportKind::system))
    series.push_back(store.series(metric, from, to, 360, std::nullopt, to));
  auto events = store.events({EventKind::alert, EventKind::system, EventKind::bookmark, EventKind::process},
                             from, to, 100);
  SystemInfo system;
  system.physicalMemory = 16ULL << 30;
  system.topology.physicalCores = 8;
  system.bootTime = at(kNow - 86400);
  return ReportInputs{ReportKind::system,
                      from,
                      to,
                      2.0,
                      system,
                      false,
                      std::move(series),
                      {},
                      {},
                      {},
                      std::nullopt,
                      {},
                      std::move(events),
                      QStringLiteral("0.1.0")};
}

const ValueFormatter& formatter() {
  static const ValueFormatter f{QLocale(QLocale::English, QLocale::UnitedStates)};
  return f;
}

const Localize identity = [](const QString& s) { return s; };
const FindingWords words{[](const Finding&) { return QStringLiteral("A finding"); },
                         [](const Finding&) { return QStringLiteral("What it was."); }};

}  // namespace

// Store queries, generation, and the Markdown, CSV and JSON files written to disk.
static void BM_ReportOneWeekSystemGenerateAndWrite(benchmark::State& state) {
  Fixture& f = fixture();
  const QString base = f.dir.filePath("report");
  for (auto _ : state) {
    const Report report = ReportGenerator::build(weekInputs(*f.store), formatter(), identity);
    for (const auto format :
         {ReportFile::Format::markdown, ReportFile::Format::csv, ReportFile::Format::json}) {
      const auto error = ReportFile::exportReport(report, format, base, formatter(), identity, words);
      if (error) state.SkipWithError(error->toStdString().c_str());
    }
  }
}
BENCHMARK(BM_ReportOneWeekSystemGenerateAndWrite)->Unit(benchmark::kMillisecond);

// The parts: the store queries alone, and the three writers on a finished report.
static void BM_ReportOneWeekSystemQueries(benchmark::State& state) {
  Fixture& f = fixture();
  for (auto _ : state) benchmark::DoNotOptimize(weekInputs(*f.store));
}
BENCHMARK(BM_ReportOneWeekSystemQueries)->Unit(benchmark::kMillisecond);

static void BM_ReportOneWeekSystemWriters(benchmark::State& state) {
  Fixture& f = fixture();
  const Report report = ReportGenerator::build(weekInputs(*f.store), formatter(), identity);
  for (auto _ : state) {
    benchmark::DoNotOptimize(ReportGenerator::markdown(report, formatter(), identity, words));
    benchmark::DoNotOptimize(ReportGenerator::csv(report));
    benchmark::DoNotOptimize(ReportGenerator::json(report));
  }
}
BENCHMARK(BM_ReportOneWeekSystemWriters)->Unit(benchmark::kMillisecond);
