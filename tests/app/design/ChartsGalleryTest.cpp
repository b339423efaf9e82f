#include "Gallery.h"
#include "design/Card.h"
#include "design/CardRow.h"
#include "design/CoreBars.h"
#include "design/LiveChart.h"
#include "design/MemoryBar.h"
#include "design/Page.h"
#include "design/PageHeader.h"
#include "design/PressureBadge.h"
#include "design/SourcesCard.h"
#include "design/Sparkline.h"
#include "design/ThermalScale.h"
#include "metrics/ValueFormatter.h"

#include <QHBoxLayout>
#include <QLocale>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace kivo {
namespace {

constexpr qint64 kStart = 1700000000000;  // 2023-11-14 22:13:20 UTC

std::vector<ChartPoint> wave(int count, double base, double swing, double phase) {
  std::vector<ChartPoint> points;
  for (int i = 0; i < count; ++i) {
    points.push_back(
        {kStart + i * 2000, base + swing * std::sin(i / 9.0 + phase) + swing / 3 * std::sin(i / 2.3)});
  }
  return points;
}

ValueFormat percent() {
  return [](double v) { return QLocale().toString(v, 'f', 0) + QStringLiteral(" %"); };
}

TEST(ChartsGallery, LiveCharts) {
  {
    LiveChart chart;
    chart.setOptions(
        {ChartRange{0, 100}, percent(), false, 160, std::vector<double>{0, 25, 50, 75, 100}, {}});
    chart.setSeries({{"cpu", "CPU", ChartColor::of(MetricFamily::cpu), wave(150, 35, 20, 0)}});
    EXPECT_EQ(test::renderGallery("livechart-single", &chart, QSize(560, chart.sizeHint().height())).size(),
              4);
  }
  {
    LiveChart chart;
    chart.setOptions(
        {std::nullopt, percent(), true, 160, std::nullopt, AxisUnit::number(QStringLiteral(" %"))});
    chart.setSeries({{"user", "User", ChartColor::of(MetricFamily::cpu), wave(150, 20, 8, 0)},
                     {"system", "System", ChartColor::of(MetricFamily::gpu), wave(150, 10, 5, 1)}});
    EXPECT_EQ(test::renderGallery("livechart-stacked", &chart, QSize(560, chart.sizeHint().height())).size(),
              4);
  }
  {
    LiveChart chart;
    chart.setOptions({std::nullopt, {}, false, 160, std::nullopt, {}});
    chart.setSeries({{"in", "Received", ChartColor::of(MetricFamily::network), wave(150, 400, 300, 0)},
                     {"out", "Sent", ChartColor::of(MetricFamily::power), wave(150, 200, 150, 2)}});
    EXPECT_EQ(test::renderGallery("livechart-lines", &chart, QSize(560, chart.sizeHint().height())).size(),
              4);
  }
  {
    LiveChart chart;
    chart.setOptions(
        {std::nullopt, percent(), false, 160, std::nullopt, AxisUnit::number(QStringLiteral(" %"))});
    chart.setSeries({{"cpu", "CPU", ChartColor::of(MetricFamily::cpu), {{kStart, 12}}}});
    EXPECT_EQ(
        test::renderGallery("livechart-collecting", &chart, QSize(400, chart.sizeHint().height())).size(), 4);
  }
  // Rates: labels as wide as "1,057.1 kB/s" move the plot right instead of being cut off.
  const auto rate = [format = ValueFormatter()](double v) { return format.rate(v); };
  {
    LiveChart chart;
    chart.setOptions(
        {std::nullopt, rate, false, 160, std::nullopt, AxisUnit::bytes(false, QStringLiteral("/s"))});
    chart.setSeries(
        {{"down", "Download", ChartColor::of(MetricFamily::network), wave(150, 600000, 300000, 0)},
         {"up", "Upload", ChartColor::of(MetricFamily::gpu), wave(150, 90000, 40000, 2)}});
    EXPECT_EQ(test::renderGallery("livechart-rates", &chart, QSize(560, chart.sizeHint().height())).size(),
              4);
  }
  // An idle link: every sample 0 bytes/s, each grid label shown once.
  {
    LiveChart chart;
    chart.setOptions(
        {std::nullopt, rate, false, 160, std::nullopt, AxisUnit::bytes(false, QStringLiteral("/s"))});
    chart.setSeries({{"down", "Download", ChartColor::of(MetricFamily::network), wave(150, 0, 0, 0)}});
    EXPECT_EQ(test::renderGallery("livechart-idle", &chart, QSize(560, chart.sizeHint().height())).size(), 4);
  }
}

TEST(ChartsGallery, Sparklines) {
  QWidget box;
  auto* layout = new QVBoxLayout(&box);
  const std::vector<double> values = [] {
    std::vector<double> v;
    for (const ChartPoint& p : wave(60, 40, 25, 0)) v.push_back(p.value);
    return v;
  }();
  auto* filled = new Sparkline;
  filled->setValues(values);
  filled->setColor(ChartColor::of(MetricFamily::memory));
  filled->setCeiling(100);
  auto* plain = new Sparkline;
  plain->setValues(values);
  plain->setColor(ChartColor::of(MetricFamily::thermal));
  plain->setFilled(false);
  layout->addWidget(filled);
  layout->addWidget(plain);
  EXPECT_EQ(test::renderGallery("sparkline", &box, QSize(200, 90)).size(), 4);
}

}  // namespace
}  // namespace kivo

