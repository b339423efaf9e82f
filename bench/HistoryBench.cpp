#include "design/Tokens.h"
#include "features/history/HistoryChart.h"
#include "features/history/HistoryLoad.h"
#include "storage/TimeSeriesStore.h"

#include "BenchApplication.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cmath>
#include <memory>

using namespace kivo;

namespace {

// A steady-state history: one sample an hour for a year (8,760 hour rows) and one a minute for
// the last week (10,080 minute rows), in a file, flushed.
struct SteadyHistory {
  QTemporaryDir dir;
  std::unique_ptr<TimeSeriesStore> store;
  QDateTime now = QDateTime::currentDateTimeUtc();

  SteadyHistory() {
    store = std::make_unique<TimeSeriesStore>(dir.filePath(QStringLiteral("telemetry.sqlite")));
    const qint64 year = 365 * 86400;
    for (qint64 s = year; s > 7 * 86400; s -= 3600) {
      const MetricValue value{MetricID::cpuTotal, 30 + 20 * std::sin(static_cast<double>(s) / 40000)};
      store->append({&value, 1}, now.addSecs(-s));
    }
    for (qint64 s = 7 * 86400; s > 0; s -= 60) {
      const MetricValue value{MetricID::cpuTotal, 30 + 20 * std::sin(static_cast<double>(s) / 4000)};
      store->append({&value, 1}, now.addSecs(-s));
    }
    store->flush(now);
  }

  static SteadyHistory& shared() {
    static auto* history = new SteadyHistory;
    return *history;
  }
};

// From request to painted chart: the page's store work for one range, then the card's chart.
void loadAndPaint(benchmark::State& state, HistoryRange range) {
  bench::ensureApplication();
  SteadyHistory& history = SteadyHistory::shared();
  QImage image(1000, HistoryChart::kHeight, QImage::Format_ARGB32_Premultiplied);
  const HistoryChartStyle style = HistoryChartStyle::resolve(false);
  std::size_t points = 0;
  for (auto _ : state) {
    const HistoryLoad load = HistoryLoad::read(*history.store, range, {MetricID::cpuTotal}, history.now);
    const std::vector<double> bookmarks = load.bookmarkTimes();
    HistoryChartContent content;
    content.series = &load.series.front();
    content.from = load.from;
    content.to = load.to;
    content.color = Palette::accent.resolve(false);
    content.bookmarks = bookmarks;
    content.format = [](double value) { return QString::number(value, 'f', 1); };
    image.fill(Qt::white);
    QPainter painter(&image);
    HistoryChart::paint(painter, QRectF(0, 0, image.width(), image.height()), content, style);
    points = load.series.front().points.size();
  }
  state.counters["points"] = static_cast<double>(points);
}

void BM_HistoryYearOfHourRows(benchmark::State& state) {
  loadAndPaint(state, HistoryRange::year);
}
void BM_HistoryWeekOfMinuteRows(benchmark::State& state) {
  loadAndPaint(state, HistoryRange::week);
}

}  // namespace

BENCHMARK(BM_HistoryYearOfHourRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistoryWeekOfMinuteRows)->Unit(benchmark::kMillisecond);

namespace {

// The store's part alone, to tell query from painting.
void BM_HistoryYearQueryOnly(benchmark::State& state) {
  SteadyHistory& history = SteadyHistory::shared();
  for (auto _ : state) {
    const HistoryLoad load =
        HistoryLoad::read(*history.store, HistoryRange::year, {MetricID::cpuTotal}, history.now);
    benchmark::DoNotOptimize(load.series.front().points.data());
  }
}

}  // namespace

BENCHMARK(BM_HistoryYearQueryOnly)->Unit(benchmark::kMillisecond);
