// PDF of a one-week system report: twelve series of 372 buckets of 27 minutes each (about 4,300
// points), with a few holes, as the reports page renders it.

#include "pdf/PdfReportRenderer.h"
#include "reporting/ReportGenerator.h"

#include "BenchApplication.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTimeZone>

#include <cmath>

using namespace kivo;

namespace {

constexpr qint64 kNow = 1772373900;  // 2026-03-01T14:05:00Z
constexpr qint64 kWeek = 7 * 86400;
constexpr int kBuckets = 372;

QDateTime at(double seconds) {
  return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(seconds * 1000), QTimeZone::utc());
}

Report weekReport() {
  const double from = kNow - kWeek;
  const double step = static_cast<double>(kWeek) / kBuckets;
  std::vector<Series> series;
  int i = 0;
  for (const MetricID metric : ReportKinds::metrics(ReportKind::system)) {
    Series s;
    s.metric = metric;
    s.tier = StoreTier::hour;
    s.step = step;
    const double scale = MetricCatalog::descriptor(metric).unit == MetricUnit::percent ? 100 : 1e9;
    for (int b = 0; b < kBuckets; ++b) {
      // Five and a half hours without data in the middle of the week, and a lone bucket inside.
      if (b >= 180 && b < 192 && b != 186) continue;
      const double t = from + b * step;
      const double wave = 0.5 + 0.4 * std::sin(b / 9.0 + i);
      s.points.push_back(
          SeriesPoint{t, scale * wave * 0.7, scale * std::min(wave * 1.3, 1.0), scale * wave, 60});
    }
    s.gaps = {SeriesGap{from + 180 * step, from + 186 * step},
              SeriesGap{from + 187 * step, from + 192 * step}};
    series.push_back(std::move(s));
    ++i;
  }
  SystemInfo system;
  system.physicalMemory = 16ULL << 30;
  system.topology.physicalCores = 8;
  system.bootTime = at(kNow - 86400);
  const ReportInputs inputs{ReportKind::system,
                            at(from),
                            at(kNow),
                            2.0,
                            system,
                            false,
                            std::move(series),
                            {},
                            {},
                            {},
                            std::nullopt,
                            {},
                            {},
                            QStringLiteral("0.1.0")};
  const ValueFormatter f{QLocale(QLocale::English, QLocale::UnitedStates)};
  return ReportGenerator::build(
      inputs, f, [](const QString& s) { return s; }, at(kNow));
}

}  // namespace

static void BM_PdfOneWeekSystemReport(benchmark::State& state) {
  bench::ensureApplication();
  const Report report = weekReport();
  const ValueFormatter f{QLocale(QLocale::English, QLocale::UnitedStates)};
  std::size_t points = 0;
  for (const auto& s : report.series) points += s.points.size();
  state.counters["points"] = static_cast<double>(points);
  for (auto _ : state) {
    const auto bytes = PdfReportRenderer(report, f).render();
    if (!bytes) state.SkipWithError("no PDF");
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_PdfOneWeekSystemReport)->Unit(benchmark::kMillisecond);