namespace kivo {
namespace {

TEST(ChartsGallery, HardwareViews) {
  QWidget box;
  auto* layout = new QVBoxLayout(&box);
  layout->setSpacing(10);
  auto* bars = new CoreBars;
  std::vector<CPULoad> cores;
  for (int i = 0; i < 12; ++i) {
    const double busy = std::fmod(i * 0.23 + 0.05, 1.0);
    cores.push_back({busy * 0.7, busy * 0.3, 1 - busy});
  }
  cores[3] = {0, 0, 1};
  cores[7] = {1, 0, 0};
  bars->setCores(cores);
  bars->setFixedHeight(60);
  layout->addWidget(bars);
  auto* badges = new QHBoxLayout;
  for (std::optional<MemoryPressureLevel> level :
       {std::optional(MemoryPressureLevel::normal), std::optional(MemoryPressureLevel::warning),
        std::optional(MemoryPressureLevel::critical), std::optional<MemoryPressureLevel>()}) {
    auto* badge = new PressureBadge;
    badge->setLevel(level);
    badges->addWidget(badge);
  }
  badges->addStretch();
  layout->addLayout(badges);
  for (std::optional<ThermalLevel> level :
       {std::optional(ThermalLevel::nominal), std::optional(ThermalLevel::fair),
        std::optional(ThermalLevel::serious), std::optional(ThermalLevel::critical),
        std::optional<ThermalLevel>()}) {
    auto* scale = new ThermalScale;
    scale->setLevel(level);
    layout->addWidget(scale);
  }
  EXPECT_EQ(test::renderGallery("hardware-views", &box, QSize(320, 230)).size(), 4);
}

}  // namespace
}  // namespace kivo

namespace kivo {
namespace {

// A page as users will meet it: header, card rows with charts and hardware views, sources.
TEST(ChartsGallery, PageOfCards) {
  auto* page = new Page;
  page->addWidget(new PageHeader(QStringLiteral("Memory"), QStringLiteral("16 GiB · 2 swap devices"),
                                 MetricFamily::memory));

  auto* top = new CardRow;
  auto* usage = new Card(QStringLiteral("Memory usage"), MetricFamily::memory);
  auto* chart = new LiveChart;
  chart->setOptions({std::nullopt, {}, true, 140, std::nullopt, {}});
  chart->setSeries({{"app", "App", ChartColor::of(MetricFamily::memory), wave(150, 6, 1, 0)},
                    {"wired", "Wired", ChartColor::of(MetricFamily::disk), wave(150, 2, 0.3, 1)}});
  usage->addContent(chart);
  auto* bar = new MemoryBar;
  MemorySample memory;
  memory.physical = 16;
  memory.app = 6;
  memory.wired = 2;
  memory.compressed = 1;
  memory.cached = 4;
  bar->setMemory(memory);
  usage->addContent(bar);
  top->addWidget(usage);

  auto* state = new Card(QStringLiteral("Pressure"), MetricFamily::memory, MetricQuality::estimated);
  auto* badge = new PressureBadge;
  badge->setLevel(MemoryPressureLevel::warning);
  state->addContent(badge);
  auto* spark = new Sparkline;
  std::vector<double> values;
  for (const ChartPoint& p : wave(60, 30, 20, 0)) values.push_back(p.value);
  spark->setValues(values);
  spark->setColor(ChartColor::of(MetricFamily::memory));
  state->addContent(spark);
  auto* scale = new ThermalScale;
  scale->setLevel(ThermalLevel::fair);
  state->addContent(scale);
  top->addWidget(state);
  page->addWidget(top);

  auto* cpu = new Card(QStringLiteral("Cores"), MetricFamily::cpu);
  auto* bars = new CoreBars;
  std::vector<CPULoad> cores;
  for (int i = 0; i < 16; ++i) cores.push_back({std::fmod(i * 0.17 + 0.1, 1.0), 0.05, 0});
  bars->setCores(cores);
  bars->setFixedHeight(50);
  cpu->addContent(bars);
  page->addWidget(cpu);

  const std::vector<MetricID> metrics = {MetricID::memUsed, MetricID::memCompressed, MetricID::memPressure};
  page->addWidget(new SourcesCard(metrics));
  EXPECT_EQ(test::renderGallery("page", page, QSize(1000, 900)).size(), 4);
  // Shorter than its column: the scroll indicator shows.
  EXPECT_EQ(test::renderGallery("page-scrolling", page, QSize(1000, 420)).size(), 4);
  delete page;

  // A header with the page's own symbol and no subtitle, over one with both.
  QWidget headers;
  auto* column = new QVBoxLayout(&headers);
  column->setSpacing(16);
  column->addWidget(
      new PageHeader(QStringLiteral("Alerts"), std::nullopt, MetricFamily::system, QStringLiteral("bell")));
  column->addWidget(new PageHeader(QStringLiteral("Thermal"), QStringLiteral("4 zones with trip points"),
                                   MetricFamily::thermal));
  EXPECT_EQ(test::renderGallery("page-headers", &headers, QSize(420, 110)).size(), 4);

  // Below the breakpoint the row stacks.
  auto* narrow = new Page;
  auto* row = new CardRow;
  for (const char* title : {"First", "Second"}) {
    auto* card = new Card(QString::fromLatin1(title), MetricFamily::network);
    auto* line = new Sparkline;
    line->setValues(values);
    line->setColor(ChartColor::of(MetricFamily::network));
    card->addContent(line);
    row->addWidget(card);
  }
  narrow->addWidget(row);
  EXPECT_EQ(test::renderGallery("page-narrow", narrow, QSize(600, 360)).size(), 4);
  delete narrow;
}

}  // namespace
}  // namespace kivo
