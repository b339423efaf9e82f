#include "design/Card.h"
#include "design/CardRow.h"
#include "design/Icons.h"
#include "design/KeyValueRow.h"
#include "design/LiveChart.h"
#include "design/Page.h"
#include "design/PageHeader.h"
#include "design/Sparkline.h"

#include <QApplication>
#include <QImage>
#include <QLocale>
#include <QPainter>

#include "BenchApplication.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace kivo {
namespace {

constexpr qint64 kStart = 1700000000000;

std::vector<ChartPoint> wave(int count, double base, double swing, double phase) {
  std::vector<ChartPoint> points;
  points.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    points.push_back(
        {kStart + i * 2000, base + swing * std::sin(i / 9.0 + phase) + swing / 3 * std::sin(i / 2.3)});
  }
  return points;
}

ValueFormat percent() {
  return [](double v) { return QLocale().toString(v, 'f', 0) + QStringLiteral(" %"); };
}

// One live chart of 150 points painted into an image, as a card's chart is painted every tick.
void BM_DesignLiveChart150(benchmark::State& state) {
  bench::ensureApplication();
  const bool stacked = state.range(0) != 0;
  std::vector<LiveSeries> series = {{"cpu", "CPU", ChartColor::of(MetricFamily::cpu), wave(150, 35, 20, 0)}};
  if (stacked) series.push_back({"sys", "System", ChartColor::of(MetricFamily::gpu), wave(150, 10, 5, 1)});
  const std::vector<QColor> colors = {QColor(0x2563EB), QColor(0x7C3AED)};
  const LiveChartOptions options{std::nullopt, percent(), stacked, 160, std::nullopt, AxisUnit::percent()};
  const LiveChartStyle style = LiveChartStyle::resolve(false);
  QImage image(560, 200, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    LiveChart::paint(painter, QRectF(0, 0, 560, 200), series, colors, options, style);
  }
}
BENCHMARK(BM_DesignLiveChart150)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A page of twelve cards, each with a live chart or a sparkline and a few rows, at 1280 × 860.
std::unique_ptr<Page> twelveCardPage() {
  auto page = std::make_unique<Page>();
  page->setAttribute(Qt::WA_DontShowOnScreen);
  page->addWidget(
      new PageHeader(QStringLiteral("Overview"), QStringLiteral("Twelve cards"), MetricFamily::system));
  const MetricFamily families[] = {MetricFamily::cpu,     MetricFamily::gpu,     MetricFamily::memory,
                                   MetricFamily::disk,    MetricFamily::network, MetricFamily::power,
                                   MetricFamily::thermal, MetricFamily::system};
  std::vector<double> values;
  for (const ChartPoint& p : wave(60, 40, 20, 0)) values.push_back(p.value);
  CardRow* row = nullptr;
  for (int i = 0; i < 12; ++i) {
    if (i % 3 == 0) {
      row = new CardRow;
      page->addWidget(row);
    }
    const MetricFamily family = families[i % 8];
    auto* card = new Card(QStringLiteral("Card %1").arg(i + 1), family);
    if (i % 2 == 0) {
      auto* chart = new LiveChart;
      chart->setOptions({std::nullopt, percent(), false, 120, std::nullopt, AxisUnit::percent()});
      chart->setSeries({{"a", "Series", ChartColor::of(family), wave(150, 30 + i, 15, i)}});
      card->addContent(chart);
    } else {
      auto* line = new Sparkline;
      line->setValues(values);
      line->setColor(ChartColor::of(family));
      line->setMinimumHeight(40);
      card->addContent(line);
    }
    card->addContent(new KeyValueRow(QStringLiteral("Current"), QStringLiteral("42 %")));
    card->addContent(new KeyValueRow(QStringLiteral("Average"), QStringLiteral("37 %")));
    card->addContent(new KeyValueRow(QStringLiteral("Peak"), QStringLiteral("88 %")));
    row->addWidget(card);
  }
  page->resize(1280, 860);
  page->show();
  QApplication::processEvents();
  return page;
}

void BM_DesignPageOfTwelveCards(benchmark::State& state) {
  bench::ensureApplication();
  const std::unique_ptr<Page> page = twelveCardPage();
  QImage image(page->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    // The page paints its own canvas; a window background under it would be painted twice.
    page->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  }
}
BENCHMARK(BM_DesignPageOfTwelveCards)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kivo
