#include "Gallery.h"
#include "design/CoreBars.h"
#include "design/LiveChart.h"
#include "design/PressureBadge.h"
#include "design/Sparkline.h"
#include "design/ThermalScale.h"

#include <QLocale>
#include <QHBoxLayout>
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
    points.push_back({kStart + i * 2000, base + swing * std::sin(i / 9.0 + phase) + swing / 3 * std::sin(i / 2.3)});
  }
  return points;
}

ValueFormat percent() {
  return [](double v) { return QLocale().toString(v, 'f', 0) + QStringLiteral(" %"); };
}

TEST(ChartsGallery, LiveCharts) {
  {
    LiveChart chart;
    chart.setOptions({ChartRange{0, 100}, percent(), false, 160, std::vector<double>{0, 25, 50, 75, 100}});
    chart.setSeries({{"cpu", "CPU", ChartColor::of(MetricFamily::cpu), wave(150, 35, 20, 0)}});
    EXPECT_EQ(test::renderGallery("livechart-single", &chart, QSize(560, chart.sizeHint().height())).size(), 4);
  }
  {
    LiveChart chart;
    chart.setOptions({std::nullopt, percent(), true, 160, std::nullopt});
    chart.setSeries({{"user", "User", ChartColor::of(MetricFamily::cpu), wave(150, 20, 8, 0)},
                     {"system", "System", ChartColor::of(MetricFamily::gpu), wave(150, 10, 5, 1)}});
    EXPECT_EQ(test::renderGallery("livechart-stacked", &chart, QSize(560, chart.sizeHint().height())).size(), 4);
  }
  {
    LiveChart chart;
    chart.setOptions({std::nullopt, {}, false, 160, std::nullopt});
    chart.setSeries({{"in", "Received", ChartColor::of(MetricFamily::network), wave(150, 400, 300, 0)},
                     {"out", "Sent", ChartColor::of(MetricFamily::power), wave(150, 200, 150, 2)}});
    EXPECT_EQ(test::renderGallery("livechart-lines", &chart, QSize(560, chart.sizeHint().height())).size(), 4);
  }
  {
    LiveChart chart;
    chart.setOptions({std::nullopt, percent(), false, 160, std::nullopt});
    chart.setSeries({{"cpu", "CPU", ChartColor::of(MetricFamily::cpu), {{kStart, 12}}}});
    EXPECT_EQ(test::renderGallery("livechart-collecting", &chart, QSize(400, chart.sizeHint().height())).size(), 4);
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
  for (std::optional<ThermalLevel> level : {std::optional(ThermalLevel::nominal), std::optional(ThermalLevel::fair),
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
